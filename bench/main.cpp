// Runs every benchmark, then prints each comparison as a ratio against its
// baseline and whether the goal holds. With --ratios_markdown=FILE the table
// is also written there, ready for docs/performance.md.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "bench/comparisons.h"

namespace {

// Keeps both sides' counters of every repetition while the console reporter
// prints as usual.
class CollectingReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      for (const auto& [counter, value] : run.counters) {
        samples_[run.run_name.function_name + "#" + counter].push_back(
            value.value);
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // Seconds per operation, the median over the repetitions; 0 when the
  // benchmark did not run.
  double ours(const bench::Comparison& c) const {
    return median(c.benchmark + "#" + bench::kOursCounter);
  }
  double baseline(const bench::Comparison& c) const {
    return median(c.benchmark + "#" + bench::kBaselineCounter);
  }

 private:
  double median(const std::string& key) const {
    auto found = samples_.find(key);
    return found == samples_.end() ? 0 : bench::median(found->second);
  }

  std::map<std::string, std::vector<double>> samples_;
};

std::string duration(double seconds) {
  char text[32];
  if (seconds >= 1e-3) {
    std::snprintf(text, sizeof text, "%.3f ms", seconds * 1e3);
  } else if (seconds >= 1e-6) {
    std::snprintf(text, sizeof text, "%.2f us", seconds * 1e6);
  } else {
    std::snprintf(text, sizeof text, "%.2f ns", seconds * 1e9);
  }
  return text;
}

bool met(const bench::Comparison& c, double ratio) {
  switch (c.goal) {
    case bench::Goal::AtMost:
      return ratio <= c.bound;
    case bench::Goal::Faster:
      return ratio < 1.0;
    case bench::Goal::SpeedUpAtLeast:
      return 1.0 / ratio >= c.bound;
  }
  return false;
}

std::string goalText(const bench::Comparison& c) {
  char text[64];
  switch (c.goal) {
    case bench::Goal::AtMost:
      std::snprintf(text, sizeof text, "ratio <= %.2g", c.bound);
      break;
    case bench::Goal::Faster:
      std::snprintf(text, sizeof text, "ratio < 1");
      break;
    case bench::Goal::SpeedUpAtLeast:
      std::snprintf(text, sizeof text, "%.2gx faster or more", c.bound);
      break;
  }
  return text;
}

std::string verdictText(const bench::Comparison& c, double ratio) {
  char text[64];
  std::snprintf(
      text, sizeof text, "%s (%.2fx %s)", met(c, ratio) ? "met" : "NOT MET",
      ratio < 1.0 ? 1.0 / ratio : ratio, ratio < 1.0 ? "faster" : "slower");
  return text;
}

// One markdown table: readable in a terminal and pasteable into the docs.
std::string ratioTable(const CollectingReporter& reporter) {
  std::ostringstream out;
  out << "| Benchmark | Clock | Ours | Baseline | Ratio | Goal | Verdict |\n"
      << "|---|---|---|---|---|---|---|\n";
  for (const bench::Comparison& c : bench::comparisons()) {
    const double ours = reporter.ours(c);
    const double baseline = reporter.baseline(c);
    out << "| " << c.title << " | "
        << (c.clock == bench::Clock::Cpu ? "cpu" : "wall") << " | ";
    if (ours <= 0 || baseline <= 0) {
      out << "not run | not run | - | " << goalText(c) << " | - |\n";
      continue;
    }
    const double ratio = ours / baseline;
    char ratioText[32];
    std::snprintf(ratioText, sizeof ratioText, "%.3f", ratio);
    out << duration(ours) << " | " << duration(baseline) << " | " << ratioText
        << " | " << goalText(c) << " | " << verdictText(c, ratio) << " |\n";
  }
  return out.str();
}

}  // namespace

int main(int argc, char** argv) {
  std::string markdownFile;
  const char* const kMarkdownFlag = "--ratios_markdown=";
  int kept = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], kMarkdownFlag, std::strlen(kMarkdownFlag)) == 0) {
      markdownFile = argv[i] + std::strlen(kMarkdownFlag);
    } else {
      argv[kept++] = argv[i];
    }
  }
  argc = kept;

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  bench::registerWindowProcBenchmarks();
  bench::registerFormatBenchmarks();
  bench::registerSettingsBenchmarks();
  bench::registerAboutPanelBenchmarks();

  CollectingReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  bench::cleanUpSettingsBenchmarks();

  const std::string table = ratioTable(reporter);
  std::printf(
      "\nRatios (median time per operation over the repetitions, "
      "ours / baseline, same run):\n\n%s",
      table.c_str());
  if (!markdownFile.empty()) {
    std::ofstream file(markdownFile);
    file << table;
    if (!file) {
      std::fprintf(stderr, "could not write %s\n", markdownFile.c_str());
      return 1;
    }
  }
  return 0;
}

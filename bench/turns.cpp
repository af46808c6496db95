#include <time.h>

#include <algorithm>
#include <vector>

#include "bench/comparisons.h"

namespace bench {

namespace {

double secondsOn(Clock clock) {
  timespec now{};
  clock_gettime(clock == Clock::Cpu ? CLOCK_THREAD_CPUTIME_ID : CLOCK_MONOTONIC,
                &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

}  // namespace

double median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::vector<Comparison>& comparisons() {
  static std::vector<Comparison> all;
  return all;
}

void takeTurns(benchmark::State& state, Clock clock, int operations,
               const Side& ours, const Side& baseline) {
  std::vector<double> oursTimes;
  std::vector<double> baselineTimes;
  bool oursFirst = true;
  for (auto _ : state) {
    for (int turn = 0; turn < 2; ++turn) {
      const bool isOurs = (turn == 0) == oursFirst;
      const Side& side = isOurs ? ours : baseline;
      if (side.prepare) side.prepare();
      const double start = secondsOn(clock);
      side.run();
      const double took = secondsOn(clock) - start;
      (isOurs ? oursTimes : baselineTimes).push_back(took / operations);
    }
    oursFirst = !oursFirst;
  }
  state.counters[kOursCounter] = median(oursTimes);
  state.counters[kBaselineCounter] = median(baselineTimes);
}

void compare(const std::string& name, const std::string& title, Goal goal,
             double bound, Clock clock, Benchmark function) {
  // Wall-clock time decides how many turns make the minimum time, whichever
  // clock the figures use, so that a run's length stays bounded.
  benchmark::RegisterBenchmark(
      name.c_str(),
      [function, clock](benchmark::State& state) { function(state, clock); })
      ->UseRealTime()
      ->Unit(benchmark::kMicrosecond);
  comparisons().push_back({title, name, goal, bound, clock});
}

}  // namespace bench

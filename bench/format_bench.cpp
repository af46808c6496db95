// The motion-value formatter alone against the C library's "%g". Whether the
// two agree byte for byte is a test's business (format_test), not this one's.
#include <benchmark/benchmark.h>

#include <clocale>
#include <cstdint>
#include <cstdio>
#include <random>
#include <vector>

#include "bench/comparisons.h"
#include "connection/window_proc.h"

namespace {

using bench::Clock;
using bench::Side;
using bench::takeTurns;

// Three values to a line: 333,334 lines hold the 10^6 values and two more.
constexpr std::size_t kLines = 333334;

// Values as the window procedure formats them: device values divided by the
// translation (1000) or rotation (10) divisor, rotations negated; mostly the
// small values a hand gives, and at the head of every fourth line one from
// the whole 32-bit range.
const std::vector<double>& values() {
  static const std::vector<double> all = [] {
    std::mt19937 random(20261211);
    std::uniform_int_distribution<std::int32_t> any(INT32_MIN, INT32_MAX);
    std::uniform_int_distribution<std::int32_t> small(-2000, 2000);
    std::vector<double> made;
    made.reserve(3 * kLines);
    for (std::size_t line = 0; line < kLines; ++line) {
      const bool rotation = line % 2 == 1;
      const double divisor = rotation ? 10.0 : 1000.0;
      for (int i = 0; i < 3; ++i) {
        const std::int32_t raw =
            line % 4 == 3 && i == 0 ? any(random) : small(random);
        made.push_back(rotation ? -(raw / divisor) : raw / divisor);
      }
    }
    return made;
  }();
  return all;
}

void formatValues(benchmark::State& state, Clock clock) {
  std::setlocale(LC_ALL, "C");
  const std::vector<double>& v = values();
  static char text[128];
  std::size_t total = 0;
  const Side ours{{}, [&] {
                    for (std::size_t k = 0; k < v.size(); k += 3) {
                      total += connection::formatCommand(
                          text, "AddRotation", 11, v[k], v[k + 1], v[k + 2]);
                      benchmark::DoNotOptimize(text);
                    }
                  }};
  const Side baseline{{}, [&] {
                        for (std::size_t k = 0; k < v.size(); k += 3) {
                          total += static_cast<std::size_t>(std::snprintf(
                              text, sizeof text, "AddRotation %g %g %g", v[k],
                              v[k + 1], v[k + 2]));
                          benchmark::DoNotOptimize(text);
                        }
                      }};
  // The figure is for one pass over all the values.
  takeTurns(state, clock, 1, ours, baseline);
  benchmark::DoNotOptimize(total);
}

}  // namespace

namespace bench {

void registerFormatBenchmarks() {
  compare("format_values", "motion-value formatting alone, 10^6 values",
          Goal::SpeedUpAtLeast, 3.0, Clock::Cpu, formatValues);
}

}  // namespace bench

// A figure of this suite is never an absolute time: each operation is
// measured against a baseline in the same run, on the same machine and under
// the same load, and judged by the ratio of the two.
#pragma once

#include <benchmark/benchmark.h>

#include <functional>
#include <string>
#include <vector>

namespace bench {

enum class Goal {
  AtMost,          // ours / baseline <= bound
  Faster,          // ours / baseline < 1
  SpeedUpAtLeast,  // baseline / ours >= bound
};

enum class Clock {
  // The thread's processor time, user and kernel: for work that only
  // computes, copies or calls the kernel. Time the shared machine gave to
  // other processes counts on neither side.
  Cpu,
  // Wall-clock time: for work whose cost is waiting, such as for a disk.
  Wall,
};

struct Comparison {
  std::string title;      // the row of the table
  std::string benchmark;  // registered name; its counters hold both sides
  Goal goal;
  double bound;  // see Goal
  Clock clock;
};

// Every comparison registered, in registration order.
std::vector<Comparison>& comparisons();

// One side of a comparison: `prepare` (untimed, may be empty) readies what
// `run` then does `operations` times, timed.
struct Side {
  std::function<void()> prepare;
  std::function<void()> run;
};

// The middle value (the mean of the two middle ones for an even count); 0
// for none.
double median(std::vector<double> values);

// The counters in which takeTurns leaves each side's median time per
// operation, in seconds.
inline constexpr const char* kOursCounter = "ours";
inline constexpr const char* kBaselineCounter = "baseline";

// The body of every benchmark in this suite. The load of a shared machine
// changes from one moment to the next by more than some of the differences
// measured here, so the two sides take turns within one benchmark, each
// going first every other turn; each iteration is one turn of both.
void takeTurns(benchmark::State& state, Clock clock, int operations,
               const Side& ours, const Side& baseline);

// A benchmark of this suite: it calls takeTurns with the clock it is given.
using Benchmark = void (*)(benchmark::State& state, Clock clock);

// Registers `function` as a benchmark named `name`, measured on `clock`, and
// the comparison that reads its counters.
void compare(const std::string& name, const std::string& title, Goal goal,
             double bound, Clock clock, Benchmark function);

// Each area registers its benchmarks.
void registerWindowProcBenchmarks();
void registerFormatBenchmarks();
void registerSettingsBenchmarks();
void registerAboutPanelBenchmarks();

// Called once after every benchmark ran: temporary files and the like.
void cleanUpSettingsBenchmarks();

}  // namespace bench

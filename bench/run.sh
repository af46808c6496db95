#!/usr/bin/env bash
# Configures and builds the "bench" preset (its own tree, build/bench), then
# runs the benchmark suite and prints each figure as a ratio against its
# baseline from the same run. Extra arguments go to the suite, for example
#   bench/run.sh --benchmark_filter=format
# The ratio table is also left in build/bench/ratios.md.
set -euo pipefail
cd "$(dirname "$0")/.."

# Two cores shared with other work: never more than two jobs.
jobs="${BUILD_JOBS:-2}"
if [ "$jobs" -gt 2 ]; then jobs=2; fi

cmake --preset bench >/dev/null
cmake --build --preset bench -j "$jobs" --target vexa_bench

# Five repetitions in random order, so that a burst of load from elsewhere
# falls on both sides of a comparison alike; each figure is a median.
exec build/bench/bin/vexa_bench \
  --benchmark_min_time=0.5 \
  --benchmark_repetitions=5 \
  --benchmark_enable_random_interleaving=true \
  --ratios_markdown=build/bench/ratios.md \
  "$@"

#!/usr/bin/env bash
# Runs the built settings fuzzer for a bounded time over a copy of the seed
# corpus, so the committed corpus never changes. Builds nothing.
#
#   fuzz/run-settings-fuzzer.sh [seconds] [fuzzer binary]
#
# seconds defaults to 60; the binary defaults to $SETTINGS_FUZZER, else the
# fuzz preset's build/fuzz/fuzz/settings_fuzzer. Exits non-zero when the
# fuzzer finds a crash, a leak or a failed check; the input that did it is
# kept and its folder printed.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
seconds=${1:-60}
binary=${2:-${SETTINGS_FUZZER:-$here/../build/fuzz/fuzz/settings_fuzzer}}

if [[ ! -x $binary ]]; then
  echo "run-settings-fuzzer: no fuzzer at $binary (build the target settings_fuzzer)" >&2
  exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/settings-fuzz-run-XXXXXX")
mkdir "$work/corpus" "$work/artifacts"
cp "$here/corpus/settings/"* "$work/corpus/"

status=0
# The fuzzer's own settings folder goes inside the work folder too.
export TMPDIR=$work
# Lines longer than the reader's 8192-byte buffer must be reachable.
"$binary" -max_total_time="$seconds" -max_len=20000 -timeout=20 \
  -rss_limit_mb=2048 -dict="$here/settings.dict" \
  -artifact_prefix="$work/artifacts/" -print_final_stats=1 \
  "$work/corpus" || status=$?

if [[ $status -ne 0 ]]; then
  echo "run-settings-fuzzer: failed (status $status); inputs kept in $work/artifacts" >&2
  exit "$status"
fi
rm -rf "$work"

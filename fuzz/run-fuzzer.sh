#!/usr/bin/env bash
# Runs one built fuzz target for a bounded time over a copy of its seed
# corpus, so the committed corpus never changes. Builds nothing.
#
#   fuzz/run-fuzzer.sh NAME [seconds] [build dir]
#
# NAME is settings or script; the target is BUILD/fuzz/NAME_fuzzer, its seeds
# fuzz/corpus/NAME/ and its dictionary fuzz/NAME.dict. seconds defaults to
# 60, the build dir to build/fuzz. Exits non-zero when the fuzzer finds a
# crash, a leak or a failed check; the input that did it is kept and its
# folder printed.
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
name=${1:?usage: run-fuzzer.sh settings|script [seconds] [build dir]}
seconds=${2:-60}
build=${3:-$here/../build/fuzz}
binary=$build/fuzz/${name}_fuzzer

if [[ ! -x $binary ]]; then
  echo "run-fuzzer: no fuzzer at $binary (build the target ${name}_fuzzer)" >&2
  exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/$name-fuzz-run-XXXXXX")
mkdir "$work/corpus" "$work/artifacts"
cp "$here/corpus/$name/"* "$work/corpus/"

status=0
export LSAN_OPTIONS=suppressions=$here/../tools/sanitizers/lsan.supp:print_suppressions=0
# The fuzzer's own settings folder goes inside the work folder too.
export TMPDIR=$work
# Lines longer than the settings reader's 8192-byte buffer must be reachable.
"$binary" -max_total_time="$seconds" -max_len=20000 -timeout=20 \
  -rss_limit_mb=2048 -dict="$here/$name.dict" \
  -artifact_prefix="$work/artifacts/" -print_final_stats=1 \
  "$work/corpus" || status=$?

if [[ $status -ne 0 ]]; then
  echo "run-fuzzer: $name failed (status $status); inputs kept in $work/artifacts" >&2
  exit "$status"
fi
rm -rf "$work"
echo "run-fuzzer: $name: no crash, leak or failed check in $seconds s"

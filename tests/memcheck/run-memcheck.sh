#!/usr/bin/env bash
# Runs the long session under valgrind's memcheck: any memory error, or any
# definite or indirect leak, fails.
#   run-memcheck.sh LAYOUT_SIM [ROUNDS]
set -euo pipefail
sim=$1
rounds=${2:-1000}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/settings"
"$here/long-session.sh" "$rounds" >"$work/session.sim"
valgrind --quiet --leak-check=full --errors-for-leak-kinds=definite,indirect \
  --error-exitcode=1 --track-origins=no \
  --suppressions="$here/../../tools/sanitizers/valgrind.supp" \
  "$sim" --settings "$work/settings" --snapshots "$work" \
  run "$work/session.sim" >"$work/out"
grep -c '^layout< ' "$work/out" | sed 's/^/command lines sent: /'
tail -n 3 "$work/out"

#!/usr/bin/env bash
# Plays every end-to-end script through the Windows layout-sim under Wine and
# compares what reaches Layout, the driver, the handler's errors and Layout's
# message box (the layout<, device<, error< and message< lines), and the exit
# status, with the Linux transcript beside the script. The state<, settings<
# and host< lines describe the stand-in itself and may differ.
#   run-e2e-wine.sh WINE LAYOUT_SIM_EXE SCRIPTS_DIR
# Wine's server must be running for the prefix in WINEPREFIX.
set -uo pipefail
wine=$1
sim=$(cd "$(dirname "$2")" && pwd)/$(basename "$2")
scripts=$(cd "$3" && pwd)

compared='^(layout|device|error|message)< |^exit '

# The module must find "siappdll" only where the host points it.
if [[ -e $(dirname "$sim")/siappdll.dll ]]; then
  echo "FAIL: a siappdll.dll beside $(basename "$sim") would answer every load"
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# Z: is the Unix root in every Wine prefix; the program gets Windows paths.
windows_path() { local p=${1//\//\\}; echo "Z:$p"; }

passed=0
failed=0
for script in "$scripts"/*.sim; do
  name=$(basename "$script" .sim)
  expected=${script%.sim}.out
  if [[ ! -f $expected ]]; then
    echo "FAIL: $name: no transcript $(basename "$expected")"
    failed=$((failed + 1))
    continue
  fi
  run=$work/$name
  mkdir -p "$run/settings"
  seed=${script%.sim}.cfg
  if [[ -f $seed ]]; then cp "$seed" "$run/settings/DAVidiruziv.cfg"; fi
  (cd "$(dirname "$script")" &&
    "$wine" "$sim" --settings "$(windows_path "$run/settings")" \
      --snapshots "$(windows_path "$run")" run "$(basename "$script")" \
      >"$run/out" 2>"$run/err"
    echo "exit $?" >>"$run/out")
  # Windows ends lines with CR LF.
  tr -d '\r' <"$run/out" | grep -E "$compared" >"$run/actual"
  grep -E "$compared" "$expected" >"$run/expected"
  if diff -u --label "$name.out (Linux)" --label "$name (Wine)" \
    "$run/expected" "$run/actual" >"$run/diff"; then
    echo "ok: $name"
    passed=$((passed + 1))
  else
    echo "FAIL: $name"
    cat "$run/diff"
    sed 's/^/  stderr: /' "$run/err"
    failed=$((failed + 1))
  fi
done

echo "e2e under Wine: $passed passed, $failed failed"
((failed == 0 && passed > 0))

#!/usr/bin/env bash
# Runs one layout-sim script in a fresh settings directory and compares what
# it prints, and its exit status, with the expected transcript beside it.
#   run-script.sh LAYOUT_SIM SCRIPT.sim [--update]
# Paths inside the scratch directory print as <TMP>.
set -uo pipefail
sim=$1
script=$2
expected=${script%.sim}.out
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/settings"
# A script may seed the settings directory from a file beside it.
seed=${script%.sim}.cfg
if [[ -f $seed ]]; then cp "$seed" "$work/settings/DAVidiruziv.cfg"; fi

(cd "$(dirname "$script")" &&
  "$sim" --settings "$work/settings" --snapshots "$work" run "$(basename "$script")" \
    >"$work/out" 2>&1
  echo "exit $?" >>"$work/out")
sed "s|$work|<TMP>|g" "$work/out" >"$work/actual"

if [[ ${3:-} == --update ]]; then
  cp "$work/actual" "$expected"
  exit 0
fi
diff -u "$expected" "$work/actual"

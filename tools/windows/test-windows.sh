#!/usr/bin/env bash
# The Windows builds and their tests, from Linux:
#  1. cross-builds the 32-bit plug-in (build/win32, the deliverable) and the
#     64-bit plug-in, stand-in drivers, layout-sim.exe and test programs
#     (build/win64) with MinGW-w64;
#  2. reads the 32-bit plug-in's export and import tables and descriptor (a
#     32-bit program cannot run on this machine, so it is checked, not run),
#     and the 64-bit one's the same way;
#  3. under Wine: where the real loader finds "siappdll", the hook chain on
#     a real window, and every end-to-end script,
#     compared with its Linux transcript.
# Exits non-zero when any step fails. BUILD_JOBS (default 2) caps the build;
# WINE names the 64-bit Wine loader when it is not in the usual place.
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$root" || exit 1
jobs=${BUILD_JOBS:-2}
started=$SECONDS
failures=()

step() { echo; echo "== [$((SECONDS - started)) s] $*"; }
record() {  # record NAME STATUS
  if (($2 != 0)); then failures+=("$1"); fi
}

for preset in win32 win64; do
  step "build $preset"
  if ! cmake --preset "$preset" >/dev/null ||
    ! cmake --build --preset "$preset" -j "$jobs"; then
    echo "FAIL: the $preset build"
    exit 1
  fi
done

step "32-bit plug-in: build/win32/plugin/vexa_spaceball.p"
tests/windows/check-module-dll.sh i686-w64-mingw32-objdump \
  build/win32/plugin/vexa_spaceball.p 0x300
record "32-bit plug-in tables" $?

step "64-bit plug-in: build/win64/plugin/vexa_spaceball.p"
tests/windows/check-module-dll.sh x86_64-w64-mingw32-objdump \
  build/win64/plugin/vexa_spaceball.p 0x8664
record "64-bit plug-in tables" $?

wine=${WINE:-}
if [[ -z $wine ]]; then
  for candidate in /usr/lib/wine/wine64 "$(command -v wine64 || true)" \
    "$(command -v wine || true)"; do
    if [[ -n $candidate && -x $candidate ]]; then
      wine=$candidate
      break
    fi
  done
fi
if [[ -z $wine ]]; then
  echo "FAIL: no Wine found (tools/install-deps.sh installs wine64)"
  exit 1
fi

# A prefix of our own inside the build tree, no display, no debug chatter,
# and no offer to install Mono or Gecko on first use.
export WINEPREFIX=$root/build/win64/wineprefix
export WINEDEBUG=-all
export WINEARCH=win64
export WINELOADER=$wine
export WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
mkdir -p "$WINEPREFIX"
step "Wine: $("$wine" --version 2>/dev/null), prefix $WINEPREFIX"
wineserver -p
trap 'wineserver -k 2>/dev/null' EXIT
# A new prefix is set up once, before anything is timed or compared.
if [[ ! -f $WINEPREFIX/system.reg ]]; then
  "$wine" wineboot -i >/dev/null 2>&1
fi

step "driver search under Wine"
"$wine" build/win64/bin/driver_search_test.exe
record "driver search" $?

step "hook chain under Wine"
"$wine" build/win64/bin/hook_chain_test.exe
record "hook chain" $?

step "end-to-end scripts under Wine"
tests/windows/run-e2e-wine.sh "$wine" build/win64/bin/layout-sim.exe \
  tests/e2e/scripts
record "end-to-end under Wine" $?

wineserver -k 2>/dev/null
trap - EXIT

echo
echo "Windows tests took $((SECONDS - started)) s"
if ((${#failures[@]} > 0)); then
  printf 'FAILED: %s\n' "${failures[@]}"
  exit 1
fi
echo "Windows tests passed"

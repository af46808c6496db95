#!/usr/bin/env bash
# Reads a built Windows plug-in without running it: one export, _mod_descrip,
# undecorated; imports only from DLLs every Windows has; and the descriptor
# behind the export starts with the sync word, version 3 and the machine word.
#   check-module-dll.sh OBJDUMP MODULE MACHINE_WORD
# MACHINE_WORD: 0x300 for 32-bit Windows, 0x8664 for 64-bit.
set -uo pipefail
objdump=$1
module=$2
machine=$3

passed=0
failed=0
check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: $(basename "$module"): $what"
  fi
}

if ! dump=$("$objdump" -p "$module" 2>&1); then
  echo "FAIL: $objdump -p $module: $dump"
  exit 1
fi

case $machine in
  0x300) format=pei-i386 ;;
  0x8664) format=pei-x86-64 ;;
  *)
    echo "unknown machine word $machine" >&2
    exit 2
    ;;
esac
check "file format $format" grep -q "file format $format\$" <<<"$dump"

# --- exports ---------------------------------------------------------------
names=$(awk '/^\[Ordinal\/Name Pointer\] Table/ { on = 1; next }
             on && NF == 0 { exit }
             on { print $NF }' <<<"$dump")
addresses=$(grep -cE '^\s+\[ *[0-9]+\] \+base\[' <<<"$dump")
echo "exports: ${names//$'\n'/ } ($addresses in the address table)"
check "exactly one export name, _mod_descrip (got: ${names//$'\n'/ })" \
  test "$names" = _mod_descrip
check "exactly one exported address, no ordinal-only exports" \
  test "$addresses" -eq 1

# --- imports ---------------------------------------------------------------
dlls=$(awk '/^[ \t]+DLL Name: / { print $3 }' <<<"$dump")
echo "imports: ${dlls//$'\n'/ }"
check "imports KERNEL32.dll" grep -qix KERNEL32.dll <<<"$dlls"
check "imports USER32.dll" grep -qix USER32.dll <<<"$dlls"
while read -r dll; do
  [[ -z $dll ]] && continue
  check "import $dll is a DLL every Windows has" \
    grep -qixE 'kernel32\.dll|user32\.dll|msvcrt\.dll|api-ms-win-crt-[a-z0-9-]+\.dll' \
    <<<"$dll"
done <<<"$dlls"

# The functions taken from one DLL, by name.
functions_of() {
  awk -v dll="$1" '
    /^[ \t]+DLL Name: / { on = (toupper($3) == toupper(dll)); next }
    on && NF == 0 { on = 0 }
    on && $1 ~ /^[0-9a-f]+$/ && NF >= 3 { print $3 }' <<<"$dump" | sort
}
user32=$(functions_of USER32.dll)
kernel32=$(functions_of KERNEL32.dll)
echo "USER32: ${user32//$'\n'/ }"
# The hook is all the module wants of USER32; the 32-bit headers spell
# SetWindowLongPtrA as SetWindowLongA.
if [[ $machine == 0x300 ]]; then hook=SetWindowLongA; else hook=SetWindowLongPtrA; fi
check "USER32 gives exactly CallWindowProcA and $hook (got: ${user32//$'\n'/ })" \
  test "$user32" = "$(printf 'CallWindowProcA\n%s' "$hook")"
for function in LoadLibraryA GetProcAddress FreeLibrary; do
  check "KERNEL32 gives $function" grep -qx "$function" <<<"$kernel32"
done

# --- the descriptor behind the export ------------------------------------
base=$(awk '/^ImageBase/ { print $2 }' <<<"$dump")
rva=$(awk '/\+base\[ *1\]/ { print $(NF - 2); exit }' <<<"$dump")
if [[ -n $base && -n $rva ]]; then
  at=$((0x$base + 0x$rva))
  contents=$("$objdump" -s --start-address=$at --stop-address=$((at + 12)) \
    "$module")
  section=$(sed -n 's/^Contents of section \(.*\):$/\1/p' <<<"$contents")
  bytes=$(awk '/^ [0-9a-f]+ / { print $2 $3 $4 }' <<<"$contents")
  word=$(printf '%08x' "$machine")
  little=${word:6:2}${word:4:2}${word:2:2}${word:0:2}
  echo "descriptor: $bytes in $section"
  check "descriptor in .rdata or .data (got: $section)" \
    grep -qxE '\.rdata|\.data' <<<"$section"
  check "descriptor bytes: sync 0x04121994, version 3, machine $machine" \
    test "$bytes" = "9419120403000000$little"
else
  check "the export's address and the image base can be read" false
fi

echo "$(basename "$module"): $passed passed, $failed failed"
((failed == 0))

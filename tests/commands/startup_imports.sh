#!/usr/bin/env bash
# vexil.exe imports at start only the system DLLs that every run needs: each DLL costs start-up
# time under Wine, so the others are delay-loaded (their first call loads them). A static import
# of one of them means a call bound to the ordinary import library instead.
# Usage: startup_imports.sh OBJDUMP PROGRAM DELAY-LOADED-NAME...
set -uo pipefail
objdump=$1 program=$2
shift 2
imports=$("$objdump" -p "$program" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
if [[ -z $imports ]]; then echo "FAIL: no import table read from $program"; exit 1; fi
status=0
for name in "$@"; do
  if grep -qx "${name,,}.dll" <<<"$imports"; then
    echo "FAIL: $name.dll is imported at start"
    status=1
  fi
done
[[ $status -eq 0 ]] && echo "ok"
exit $status

#!/usr/bin/env bash
# ./vexil --pack on a script that does not load: the packager prints the interpreter's error
# record, with the message table's text, and writes nothing.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
folder=$root/tests/commands
failed=0
check() {  # script expected-record
  local out status
  out=$(timeout 90 "$root/vexil" --pack "$folder/$1" 2>/dev/null)
  status=$?
  out=${out//$'\r'/}
  if [[ $status -ne 1 ]]; then echo "FAIL $1: status $status, expected 1"; failed=1; fi
  if [[ $out != "$2" ]]; then echo "FAIL $1: output differs"; diff <(echo "$2") <(echo "$out"); failed=1; fi
  if [[ -e $folder/${1%.vx3}.exe ]]; then echo "FAIL $1: a program was written"; rm -f "$folder/${1%.vx3}.exe"; failed=1; fi
}
check unclosed_comments.vx3 'S:\unclosed_comments.vx3 (2) : ==> Unterminated group of comments.: 
#cs '
check unterminated_string.vx3 "S:\\unterminated_string.vx3 (1) : ==> Unterminated string.: 
\$a = 'open "
check bad_character.vx3 'S:\bad_character.vx3 (1) : ==> Unable to parse line.: 
$a = 5 ! 3 
$a = 5 ^ ERROR'
[[ $failed -eq 0 ]] && echo "ok"
exit $failed

#!/usr/bin/env bash
# ./vexil on a display nobody sees: a script error prints its record and ends with status 1,
# instead of an error box that waits for a click forever.
set -uo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$(env -u DISPLAY timeout 90 "$root/vexil" "$root/tests/commands/broken.vx3" 2>/dev/null)
status=$?
expected='first line runs
"S:\broken.vx3" (3) : ==> Error in expression.:
$n = $n +
$n = $n +^ ERROR'
out=${out//$'\r'/}
if [[ $status -ne 1 ]]; then echo "FAIL: status $status, expected 1"; echo "$out"; exit 1; fi
if [[ $out != "$expected" ]]; then
  echo "FAIL: output differs"; diff <(echo "$expected") <(echo "$out"); exit 1
fi
echo "ok"

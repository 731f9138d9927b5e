#!/usr/bin/env bash
# The fuzzer's run budget: a script that ends by itself, one that loops for ever and one that
# sleeps for ten minutes all end well inside the watchdog's limit, the last two through the
# budget (the watchdog would end the driver with a hang finding, status 4).
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tools/wine-env.sh"
vexil_wine_ready
area=$WINEPREFIX/drive_c/fuzz/budget
rm -rf "$area" && mkdir -p "$area"
printf 'ConsoleWrite("plain" & @LF)\r\n' >"$area/plain.vx3"
printf 'While 1\r\nWEnd\r\n' >"$area/loop.vx3"
printf 'Sleep(600000)\r\n' >"$area/sleep.vx3"
status=0
for name in plain loop sleep; do
  start=$(date +%s%N)
  code=0
  wine 'C:\vexil\vexil-fuzz.exe' --run "C:\\fuzz\\budget\\$name.vx3" --ms 500 --hang 10000 || code=$?
  (( code == 0 )) || { echo "$name: the driver ended with status $code"; status=1; }
  elapsed=$(( ($(date +%s%N) - start) / 1000000 ))
  echo "$name: ${elapsed} ms"
  (( elapsed < 8000 )) || { echo "$name: took ${elapsed} ms"; status=1; }
done
exit $status

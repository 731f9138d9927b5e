#!/usr/bin/env bash
# Lays the test scripts anew in build/testarea (drive T: under Wine) and readies the Wine prefix.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
area=$root/build/testarea
rm -rf "$area"
mkdir -p "$area"
cp -a "$root/tests/scripts/." "$area/"
# Drive U:, the test area's second volume, emptied too.
mkdir -p "$root/build/second-volume"
find "$root/build/second-volume" -mindepth 1 -delete

"$root/tools/wine-run" 'C:\vexil\vexil-make-fixtures.exe' 'T:\packaged'
# The test automation server, for the object tests.
"$root/tools/wine-run" regsvr32 /s 'C:\vexil\vexil-test-com.dll'
# The include search list's registry value points into the test area.
"$root/tools/wine-run" reg add 'HKCU\Software\Vexil v3\Vexil' /v Include /t REG_SZ /d 'T:\loader\search-a;;T:\loader\search-b' /f >/dev/null

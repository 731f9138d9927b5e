#!/usr/bin/env bash
# Lays the test scripts anew in build/testarea (drive T: under Wine) and readies the Wine prefix.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
area=$root/build/testarea
rm -rf "$area"
mkdir -p "$area"
cp -a "$root/tests/scripts/." "$area/"
"$root/tools/wine-run" cmd /c exit 0

#!/usr/bin/env bash
# Flat profile of one script under Wine: bench/profile.sh SCRIPT.vx3 [TOP]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
script=$(realpath "$1")
"$root/tools/build.sh"
source "$root/tools/wine-env.sh"
vexil_wine_ready
area=$root/build/testarea/profile
mkdir -p "$area"
cp "$script" "$area/"
(cd "$area" && wine 'C:\vexil\vexil-sampler.exe' 'T:\profile\samples.txt' 'C:\vexil\vexil.exe' "T:\\profile\\$(basename "$script")" >/dev/null)
python3 "$root/bench/profile/symbolize.py" "$area/samples.txt" "$root/build/vexil.exe" "${2:-40}"

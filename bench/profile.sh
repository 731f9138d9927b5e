#!/usr/bin/env bash
# bench/profile.sh WORKLOAD [TOP]: samples vexil.exe running bench/kit/WORKLOAD/main.vx3 under
# Wine with perf, and lists the functions of vexil.exe and of Wine's libraries the time goes to.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
workload=${1:?usage: bench/profile.sh WORKLOAD [TOP]}
[[ -f $root/bench/kit/$workload/main.vx3 ]] || { echo "profile: no bench/kit/$workload/main.vx3" >&2; exit 2; }
"$root/tools/install-packages.sh" linux-perf
"$root/tools/build.sh"
source "$root/tools/wine-env.sh"
vexil_wine_ready
area=$root/build/testarea/kit/$workload
mkdir -p "$area"
cp "$root/bench/kit/$workload/main.vx3" "$area/"
cd "$area"
data=$root/build/profile-$workload.data
perf record -q -e cpu-clock -F ${PROFILE_HZ:-499} -o "$data" -- wine 'C:\vexil\vexil.exe' /ErrorStdOut "T:\\kit\\$workload\\main.vx3"
python3 "$root/bench/pe_profile.py" "$data" "$root/build/vexil.exe" "${2:-25}"

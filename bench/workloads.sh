#!/usr/bin/env bash
# Times each script of bench/workloads (the Vexil-only ones; ./run-bench compares languages) under
# Wine: median wall time of several runs, and the time of an empty script (the program's start-up)
# for reference.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${RUNS:-5}
"$root/tools/build.sh"
source "$root/tools/wine-env.sh"
vexil_wine_ready
sleep 1 # the keep-alive window brings Wine's desktop up
area=$root/build/testarea/bench
mkdir -p "$area"
cp "$root"/bench/workloads/*.vx3 "$area/"
: >"$area/empty.vx3"

median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
time_script() {
  local name=$1 i
  for ((i = 0; i < runs; i++)); do
    local start end
    start=$(date +%s.%N)
    (cd "$area" && wine 'C:\vexil\vexil.exe' "T:\\bench\\$name.vx3" >/dev/null)
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l
  done | median
}

printf '%-16s %10s\n' workload seconds
for script in empty "$root"/bench/workloads/*.vx3; do
  name=$(basename "$script" .vx3)
  printf '%-16s %10.3f\n' "$name" "$(time_script "$name")"
done

#!/usr/bin/env bash
# The suite's short fuzz: a fixed seed and about a minute of generated scripts run in the
# in-process fuzzer (./run-fuzz runs longer ones); any finding fails the test.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
source "$root/tools/wine-env.sh"
vexil_wine_ready
exec python3 "$root/tools/fuzz.py" --count 3000 --seed 1 --area short --reduce-runs 0

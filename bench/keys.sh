#!/usr/bin/env bash
# Times the key-string interpreter on a 1 MB key string (in-process, against a counting sink).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/build.sh"
"$root/tools/wine-run" 'C:\vexil\vexil-bench-keys.exe' 7

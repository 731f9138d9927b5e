#!/usr/bin/env bash
# Times loading and tokenising a generated 100,000-line script (in-process, start-up excluded).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/build.sh"
script=$root/build/testarea/bench/tokenise-100k.vx3
mkdir -p "$(dirname "$script")"
python3 - "$script" <<'PY'
import sys
lines = [
    'Local $total = 0, $name = "item" ; running total',
    'For $i = 1 To 100 Step 2',
    '    $total += StringLen($name & $i) * 3.5 - 0x1F',
    '    If $total >= 1e6 Or Not IsNumber($total) Then ExitLoop',
    "    $map[$i] = 'value ''quoted'' ' & @CRLF",
    'Next',
    'Func Helper($a, ByRef $b, $c = -2147483648)',
    '    Return $a.Member($b[1][2]) <> $c ? True : False',
    'EndFunc',
    '$result = Helper(1, $total) ; done',
]
with open(sys.argv[1], 'w') as f:
    for i in range(100000):
        f.write(lines[i % len(lines)] + '\n')
PY
"$root/tools/wine-run" 'C:\vexil\vexil-bench-tokenise.exe' 'T:\bench\tokenise-100k.vx3' 7

#!/usr/bin/env python3
"""Turns the sampler's "address count" lines into a flat profile by function, using the symbol
table of the program (nm). Usage: symbolize.py SAMPLES.txt PROGRAM.exe [TOP]"""
import bisect
import subprocess
import sys


def module_of(modules, address):
    for base, size, name in modules:
        if base <= address < base + size:
            return f"({name})"
    return "(unknown)"


def main():
    samples_path, program = sys.argv[1], sys.argv[2]
    top = int(sys.argv[3]) if len(sys.argv) > 3 else 40
    nm = subprocess.run(["x86_64-w64-mingw32-nm", "-C", "--defined-only", program],
                        capture_output=True, text=True, check=True).stdout
    symbols = []
    for line in nm.splitlines():
        parts = line.split(" ", 2)
        if len(parts) == 3 and parts[1] in "tT":
            symbols.append((int(parts[0], 16), parts[2]))
    symbols.sort()
    starts = [s[0] for s in symbols]
    totals, total, modules = {}, 0, []
    with open(samples_path) as f:
        for line in f:
            if line.startswith("module "):
                _, base, size, name = line.split(" ", 3)
                modules.append((int(base, 16), int(size, 16), name.strip()))
                continue
            address, count = line.split()
            address, count = int(address, 16), int(count)
            total += count
            i = bisect.bisect_right(starts, address) - 1
            name = symbols[i][1] if i >= 0 and address - starts[i] < 1 << 20 else module_of(modules, address)
            totals[name] = totals.get(name, 0) + count
    print(f"{total} samples")
    for name, count in sorted(totals.items(), key=lambda kv: -kv[1])[:top]:
        print(f"{100.0 * count / total:6.2f}%  {name[:150]}")


main()

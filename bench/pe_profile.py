#!/usr/bin/env python3
"""pe_profile.py PERF.DATA EXE [TOP]: the functions that perf samples of a Wine process fall in.

perf cannot read the symbols of PE images, and Wine maps vexil.exe into anonymous memory: every
sample's address is looked up in the symbol table (x86_64-w64-mingw32-nm) of the image it lies
in, vexil.exe or one of Wine's PE libraries, all loaded at their preferred bases."""
import bisect
import collections
import subprocess
import sys


def symbols(path):
    listing = subprocess.run(["x86_64-w64-mingw32-nm", "-C", "--defined-only", path],
                             capture_output=True, text=True).stdout
    table = []
    for line in listing.splitlines():
        parts = line.split(" ", 2)
        if len(parts) == 3 and parts[1] in "tT":
            table.append((int(parts[0], 16), parts[2]))
    table.sort()
    return [a for a, _ in table], [n for _, n in table]


def main():
    data, exe = sys.argv[1], sys.argv[2]
    top = int(sys.argv[3]) if len(sys.argv) > 3 else 25
    images = {}
    counts = collections.Counter()
    samples = subprocess.run(["perf", "script", "-i", data, "-F", "ip,dso"],
                             capture_output=True, text=True).stdout.splitlines()
    for line in samples:
        ip_text, _, dso = line.strip().partition(" ")
        ip = int(ip_text, 16)
        dso = dso.strip("()")
        path = dso if dso.lower().endswith((".dll", ".exe")) else exe
        if path not in images:
            images[path] = symbols(path)
        addresses, names = images[path]
        i = bisect.bisect_right(addresses, ip) - 1
        short = path.rsplit("/", 1)[-1]
        if i < 0 or (path == exe and not dso.startswith("/tmp/perf-")):
            counts["%s (no symbol)" % (dso.rsplit("/", 1)[-1] or "?")] += 1
        else:
            counts["%s: %s" % (short, names[i])] += 1
    total = max(len(samples), 1)
    for name, n in counts.most_common(top):
        print("%5.1f%%  %s" % (100.0 * n / total, name[:160]))


if __name__ == "__main__":
    main()

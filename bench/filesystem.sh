#!/usr/bin/env bash
# File-system figures: FileFindFirstFile/FileFindNextFile over 100,000 files, DirGetSize and DirCopy
# of a tree of 10,000 files (the times the scripts take themselves, best of RUNS), beside Python's
# os.scandir, os.walk and shutil.copytree on the same folders. The kit runs Python natively, not
# under Wine, and so does this: its figures are Linux's, Vexil's pass through Wine's file layer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${RUNS:-3}
"$root/tools/build.sh"
source "$root/tools/wine-env.sh"
vexil_wine_ready
area=$root/build/testarea/bench
mkdir -p "$area"
cp "$root/bench/workloads/file_search.vx3" "$root/bench/workloads/dir_tree.vx3" "$area/"
# The folders, made natively once (the scripts would make them too, slowly).
python3 - "$area" <<'PY'
import os, sys
area = sys.argv[1]
search = os.path.join(area, "search_100k")
if not os.path.exists(os.path.join(search, "f99999.txt")):
    os.makedirs(search, exist_ok=True)
    for i in range(100000):
        open(os.path.join(search, "f%d.txt" % i), "wb").close()
tree = os.path.join(area, "tree_10k")
if not os.path.exists(os.path.join(tree, "d99", "f99.txt")):
    for d in range(100):
        os.makedirs(os.path.join(tree, "d%d" % d), exist_ok=True)
        for f in range(100):
            with open(os.path.join(tree, "d%d" % d, "f%d.txt" % f), "wb") as out:
                out.write(b"0" * 100)
PY
echo "Vexil under Wine (the scripts' own timers):"
for ((i = 0; i < runs; i++)); do
  (cd "$area" && wine 'C:\vexil\vexil.exe' 'T:\bench\file_search.vx3')
  (cd "$area" && wine 'C:\vexil\vexil.exe' 'T:\bench\dir_tree.vx3')
done
echo "Python $(python3 -c 'import sys; print(sys.version.split()[0])') natively:"
for ((i = 0; i < runs; i++)); do
  python3 - "$area" <<'PY'
import os, shutil, sys, time
area = sys.argv[1]
t = time.perf_counter()
count = length = 0
with os.scandir(os.path.join(area, "search_100k")) as entries:
    for entry in entries:
        count += 1
        length += len(entry.name)
search = time.perf_counter() - t
tree, copy = os.path.join(area, "tree_10k"), os.path.join(area, "tree_10k_pycopy")
shutil.rmtree(copy, ignore_errors=True)
t = time.perf_counter()
size = files = folders = 0
for folder, subfolders, names in os.walk(tree):
    folders += len(subfolders)
    for name in names:
        files += 1
        size += os.stat(os.path.join(folder, name)).st_size
walk = time.perf_counter() - t
t = time.perf_counter()
shutil.copytree(tree, copy)
copied = time.perf_counter() - t
shutil.rmtree(copy)
print("%d %d scandir %d ms; %d %d %d walk %d ms copytree %d ms" % (count, length, search * 1000, size, files, folders, walk * 1000, copied * 1000))
PY
done

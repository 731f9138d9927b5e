#!/usr/bin/env python3
"""Runs the in-process fuzzer (build/vexil-fuzz.exe) under Wine and deals with what it finds.

tools/fuzz.py [--count N] [--seed S] [--area NAME] [--typed PERCENT] [--reduce-runs N]

The driver runs scripts one after another and stops at the first finding, leaving the script in
its scratch folder. This harness then keeps the script (build/fuzz-findings/), cuts it down to a
small reproducer (lines, then tokens, while the same finding remains) and starts the driver
again after it, until COUNT scripts have run. Called by ./run-fuzz and by the suite's short fuzz,
with Wine's environment already set (tools/wine-env.sh).
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
PREFIX = os.environ["WINEPREFIX"]
DRIVER = "C:\\vexil\\vexil-fuzz.exe"
KINDS = {3: "crash", 4: "hang", 5: "allocation", 6: "memory"}
TOKEN = re.compile(r'"[^"]*"|\'[^\']*\'|\$\w+|@\w+|\w+|\s+|.', re.S)


def windows(path):
    return "C:\\" + os.path.relpath(path, os.path.join(PREFIX, "drive_c")).replace("/", "\\")


def prepare(area):
    """The corpus: the suite's scripts and the benchmark kit's, none that names a drive."""
    shutil.rmtree(area, ignore_errors=True)
    corpus = os.path.join(area, "corpus")
    os.makedirs(corpus)
    os.makedirs(os.path.join(area, "scratch"))
    sources = []
    for folder in (os.path.join(ROOT, "tests", "scripts"), os.path.join(ROOT, "bench", "kit")):
        for parent, _, files in os.walk(folder):
            sources += [os.path.join(parent, f) for f in files if f.endswith(".vx3")]
    kept = 0
    for number, source in enumerate(sorted(sources)):
        with open(source, "rb") as f:
            data = f.read()
        # A script that names a drive might write outside the scratch folder once mutated.
        if re.search(rb"[A-Za-z]:\\", data) or re.search(rb"[A-Za-z]\x00:\x00\\\x00", data):
            continue
        with open(os.path.join(corpus, "%04d.vx3" % number), "wb") as f:
            f.write(data)
        kept += 1
    return kept


def run_driver(area, args, timeout):
    command = ["wine", DRIVER, "--corpus", windows(os.path.join(area, "corpus")),
               "--scratch", windows(os.path.join(area, "scratch"))] + args
    try:
        done = subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, timeout=timeout)
    except subprocess.TimeoutExpired:
        return None, ""
    return done.returncode, done.stderr.decode("utf-8", "replace")


def still_fails(path, kind, area, budget_args):
    """True when running the script alone gives the same kind of finding."""
    scratch = os.path.join(area, "scratch", "reduce-check.vx3")
    shutil.copyfile(path, scratch)
    try:
        done = subprocess.run(["wine", DRIVER, "--run", windows(scratch)] + budget_args,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=120)
    except subprocess.TimeoutExpired:
        return kind == "hang"
    return KINDS.get(done.returncode) == kind


def read_lines(path):
    with open(path, "rb") as f:
        data = f.read()
    return data[2:].decode("utf-16-le", "surrogatepass").split("\n")


def write_lines(path, lines):
    with open(path, "wb") as f:
        f.write(b"\xff\xfe" + "\n".join(lines).encode("utf-16-le", "surrogatepass"))


def reduce(found, kind, area, budget_args, limit=150):
    """Cuts chunks of lines, then single tokens, while the finding remains."""
    work = os.path.join(os.path.dirname(found), "reducing.vx3")
    lines = read_lines(found)
    checks = 0

    def fails(candidate):
        nonlocal checks
        checks += 1
        write_lines(work, candidate)
        return still_fails(work, kind, area, budget_args)

    chunk = max(1, len(lines) // 2)
    while chunk >= 1 and checks < limit:
        i = 0
        while i < len(lines) and checks < limit:
            candidate = lines[:i] + lines[i + chunk:]
            if candidate and fails(candidate):
                lines = candidate
            else:
                i += chunk
        chunk //= 2
    for n in range(len(lines)):
        tokens = TOKEN.findall(lines[n])
        t = 0
        while t < len(tokens) and checks < limit:
            candidate = tokens[:t] + tokens[t + 1:]
            if fails(lines[:n] + ["".join(candidate)] + lines[n + 1:]):
                tokens = candidate
                lines[n] = "".join(tokens)
            else:
                t += 1
    reduced = found[:-4] + ".min.vx3"
    write_lines(reduced, lines)
    return reduced, checks


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--count", type=int, default=1000)
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--area", default="run")
    parser.add_argument("--typed", type=int, default=50)
    parser.add_argument("--lines", type=int, default=20000)
    parser.add_argument("--ms", type=int, default=2000)
    # Each reducing run of a hang takes the whole budget: the suite's short fuzz reduces nothing,
    # so that a finding fails it at once instead of running past its time.
    parser.add_argument("--reduce-runs", type=int, default=150)
    options = parser.parse_args()
    area = os.path.join(PREFIX, "drive_c", "fuzz", options.area)
    findings_dir = os.path.join(ROOT, "build", "fuzz-findings")
    os.makedirs(findings_dir, exist_ok=True)
    corpus_size = prepare(area)
    budget_args = ["--lines", str(options.lines), "--ms", str(options.ms)]
    print("fuzz: seed %d, %d scripts, corpus of %d scripts" % (options.seed, options.count, corpus_size), flush=True)

    first, findings, filled, started = 0, [], [], time.time()
    calls = {}
    while first < options.count:
        status, report = run_driver(area, ["--seed", str(options.seed), "--first", str(first),
                                           "--count", str(options.count - first), "--typed", str(options.typed)]
                                    + budget_args, timeout=max(600, options.count))
        for name, count in re.findall(r"CALLS (\w+) (\d+)\r?$", report, re.M):
            calls[name] = calls.get(name, 0) + int(count)
        if status == 0:
            break
        match = re.search(r"FINDING (\w+) index=(\d+) detail=(\w+)", report)
        if not match:
            print("fuzz: the driver failed without a finding (status %s):\n%s" % (status, report[-2000:]))
            return 2
        kind, index, detail = match.group(1), int(match.group(2)), match.group(3)
        if kind == "memory":
            # The script filled memory step by step, as scripts may: counted, not kept.
            filled.append(index)
            first = index + 1
            continue
        kept = os.path.join(findings_dir, "%s-seed%d-%d.vx3" % (kind, options.seed, index))
        shutil.copyfile(os.path.join(area, "scratch", "current.vx3"), kept)
        reduced, checks = reduce(kept, kind, area, budget_args, options.reduce_runs)
        findings.append((kind, index, detail, reduced))
        print("fuzz: %s (%s) in script %d, reduced in %d runs: %s" % (kind, detail, index, checks, reduced), flush=True)
        first = index + 1

    seconds = time.time() - started
    print("fuzz: %d scripts in %.0f s (%.1f a second), %d findings; %d scripts filled memory"
          % (options.count, seconds, options.count / max(seconds, 0.001), len(findings), len(filled)))
    if calls:
        fewest = sorted(calls.items(), key=lambda item: item[1])
        print("fuzz: typed calls: %d built-ins, fewest calls %s %d, most %s %d"
              % (len(calls), fewest[0][0], fewest[0][1], fewest[-1][0], fewest[-1][1]))
    return 1 if findings else 0


if __name__ == "__main__":
    sys.exit(main())

#!/usr/bin/env python3
"""Runs the benchmark kit: every workload of bench/kit in every language, timed with hyperfine.

Called by ./run-bench, which installs the tools, builds the programs and readies Wine first.
A program that fails, times out or prints a wrong checksum is shown as n/a and not timed.
"""
import argparse
import datetime
import json
import math
import os
import platform
import re
import shlex
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
KIT = os.path.join(ROOT, "bench", "kit")
AREA = os.path.join(ROOT, "build", "testarea", "kit")  # drive T: is build/testarea
AREA_WINDOWS = "T:\\kit"
RESULTS = os.path.join(ROOT, "bench", "RESULTS.md")
BEGIN, END = "<!-- kit:begin -->", "<!-- kit:end -->"

WORKLOADS = ["arith", "fib", "append", "strings", "arrays", "maps", "regex", "files"]
LANGUAGES = ["vexil", "lua", "python", "jscript", "vbscript", "c"]
TITLES = {"vexil": "Vexil", "lua": "Lua 5.4", "python": "Python 3", "jscript": "JScript",
          "vbscript": "VBScript", "c": "C -O2"}
EXTENSIONS = {"vexil": "vx3", "lua": "lua", "python": "py", "jscript": "js", "vbscript": "vbs"}
UNDER_WINE = {"vexil", "jscript", "vbscript", "c"}


def command(language, workload):
    """The command line that runs one program; None when the language has no such program."""
    if language == "c":
        return ["wine", "C:\\vexil\\vexil-kit-%s.exe" % workload]
    path = os.path.join(KIT, workload, "main." + EXTENSIONS[language])
    if not os.path.exists(path):
        return None
    windows = "%s\\%s\\main.%s" % (AREA_WINDOWS, workload, EXTENSIONS[language])
    return {
        "vexil": ["wine", "C:\\vexil\\vexil.exe", "/ErrorStdOut", windows],
        "lua": ["lua5.4", "main.lua"],
        "python": ["/usr/bin/python3", "main.py"],
        "jscript": ["wine", "cscript", "//nologo", windows],
        "vbscript": ["wine", "cscript", "//nologo", windows],
    }[language]


def startup_commands():
    """Programs that do nothing: the cost of starting each run-time, Wine's bare process start."""
    return {
        "vexil": ["wine", "C:\\vexil\\vexil.exe", AREA_WINDOWS + "\\empty.vx3"],
        "lua": ["lua5.4", "-e", ""],
        "python": ["/usr/bin/python3", "-c", "pass"],
        "jscript": ["wine", "cscript", "//nologo", AREA_WINDOWS + "\\empty.js"],
        "vbscript": ["wine", "cscript", "//nologo", AREA_WINDOWS + "\\empty.vbs"],
        "c": ["wine", "C:\\vexil\\vexil-kit-empty.exe"],
    }


def prepare_area():
    os.makedirs(AREA, exist_ok=True)
    for workload in WORKLOADS:
        folder = os.path.join(AREA, workload)
        os.makedirs(folder, exist_ok=True)
        for name in os.listdir(os.path.join(KIT, workload)):
            with open(os.path.join(KIT, workload, name), "rb") as src:
                data = src.read()
            with open(os.path.join(folder, name), "wb") as dst:
                dst.write(data)
    for name in ("empty.vx3", "empty.js", "empty.vbs"):
        open(os.path.join(AREA, name), "wb").close()


def remove_outputs(folder):
    # The files workload leaves a file of about 100 MB per language behind.
    for name in os.listdir(folder):
        if not name.startswith("main."):
            os.remove(os.path.join(folder, name))


def keep_wine_warm():
    # The persistent wineserver and the desktop keep-alive may have ended during a long run.
    subprocess.run(["bash", "-c", 'source "$1/tools/wine-env.sh" && vexil_start_wineserver', "-",
                    ROOT], check=False)


def check_run(cmd, cwd, timeout):
    """Runs a program once. Returns (status, output, seconds, peak resident KB).

    The peak is the child's ru_maxrss from wait4: for a Wine program that is the Linux process
    that is the Windows process, Wine's own libraries included."""
    with tempfile.TemporaryFile() as out:
        start = time.monotonic()
        process = subprocess.Popen(cmd, cwd=cwd, stdout=out, stderr=subprocess.STDOUT,
                                   stdin=subprocess.DEVNULL, start_new_session=True)
        while True:
            pid, status, usage = os.wait4(process.pid, os.WNOHANG)
            if pid:
                break
            if time.monotonic() - start > timeout:
                os.killpg(process.pid, 9)
                os.wait4(process.pid, 0)
                return "timeout", "", timeout, 0
            time.sleep(0.005)
        seconds = time.monotonic() - start
        process.returncode = os.waitstatus_to_exitcode(status)
        out.seek(0)
        text = out.read().decode("utf-8", "replace").replace("\r", "").strip()
    if process.returncode != 0:
        return "exit %d" % process.returncode, text, seconds, usage.ru_maxrss
    return "ok", text, seconds, usage.ru_maxrss


def hyperfine(cmd, cwd, runs):
    """Median wall time of `runs` runs, or None when a run failed."""
    with tempfile.NamedTemporaryFile(suffix=".json") as export:
        result = subprocess.run(
            ["hyperfine", "--shell=none", "--style", "none", "--runs", str(runs),
             "--export-json", export.name, " ".join(shlex.quote(c) for c in cmd)],
            cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
        if result.returncode != 0:
            print("    hyperfine: " + result.stderr.strip().splitlines()[-1], flush=True)
            return None
        return json.load(open(export.name))["results"][0]["median"]


def expected_checksums():
    sums = {}
    with open(os.path.join(KIT, "checksums")) as f:
        for line in f:
            if line.strip() and not line.startswith("#"):
                name, value = line.split(None, 1)
                sums[name] = value.strip()
    return sums


def geometric_mean(values):
    return math.exp(sum(math.log(v) for v in values) / len(values)) if values else None


def seconds_text(value):
    return "%.3f" % value if value is not None else "n/a"


def machine():
    cpu = ""
    with open("/proc/cpuinfo") as f:
        for line in f:
            if line.startswith("model name"):
                cpu = line.split(":", 1)[1].strip()
                break
    memory = ""
    with open("/proc/meminfo") as f:
        kb = int(f.readline().split()[1])
        memory = "%d GiB" % round(kb / 1024 / 1024)
    versions = []
    for tool in (["wine", "--version"], ["lua5.4", "-v"], ["/usr/bin/python3", "--version"],
                 ["hyperfine", "--version"]):
        try:
            versions.append(subprocess.run(tool, capture_output=True, text=True).stdout
                            .split("Copyright")[0].strip())
        except OSError:
            pass
    return "%d cores, %s, %s, %s; %s" % (os.cpu_count(), cpu, memory, platform.system(),
                                        ", ".join(versions))


def report(times, memory, status, startup, startup_memory, runs_used, options):
    """The results as Markdown, also printed."""
    languages = options.languages
    lines = []
    title = " | ".join(TITLES[l] for l in languages)
    lines.append("Median wall time in seconds (hyperfine, %s; programs under Wine include Wine's "
                 "process start), and in brackets the ratio to Lua 5.4." % (
                     "%d runs each" % options.runs if options.runs > 1 else "one run each"))
    lines.append("")
    lines.append("| workload | %s | Vexil peak memory |" % title)
    lines.append("|---|%s---|" % ("---:|" * len(languages)))
    ratios = {l: [] for l in languages}
    for workload in options.workloads:
        cells = []
        lua = times.get((workload, "lua"))
        for language in languages:
            value = times.get((workload, language))
            if value is None:
                cells.append(status.get((workload, language), "n/a"))
                continue
            cell = "%.3f" % value
            if runs_used.get((workload, language), options.runs) < options.runs:
                cell += "\u00b9"
            if lua:
                cells.append("%s (%.2f)" % (cell, value / lua))
                ratios[language].append(value / lua)
            else:
                cells.append(cell)
        peak = memory.get(workload)
        lines.append("| %s | %s | %s |" % (workload, " | ".join(cells),
                                          "%.0f MB" % (peak / 1024) if peak else "n/a"))
    geo = []
    for language in languages:
        mean = geometric_mean(ratios[language])
        count = len(ratios[language])
        if mean is None:
            geo.append("n/a")
        elif count < len(options.workloads):
            geo.append("%.2f (%d of %d)" % (mean, count, len(options.workloads)))
        else:
            geo.append("%.2f" % mean)
    lines.append("| geometric mean of the ratios | %s | |" % " | ".join(geo))
    vexil_idle = startup_memory.get("vexil")
    lines.append("| start-up (program that does nothing) | %s | %s |" % (
        " | ".join(seconds_text(startup.get(l)) for l in languages),
        "%.0f MB" % (vexil_idle / 1024) if vexil_idle else "n/a"))
    lines.append("")
    if startup.get("c") is not None:
        lines.append("Wine's bare process start (an empty MinGW program): %.3f s; every figure "
                     "of a program under Wine includes it." % startup["c"])
        lines.append("")
    if any(runs_used.get(k, options.runs) < options.runs for k in times):
        lines.append("\u00b9 one run only: the check run took longer than %d s." % options.slow)
        lines.append("")
    baseline = startup_memory.get("c")
    lines.append("n/a: the program failed or printed a wrong checksum; \"> N s\": stopped after N "
                 "seconds. Peak memory: the largest resident set of the Wine process running "
                 "vexil.exe, Wine's own share included%s." % (
                     " (an empty C program under Wine peaks at %.0f MB)" % (baseline / 1024)
                     if baseline else ""))
    vexil = geometric_mean(ratios.get("vexil", []))
    if "vexil" in languages and "jscript" in languages:
        lines.append("")
        slower = [w for w in options.workloads
                  if times.get((w, "vexil")) is None
                  or (times.get((w, "jscript")) is not None
                      and times[(w, "vexil")] >= times[(w, "jscript")])]
        lines.append("Targets: Vexil's geometric mean %s 3x Lua (%s); Vexil %s." % (
            "within" if vexil is not None and vexil <= 3 else "NOT within",
            "%.2f" % vexil if vexil is not None else "n/a",
            "faster than JScript on every workload" if not slower else
            "not faster than JScript (or not measured) on: " + ", ".join(slower)))
    return "\n".join(lines)


def write_results(text, options):
    section = "\n".join([
        BEGIN,
        "## Peer comparison (./run-bench)",
        "",
        "Each workload of `bench/kit` written in every language, each printing one checksum "
        "(all agree). Vexil, JScript and VBScript (`wine cscript //nologo`) and C (built with "
        "MinGW-w64 at -O2) run under Wine with a persistent wineserver; Lua and Python run "
        "natively. Each language is written the way its users write it: Lua builds the long "
        "string with a table of pieces and `table.concat` and matches with its own patterns (it "
        "has no regular expressions), JScript's map is an object, VBScript's a "
        "`Scripting.Dictionary`, C's an open-addressing table and its regular expressions the "
        "same PCRE2 (JIT) that Vexil uses.",
        "",
        "Run of %s on %s." % (datetime.datetime.now(datetime.timezone.utc)
                              .strftime("%Y-%m-%d %H:%M UTC"), machine()),
        "",
        text,
        END])
    with open(RESULTS) as f:
        current = f.read()
    if BEGIN in current and END in current:
        head, rest = current.split(BEGIN, 1)
        updated = head + section + rest.split(END, 1)[1]
    else:
        title, _, rest = current.partition("\n\n")
        updated = title + "\n\n" + section + "\n\n" + rest
    with open(RESULTS, "w") as f:
        f.write(updated)
    print("results written to bench/RESULTS.md")


def main():
    parser = argparse.ArgumentParser(prog="./run-bench", description=__doc__.split("\n")[0])
    parser.add_argument("workloads", nargs="*", metavar="WORKLOAD",
                        help="workloads to run (default all: %s)" % " ".join(WORKLOADS))
    parser.add_argument("--lang", default=",".join(LANGUAGES),
                        help="comma-separated languages (default %(default)s)")
    parser.add_argument("--runs", type=int, default=3, help="timed runs per program (3)")
    parser.add_argument("--timeout", type=int, default=120,
                        help="seconds before a program counts as too slow (120)")
    parser.add_argument("--slow", type=int, default=15,
                        help="a program whose check run takes longer is timed once (15)")
    parser.add_argument("--no-write", action="store_true",
                        help="print only; a full run otherwise updates bench/RESULTS.md")
    options = parser.parse_args()
    options.languages = [l for l in options.lang.split(",") if l]
    unknown = [w for w in options.workloads if w not in WORKLOADS]
    unknown += [l for l in options.languages if l not in LANGUAGES]
    if unknown:
        parser.error("unknown: " + ", ".join(unknown))
    full = not options.workloads and set(options.languages) == set(LANGUAGES)
    options.workloads = options.workloads or WORKLOADS

    prepare_area()
    sums = expected_checksums()
    times, memory, status, runs_used, startup = {}, {}, {}, {}, {}

    keep_wine_warm()
    print("start-up", flush=True)
    startup_memory = {}
    for language, cmd in startup_commands().items():
        if language not in options.languages:
            continue
        state, _, _, peak = check_run(cmd, AREA, options.timeout)
        startup_memory[language] = peak
        startup[language] = hyperfine(cmd, AREA, max(options.runs, 10)) if state == "ok" else None
        print("  %-9s %s" % (language, seconds_text(startup[language])), flush=True)

    for workload in options.workloads:
        keep_wine_warm()
        print(workload, flush=True)
        cwd = os.path.join(AREA, workload)
        for language in options.languages:
            key = (workload, language)
            cmd = command(language, workload)
            if cmd is None:
                status[key] = "n/a"
                print("  %-9s no program" % language, flush=True)
                continue
            state, output, seconds, peak = check_run(cmd, cwd, options.timeout)
            if state == "timeout":
                status[key] = "> %d s" % options.timeout
                print("  %-9s stopped after %d s" % (language, options.timeout), flush=True)
                continue
            if state != "ok" or output != sums[workload]:
                status[key] = "n/a"
                print("  %-9s n/a (%s): %s" % (language, state, output.splitlines()[0][:100]
                                               if output else "no output"), flush=True)
                continue
            if language == "vexil":
                memory[workload] = peak
            runs = 1 if seconds > options.slow else options.runs
            runs_used[key] = runs
            times[key] = hyperfine(cmd, cwd, runs)
            if times[key] is None:
                status[key] = "n/a"
            print("  %-9s %s s (%d run%s)" % (language, seconds_text(times[key]), runs,
                                              "s" if runs > 1 else ""), flush=True)

        remove_outputs(cwd)

    text = report(times, memory, status, startup, startup_memory, runs_used, options)
    print()
    print(text)
    if full and not options.no_write:
        write_results(text, options)


if __name__ == "__main__":
    sys.exit(main())

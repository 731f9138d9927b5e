#!/usr/bin/env python3
"""Runs one script test: tests/scripts/GROUP/NAME.vx3 with its NAME.expect, through the real
vexil.exe under Wine, and compares standard output and the full 32-bit exit code.

NAME.expect holds header lines, then sections:
    exit: 1                      expected exit code (default 0)
    cmd: /ErrorStdOut {script}   arguments after the program (default shown; {script} is NAME.vx3)
    timeout: 20                  seconds (default 20)
    script: other.vx3            the file {script} stands for, when it is not NAME.vx3
    program: other.exe           run this program of the test's folder instead of vexil.exe
    match: prefix                the expected output need only begin the actual output
    close-after: 500             the program's main window is sent WM_CLOSE after 500 ms
    post: 300 command 4; 900 queryendsession 0 0x80000000
                                 messages posted to the program's main window at those times
                                 (ms after the start): close, command, queryendsession or a number
    packed: yes                  always run packaged (as with --packed)
    boxes: answer                message boxes are written to stdout ("[box: TITLE]", text, "[/box]")
                                 and closed, so tests without /ErrorStdOut can run unattended
    focus: yes                   the test needs the keyboard, mouse, focus or clipboard: ctest runs
                                 it alone among such tests (resource lock desktop-focus)
    server: http, ftp            tests/support/http_test_server.py (and ftp_test_server.py) serve
                                 127.0.0.1 from the test's folder while the test runs; {http} and
                                 {ftp} in the cmd header stand for their addresses
                                 (http://127.0.0.1:PORT, ftp://127.0.0.1:PORT); https is the HTTP
                                 server speaking TLS with a certificate nobody signed ({https})
The cmd header's {port} and {port2} stand for two free TCP ports of 127.0.0.1, new for each run,
so that tests using the network run side by side.
    --- stdout                   (or just ---) the exact expected standard output follows
    --- stderr                   the exact expected standard error follows (unchecked without it)
With --packed, the script is first packaged by vexilc into NAME.packed.vxb and that is run
instead: a packaged script must behave as its text does.
Paths in the output are written relative to the test's folder: the folder's Windows path and a
backslash are removed, and the folder's path alone becomes ".".
"""
import difflib
import os
import socket
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TEST_AREA = os.path.join(ROOT, "build", "testarea")
WINE_RUN = os.path.join(ROOT, "tools", "wine-run")
PROGRAM = "C:\\vexil\\vexil.exe"
MARKER = "@@vexil-launch "


MESSAGES = {"close": 0x10, "queryendsession": 0x11, "command": 0x111}


def header_posts(header):
    """The launcher's form of the close-after and post headers: "MS MESSAGE WPARAM LPARAM;..."."""
    entries = []
    if "close-after" in header:
        entries.append((int(header["close-after"]), MESSAGES["close"], 0, 0))
    for item in filter(None, (part.strip() for part in header.get("post", "").split(";"))):
        words = item.split() + ["0", "0"]
        message = MESSAGES.get(words[1]) or int(words[1], 0)
        entries.append((int(words[0]), message, int(words[2], 0), int(words[3], 0)))
    entries.sort()
    return ";".join(" ".join(str(x) for x in entry) for entry in entries)


def parse_expect(path):
    header, sections, current = {}, {}, None
    with open(path, "rb") as f:
        data = f.read().decode("utf-8")
    for line in data.splitlines(keepends=True):
        stripped = line.rstrip("\r\n")
        if stripped in ("---", "--- stdout", "--- stderr"):
            current = "stderr" if stripped.endswith("stderr") else "stdout"
            sections[current] = ""
        elif current is not None:
            sections[current] += line
        elif stripped.strip() and not stripped.startswith("#"):
            key, _, value = stripped.partition(":")
            header[key.strip().lower()] = value.strip()
    return header, sections


def free_ports(count):
    """Ports of 127.0.0.1 free a moment ago (held together, so they differ)."""
    holders = []
    for _ in range(count):
        s = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        s.bind(("127.0.0.1", 0))
        holders.append(s)
    ports = [s.getsockname()[1] for s in holders]
    for s in holders:
        s.close()
    return ports


def start_servers(header, folder):
    """The servers the header asks for, and the placeholders they fill."""
    servers, values = [], {}
    kinds = [k.strip() for k in header.get("server", "").split(",") if k.strip()]
    for kind in kinds:
        if kind not in ("http", "https", "ftp"):
            raise ValueError(f"unknown server kind {kind!r}")
        program = os.path.join(ROOT, "tests", "support", ("ftp" if kind == "ftp" else "http") + "_test_server.py")
        options = ["--tls"] if kind == "https" else []
        server = subprocess.Popen([sys.executable, program] + options, cwd=folder, stdin=subprocess.DEVNULL,
                                  stdout=subprocess.PIPE)
        servers.append(server)
        values["{" + kind + "}"] = kind + "://127.0.0.1:" + server.stdout.readline().decode().strip()
    return servers, values


def windows_folder(linux_folder):
    rel = os.path.relpath(linux_folder, TEST_AREA)
    return "T:\\" if rel == "." else "T:\\" + rel.replace("/", "\\")


def normalise(text, folder):
    text = text.replace(folder + "\\", "")
    return text.replace(folder, ".")


def split_launcher_report(stderr):
    """The launcher ends standard error with a line feed and its report line."""
    at = stderr.rfind("\n" + MARKER)
    if at < 0:
        return stderr, None
    return stderr[:at], stderr[at + 1 + len(MARKER):].strip()


def show_difference(what, expected, actual):
    print(f"--- {what} differs:")
    for line in difflib.unified_diff(expected.splitlines(True), actual.splitlines(True), "expected", "actual"):
        sys.stdout.write(line if line.endswith("\n") else line + "\\ (no line feed at end)\n")
    print(f"expected {what} (repr): {expected!r}")
    print(f"actual   {what} (repr): {actual!r}")


def main():
    packed = "--packed" in sys.argv[1:]
    names = [a for a in sys.argv[1:] if a != "--packed"]
    if len(names) != 1:
        print("usage: run_script_test.py [--packed] GROUP/NAME")
        return 2
    name = names[0]
    expect_path = os.path.join(TEST_AREA, name + ".expect")
    folder = os.path.dirname(expect_path)
    header, sections = parse_expect(expect_path)
    script = header.get("script", os.path.basename(name) + ".vx3")
    packed = packed or header.get("packed") == "yes"
    if packed:
        packaged = os.path.basename(name) + ".packed.vxb"
        pack = subprocess.run([WINE_RUN, "C:\\vexil\\vexilc.exe", script, packaged], cwd=folder,
                              stdin=subprocess.DEVNULL, capture_output=True, timeout=120)
        if pack.returncode != 0:
            print(f"FAIL {name}: packaging failed ({pack.returncode})")
            print(pack.stdout.decode("cp1252", errors="replace") + pack.stderr.decode("cp1252", errors="replace"))
            return 1
        script = packaged
    arguments = header.get("cmd", "/ErrorStdOut {script}").replace("{script}", script)
    servers, values = start_servers(header, folder)
    values["{port}"], values["{port2}"] = (str(p) for p in free_ports(2))
    for placeholder, value in values.items():
        arguments = arguments.replace(placeholder, value)
    expected_exit = int(header.get("exit", "0"), 0)
    timeout = float(header.get("timeout", "20"))

    win_folder = windows_folder(folder)
    program = win_folder + "\\" + header["program"] if "program" in header else PROGRAM
    env = dict(os.environ)
    env["VEXIL_LAUNCH_CMDLINE"] = f'"{program}" {arguments}'.rstrip()
    env["VEXIL_LAUNCH_TIMEOUT_MS"] = str(int(timeout * 1000))
    posts = header_posts(header)
    if posts:
        env["VEXIL_LAUNCH_POSTS"] = posts
    if header.get("boxes") == "answer":
        env["VEXIL_LAUNCH_ANSWER_BOXES"] = "1"
    try:
        run = subprocess.run([WINE_RUN, "C:\\vexil\\vexil-launch.exe"], cwd=folder, env=env,
                             stdin=subprocess.DEVNULL, capture_output=True, timeout=timeout + 30)
    except subprocess.TimeoutExpired:
        print(f"FAIL {name}: the launcher did not finish")
        return 1
    finally:
        for server in servers:
            server.kill()
            server.wait()
    stdout = normalise(run.stdout.decode("cp1252", errors="replace"), win_folder)
    stderr, report = split_launcher_report(run.stderr.decode("cp1252", errors="replace"))
    stderr = normalise(stderr, win_folder)

    ok = True
    if report is None or not report.startswith("exit="):
        print(f"FAIL {name}: no exit code ({report or 'launcher gave no report'})")
        print(f"stderr: {run.stderr.decode('cp1252', errors='replace')!r}")
        ok = False
    else:
        actual_exit = int(report[len("exit="):])
        if actual_exit != expected_exit:
            print(f"FAIL {name}: exit code {actual_exit} (0x{actual_exit & 0xFFFFFFFF:08X}), expected {expected_exit}")
            ok = False
    if header.get("match") == "prefix":
        stdout = stdout[:len(sections.get("stdout", ""))]
        stderr = stderr[:len(sections.get("stderr", ""))]
    if stdout != sections.get("stdout", ""):
        show_difference("stdout", sections.get("stdout", ""), stdout)
        ok = False
    if "stderr" in sections and stderr != sections["stderr"]:
        show_difference("stderr", sections["stderr"], stderr)
        ok = False
    if ok:
        print(f"ok {name}")
    else:
        print(f"command line: {env['VEXIL_LAUNCH_CMDLINE']}")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())

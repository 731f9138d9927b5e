#!/usr/bin/env bash
# Network figures: a 200 MB download from the loopback HTTP server of the tests (INETGET into a file
# and INETREAD into memory) and 100 MB over a loopback TCP connection between two vexil.exe, the
# rates the scripts measure themselves, best of RUNS; beside Python's urllib and socket doing the
# same. No Windows Python is installed under Wine: Python runs natively (as in the kit), against
# the same server, so its figures are Linux's while Vexil's pass through Wine's socket layer and
# WinINet.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
runs=${RUNS:-3}
"$root/tools/build.sh"
source "$root/tools/wine-env.sh"
vexil_wine_ready
area=$root/build/testarea/bench
mkdir -p "$area"
cp "$root/bench/workloads/net_download.vx3" "$root/bench/workloads/net_tcp_transfer.vx3" "$area/"
cd "$area"
python3 "$root/tests/support/http_test_server.py" >server.port &
server=$!
trap 'kill $server' EXIT
sleep 1
url="http://127.0.0.1:$(head -n1 server.port)"
free_port() { python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])'; }
echo "Vexil under Wine (the scripts' own timers):"
for ((i = 0; i < runs; i++)); do
  wine 'C:\vexil\vexil.exe' /ErrorStdOut 'T:\bench\net_download.vx3' "$url"
  wine 'C:\vexil\vexil.exe' /ErrorStdOut 'T:\bench\net_tcp_transfer.vx3' "$(free_port)"
done
echo "Python $(python3 -c 'import sys; print(sys.version.split()[0])') natively:"
for ((i = 0; i < runs; i++)); do
  python3 - "$url" <<'PY'
import shutil, socket, sys, threading, time, urllib.request
url = sys.argv[1]
size = 200 * 1024 * 1024
t = time.perf_counter()
with urllib.request.urlopen(f"{url}/bytes/{size}") as answer, open("net_download_py.bin", "wb") as out:
    shutil.copyfileobj(answer, out, 64 * 1024)
s = time.perf_counter() - t
print(f"urllib to a file {size} bytes in {s:.3f} s: {size / 1048576 / s:.1f} MB/s")
t = time.perf_counter()
data = urllib.request.urlopen(f"{url}/bytes/{size}").read()
s = time.perf_counter() - t
print(f"urllib into memory {len(data)} bytes in {s:.3f} s: {len(data) / 1048576 / s:.1f} MB/s")
total = 100 * 1024 * 1024
listener = socket.create_server(("127.0.0.1", 0))
def send():
    with socket.create_connection(listener.getsockname()) as c:
        piece = b"7" * (1024 * 1024)
        for _ in range(total // len(piece)):
            c.sendall(piece)
threading.Thread(target=send).start()
connection, _ = listener.accept()
got, t = 0, time.perf_counter()
while True:
    part = connection.recv(4 * 1024 * 1024)
    if not part:
        break
    got += len(part)
s = time.perf_counter() - t
print(f"socket received {got} bytes in {s:.3f} s: {got / 1048576 / s:.1f} MB/s")
PY
done
rm -f net_download.bin net_download_py.bin

#!/usr/bin/env python3
"""The HTTP server of the download tests, on 127.0.0.1. Started by run_script_test.py for a test
whose header says `server: http` (or `https`: with --tls it speaks TLS with a certificate of its
own, made at start and signed by nobody); it prints its port on the first line of standard output
and serves until it is killed.

Paths (N and M are byte counts, MS milliseconds):
    /bytes/N             N bytes of a fixed pattern (byte i is (i * 7 + i // 251) % 256)
    /file/NAME           the file NAME of the server's folder (the test's folder)
    /slow/N/MS           N pattern bytes in 1,000-byte pieces, MS milliseconds between pieces
    /cut/N/M             announces N bytes, sends M of them and closes the connection
    /nolength/N          N pattern bytes without a Content-Length (the end is the closed connection)
    /redirect/PATH       302 to /PATH
    /status/CODE         that status with a short body
    /hang/MS             nothing at all for MS milliseconds, then 10 pattern bytes
    /agent               the request's User-Agent as the body
    /request             the request line as the server got it (a proxy request names a full URL)
    /proxyauth           407 until the request brings proxy credentials, then the user and
                         password they name as the body
Any other path: 404.
"""
import base64
import os
import socketserver
import ssl
import subprocess
import sys
import tempfile
import time
import urllib.parse
from http.server import BaseHTTPRequestHandler, HTTPServer

PIECE = 64 * 1024


def pattern(start, count):
    return bytes(((i * 7 + i // 251) % 256) for i in range(start, start + count))


# One block of the pattern, reused for large bodies: the pattern of position i depends on i only
# through i % (251 * 256), a multiple of which is a block.
BLOCK_SIZE = 251 * 256 * 4
BLOCK = pattern(0, BLOCK_SIZE)


def pattern_slice(start, count):
    out = bytearray()
    while count > 0:
        offset = start % BLOCK_SIZE
        take = min(count, BLOCK_SIZE - offset)
        out += BLOCK[offset:offset + take]
        start += take
        count -= take
    return bytes(out)


class Handler(BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, *args):
        pass

    def end_headers(self):
        # Nothing of a test belongs in the client's cache: each request reaches the server.
        self.send_header("Cache-Control", "no-store")
        super().end_headers()

    def send_body_headers(self, status, length=None, kind="application/octet-stream"):
        self.send_response(status)
        self.send_header("Content-Type", kind)
        if length is None:
            self.send_header("Connection", "close")
            self.close_connection = True
        else:
            self.send_header("Content-Length", str(length))
        self.end_headers()

    def send_text(self, status, text):
        body = text.encode("utf-8")
        self.send_body_headers(status, len(body), "text/plain")
        self.wfile.write(body)

    def send_pattern(self, count, delay=0.0, piece=PIECE):
        sent = 0
        while sent < count:
            take = min(piece, count - sent)
            self.wfile.write(pattern_slice(sent, take))
            sent += take
            if delay:
                self.wfile.flush()
                time.sleep(delay)

    def do_GET(self):
        path = urllib.parse.urlsplit(self.path).path
        parts = [p for p in path.split("/") if p]
        try:
            self.route(parts)
        except (BrokenPipeError, ConnectionResetError):
            pass

    def route(self, parts):
        kind = parts[0] if parts else ""
        if kind == "bytes" and len(parts) == 2:
            count = int(parts[1])
            self.send_body_headers(200, count)
            self.send_pattern(count)
        elif kind == "file" and len(parts) == 2:
            name = os.path.basename(urllib.parse.unquote(parts[1]))
            if not os.path.isfile(name):
                return self.send_text(404, "no such file")
            with open(name, "rb") as f:
                data = f.read()
            self.send_body_headers(200, len(data))
            self.wfile.write(data)
        elif kind == "slow" and len(parts) == 3:
            count = int(parts[1])
            self.send_body_headers(200, count)
            self.send_pattern(count, int(parts[2]) / 1000.0, 1000)
        elif kind == "cut" and len(parts) == 3:
            self.send_body_headers(200, int(parts[1]))
            self.send_pattern(int(parts[2]))
            self.wfile.flush()
            self.close_connection = True
        elif kind == "nolength" and len(parts) == 2:
            self.send_body_headers(200, None)
            self.send_pattern(int(parts[1]))
        elif kind == "redirect":
            self.send_response(302)
            self.send_header("Location", "/" + "/".join(parts[1:]))
            self.send_header("Content-Length", "0")
            self.end_headers()
        elif kind == "status" and len(parts) == 2:
            self.send_text(int(parts[1]), "status " + parts[1])
        elif kind == "hang" and len(parts) == 2:
            time.sleep(int(parts[1]) / 1000.0)
            self.send_body_headers(200, 10)
            self.send_pattern(10)
        elif kind == "agent":
            self.send_text(200, self.headers.get("User-Agent", "(none)"))
        elif kind == "proxyauth":
            credentials = self.headers.get("Proxy-Authorization", "")
            if not credentials.startswith("Basic "):
                self.send_response(407)
                self.send_header("Proxy-Authenticate", 'Basic realm="test"')
                self.send_header("Content-Length", "0")
                self.end_headers()
                return
            self.send_text(200, base64.b64decode(credentials[6:]).decode("latin-1"))
        elif kind == "request":
            self.send_text(200, self.requestline)
        else:
            self.send_text(404, "not found")


class Server(socketserver.ThreadingMixIn, HTTPServer):
    daemon_threads = True
    allow_reuse_address = True


def self_signed_context(folder):
    """A TLS context with a new certificate for 127.0.0.1 that no authority signed."""
    cert, key = os.path.join(folder, "cert.pem"), os.path.join(folder, "key.pem")
    subprocess.run(["openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "2", "-subj", "/CN=127.0.0.1",
                    "-keyout", key, "-out", cert], check=True, capture_output=True)
    context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    context.load_cert_chain(cert, key)
    return context


def main():
    tls = "--tls" in sys.argv[1:]
    numbers = [a for a in sys.argv[1:] if a != "--tls"]
    port = int(numbers[0]) if numbers else 0
    server = Server(("127.0.0.1", port), Handler)
    if tls:
        with tempfile.TemporaryDirectory() as folder:
            context = self_signed_context(folder)
        server.socket = context.wrap_socket(server.socket, server_side=True)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()

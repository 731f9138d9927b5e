#!/usr/bin/env python3
"""The FTP server of the download tests, on 127.0.0.1: anonymous log-in, read only, the files of
its own folder (the test's folder), passive and active data connections. Started by
run_script_test.py for a test whose header names `ftp` among its servers; prints its port on the
first line of standard output and serves until it is killed. It knows just the commands a client
needs to fetch a file and its size.
"""
import os
import socket
import socketserver
import sys


class Session(socketserver.StreamRequestHandler):
    def reply(self, text):
        self.wfile.write((text + "\r\n").encode("latin-1"))
        self.wfile.flush()

    def handle(self):
        self.passive = None  # a listening socket after PASV
        self.active = None  # the client's address after PORT
        self.binary = True
        self.reply("220 test server ready")
        for raw in self.rfile:
            line = raw.decode("latin-1").rstrip("\r\n")
            command, _, argument = line.partition(" ")
            command = command.upper()
            handler = getattr(self, "do_" + command, None)
            if handler is None:
                self.reply("502 not implemented")
            elif handler(argument) is False:
                return

    def local_file(self, argument):
        name = os.path.basename(argument.replace("\\", "/"))
        return name if name and os.path.isfile(name) else None

    def do_USER(self, _):
        self.reply("331 any password will do")

    def do_PASS(self, _):
        self.reply("230 logged in")

    def do_SYST(self, _):
        self.reply("215 UNIX Type: L8")

    def do_FEAT(self, _):
        self.reply("211 no features")

    def do_OPTS(self, _):
        self.reply("200 ok")

    def do_NOOP(self, _):
        self.reply("200 ok")

    def do_PWD(self, _):
        self.reply('257 "/" is the folder')

    def do_CWD(self, _):
        self.reply("250 ok")

    def do_TYPE(self, argument):
        self.binary = argument.upper().startswith("I")
        self.reply("200 type set")

    def do_PASV(self, _):
        self.passive = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.passive.bind(("127.0.0.1", 0))
        self.passive.listen(1)
        port = self.passive.getsockname()[1]
        self.reply("227 Entering Passive Mode (127,0,0,1,%d,%d)" % (port // 256, port % 256))

    def do_PORT(self, argument):
        numbers = [int(n) for n in argument.split(",")]
        self.active = (".".join(str(n) for n in numbers[:4]), numbers[4] * 256 + numbers[5])
        self.reply("200 port set")

    def do_SIZE(self, argument):
        name = self.local_file(argument)
        if name is None:
            self.reply("550 no such file")
        else:
            self.reply("213 %d" % os.path.getsize(name))

    def do_RETR(self, argument):
        name = self.local_file(argument)
        if name is None:
            self.reply("550 no such file")
            return
        with open(name, "rb") as f:
            data = f.read()
        if not self.binary:
            data = data.replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
        self.reply("150 sending %d bytes" % len(data))
        if self.passive is not None:
            connection, _ = self.passive.accept()
            self.passive.close()
            self.passive = None
        else:
            connection = socket.create_connection(self.active)
        with connection:
            connection.sendall(data)
        self.reply("226 done")

    def do_QUIT(self, _):
        self.reply("221 bye")
        return False


class Server(socketserver.ThreadingMixIn, socketserver.TCPServer):
    daemon_threads = True
    allow_reuse_address = True


def main():
    port = int(sys.argv[1]) if len(sys.argv) > 1 else 0
    server = Server(("127.0.0.1", port), Session)
    print(server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""A throwaway RFC 3161 time-stamping authority on loopback, for the signing test.

    time_stamp_server.py FOLDER

FOLDER holds tsa.cnf (an `openssl ts` configuration), tsa.pem and tsa.key.
Answers each POSTed time-stamp query with `openssl ts -reply`. Writes the port
it listens on to FOLDER/port, then goes on in the background (the caller's
execute_process returns) until FOLDER/stop exists or nobody asked for two
minutes, so it never outlives a test that failed half way.
"""
import http.server
import os
import subprocess
import sys
import tempfile
import time

folder = sys.argv[1]
last_request = time.monotonic()


class TimeStamping(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        global last_request
        last_request = time.monotonic()
        query = self.rfile.read(int(self.headers.get("Content-Length", "0")))
        # Files, not /dev/stdin and /dev/stdout: a minimal /dev (the emulated
        # guest's) has no such links.
        with tempfile.TemporaryDirectory(dir=folder) as work:
            with open(os.path.join(work, "query"), "wb") as file:
                file.write(query)
            reply = subprocess.run(
                ["openssl", "ts", "-reply", "-config", "tsa.cnf",
                 "-queryfile", os.path.join(work, "query"), "-signer", "tsa.pem",
                 "-inkey", "tsa.key", "-out", os.path.join(work, "reply")],
                capture_output=True, cwd=folder)
            answer = b""
            if reply.returncode == 0:
                with open(os.path.join(work, "reply"), "rb") as file:
                    answer = file.read()
        if reply.returncode != 0 or not answer:
            # The end of openssl's words: the first line only names the config.
            self.send_error(500, " ".join(reply.stderr.decode(errors="replace").split())[-200:])
            return
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.send_header("Content-Length", str(len(answer)))
        self.end_headers()
        self.wfile.write(answer)

    def log_message(self, *args):
        pass


server = http.server.HTTPServer(("127.0.0.1", 0), TimeStamping)
server.timeout = 1
if os.fork() != 0:
    # The port is written by the parent, so it is there when the caller goes on.
    with open(os.path.join(folder, "port"), "w") as port:
        port.write(str(server.server_address[1]))
    sys.exit(0)
os.setsid()
devnull = os.open(os.devnull, os.O_RDWR)
for stream in (0, 1, 2):
    os.dup2(devnull, stream)
while not os.path.exists(os.path.join(folder, "stop")) and time.monotonic() - last_request < 120:
    server.handle_request()

#!/usr/bin/env python3
"""A quotation web site for the rate download tests, on 127.0.0.1 port 80.

    quotation_server.py FOLDER MODE [ARGUMENT]   start, in the background
    quotation_server.py FOLDER stop              stop the one started there

MODE says how the server answers GET /:
    page FILE        the file as the body of a 200 reply, in one go
    raw FILE         the file's bytes as the whole reply, headers included
    pieces FILE      like page, but in small pieces with pauses between them
    silent           reads the request and never answers
    empty            reads the request and closes without a byte
    directory DIR    Python's own http.server serving DIR

Once listening, the server writes its process id to FOLDER/server.pid; a
server that cannot listen writes FOLDER/server.error instead. Every request
is kept in FOLDER/request-N.bin (N counts from 1). A server that is left
alone exits by itself, so a test that died cannot hold the port for long.
"""

import http.server
import os
import signal
import socket
import socketserver
import sys
import time

ADDRESS = ("127.0.0.1", 80)
IDLE_LIMIT = 60          # seconds without a connection before it exits
LIFE_LIMIT = 600
SILENCE_LIMIT = 30       # how long a silent answer holds the connection
PIECE_SIZE = 100
PIECE_PAUSE = 0.03
FIRST_PAUSE = 1.5        # after the first piece: far longer than one receive waits for data


def pid_path(folder):
    return os.path.join(folder, "server.pid")


def is_our_server(pid):
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as f:
            return b"quotation_server.py" in f.read()
    except OSError:
        return False


def stop(folder):
    """Stops the server recorded in FOLDER by its process id."""
    try:
        with open(pid_path(folder)) as f:
            pid = int(f.read().strip() or "0")
    except (OSError, ValueError):
        return
    if pid > 0 and pid != os.getpid() and is_our_server(pid):
        os.kill(pid, signal.SIGTERM)
        for _ in range(250):
            if not is_our_server(pid):
                break
            time.sleep(0.02)
        else:
            os.kill(pid, signal.SIGKILL)
    try:
        os.remove(pid_path(folder))
    except OSError:
        pass


def read_request(connection):
    """The bytes up to the blank line that ends the header, or what came."""
    connection.settimeout(5)
    data = b""
    try:
        while b"\r\n\r\n" not in data:
            chunk = connection.recv(4096)
            if not chunk:
                break
            data += chunk
    except OSError:
        pass
    return data


def http_reply(body):
    head = ("HTTP/1.1 200 OK\r\n"
            "Content-Type: text/html; charset=gb2312\r\n"
            "Content-Length: %d\r\n"
            "Connection: close\r\n\r\n" % len(body))
    return head.encode("ascii") + body


def make_handler(folder, mode, argument):
    counter = [0]

    def keep_request(data):
        counter[0] += 1
        with open(os.path.join(folder, "request-%d.bin" % counter[0]), "wb") as f:
            f.write(data)

    if mode == "directory":
        class DirectoryHandler(http.server.SimpleHTTPRequestHandler):
            def __init__(self, *args, **kwargs):
                super().__init__(*args, directory=argument, **kwargs)

            def parse_request(self):
                keep_request(self.raw_requestline)
                return super().parse_request()

            def log_message(self, *args):
                pass
        return DirectoryHandler

    body = b""
    if argument:
        with open(argument, "rb") as f:
            body = f.read()

    class Handler(socketserver.BaseRequestHandler):
        def handle(self):
            connection = self.request
            keep_request(read_request(connection))
            if mode == "page":
                connection.sendall(http_reply(body))
            elif mode == "raw":
                connection.sendall(body)
            elif mode == "pieces":
                connection.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
                reply = http_reply(body)
                for start in range(0, len(reply), PIECE_SIZE):
                    connection.sendall(reply[start:start + PIECE_SIZE])
                    time.sleep(FIRST_PAUSE if start == 0 else PIECE_PAUSE)
            elif mode == "silent":
                connection.settimeout(SILENCE_LIMIT)
                try:
                    while connection.recv(4096):
                        pass
                except OSError:
                    pass
            # empty: nothing to send; closing is the whole answer.
    return Handler


class Server(socketserver.TCPServer):
    allow_reuse_address = True

    def handle_error(self, request, client_address):
        # A client that stops reading (the download keeps 30000 bytes at
        # most) resets the connection; that is no fault of the server.
        pass


def listen(handler):
    # The server stopped just before may still be letting go of the port.
    for _ in range(100):
        try:
            return Server(ADDRESS, handler)
        except OSError as error:
            last = error
            time.sleep(0.05)
    raise last


def serve(folder, mode, argument):
    try:
        server = listen(make_handler(folder, mode, argument))
    except OSError as error:
        with open(os.path.join(folder, "server.error"), "w") as f:
            f.write("cannot listen on %s:%d: %s\n" % (ADDRESS[0], ADDRESS[1], error))
        return

    def leave(*_):
        try:
            os.remove(pid_path(folder))
        except OSError:
            pass
        os._exit(0)
    signal.signal(signal.SIGTERM, leave)

    temporary = pid_path(folder) + ".new"
    with open(temporary, "w") as f:
        f.write("%d\n" % os.getpid())
    os.replace(temporary, pid_path(folder))

    started = last = time.monotonic()
    server.timeout = 1
    handled = [0]
    finish = server.finish_request

    def counted(request, client):
        handled[0] += 1
        finish(request, client)
    server.finish_request = counted
    while True:
        now = time.monotonic()
        if now - last > IDLE_LIMIT or now - started > LIFE_LIMIT:
            break
        before = handled[0]
        server.handle_request()
        if handled[0] != before:
            last = time.monotonic()
    server.server_close()
    leave()


def main():
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    folder, mode = sys.argv[1], sys.argv[2]
    argument = sys.argv[3] if len(sys.argv) > 3 else ""
    stop(folder)
    if mode == "stop":
        return
    for name in os.listdir(folder):
        if name.startswith("request-") or name == "server.error":
            os.remove(os.path.join(folder, name))
    serve(folder, mode, argument)


if __name__ == "__main__":
    main()

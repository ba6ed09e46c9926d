#!/usr/bin/env python3
"""A quotation web site for the rate download tests, on a free port of
127.0.0.1 that the system picks, so that any number of tests run side by side.

    quotation_server.py FOLDER MODE [ARGUMENT]   start, in the background
    quotation_server.py FOLDER stop              stop the one started there

MODE says how the server answers GET /:
    page FILE        the file as the body of a 200 reply, in one go
    raw FILE         the file's bytes as the whole reply, headers included
    pieces FILE      like page, but in small pieces with pauses between them
    length FILE      like page, but the connection is kept open afterwards
    short FILE       announces the file's length, sends half of it and closes
    chunked FILE     the file in chunks of a few bytes (boundaries inside
                     the lines, extensions, a trailer), sent in pieces that
                     split the chunk framing; the connection is kept open
    chunked-cut FILE like chunked, but closes before the last chunk
    trickle FILE     a 200 reply with the file, one byte every half second,
                     for ever
    moved FILE       301 to an https address, the file as its body
    not-found FILE   404 with the file as its body
    server-error FILE
                     500 with the file as its body
    unavailable FILE 503 with the file as its body, no length, and the
                     connection kept open
    silent           reads the request and never answers
    empty            reads the request and closes without a byte
    unaccepted       listens, but its backlog is full: connection attempts
                     are dropped and never answered
    closed           holds the port without listening: every connection
                     attempt is refused
    directory DIR    Python's own http.server serving DIR

Once listening, the server writes its port to FOLDER/server.port, then its
process id to FOLDER/server.pid; a server that cannot listen writes
FOLDER/server.error instead. Every request
is kept in FOLDER/request-N.bin (N counts from 1). A server that is left
alone exits by itself, so a test that died cannot hold the port for long.
"""

import http.server
import itertools
import os
import random
import signal
import socket
import socketserver
import sys
import time

HOST = "127.0.0.1"
IDLE_LIMIT = 60          # seconds without a connection before it exits
LIFE_LIMIT = 600
SILENCE_LIMIT = 30       # how long a silent answer holds the connection
PIECE_SIZE = 100
PIECE_PAUSE = 0.03
FIRST_PAUSE = 1.5        # after the first piece: far longer than one receive waits for data
CHUNK_PAUSE = 0.002      # between the pieces of a chunked reply
TRICKLE_PAUSE = 0.5


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


def http_reply(body, close=True):
    head = ("HTTP/1.1 200 OK\r\n"
            "Content-Type: text/html; charset=gb2312\r\n"
            "Content-Length: %d\r\n" % len(body))
    if close:
        head += "Connection: close\r\n"
    return head.encode("ascii") + b"\r\n" + body


# Error replies whose body is a page with a table, as a cached or
# maintenance page can be: the status says it is not the resource.
ERROR_REPLIES = {
    "moved": (301, "Moved Permanently", "Location: https://127.0.0.1/\r\n"),
    "not-found": (404, "Not Found", ""),
    "server-error": (500, "Internal Server Error", ""),
    "unavailable": (503, "Service Unavailable", "Retry-After: 120\r\n"),
}


def error_reply(mode, body):
    """The error reply of the mode; 503 announces no length and keeps the
    connection, so only its status can end the download early."""
    code, reason, fields = ERROR_REPLIES[mode]
    head = "HTTP/1.1 %d %s\r\nContent-Type: text/html; charset=gb2312\r\n%s" % (code, reason, fields)
    if mode != "unavailable":
        head += "Content-Length: %d\r\nConnection: close\r\n" % len(body)
    return head.encode("ascii") + b"\r\n" + body


def chunked_pieces(body, last_chunk=True):
    """The chunked reply in pieces to send one by one: chunks of 1 to 23
    bytes, so that their boundaries fall inside the lines, and pieces cut
    anywhere, in the size lines and line ends too."""
    chooser = random.Random(7)
    reply = (b"HTTP/1.1 200 OK\r\n"
             b"Content-Type: text/html; charset=gb2312\r\n"
             b"Transfer-Encoding: chunked\r\n\r\n")
    start = 0
    while start < len(body):
        data = body[start:start + chooser.randint(1, 23)]
        extension = b";n=%d" % start if chooser.random() < 0.2 else b""
        reply += b"%x%s\r\n%s\r\n" % (len(data), extension, data)
        start += len(data)
    if last_chunk:
        reply += b"0\r\nX-Checked: yes\r\n\r\n"
    pieces = []
    start = 0
    while start < len(reply):
        size = chooser.randint(1, 40)
        pieces.append(reply[start:start + size])
        start += size
    return pieces


def hold_open(connection):
    """Keeps the connection until the client closes it, as servers that
    keep connections alive do."""
    connection.settimeout(SILENCE_LIMIT)
    try:
        while connection.recv(4096):
            pass
    except OSError:
        pass


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
            elif mode == "length":
                connection.sendall(http_reply(body, close=False))
                hold_open(connection)
            elif mode == "short":
                reply = http_reply(body)
                connection.sendall(reply[:len(reply) - len(body) // 2])
            elif mode in ("chunked", "chunked-cut"):
                connection.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
                for piece in chunked_pieces(body, mode == "chunked"):
                    connection.sendall(piece)
                    time.sleep(CHUNK_PAUSE)
                if mode == "chunked":
                    hold_open(connection)
            elif mode == "trickle":
                connection.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
                for byte in itertools.cycle(http_reply(body, close=False)):
                    connection.sendall(bytes([byte]))
                    time.sleep(TRICKLE_PAUSE)
            elif mode == "raw":
                connection.sendall(body)
            elif mode == "pieces":
                connection.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
                reply = http_reply(body)
                for start in range(0, len(reply), PIECE_SIZE):
                    connection.sendall(reply[start:start + PIECE_SIZE])
                    time.sleep(FIRST_PAUSE if start == 0 else PIECE_PAUSE)
            elif mode in ERROR_REPLIES:
                connection.sendall(error_reply(mode, body))
                if mode == "unavailable":
                    hold_open(connection)
            elif mode == "silent":
                hold_open(connection)
            # empty: nothing to send; closing is the whole answer.
    return Handler


class Server(socketserver.TCPServer):
    def handle_error(self, request, client_address):
        # A client that stops reading (at a reply too long for it, or at an
        # error status) resets the connection; that is no fault of the server.
        pass


def listen(handler):
    # Port 0: the system hands out a port that nothing else holds.
    return Server((HOST, 0), handler)


def hold_closed_port():
    """A socket bound to a port of its own that never listens: the system
    refuses every connection to it, and nothing else can take the port."""
    holder = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    holder.bind((HOST, 0))
    return holder


def fill_backlog():
    """A socket that listens with a backlog of none, and the connections
    that fill it: Linux drops the connection attempts that come after them,
    so their connect waits as behind a firewall."""
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind((HOST, 0))
    listener.listen(0)
    address = listener.getsockname()
    fillers = []
    while len(fillers) < 16:
        filler = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        filler.settimeout(0.5)
        try:
            filler.connect(address)
        except OSError:
            filler.close()
            return listener, fillers
        fillers.append(filler)
    raise OSError("the backlog does not fill up")


def port_of(server):
    if isinstance(server, tuple):
        server = server[0]
    if isinstance(server, socket.socket):
        return server.getsockname()[1]
    return server.server_address[1]


def write_atomically(path, text):
    temporary = path + ".new"
    with open(temporary, "w") as f:
        f.write(text)
    os.replace(temporary, path)


def serve(folder, mode, argument):
    try:
        if mode == "unaccepted":
            server = fill_backlog()
        elif mode == "closed":
            server = hold_closed_port()
        else:
            server = listen(make_handler(folder, mode, argument))
    except OSError as error:
        with open(os.path.join(folder, "server.error"), "w") as f:
            f.write("cannot listen on %s: %s\n" % (HOST, error))
        return

    def leave(*_):
        try:
            os.remove(pid_path(folder))
        except OSError:
            pass
        os._exit(0)
    signal.signal(signal.SIGTERM, leave)

    write_atomically(os.path.join(folder, "server.port"), "%d\n" % port_of(server))
    write_atomically(pid_path(folder), "%d\n" % os.getpid())

    if mode in ("unaccepted", "closed"):
        time.sleep(IDLE_LIMIT)
        leave()

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
        if name.startswith("request-") or name in ("server.error", "server.port"):
            os.remove(os.path.join(folder, name))
    serve(folder, mode, argument)


if __name__ == "__main__":
    main()

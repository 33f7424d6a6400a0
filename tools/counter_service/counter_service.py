#!/usr/bin/python3
"""A hit-counter service for the tests, on 127.0.0.1.

    GET /count/count.asp?id=ID&sx=1&ys=STYLE

counts one hit for ID and answers an HTML page that shows the new count as
one image per digit, each at http://IMAGE_HOST/img/STYLE/DIGIT.gif.

Every request but the control ones is recorded: its request line and its
headers in the order they came (in memory, and as JSON lines in the log
file when one is given).

How count requests are answered is the current mode:
    normal          200 and the count page
    refuse          the request is read, then the connection closed unanswered
    error           status 500 (status=N) with the count page as its body;
                    images=0 gives a page without digit images
    stall           the request is read and never answered
    stall-body      the headers and the page up to its first digit image,
                    then nothing more
    short           a Content-Length larger than the page, the page up to its
                    first digit image, then the connection is closed
    zero            the count page with a zero byte after its first digit image
    huge            the count page followed by filler, endless or up to
                    size=N bytes in all, without a Content-Length
    trickle         the headers and the count page at once, then one filler
                    byte every interval=S seconds (default 0.2), for ever
    header-trickle  one byte of endless headers every interval=S seconds
    redirect        302 to the same page (the redirected request is answered
                    as in normal mode)
    redirect-loop   302 to the same address, every time
    redirect-closed 302 to the same page on a port where nothing listens
    bad-gbk         the count page with bytes that are no GBK around its
                    images: lone lead bytes, bad trail bytes, 0x80 and 0xFF
    hostile         the count page followed by size=N bytes (default 60000)
                    of image address starts with no ".gif" after them, which
                    make a backtracking pattern search give up
A refused request counts no hit; every other count request read does.

Control requests (never recorded):
    GET /control/mode?name=MODE[&PARAM=VALUE...]   set the mode
    GET /control/requests                          the record, as JSON
    GET /control/counts                            the counts by id, as JSON
    GET /control/clear                             forget the record

As a program:
    counter_service.py [--port N] [--image-host HOST] [--port-file FILE]
                       [--log FILE] [--count ID=N]...
port 0 (the default) takes a free port; it is printed on the first line of
standard output and written to the port file. As a module:
    with CounterService(image_host="img.test") as svc:
        svc.set_mode("stall"); svc.url("id"); svc.requests(); svc.counts()
        svc.set_count("id", 41)

Standard library only.
"""

import argparse
import http.server
import json
import os
import select
import socket
import sys
import threading
import urllib.parse

COUNT_PATH = "/count/count.asp"
MODES = {"normal", "refuse", "error", "stall", "stall-body", "short", "zero", "huge",
         "trickle", "header-trickle", "redirect", "hostile", "redirect-loop", "redirect-closed",
         "bad-gbk"}
FILLER = b"<!-- filler -->\n" * 4096


def count_page(count, image_host, style, images=True):
    """The page parts before the first digit image's end, and after it."""
    digits = str(count)
    imgs = [f'<img src="http://{image_host}/img/{style}/{d}.gif" border="0">' for d in digits]
    head = f"<html><head><title>count</title></head><body>\n<p>{'' if images else 'error'}"
    if not images:
        return (head + "</p></body></html>\n").encode(), b""
    first = head + imgs[0]
    rest = "".join(imgs[1:]) + "</p>\n</body></html>\n"
    return first.encode(), rest.encode()


def hostile_tail(image_host, size):
    """Bytes that hold many starts of a digit-image address and slashes, but
    no "gif": a lazy pattern tries every split of every start."""
    start = f"http://{image_host}/img/x/".encode()
    return (start * (size // len(start) + 1))[:size]


def _closed_port():
    """A port on 127.0.0.1 that nothing listens on (just released)."""
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class _Handler(http.server.BaseHTTPRequestHandler):
    server_version = "CounterService/1"
    protocol_version = "HTTP/1.0"

    def log_message(self, format, *args):  # quiet: the record is the log
        pass

    def do_GET(self):
        svc = self.server.service
        url = urllib.parse.urlsplit(self.path)
        if url.path.startswith("/control/"):
            return self._control(svc, url)
        svc._record(self.requestline, list(self.headers.items()))
        query = urllib.parse.parse_qs(url.query)
        if url.path != COUNT_PATH or "id" not in query:
            return self._send(404, b"<html>not found</html>\n")
        mode, params = svc._mode()
        if mode == "redirect" and "redirected" not in query:
            location = f"{COUNT_PATH}?{url.query}&redirected=1"
            return self._send(302, b"", [("Location", location)])
        if mode == "redirect-loop":
            return self._send(302, b"", [("Location", f"{COUNT_PATH}?{url.query}")])
        if mode == "redirect-closed":
            location = f"http://127.0.0.1:{_closed_port()}{COUNT_PATH}?{url.query}"
            return self._send(302, b"", [("Location", location)])
        if mode == "refuse":
            return self._drop()
        if mode == "header-trickle":
            return self._header_trickle(svc, float(params.get("interval", 0.2)))
        count = svc._hit(query["id"][0])
        style = query.get("ys", [""])[0]
        images = params.get("images", "1") != "0"
        first, rest = count_page(count, svc.image_host, style, images)
        if mode == "stall":
            return self._hold(svc)
        if mode == "error":
            return self._send(int(params.get("status", 500)), first + rest)
        if mode == "zero":
            return self._send(200, first + b"\0" + rest)
        if mode == "bad-gbk":
            bad = b"\x81\x7F\xFF\x80\xFE"
            return self._send(200, bad + first.replace(b"<img", bad + b"<img") + bad +
                              rest.replace(b"<img", b"\x81<img") + b"\xA1")
        if mode == "short":
            self._head(200, len(first + rest) + 1000)
            self._write(first)
            return self._drop()
        if mode == "stall-body":
            self._head(200, len(first + rest))
            self._write(first)
            return self._hold(svc)
        if mode == "huge":
            return self._huge(svc, first + rest, int(params.get("size", 0)))
        if mode == "hostile":
            return self._send(200, first + rest + hostile_tail(svc.image_host, int(params.get("size", 60000))))
        if mode == "trickle":
            return self._trickle(svc, first + rest, float(params.get("interval", 0.2)))
        return self._send(200, first + rest)

    # -- answers --------------------------------------------------------

    def _head(self, status, length=None, extra=()):
        self.send_response_only(status)
        self.send_header("Content-Type", "text/html")
        if length is not None:
            self.send_header("Content-Length", str(length))
        for name, value in extra:
            self.send_header(name, value)
        self.end_headers()

    def _send(self, status, body, extra=()):
        self._head(status, len(body), extra)
        self._write(body)

    def _write(self, data):
        try:
            self.wfile.write(data)
            self.wfile.flush()
            return True
        except OSError:  # the client has gone
            self.close_connection = True
            return False

    def _drop(self):
        self.close_connection = True
        try:
            self.connection.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass

    def _client_gone(self, timeout):
        """Waits up to `timeout` seconds; True when the client has closed."""
        readable, _, _ = select.select([self.connection], [], [], timeout)
        if not readable:
            return False
        try:
            return self.connection.recv(4096) == b""  # anything else it sends is ignored
        except OSError:
            return True

    def _hold(self, svc):
        """Answers nothing more until the client closes or the service stops."""
        self.close_connection = True
        while not svc._stopping.is_set():
            if self._client_gone(0.1):
                return

    def _huge(self, svc, page, size):
        self._head(200)
        sent = 0
        if not self._write(page):
            return
        sent += len(page)
        while not svc._stopping.is_set() and (size == 0 or sent < size):
            chunk = FILLER if size == 0 else FILLER[:size - sent]
            if not self._write(chunk):
                return
            sent += len(chunk)
        self.close_connection = True

    def _trickle(self, svc, page, interval):
        self._head(200)
        if not self._write(page):
            return
        while not svc._stopping.wait(interval):
            if not self._write(b"."):
                return
        self.close_connection = True

    def _header_trickle(self, svc, interval):
        if not self._write(b"HTTP/1.0 200 OK\r\n"):
            return
        line = b"X-Slow: " + b"a" * 60 + b"\r\n"
        i = 0
        while not svc._stopping.wait(interval):
            if not self._write(line[i % len(line):i % len(line) + 1]):
                return
            i += 1
        self.close_connection = True

    def _control(self, svc, url):
        query = {k: v[-1] for k, v in urllib.parse.parse_qs(url.query).items()}
        if url.path == "/control/mode":
            name = query.pop("name", "normal")
            if name not in MODES:
                return self._send(400, f"unknown mode {name}\n".encode())
            svc.set_mode(name, **query)
            body = b"ok\n"
        elif url.path == "/control/requests":
            body = json.dumps(svc.requests()).encode()
        elif url.path == "/control/counts":
            body = json.dumps(svc.counts()).encode()
        elif url.path == "/control/clear":
            svc.clear_requests()
            body = b"ok\n"
        else:
            return self._send(404, b"no such control\n")
        self._send(200, body)


class _Server(http.server.ThreadingHTTPServer):
    daemon_threads = True
    block_on_close = False
    allow_reuse_address = True


class CounterService:
    def __init__(self, port=0, image_host="img.counter.test", log_path=None, counts=None):
        self.image_host = image_host
        self.log_path = log_path
        self._lock = threading.Lock()
        self._counts = dict(counts or {})
        self._requests = []
        self._mode_name, self._params = "normal", {}
        self._stopping = threading.Event()
        self._server = _Server(("127.0.0.1", port), _Handler)
        self._server.service = self
        self.port = self._server.server_address[1]
        self._thread = None

    # -- lifetime -------------------------------------------------------

    def start(self):
        self._thread = threading.Thread(target=self._server.serve_forever,
                                        kwargs={"poll_interval": 0.05}, daemon=True)
        self._thread.start()
        return self

    def stop(self):
        """Stops serving; requests held open (stall, trickle) end too."""
        self._stopping.set()
        if self._thread:
            self._server.shutdown()
            self._thread.join(timeout=5)
            self._thread = None
        self._server.server_close()

    def __enter__(self):
        return self.start() if self._thread is None else self

    def __exit__(self, *exc):
        self.stop()

    # -- what tests use -------------------------------------------------

    def url(self, counter_id, host="127.0.0.1"):
        return f"http://{host}:{self.port}{COUNT_PATH}?id={counter_id}&sx=1&ys=43"

    def set_mode(self, name, **params):
        if name not in MODES:
            raise ValueError(f"unknown mode {name}")
        with self._lock:
            self._mode_name, self._params = name, {k: str(v) for k, v in params.items()}

    def requests(self):
        """Every recorded request: {"line": ..., "headers": [[name, value], ...]}."""
        with self._lock:
            return [dict(r) for r in self._requests]

    def clear_requests(self):
        with self._lock:
            self._requests.clear()

    def counts(self):
        with self._lock:
            return dict(self._counts)

    def set_count(self, counter_id, count):
        with self._lock:
            self._counts[counter_id] = count

    # -- for the handler ------------------------------------------------

    def _mode(self):
        with self._lock:
            return self._mode_name, dict(self._params)

    def _hit(self, counter_id):
        with self._lock:
            self._counts[counter_id] = self._counts.get(counter_id, 0) + 1
            return self._counts[counter_id]

    def _record(self, line, headers):
        entry = {"line": line, "headers": [list(h) for h in headers]}
        with self._lock:
            self._requests.append(entry)
            if self.log_path:
                with open(self.log_path, "a", encoding="utf-8") as f:
                    f.write(json.dumps(entry) + "\n")


def main(argv=None):
    parser = argparse.ArgumentParser(description="A hit-counter service for the tests.")
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--image-host", default="img.counter.test")
    parser.add_argument("--port-file")
    parser.add_argument("--log")
    parser.add_argument("--count", action="append", default=[], metavar="ID=N",
                        help="start the count of ID at N")
    args = parser.parse_args(argv)
    counts = {}
    for item in args.count:
        name, _, value = item.partition("=")
        counts[name] = int(value)
    svc = CounterService(args.port, args.image_host, args.log, counts)
    if args.port_file:
        tmp = args.port_file + ".tmp"
        with open(tmp, "w") as f:
            f.write(f"{svc.port}\n")
        os.replace(tmp, args.port_file)
    print(svc.port, flush=True)
    svc.start()
    try:
        threading.Event().wait()
    except KeyboardInterrupt:
        pass
    finally:
        svc.stop()
    return 0


if __name__ == "__main__":
    sys.exit(main())

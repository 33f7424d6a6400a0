#!/usr/bin/python3
"""The HTTP client of the programs under Wine, against the test counter
service: what it sends, and what it returns from servers that misbehave.
What Cordivane shows for each kind of page is in test_counter_faults.py."""

import os
import re
import shutil
import socket
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "counter_service"))
import bench  # noqa: E402
from counter_service import CounterService, count_page  # noqa: E402

AGENT = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)"
IMAGE_HOST = "img.counter.test"
RECEIVE_MS = 10000  # the client's default wait for the next bytes


def page(count, images=True):
    return count_page(count, IMAGE_HOST, "43", images)


def build_values(bin_dir):
    """The build-time values the programs of this build carry."""
    with open(os.path.join(bin_dir, "..", "generated", "values.h"), encoding="ascii") as f:
        return dict(re.findall(r'constexpr char (\w+)\[\] = "(.*)";', f.read()))


def closed_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


class HttpClientTest(unittest.TestCase):
    def setUp(self):
        self.state = bench.State()
        self.exe = self.state.exe("httpget.exe")
        self.svc = CounterService(image_host=IMAGE_HOST, counts={"usage": 1206}).start()
        self.addCleanup(self.svc.stop)
        self.tmp = self.state.temp_dir("http-")
        self.addCleanup(shutil.rmtree, self.tmp, ignore_errors=True)

    def get(self, urls, *limits, timeout=60):
        """Runs httpget over the addresses; [(body, milliseconds)] in order."""
        out = os.path.join(self.tmp, "body")
        done = bench.run_console(self.exe, ["--out", out, *limits, *urls], timeout=timeout,
                                 state=self.state)
        self.assertEqual(done.returncode, 0, done.stderr.decode(errors="replace"))
        lines = done.stdout.decode().split("\n")[:len(urls)]
        results = []
        for i, line in enumerate(lines):
            length, ms = map(int, line.split())
            with open(f"{out}{i}", "rb") as f:
                body = f.read()
            self.assertEqual(len(body), length)
            results.append((body, ms))
        return results

    def test_request_line_and_headers_and_each_request_counts(self):
        url = self.svc.url("usage")
        (first, _), (second, _) = self.get([url, url])
        self.assertEqual(first, b"".join(page(1207)))
        self.assertEqual(second, b"".join(page(1208)))
        self.assertEqual(self.svc.counts(), {"usage": 1208})
        requests = self.svc.requests()
        self.assertEqual(len(requests), 2)
        for r in requests:
            self.assertEqual(r["line"], "GET /count/count.asp?id=usage&sx=1&ys=43 HTTP/1.0")
            # Nothing beyond these: no cache validators, no cookies, no keep-alive.
            self.assertEqual(sorted(r["headers"]), sorted([
                ["Accept", "*/*"],
                ["Host", f"127.0.0.1:{self.svc.port}"],
                ["User-Agent", AGENT],
                ["Pragma", "no-cache"],
            ]))

    def test_follows_a_redirect(self):
        self.svc.set_mode("redirect")
        ((body, _),) = self.get([self.svc.url("usage")])
        self.assertEqual(body, b"".join(page(1207)))
        lines = [r["line"] for r in self.svc.requests()]
        self.assertEqual(lines, ["GET /count/count.asp?id=usage&sx=1&ys=43 HTTP/1.0",
                                 "GET /count/count.asp?id=usage&sx=1&ys=43&redirected=1 HTTP/1.0"])

    def test_misbehaving_servers(self):
        first, rest = page(1207)
        short_limits = ("--receive-ms", "2000", "--total-ms", "3000")
        # mode, its parameters, httpget limits, expected body, longest time (ms)
        cases = [
            ("refuse", {}, (), b"", 3000),
            ("error", {}, (), first + rest, 3000),
            ("error", {"images": 0}, (), b"".join(page(1207, images=False)), 3000),
            ("short", {}, (), first, 3000),
            ("zero", {}, (), first + b"\0" + rest, 3000),
            ("stall-body", {}, short_limits, first, 3000),
            ("header-trickle", {"interval": 0.1}, short_limits, b"", 4000),
        ]
        for mode, params, limits, expected, longest in cases:
            with self.subTest(mode=mode, **params):
                self.svc.set_mode(mode, **params)
                self.svc.set_count("usage", 1206)
                ((body, ms),) = self.get([self.svc.url("usage")], *limits)
                self.assertEqual(body, expected)
                self.assertLess(ms, longest)

    def test_a_closed_port_fails_at_once(self):
        ((body, ms),) = self.get([f"http://127.0.0.1:{closed_port()}/count/count.asp?id=x&sx=1&ys=43"])
        self.assertEqual(body, b"")
        self.assertLess(ms, 3000)

    def test_a_silent_server_is_given_up_after_the_receive_time_out(self):
        self.svc.set_mode("stall")
        ((body, ms),) = self.get([self.svc.url("usage")])
        self.assertEqual(body, b"")
        self.assertGreaterEqual(ms, RECEIVE_MS - 500)
        self.assertLess(ms, RECEIVE_MS + 3000)

    def test_an_endless_body_is_cut_at_the_size_bound(self):
        self.svc.set_mode("huge")
        ((body, _),) = self.get([self.svc.url("usage")])
        self.assertEqual(len(body), 4 << 20)
        self.assertTrue(body.startswith(b"".join(page(1207))))

    def test_a_trickling_body_is_cut_at_the_deadline(self):
        self.svc.set_mode("trickle", interval=0.1)
        ((body, ms),) = self.get([self.svc.url("usage")], "--total-ms", "2000")
        whole = b"".join(page(1207))
        self.assertTrue(body.startswith(whole), body[:200])
        self.assertGreater(len(body), len(whole), "some trickled bytes were kept")
        self.assertGreaterEqual(ms, 2000 - 100)
        self.assertLess(ms, 3500)


if __name__ == "__main__":
    bench.main()

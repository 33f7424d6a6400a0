#!/usr/bin/python3
"""Cordivane's start-up count against a counter service that misbehaves in
every way we know: the window is frozen while the request runs (it is
synchronous), but never past the client's own time-outs, the program answers
afterwards, and 标签2 shows the bare prefix or the digits the page held. Each
case prints how long the window stayed frozen."""

import time

import bench
from test_http import build_values  # also puts the counter service on the path
from counter_service import CounterService  # noqa: E402

PREFIX = "软件共计使用次数："
# The client gives up on a request after 20 s whatever the server does; the
# window may take a few seconds more to come up under Wine.
LONGEST_FREEZE = 25.0


def start_usage_counter(test):
    """The counter service at the loopback address this build's programs ask,
    stopped when `test` ends; with the build's usage counter id."""
    values = build_values(test.state.bin_dir)
    host, _, port = values["kCounterPageHost"].partition(":")
    if host != "127.0.0.1" or not port:
        test.fail(f"this build's counter page host is {values['kCounterPageHost']!r}: configure "
                  "with -DZV_COUNTER_PAGE_HOST=127.0.0.1:PORT (as test.sh does)")
    svc = CounterService(int(port), values["kCounterImageHost"]).start()
    test.addCleanup(svc.stop)
    return svc, values["kUsageCounterId"]


class CounterFaultsTest(bench.TestCase):
    def test_the_window_comes_back_from_every_bad_service(self):
        svc, usage = start_usage_counter(self)
        # mode, its parameters, the digits 标签2 ends up with
        cases = [
            ("normal", {}, "1207"),
            ("refuse", {}, ""),
            ("stall", {}, ""),
            ("trickle", {"interval": 1}, "1207"),
            ("huge", {}, "1207"),
            ("huge", {"size": 100 << 20}, "1207"),
            ("zero", {}, "1"),
            ("bad-gbk", {}, "1207"),
            ("hostile", {"size": 60000}, "1207"),
            ("hostile", {"size": 3000000}, "1207"),  # nothing after the last "gif" is searched
            ("short", {}, "1"),
            ("error", {}, "1207"),
            ("error", {"images": 0}, ""),
            ("redirect-loop", {}, ""),
            ("redirect-closed", {}, ""),
        ]
        report = []
        for mode, params, digits in cases:
            with self.subTest(mode=mode, **params):
                svc.set_mode(mode, **params)
                svc.set_count(usage, 1206)
                program = self.start(self.state.exe("Cordivane.exe"))
                program.msgbox().hwnd.press()
                # The created handler fetches the count once the welcome box
                # is closed; the window shows only when it has returned.
                pressed = time.monotonic()
                window = program.window("Cordivane", timeout=LONGEST_FREEZE + 15)
                frozen = time.monotonic() - pressed
                report.append(f"{mode} {params or ''}: frozen {frozen:.1f} s, shows {digits or 'the bare prefix'}")
                self.assertLess(frozen, LONGEST_FREEZE)
                self.assertEqual(window.control("标签2").text(), PREFIX + digits)
                # It answers at once afterwards: each read is a message
                # round trip to its GUI thread.
                self.assertEqual(window.text(), "Cordivane")
                self.assertTrue(program.running())
                program.end()
        print("\n".join(report))


if __name__ == "__main__":
    bench.main()

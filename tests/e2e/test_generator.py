#!/usr/bin/python3
"""Cordivane under Wine: its start-up around the welcome box and the usage
count, the clock, the studio window, the maker's links opened through the
shell, and the player launcher."""

import contextlib
import datetime
import os
import re
import shutil
import subprocess
import sys
import threading
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "counter_service"))
import bench  # noqa: E402
from bench import wait_until  # noqa: E402
from counter_service import CounterService  # noqa: E402

TITLE = "Cordivane"
STUDIO = "Zorvat工作室"
USAGE_PREFIX = "软件共计使用次数："
TARGET_TITLE = "驱动靶子"  # drivetarget.exe's window
CLOCK = re.compile(r"Zorvat报时：(\d{4})年(\d{1,2})月(\d{1,2})日(?:(\d{1,2})时(?:(\d{1,2})分(?:(\d{1,2})秒)?)?)?")


def build_value(name):
    """A build-time value (cmake's ZV_NAME): from the environment, else from
    the build's generated values.h."""
    key = "ZV_" + name
    if key in os.environ:
        return os.environ[key]
    path = os.path.join(bench.State().bin_dir, "..", "generated", "values.h")
    with open(path, encoding="ascii") as f:
        found = dict(re.findall(r'constexpr char k(\w+)\[\] = "(.*)";', f.read()))
    camel = "".join(part.capitalize() for part in name.split("_"))
    return found[camel]


class HeldService(CounterService):
    """The counter service, holding each count request (after recording it)
    until the test releases it, so that a test sees what the program does
    while its fetch is under way."""

    def __init__(self, *args, **kwargs):
        super().__init__(*args, **kwargs)
        self.arrived = threading.Event()
        self.released = threading.Event()
        self.released.set()

    def _record(self, line, headers):
        super()._record(line, headers)
        self.arrived.set()
        # Bounded below the program's 10 s receive wait, so a failed test never leaves it hanging.
        self.released.wait(8)


class GeneratorTest(bench.TestCase):
    def open_generator(self, path=None, env=None):
        program = self.start(path or self.state.exe("Cordivane.exe"), env=env)
        program.msgbox().hwnd.press()
        return program, program.window(TITLE, timeout=15)

    def shown(self, program, title=TITLE):
        return [w for w in program.windows() if w.visible and w.title == title]

    def temp_dir(self):
        folder = self.state.temp_dir("gen-")
        self.addCleanup(shutil.rmtree, folder, ignore_errors=True)
        return folder

    def test_start_up_shows_the_window_after_the_box_and_the_fetch_and_counts_each_start(self):
        host, _, port = build_value("COUNTER_PAGE_HOST").partition(":")
        if host != "127.0.0.1" or not port:
            self.fail(f"the counter page host is {host}:{port}: configure with "
                      "-DZV_COUNTER_PAGE_HOST=127.0.0.1:PORT")
        usage = build_value("USAGE_COUNTER_ID")
        svc = HeldService(int(port), build_value("COUNTER_IMAGE_HOST"), counts={usage: 1206}).start()
        self.addCleanup(svc.stop)
        self.addCleanup(svc.released.set)
        svc.released.clear()

        program = self.start(self.state.exe("Cordivane.exe"))
        box = program.msgbox()
        self.assertEqual((box.title, box.text), ("信息：", "欢迎使用Zorvat软件O(∩_∩)O~~"))
        self.assertEqual(self.shown(program), [], "a window is visible under the welcome box")
        self.assertFalse(svc.arrived.is_set(), "the count was fetched before the welcome box was closed")
        box.hwnd.press()
        wait_until(svc.arrived.is_set, 10, "the usage count request")
        # While the answer is held the window stays hidden (polled for a second).
        deadline = time.monotonic() + 1.0
        while time.monotonic() < deadline:
            self.assertEqual(self.shown(program), [], "the window showed before the count came")
            time.sleep(0.05)
        svc.released.set()
        window = program.window(TITLE, timeout=10)
        self.assertEqual(window.control("标签2").text(), USAGE_PREFIX + "1207")
        window.close()
        self.assertEqual(program.wait_exit(), 0)

        # The next start counts one more hit and shows the new count.
        _, window = self.open_generator()
        self.assertEqual(window.control("标签2").text(), USAGE_PREFIX + "1208")
        self.assertEqual(svc.counts(), {usage: 1208})
        self.assertEqual(len(svc.requests()), 2)

    def test_clock_ticks_once_a_second_in_local_time(self):
        _, window = self.open_generator()
        label = window.control("标签3")
        self.assertEqual(label.text(), "Zorvat报时：", "the clock ticked at once")
        seen = []

        def three_ticks():
            text = label.text()
            if text != "Zorvat报时：" and (not seen or seen[-1][0] != text):
                seen.append((text, datetime.datetime.now()))
            return len(seen) >= 3

        # The first tick comes a second after the window shows, then one a second.
        wait_until(three_ticks, 4.5, "three captions of 标签3", interval=0.05)
        times = []
        for text, now in seen:
            match = CLOCK.fullmatch(text)
            self.assertIsNotNone(match, f"clock text {text!r}")
            fields = [int(g) if g else 0 for g in match.groups()]
            shown = datetime.datetime(*fields)
            # Local time, not UTC: within a few seconds of this machine's clock.
            self.assertLess(abs((shown - now).total_seconds()), 3, f"{text!r} at {now}")
            times.append(shown)
        for earlier, later in zip(times, times[1:]):
            self.assertIn((later - earlier).total_seconds(), (1, 2), f"successive ticks {seen}")

    def test_studio_window_opens_once_and_outlives_the_generator_window(self):
        program, window = self.open_generator()
        window.control("按钮5").click()
        studio = program.window(STUDIO)
        window.control("按钮5").click()
        self.assertEqual([w.hwnd for w in self.shown(program, STUDIO)], [studio])
        window.close()
        window.wait_gone()
        self.assertTrue(program.running(), "closing GeneratorWindow ended the program")
        self.assertTrue(studio.visible())
        studio.close()
        self.assertEqual(program.wait_exit(), 0)

    def test_links_open_their_addresses_through_the_shell(self):
        log = os.path.join(self.temp_dir(), "opened.log")
        self.register_recorder(log)
        program, window = self.open_generator()
        window.control("按钮5").click()
        studio = program.window(STUDIO)
        v = build_value
        cases = [
            (studio, "按钮1", f"http://{v('FORUM_HOST')}/u.php?uid={v('FORUM_USER_ID')}"),
            (studio, "按钮2", f"http://{v('SPACE_HOST')}/{v('MAKER_ACCOUNT')}"),
            (studio, "按钮3", f"http://{v('SINA_BLOG_HOST')}/u/{v('MICROBLOG_USER_ID')}"
                             "?from=profile&wvr=5&loc=infdomain"),
            (studio, "按钮4", f"http://{v('TENCENT_BLOG_HOST')}/{v('MICROBLOG_HANDLE')}"),
            (window, "按钮8", f"http://{v('SPACE_HOST')}/{v('MAKER_ACCOUNT')}/blog/{v('TUTORIAL_POST_ID')}"),
            (window, "按钮6", f"tencent://message/?uin={v('MAKER_ACCOUNT')}"),
        ]
        for i, (owner, name, address) in enumerate(cases):
            with self.subTest(button=name, window=owner.text()):
                self.assertEqual(owner.control(name).click(), "done")
                lines = wait_until(lambda: self.read_lines(log)[i:], 10, f"the address opened by {name}")
                self.assertEqual(lines, [address])
                self.assertTrue(studio.visible(), "StudioWindow closed after a link")
        self.assertEqual(sorted(w.title for w in program.windows() if w.visible), sorted([TITLE, STUDIO]))

    def test_launcher_starts_the_player_beside_it_and_does_nothing_without_it(self):
        # A GBK name with a space, and beside it a program named like its
        # first word: an unquoted command line would start that one instead.
        root = self.temp_dir().encode()
        folder = os.path.join(root, "播放 器目录".encode("gbk"))
        os.mkdir(folder)
        shutil.copy(self.state.exe("Cordivane.exe"), os.path.join(folder, b"Cordivane.exe"))
        shutil.copy(self.state.exe("drivetarget.exe"), os.path.join(root, "播放.exe".encode("gbk")))
        program, window = self.open_generator(os.path.join(folder, b"Cordivane.exe"),
                                              env={"DRIVETARGET_LABEL": "继承的环境"})
        self.addCleanup(self.end_targets)
        before = program.windows()

        self.assertEqual(window.control("按钮7").click(), "done")
        self.assertEqual(program.windows(), before, "a window came up for a missing player")
        self.assertEqual(self.end_targets(), [], "a program was started with the player missing")
        self.assertTrue(window.usable())

        shutil.copy(self.state.exe("drivetarget.exe"), os.path.join(folder, b"Pellarine.exe"))
        self.assertEqual(window.control("按钮7").click(), "done")
        player = self.driver.wait_window(TARGET_TITLE, 10)
        pid = player.info().pid
        self.adopt(pid)
        self.assertNotEqual(pid, program.pid)
        # It got Cordivane's environment.
        self.assertEqual(player.control("标签1").text(), "继承的环境")
        self.assertTrue(window.usable())

    def end_targets(self):
        """Ends every running drivetarget; the titles of the windows it had."""
        found = [w for w in self.driver.windows() if w.title == TARGET_TITLE]
        for w in found:
            with contextlib.suppress(bench.DriverError):
                bench.Program.running_as(self.driver, w.hwnd.info().pid).end()
        return [w.title for w in found]

    # -- the shell's handlers in the test prefix ------------------------

    SCHEMES = ("http", "https", "tencent")

    def register_recorder(self, log):
        """Makes urlrecorder.exe the open command of each scheme, until the
        test ends; the prefix's own settings come back afterwards."""
        folder = self.temp_dir()
        backup = os.path.join(folder, "before.reg")
        keys = {s: f"HKEY_CLASSES_ROOT\\{s}" for s in self.SCHEMES}
        existing = [s for s in self.SCHEMES if self.regedit("/E", bench.win_path(f"{backup}.{s}"), keys[s]) == 0]
        command = f'"{bench.win_path(self.state.exe("urlrecorder.exe"))}" "{bench.win_path(log)}" "%1"'
        lines = ["REGEDIT4", ""]
        for s in self.SCHEMES:
            lines += [f"[-{keys[s]}]", "", f"[{keys[s]}]", '"URL Protocol"=""', "",
                      f"[{keys[s]}\\shell\\open\\command]", "@=" + reg_string(command), ""]
        self.addCleanup(self.restore_schemes, keys, [backup + "." + s for s in existing], folder)
        self.import_reg(os.path.join(folder, "recorder.reg"), lines)

    def restore_schemes(self, keys, backups, folder):
        removal = ["REGEDIT4", ""] + [f"[-{k}]" for k in keys.values()]
        self.import_reg(os.path.join(folder, "remove.reg"), removal)
        for backup in backups:
            self.assertEqual(self.regedit("/S", bench.win_path(backup)), 0, f"re-importing {backup}")

    def import_reg(self, path, lines):
        with open(path, "wb") as f:
            f.write("\r\n".join(lines).encode("gbk") + b"\r\n")
        self.assertEqual(self.regedit("/S", bench.win_path(path)), 0, f"importing {path}")

    def regedit(self, *args):
        return subprocess.run(["wine", "regedit", *args], env=self.state.wine_env(),
                              capture_output=True, timeout=60).returncode

    @staticmethod
    def read_lines(path):
        try:
            with open(path, "rb") as f:
                return [line.decode("gbk") for line in f.read().split(b"\n")[:-1]]
        except FileNotFoundError:
            return []


def reg_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"') + '"'


if __name__ == "__main__":
    bench.main()

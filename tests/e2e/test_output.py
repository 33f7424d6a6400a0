#!/usr/bin/python3
"""Cordivane's output buttons under Wine: the address and the snippet copied
to the clipboard and read back by another process, a clipboard that another
program holds, and the preview window whose browser requests the player
address from a loopback service."""

import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "counter_service"))
import bench  # noqa: E402
from bench import wait_until  # noqa: E402
from counter_service import CounterService  # noqa: E402
from test_generator import build_value  # noqa: E402

TITLE = "Cordivane"
PREVIEW = "测调效果"
HASH = "6FC3E2B1A0D94C7E8B5F2A1D3C4E5F60"
TAIL = "'AllowScriptAccess='always' id='KugouPlayerMini' FlashVars='' quality='high' width='1' height='1' ></embed>"
COPY_FAILED = "复制失败：剪贴板正被其他程序占用，请稍后再试！"


class ClipboardHolder:
    """clipholder.exe: another program that holds the clipboard open, until
    released or for `ms` milliseconds."""

    def __init__(self, state, ms=None):
        argv = ["wine", state.exe("clipholder.exe")] + ([str(ms)] if ms is not None else [])
        self.proc = bench.spawn(argv, state, env=state.wine_env(), stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        line = self.proc.stdout.readline().strip()
        if line != b"held":
            raise AssertionError(f"clipholder could not take the clipboard: {line!r}")

    def release(self):
        if self.proc.poll() is None:
            self.proc.stdin.write(b"\n")
            self.proc.stdin.flush()
        self.proc.wait(timeout=10)
        self.proc.stdin.close()
        self.proc.stdout.close()


class OutputTest(bench.TestCase):
    def open_generator(self):
        program = self.start(self.state.exe("Cordivane.exe"))
        program.msgbox().hwnd.press()
        return program, program.window(TITLE, timeout=15)

    def generate(self, window, hash_text, style="单选框1"):
        window.control("编辑框1").type(hash_text)
        self.assertEqual(window.control(style).click(), "done")

    def press(self, program, button):
        """Clicks an output button; the title and text of the box it brings up."""
        self.assertEqual(button.click(), "open")
        box = program.msgbox()
        box.hwnd.press()
        return box.title, box.text

    def test_each_button_copies_its_field_and_another_process_reads_the_bytes(self):
        program, window = self.open_generator()
        self.generate(window, "中文 " + HASH)
        path = f"/singlePlayer/4/362/0/1/中文 {HASH}.swf"
        address = f"http://{build_value('PLAYER_HOST')}{path}"
        self.assertEqual(self.press(program, window.control("按钮1")), ("信息：", "复制Flash代码成功！"))
        self.assertEqual(self.driver.clipboard_bytes(), address.encode("gbk"))
        self.assertEqual(self.press(program, window.control("按钮3")), ("信息：", "复制HTML代码成功！"))
        self.assertEqual(self.driver.clipboard_bytes(), f"<embed src='{address}{TAIL}".encode("gbk"))

    def test_a_held_clipboard_is_waited_for_briefly_then_reported_and_left_alone(self):
        program, window = self.open_generator()
        self.generate(window, HASH)
        self.driver.set_clipboard("别人的内容")

        holder = ClipboardHolder(self.state)
        self.addCleanup(holder.release)
        self.assertEqual(self.press(program, window.control("按钮3")), ("信息：", COPY_FAILED))
        holder.release()
        self.assertEqual(self.driver.clipboard(), "别人的内容")

        # A program that lets go within the wait does not make the copy fail.
        brief = ClipboardHolder(self.state, ms=250)
        self.addCleanup(brief.release)
        self.assertEqual(self.press(program, window.control("按钮1")), ("信息：", "复制Flash代码成功！"))
        self.assertEqual(self.driver.clipboard(), window.control("编辑框2").text())

    def test_preview_requests_the_address_opens_once_and_closes_alone(self):
        host, _, port = build_value("PLAYER_HOST").partition(":")
        if host != "127.0.0.1" or not port:
            self.fail(f"the player host is {host}:{port}: configure with -DZV_PLAYER_HOST=127.0.0.1:PORT")
        # Any loopback HTTP service that records request lines will do.
        player = CounterService(int(port)).start()
        self.addCleanup(player.stop)

        def paths():
            return [r["line"].split(" ")[1] for r in player.requests()]

        program, window = self.open_generator()
        self.generate(window, HASH)
        self.assertEqual(window.control("按钮2").click(), "open")
        preview = program.window(PREVIEW)
        first = f"/singlePlayer/4/362/0/1/{HASH}.swf"
        wait_until(paths, 10, "the preview's request")
        self.assertEqual(paths(), [first])

        # Centred on the screen, the browser filling the view laid out at 0,0 664x368.
        r = preview.rect()
        self.assertEqual((r.left, r.top, r.right - r.left, r.bottom - r.top),
                         ((bench.SCREEN_W - 665) // 2, (bench.SCREEN_H - 398) // 2, 665, 398))
        view = preview.control("超文本浏览框1")
        client, area = preview.client_rect(), view.rect()
        self.assertEqual((area.left - client.left, area.top - client.top, area.right - area.left,
                          area.bottom - area.top), (0, 0, 664, 368))
        browser = [c for c in view.children() if c.visible and c.hwnd.info().parent == view]
        self.assertEqual(len(browser), 1, f"the browser's window among {view.children()}")
        self.assertEqual(browser[0].hwnd.rect(), view.client_rect())

        # A new code does not reach the open preview; the second press brings it forward.
        self.generate(window, "x", style="单选框2")
        self.assertEqual(window.control("按钮2").click(), "done")
        wait_until(lambda: self.driver.foreground() == preview, 5, "the preview in front")
        self.assertEqual([w.hwnd for w in program.windows() if w.visible and w.title == PREVIEW], [preview])
        self.assertEqual(paths(), [first])

        preview.close()
        preview.wait_gone()
        self.assertTrue(program.running(), "closing the preview ended Cordivane")
        self.assertTrue(window.usable())
        self.assertEqual(window.control("按钮2").click(), "open")
        program.window(PREVIEW)
        wait_until(lambda: paths()[1:], 10, "the second preview's request")
        self.assertEqual(paths(), [first, f"/singlePlayer/5/364/0/1/{HASH}x.swf"])


if __name__ == "__main__":
    bench.main()

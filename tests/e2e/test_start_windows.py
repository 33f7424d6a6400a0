"""Each program's start window: title, outer size, centred, Chinese captions,
edit boxes without a length limit, the program picture as the icon draws it."""
import os
import struct
import sys

import bench

sys.path.insert(0, os.path.join(os.environ["ZV_SOURCE_DIR"], "tests", "binaries"))
import check_resources  # noqa: E402

EM_GETLIMITTEXT = 0x00D5
# What a single-line edit box reports once its limit is lifted; the system's
# default is 32,767 (30,000 under Wine).
NO_LIMIT = 0x7FFFFFFE


class StartWindows(bench.TestCase):
    def assert_centred(self, window, size):
        r = window.rect()
        self.assertEqual((r.right - r.left, r.bottom - r.top), size)
        # Centred on the screen. The bench's desktop has no taskbar, so its work
        # area is the whole screen; the native tests cover a smaller one.
        centre = ((r.left + r.right) // 2, (r.top + r.bottom) // 2)
        for got, want in zip(centre, (bench.SCREEN_W // 2, bench.SCREEN_H // 2)):
            self.assertLessEqual(abs(got - want), 1, f"window centre {centre} on a {bench.SCREEN_W}x{bench.SCREEN_H} screen")

    def assert_no_length_limit(self, window):
        edits = [c.hwnd.hwnd for c in window.children() if c.cls.lower() == "edit"]
        self.assertTrue(edits, "no edit box found")
        done = bench.run_console(self.state.exe("sendmsg.exe"), [str(EM_GETLIMITTEXT), *map(str, edits)],
                                 state=self.state)
        self.assertEqual(done.returncode, 0, done.stderr)
        self.assertEqual(done.stdout.decode().split(), [str(NO_LIMIT)] * len(edits))

    def screen_pixels(self, rect):
        """The rectangle's pixels on the screen, as R G B bytes, rows top to bottom."""
        path = os.path.join(self.state.temp_dir("shot-"), "screen.bmp")
        self.driver.screenshot(path)
        with open(path, "rb") as f:
            data = f.read()
        offset = struct.unpack_from("<I", data, 10)[0]
        w, h, _, bits = struct.unpack_from("<iiHH", data, 18)
        self.assertEqual(bits, 24)
        stride = (3 * w + 3) & ~3
        rows = []
        for y in range(rect.top, rect.bottom):
            start = offset + (h - 1 - y) * stride + 3 * rect.left
            bgr = data[start:start + 3 * (rect.right - rect.left)]
            rows.append(bytes(b for i in range(0, len(bgr), 3) for b in (bgr[i + 2], bgr[i + 1], bgr[i])))
        return b"".join(rows)

    def assert_shows_the_icon(self, exe, picture_box):
        """The picture box shows exactly the 48-pixel image of the program's icon resource."""
        _, _, bgra = check_resources.icon_images(check_resources.resources(exe))[48]
        want = bytes(b for i in range(0, len(bgra), 4) for b in (bgra[i + 2], bgra[i + 1], bgra[i]))
        rect = picture_box.client_rect()
        self.assertEqual((rect.right - rect.left, rect.bottom - rect.top), (48, 48))
        bench.wait_until(lambda: self.screen_pixels(rect) == want, what="the picture box shows the icon's pixels")

    def test_player_window(self):
        program = self.start(self.state.exe("Pellarine.exe"))
        window = program.window("ZorvatMP3播放器")
        self.assert_centred(window, (230, 515))
        self.assertEqual(window.control("选择框1").text(), "模式一")
        self.assertEqual(window.control("按钮2").text(), "开始播放")
        self.assert_no_length_limit(window)
        window.close()
        self.assertEqual(program.wait_exit(), 0)

    def test_generator_window_after_its_welcome_box(self):
        program = self.start(self.state.exe("Cordivane.exe"))
        box = program.msgbox()
        self.assertEqual((box.title, box.text), ("信息：", "欢迎使用Zorvat软件O(∩_∩)O~~"))
        self.assertFalse(any(w.visible for w in program.windows() if w.title == "Cordivane"))
        box.hwnd.press()
        window = program.window("Cordivane")
        self.assert_centred(window, (293, 715))
        self.assertEqual(window.control("按钮7").text(), "Pellarine")
        self.assertEqual(window.control("标签3").text(), "Zorvat报时：")
        self.assert_no_length_limit(window)
        self.assert_shows_the_icon(self.state.exe("Cordivane.exe"), window.control("图片框4"))
        window.close()
        self.assertEqual(program.wait_exit(), 0)


if __name__ == "__main__":
    bench.main()

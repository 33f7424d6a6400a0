"""Each program's start window: title, outer size, centred, Chinese captions,
edit boxes without a length limit."""
import bench

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
        window.close()
        self.assertEqual(program.wait_exit(), 0)


if __name__ == "__main__":
    bench.main()

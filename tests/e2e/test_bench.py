#!/usr/bin/python3
"""The bench and the automation driver, against drivetarget.exe: a raw-Win32
window whose control ids follow the naming contract, so that the driver is
tested apart from the frame."""

import os

import bench

TITLE = "驱动靶子"


class DriverTest(bench.TestCase):

    def open_target(self, env=None):
        program = self.start(self.state.exe("drivetarget.exe"), env=env)
        return program, program.window(TITLE)

    def last_click(self, window):
        return window.control("标签1").text()

    def test_controls_are_found_by_layout_name(self):
        _, window = self.open_target()
        # The radio buttons are children of the group box, not of the window.
        for name, cid in [("选择框1", 301), ("分组框1", 501), ("单选框2", 402), ("按钮7", 107),
                          ("编辑框1", 201), ("按钮1", 101), ("标签2", 602)]:
            with self.subTest(name=name):
                self.assertEqual(window.control(name).info().id, cid)
        for name, reason in [("按钮9", "no-control"), ("时钟1", "bad-name"), ("按钮", "bad-name")]:
            with self.subTest(name=name):
                with self.assertRaises(bench.DriverError) as missing:
                    window.control(name)
                self.assertEqual(missing.exception.reason, reason)

    def test_clicks_go_through_the_control(self):
        _, window = self.open_target()
        check = window.control("选择框1")
        for expected in (1, 0):
            self.assertEqual(check.click(), "done")
            self.assertEqual(check.checked(), expected)
            # The window's handler saw the mark already flipped.
            self.assertEqual(self.last_click(window), f"选择框1:{expected}")

        radios = [window.control(f"单选框{n}") for n in (1, 2, 3)]
        radios[0].click()
        radios[2].click()
        self.assertEqual([r.checked() for r in radios], [0, 0, 1])
        self.assertEqual(self.last_click(window), "单选框3")

    def test_unreachable_controls_are_refused(self):
        _, window = self.open_target()
        # BM_CLICK would reach both; a user cannot: 按钮3 is disabled, and
        # 按钮7 is enabled but inside the disabled 分组框2.
        for name, blocker in [("按钮3", "按钮3"), ("按钮7", "分组框2")]:
            with self.subTest(name=name):
                control = window.control(name)
                with self.assertRaises(bench.DriverError) as refused:
                    control.click()
                self.assertEqual(refused.exception.reason, "disabled")
                self.assertEqual(int(refused.exception.detail[0]), window.control(blocker).hwnd)
                self.assertFalse(control.usable())
        self.assertEqual(self.last_click(window), "")

    def test_message_box(self):
        program, window = self.open_target()
        self.assertEqual(window.control("按钮1").click(), "open")
        box = program.msgbox()
        self.assertEqual((box.title, box.text), ("靶子提示：", "你好，世界！"))
        buttons = [c for c in box.hwnd.children() if c.cls == "Button"]
        self.assertEqual([(b.id, b.text) for b in buttons], [(1, "确定")])
        # The box is task-modal: the window and so its controls are out of reach.
        self.assertFalse(window.enabled())
        with self.assertRaises(bench.DriverError) as refused:
            window.control("选择框1").click()
        self.assertEqual(refused.exception.reason, "disabled")

        box.hwnd.press(1)
        self.assertFalse(box.hwnd.exists())
        # The handler that opened the box went on once it was closed.
        bench.wait_equal(lambda: self.last_click(window), "按钮1:关闭", what="标签1 after OK")
        self.assertTrue(window.enabled())

    def test_typed_chinese_reads_back_and_reaches_the_clipboard(self):
        _, window = self.open_target()
        edit = window.control("编辑框1")
        edit.type("中文abc")
        self.assertEqual(edit.text_bytes(), "中文abc".encode("gbk"))
        # One change per character: a lead byte alone changes nothing.
        self.assertEqual(window.control("标签2").text(), "5")
        edit.type("\b")
        self.assertEqual(edit.text(), "中文ab")

        self.driver.set_clipboard("旧的")
        window.control("按钮2").click()
        self.assertEqual(self.driver.clipboard_bytes(), "中文ab".encode("gbk"))

        edit.set_text("设置")
        self.assertEqual(edit.text(), "设置")

    def test_real_mouse_and_keys(self):
        program, window = self.open_target()
        check = window.control("选择框1")
        check.user_click()
        bench.wait_equal(check.checked, 1, what="选择框1 after a mouse click")

        edit = window.control("编辑框1")
        edit.user_click()
        for vk in (0x41, 0x42):  # A, B
            self.driver.key(vk)
        bench.wait_equal(edit.text, "ab", what="编辑框1 after two key presses")

        # The popup opens at the pointer, which must be where we put it.
        self.assertEqual(self.driver.move(500, 300), (500, 300))
        window.control("按钮5").click()
        tips = bench.wait_until(lambda: [w for w in program.windows("DriveTargetTip") if w.visible],
                                what="a visible DriveTargetTip window")
        self.assertEqual(len(tips), 1)
        self.assertEqual(tips[0].title, "提示：第一行\r\n第二行")
        self.assertEqual(tips[0].hwnd.rect()[:2], (500, 300))

    def test_environment_and_exit_codes(self):
        program, window = self.open_target(env={"DRIVETARGET_LABEL": "环境"})
        self.assertEqual(self.last_click(window), "环境")
        window.close()
        self.assertEqual(program.wait_exit(), 0)

        program, window = self.open_target()
        window.control("按钮4").click()  # PostQuitMessage(-1)
        self.assertEqual(program.wait_exit(), -1)

        with self.assertRaises(bench.DriverError) as missing:
            self.start(os.path.join(self.state.bin_dir, "nothing-here.exe"))
        self.assertEqual((missing.exception.reason, missing.exception.detail), ("failed", ["CreateProcessA", "2"]))

    def test_failed_check_leaves_a_screenshot(self):
        _, window = self.open_target()
        edit = window.control("编辑框1")
        edit.set_text("实际")
        with self.assertRaises(AssertionError) as failed:
            bench.wait_equal(edit.text, "期望", timeout=0.1, what="编辑框1")
        message = str(failed.exception)
        self.assertIn("expected '期望', got '实际'", message)
        path = failed.exception.screenshot
        self.assertIn(path, message)
        with open(path, "rb") as f:
            head = f.read(24)
        os.remove(path)
        if path.endswith(".png"):
            self.assertEqual(head[:8], b"\x89PNG\r\n\x1a\n")
            self.assertEqual((int.from_bytes(head[16:20], "big"), int.from_bytes(head[20:24], "big")),
                             (bench.SCREEN_W, bench.SCREEN_H))
        else:
            self.assertEqual(head[:2], b"BM")


if __name__ == "__main__":
    bench.main()

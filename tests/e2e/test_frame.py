"""The window contract of the frame, in real windows: FrameCheck is a small
program on the frame whose labels show what its handlers saw."""
import os
import shutil

import bench
from bench import wait_equal, wait_until

MAIN = "框架检查"
SECOND = "第二窗口"


class FrameContract(bench.TestCase):
    def open_main(self, args=""):
        program = self.start(self.state.exe("FrameCheck.exe"), args=args)
        box = program.msgbox()
        # The created handler's box is up before the window is shown.
        self.assertEqual((box.title, box.text), ("创建", "窗口尚未显示"))
        self.assertFalse(any(w.visible for w in program.windows() if w.title == MAIN),
                         "the window is visible while its created handler runs")
        box.hwnd.press()
        return program, program.window(MAIN)

    def test_text_write_raises_changed_once_and_synchronously(self):
        _, main = self.open_main()
        # Two writes of the same text: each runs the handler before it returns.
        self.assertEqual(main.control("按钮1").click(), "done")
        self.assertEqual(main.control("标签2").text(), "1,2")
        self.assertEqual(main.control("标签1").text(), "2")
        # The user's typing raises it once per change.
        main.control("编辑框1").type("中a")
        wait_equal(main.control("标签1").text, "4", what="changes after typing two characters")
        # Where the characters land depends on the caret, not on the frame.
        self.assertIn(main.control("编辑框1").text(), ("同一中a", "中a同一"))

    def test_radio_click_clears_its_container_and_checked_write_clears_nothing(self):
        _, main = self.open_main()
        main.control("单选框2").click()
        # 单选框1-3 share 分组框1; 单选框4 lies on the window and keeps its mark.
        self.assertEqual(main.control("标签3").text(), "0101")
        main.control("按钮2").click()  # writes checked on 单选框3 only
        self.assertEqual([main.control(r).checked() for r in ("单选框1", "单选框2", "单选框3", "单选框4")],
                         [False, True, True, True])
        self.assertEqual(main.control("标签3").text(), "0101", "writing checked ran a clicked handler")
        check = main.control("选择框1")
        check.click()
        self.assertTrue(check.checked())
        self.assertEqual(main.control("标签3").text(), "勾上")
        check.click()
        self.assertEqual(main.control("标签3").text(), "未勾")

    def test_disabled_controls_and_group_box_take_no_input(self):
        _, main = self.open_main()
        inside = main.control("单选框1")
        main.control("按钮3").click()
        # The children keep their own setting while the group box stops their input.
        self.assertEqual(main.control("标签4").text(), "组内禁止=0")
        self.assertTrue(inside.enabled())
        self.assertFalse(inside.usable())
        inside.user_click()
        main.control("按钮4").user_click()
        # A click reaches the window's queue after any earlier input: a later
        # enabled click that shows its effect proves the first ones were handled.
        main.control("选择框1").click()
        wait_equal(main.control("标签3").text, "勾上")
        self.assertFalse(inside.checked(), "a control in a disabled group box took a click")
        self.assertEqual(main.control("标签4").text(), "组内禁止=0", "a disabled button ran its handler")

    def test_timer_keeps_firing_under_an_untitled_message_box(self):
        program, main = self.open_main()
        ticks = main.control("标签5")
        main.control("按钮5").click()
        wait_until(lambda: int(ticks.text()) >= 2, what="two timer ticks")
        main.control("按钮6").post_click()
        box = program.msgbox()
        self.assertEqual((box.title, box.text), ("信息：", "没有标题的信息"))
        self.assertFalse(main.usable(), "the window takes input under a task-modal box")
        seen = int(ticks.text())
        wait_until(lambda: int(ticks.text()) >= seen + 3, what="ticks while the box is up")
        box.hwnd.press()
        wait_equal(main.control("标签4").text, "信息框已关闭")
        main.control("按钮8").click()  # a negative period stops the timer
        stopped = ticks.text()
        main.control("按钮1").click()  # a round trip through the window's queue
        wait_until(lambda: main.control("标签2").text() == "1,2")
        self.assertEqual(ticks.text(), stopped)

    def test_load_window_brings_an_open_one_forward_and_rebuilds_a_closed_one(self):
        program, main = self.open_main()
        main.control("按钮7").click()
        second = program.window(SECOND)
        self.assertEqual(main.control("标签4").text(), "第二窗口创建次数=1")
        second.control("编辑框1").type("改")
        second.control("选择框1").click()
        main.control("按钮7").click()
        self.assertEqual(main.control("标签4").text(), "第二窗口创建次数=1")
        self.assertEqual([w.title for w in program.windows() if w.visible].count(SECOND), 1)
        self.assertIn(second.control("编辑框1").text(), ("初始改", "改初始"))
        second.close()
        second.wait_gone()
        main.control("按钮7").click()
        again = program.window(SECOND)
        self.assertEqual(main.control("标签4").text(), "第二窗口创建次数=2")
        self.assertEqual(again.control("编辑框1").text(), "初始")
        self.assertFalse(again.control("选择框1").checked())

    def test_program_ends_with_zero_when_its_last_window_closes(self):
        program, main = self.open_main()
        main.control("按钮7").click()
        second = program.window(SECOND)
        main.close()
        main.wait_gone()
        self.assertTrue(program.running(), "closing one of two windows ended the program")
        second.close()
        self.assertEqual(program.wait_exit(), 0)

    def test_run_directory_is_cut_at_a_real_backslash(self):
        # 乗 is 0x81 0x5C in GBK: its trail byte is a backslash.
        folder = self.state.temp_dir("run-")
        self.addCleanup(shutil.rmtree, folder, ignore_errors=True)
        nested = os.path.join(folder.encode(), "乗目录".encode("gbk"))
        os.mkdir(nested)
        shutil.copy(self.state.exe("FrameCheck.exe"), os.path.join(nested, b"FrameCheck.exe"))
        program = self.start(os.path.join(nested, b"FrameCheck.exe"))
        program.msgbox().hwnd.press()
        main = program.window(MAIN)
        expected = bench.win_path(nested)
        self.assertEqual(main.control("标签6").text_bytes(), expected)

    def test_a_layout_that_cannot_be_built_ends_with_minus_one_after_one_box(self):
        program = self.start(self.state.exe("FrameCheck.exe"), args="badlayout")
        box = program.msgbox()
        self.assertEqual(box.title, "运行时错误")
        self.assertIn("标签1：所在分组框不存在：分组框9", box.text)  # the box names what failed
        self.assertFalse(any(w.title == MAIN for w in program.windows()), "a window was built")
        box.hwnd.press()
        self.assertEqual(program.wait_exit(), -1)


if __name__ == "__main__":
    bench.main()

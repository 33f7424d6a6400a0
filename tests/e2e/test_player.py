"""Pellarine's window in real windows: the start tip, the two modes, the clear
button, loading a song by name or through the open dialog, and the links file."""
import os
import shutil

import bench
from bench import wait_equal, wait_until

TITLE = "ZorvatMP3播放器"
TIP_CLASS = "FrameBalloonTip"
START_TIP = "\r\n\r\n\r\n请将歌曲和软件放入同一个文件夹里！！！\r\n请先选择模式哦~~~~~~~~~\r\n\r\n"
MODE_ONE_TIP = "请在上面框内输入歌曲名称。。\r\n注意：输入的必须是本地歌曲全部名称~~~~\r\n例如：Tamsel - 不哭了"
NAME_TIP = "输入完成后记住点击[载入歌曲]哦~ ~ ~ ~ ~ ~ ~ ~ ~"
MODE_CONTROLS = ("分组框1", "编辑框2", "按钮6", "分组框2", "按钮1", "选择框1", "选择框2")
VK_SHIFT = 0x10


class Player(bench.TestCase):
    def setUp(self):
        super().setUp()
        # Each test runs its own copy, so the links file lands in a folder of its own.
        self.folder = self.state.temp_dir("player-")
        self.addCleanup(shutil.rmtree, self.folder, ignore_errors=True)
        shutil.copy(self.state.exe("Pellarine.exe"), self.folder)

    def open(self, pointer=(120, 90)):
        self.driver.move(*pointer)
        self.program = self.start(os.path.join(self.folder, "Pellarine.exe"), cwd=self.folder)
        self.window = self.program.window(TITLE)
        return self.window

    def c(self, name):
        return self.window.control(name)

    def tips(self):
        return [t for t in self.driver.windows(self.program.pid, TIP_CLASS) if t.visible]

    def tip(self, text):
        """The tip that is up with this text."""
        return wait_until(lambda: next((t for t in self.tips() if t.hwnd.text() == text), None),
                          what=f"a tip reading {text!r}")

    def assert_tip_at(self, tip, point):
        r = tip.hwnd.rect()
        self.assertEqual((r.left, r.top), point, "the tip is not anchored at the pointer")

    def modes(self):
        """(enabled, checked) of the mode controls, as 'E'/'d' and '1'/'0'."""
        return ("".join("E" if self.c(n).enabled() else "d" for n in MODE_CONTROLS[:5]),
                "".join("1" if self.c(n).checked() else "0" for n in MODE_CONTROLS[5:]))

    def settle_pointer(self, x, y):
        # Wine differs from Windows here: a program may go on reading the
        # pointer position of an earlier move until it has handled the X
        # events of this one. A round trip through the program between two
        # moves lets it catch up before the step that reads the pointer.
        self.driver.move(x, y)
        self.window.text()
        return self.driver.move(x, y)

    def real_click(self, control):
        """A click of the real mouse on the control, after the pointer is there."""
        self.settle_pointer(*control.centre())
        self.driver.mouse("click", "left")

    def mode_one_tips(self):
        return sorted((t.hwnd.hwnd, tuple(t.hwnd.rect()[:2])) for t in self.tips() if t.hwnd.text() == MODE_ONE_TIP)

    def choose_mode_one(self, pointer=(300, 200)):
        before = self.mode_one_tips()  # one of an earlier choice may still be up
        self.c("选择框1").post_click()
        box = self.program.msgbox()
        self.assertEqual((box.title, box.text), ("信息：", "请输入歌曲名称。[全名] "))
        pointer = self.settle_pointer(*pointer)
        self.assertEqual(self.mode_one_tips(), before, "the tip came before the box closed")
        box.hwnd.press()
        wait_equal(lambda: [at for hwnd, at in self.mode_one_tips() if (hwnd, at) not in before], [pointer],
                   what="where the mode-one tips shown after the box lie")

    def test_start_tip_at_the_pointer_and_every_mode_control_disabled(self):
        self.open(pointer=(120, 90))
        self.assert_tip_at(self.tip(START_TIP), (120, 90))
        self.assertEqual(self.modes(), ("ddddd", "00"))
        for button in ("按钮2", "按钮3", "按钮4", "按钮5"):
            self.assertTrue(self.c(button).usable(), f"{button} cannot be pressed at start")
        self.assertFalse(self.c("编辑框1").visible())

    def test_modes_and_clear_follow_the_state_table(self):
        self.open()
        self.choose_mode_one()
        self.assertEqual(self.modes(), ("EEddd", "10"))
        self.c("编辑框2").type("abc")
        self.assertEqual(self.modes(), ("EEEdd", "10"))
        self.assertEqual(self.c("标签2").text(), "Tip：请点击[载入歌曲]")
        self.c("选择框2").click()  # straight to mode two; the name stays
        self.assertEqual(self.modes(), ("dddEE", "01"))
        self.assertEqual(self.c("编辑框2").text(), "abc")
        self.c("选择框2").click()  # no mode: no message, no tip
        self.assertEqual(self.modes(), ("ddddd", "00"))
        self.choose_mode_one(pointer=(320, 220))
        self.assertEqual(self.modes(), ("EEddd", "10"), "the load button came back without an edit")
        self.c("按钮7").click()  # clear: the name-typed handler runs, then the load button is off
        self.assertEqual(self.c("编辑框2").text(), "")
        self.assertEqual(self.modes(), ("EEddd", "10"))
        self.tip(NAME_TIP)
        self.c("选择框1").click()  # unchecking mode one
        self.assertEqual(self.modes(), ("ddddd", "00"))

    def test_a_tip_stays_while_the_mouse_moves_and_closes_on_a_click_or_a_key(self):
        self.open(pointer=(120, 90))
        tip = self.tip(START_TIP).hwnd
        self.driver.move(600, 500)
        self.driver.move(130, 100)  # over the tip itself
        self.driver.move(700, 80)
        self.assertTrue(tip.visible(), "moving the mouse closed the tip")
        self.driver.mouse("click", "left", at=(5, 5))  # on the desktop: not a window of the program
        self.real_click(self.c("按钮2"))  # a click in the program
        wait_until(lambda: not tip.visible(), what="the tip to close on a click")
        self.choose_mode_one()
        self.driver.key(VK_SHIFT)
        wait_until(lambda: not self.tips(), what="the tip to close on a key")

    def test_load_by_name_builds_the_path_from_the_run_directory(self):
        self.open()
        self.choose_mode_one()
        folder = bench.win_path(self.folder)
        for typed, path, hint in (("abc", "\\abc.mp3", "Tip：请点击开始播放~~~"),
                                  ("", "\\.mp3", "Tip：请先输入歌曲名称~~~"),
                                  ("歌 1.mp3", "\\歌 1.mp3.mp3", "Tip：请点击开始播放~~~")):
            with self.subTest(typed=typed):
                self.c("编辑框2").set_text(typed)  # raises the change, which enables the load button
                wait_until(self.c("按钮6").enabled, what="the load button")
                self.c("按钮6").click()
                self.assertEqual(self.c("编辑框1").text(), folder + path)
                self.assertEqual(self.c("标签2").text(), hint)

    def open_dialog(self):
        self.c("按钮1").post_click()
        dialog = wait_until(lambda: next((w.hwnd for w in self.program.windows("#32770")
                                          if w.visible and w.title == "打开"), None), what="the open dialog")
        name = wait_until(lambda: next((c.hwnd for c in dialog.children() if c.cls == "Edit" and c.id == 0x47C), None),
                          what="the file name field")
        return dialog, name

    def test_choose_by_dialog_confirms_a_path_and_a_cancel_changes_nothing(self):
        song = os.path.join(self.folder, "选中.mp3")
        with open(song.encode("gbk"), "wb") as f:
            f.write(b"\0" * 16)
        chosen = bench.win_path(song)
        self.open()
        self.c("选择框2").click()
        dialog, name = self.open_dialog()
        self.assertEqual(name.text(), "", "the first dialog is prefilled")
        name.type(chosen)
        dialog.press(1)
        box = self.program.msgbox()
        self.assertEqual((box.title, box.text), ("Zorvat提示：", "现在请您点击开始播放"))
        box.hwnd.press()
        wait_equal(self.c("编辑框1").text, chosen)
        # The next dialog offers the confirmed file: Open at once takes it again.
        self.c("编辑框1").set_text("其他")
        dialog, name = self.open_dialog()
        self.assertTrue(name.text().endswith("选中.mp3"), f"the dialog offers {name.text()!r}")
        dialog.press(1)
        self.program.msgbox().hwnd.press()
        wait_equal(self.c("编辑框1").text, chosen)
        dialog, name = self.open_dialog()
        dialog.press(2)
        self.assertEqual(self.c("编辑框1").text(), chosen)
        self.assertTrue(self.window.usable())
        self.assertFalse([w for w in self.program.windows("#32770") if w.visible], "a box came up after a cancel")

    def test_start_writes_the_links_file(self):
        env = os.environ
        expected = ("ZorvatQQ空间主页：http://" + env["ZV_SPACE_HOST"] + "/" + env["ZV_MAKER_ACCOUNT"] + "\r\n"
                    "Zorvat猴岛工作室：http://" + env["ZV_FORUM_HOST"] + "/u.php?uid=" + env["ZV_FORUM_USER_ID"] + " ")
        links = os.path.join(self.folder.encode(), "Zorvat工作室.txt".encode("gbk"))
        with open(links, "wb") as f:
            f.write(b"old content that is longer than the new one " * 10)
        self.open()
        self.c("按钮2").click()
        with open(links, "rb") as f:
            self.assertEqual(f.read(), expected.encode("gbk"))

    def test_pause_lies_above_resume_in_one_place(self):
        self.open()
        pause, resume = self.c("按钮3"), self.c("按钮4")
        self.assertEqual(pause.rect(), resume.rect())
        self.real_click(pause)  # a real click at the shared place reaches the upper button
        wait_until(lambda: not pause.visible(), what="pause to hide itself")
        self.assertTrue(resume.visible())
        self.real_click(resume)
        wait_until(pause.visible, what="resume to show pause again")
        self.c("按钮5").click()  # stop leaves the buttons as they are
        self.assertTrue(pause.visible())

    def test_an_unwritable_links_file_shows_nothing(self):
        os.mkdir(os.path.join(self.folder.encode(), "Zorvat工作室.txt".encode("gbk")))  # a folder in its place
        self.open()
        self.c("按钮2").click()
        self.c("按钮3").click()
        self.assertFalse(self.c("按钮3").visible())
        self.assertFalse([w for w in self.program.windows("#32770") if w.visible])
        self.c("按钮4").click()
        self.assertTrue(self.c("按钮3").visible())


if __name__ == "__main__":
    bench.main()

#!/usr/bin/python3
"""Cordivane's code builder under Wine, driven as a user: the hash, the
styles, the colours, autoplay and the clear button, and the generated-links
count that each generation requests from the counter service."""

import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "tools", "counter_service"))
import bench  # noqa: E402
from bench import wait_equal  # noqa: E402
from counter_service import CounterService  # noqa: E402
from test_generator import build_value  # noqa: E402

TITLE = "Cordivane"
HASH = "6FC3E2B1A0D94C7E8B5F2A1D3C4E5F60"
LINKS_PREFIX = "共计生成音乐链接个数："
EMPTY_HASH = "注意：请先输入酷狗音乐歌曲信息中的哈希值！！！"
EMPTY_STATUS = "代码状态：未生成[请在哈希值输入区输入哈希值]"
TAIL = "'AllowScriptAccess='always' id='KugouPlayerMini' FlashVars='' quality='high' width='1' height='1' ></embed>"
OUTPUTS = ("按钮1", "按钮2", "按钮3")
RADIOS = ("单选框1", "单选框2", "单选框3")


def address(path):
    return f"http://{build_value('PLAYER_HOST')}{path}"


class BuilderTest(bench.TestCase):
    def setUp(self):
        super().setUp()
        host, _, port = build_value("COUNTER_PAGE_HOST").partition(":")
        if host != "127.0.0.1" or not port:
            self.fail(f"the counter page host is {host}:{port}: configure with "
                      "-DZV_COUNTER_PAGE_HOST=127.0.0.1:PORT")
        self.links = build_value("LINKS_COUNTER_ID")
        self.svc = CounterService(int(port), build_value("COUNTER_IMAGE_HOST"), counts={self.links: 500}).start()
        self.addCleanup(self.svc.stop)
        self.program = self.start(self.state.exe("Cordivane.exe"))
        self.program.msgbox().hwnd.press()
        self.window = self.program.window(TITLE, timeout=15)

    def c(self, name):
        return self.window.control(name)

    def link_requests(self):
        return [r["line"] for r in self.svc.requests() if f"id={self.links}&" in r["line"]]

    def assert_counted(self, generations):
        """Each generation requested the links count once, with its id."""
        self.assertEqual(self.link_requests(),
                         [f"GET /count/count.asp?id={self.links}&sx=1&ys=43 HTTP/1.0"] * generations)
        if generations:
            self.assertEqual(self.c("标签4").text(), LINKS_PREFIX + str(500 + generations))

    def expect_box(self, click_result, title, text):
        self.assertEqual(click_result, "open")
        box = self.program.msgbox()
        self.assertEqual((box.title, box.text), (title, text))
        box.hwnd.press()

    def marks(self):
        return [self.c(r).checked() for r in RADIOS]

    def test_empty_hash_then_a_colour_then_a_hash(self):
        # Style two with no hash: its own title, the empty-hash status, all disabled, still marked.
        self.expect_box(self.c("单选框2").click(), "Zorvat提示", EMPTY_HASH)
        self.assertEqual(self.c("标签5").text(), EMPTY_STATUS)
        self.assertEqual(self.marks(), [0, 1, 0])
        self.assertFalse(self.c("分组框1").enabled())
        self.assertFalse(self.c("单选框2").usable())
        self.assertEqual([self.c(b).enabled() for b in OUTPUTS], [False] * 3)

        # A colour with no hash: style one's title, yet the colour is kept and style one marked.
        self.expect_box(self.c("按钮15").click(), "Zorvat提示：", EMPTY_HASH)
        self.assertEqual(self.c("标签6").text(), "信息输出：播放器颜色已改变")
        self.assertEqual(self.marks(), [1, 0, 0])
        self.assertEqual(self.c("编辑框2").text(), "")
        self.assert_counted(0)

        # Typing a hash opens the style group again; the next style uses that colour.
        self.c("编辑框1").type(HASH)
        wait_equal(self.c("单选框2").usable, True, what="the style group after typing")
        self.assertEqual(self.c("单选框2").click(), "done")
        path = f"/singlePlayer/5/364/987654321/1/{HASH}.swf"
        self.assertEqual(self.c("编辑框2").text(), address(path))
        self.assertEqual(self.c("编辑框5").text(), f"<embed src='{address(path)}{TAIL}")
        self.assertEqual(self.c("标签5").text(), "代码状态：[式样二]代码已生成，建议先测调效果再复制！")
        self.assertEqual([self.c(b).enabled() for b in OUTPUTS], [True] * 3)
        self.assert_counted(1)

    def test_every_generation_counts_and_a_colour_regenerates_with_style_one(self):
        self.c("编辑框1").type(HASH)
        self.assertEqual(self.c("单选框3").click(), "done")
        self.assert_counted(1)
        self.assertEqual(self.c("单选框3").click(), "done")  # the marked style again
        self.assert_counted(2)
        self.assertEqual(self.c("按钮15").click(), "done")  # ⑸
        self.assert_counted(3)
        self.assertEqual(self.marks(), [1, 0, 0])
        self.assertEqual(self.c("编辑框2").text(), address(f"/singlePlayer/4/362/987654321/1/{HASH}.swf"))
        # ⑽ and ⑿ share a swatch but not a code.
        self.c("按钮21").click()
        self.assertEqual(self.c("编辑框2").text(), address(f"/singlePlayer/4/362/e29833/1/{HASH}.swf"))
        self.c("按钮23").click()
        self.assertEqual(self.c("编辑框2").text(), address(f"/singlePlayer/4/362/ffff00/1/{HASH}.swf"))
        self.assert_counted(5)

    def test_the_hash_goes_in_as_typed_but_for_markup_characters(self):
        self.c("编辑框1").type("ab cd 中'\"<>")
        self.c("单选框1").click()
        path = "/singlePlayer/4/362/0/1/ab cd 中%27%22%3C%3E.swf"
        self.assertEqual(self.c("编辑框2").text(), address(path))
        self.assertEqual(self.c("编辑框5").text(), f"<embed src='{address(path)}{TAIL}")

    def test_autoplay_boxes(self):
        self.c("编辑框1").type(HASH)
        self.c("单选框2").click()
        # Clearing the checked box: the style group, 按钮1 and 按钮2 go; the flag stays.
        self.assertEqual(self.c("选择框1").click(), "done")
        self.assertEqual((self.c("选择框1").checked(), self.c("选择框2").checked()), (0, 0))
        self.assertFalse(self.c("分组框1").enabled())
        self.assertEqual([self.c(b).enabled() for b in OUTPUTS], [False, False, True])
        self.assertEqual(self.c("编辑框3").text(), "1")
        self.assertEqual(self.c("标签7").text(), "是否播放：是")
        self.assert_counted(1)
        # Checked again: generates with flag 1 and style one.
        self.assertEqual(self.c("选择框1").click(), "done")
        self.assertEqual(self.marks(), [1, 0, 0])
        self.assertEqual([self.c(b).enabled() for b in OUTPUTS], [True] * 3)
        self.assertEqual(self.c("编辑框2").text(), address(f"/singlePlayer/4/362/0/1/{HASH}.swf"))
        # The other box: flag 0, its line, the first box cleared.
        self.assertEqual(self.c("选择框2").click(), "done")
        self.assertEqual((self.c("选择框1").checked(), self.c("选择框2").checked()), (0, 1))
        self.assertEqual(self.c("标签7").text(), "是否播放：否")
        self.assertEqual(self.c("编辑框2").text(), address(f"/singlePlayer/4/362/0/0/{HASH}.swf"))
        self.assert_counted(3)

    def test_clear_empties_the_hash_and_keeps_the_codes(self):
        self.c("编辑框1").type(HASH)
        self.c("单选框3").click()
        self.c("选择框1").click()  # disables the style group and two output buttons
        before = [self.c(n).text() for n in ("编辑框2", "编辑框5", "标签5")]
        self.assertEqual(self.c("按钮9").click(), "done")
        self.assertEqual(self.c("编辑框1").text(), "")
        self.assertTrue(self.c("单选框1").usable(), "the style group after clearing")
        self.assertEqual([self.c(n).text() for n in ("编辑框2", "编辑框5", "标签5")], before)
        self.assertEqual([self.c(b).enabled() for b in OUTPUTS], [False, False, True])
        self.assertEqual([w for w in self.program.windows("#32770") if w.visible], [], "a box came up")
        self.assert_counted(1)


if __name__ == "__main__":
    bench.main()

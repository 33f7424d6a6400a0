"""The skin library beside the programs, in a folder whose name has a blank
and Chinese characters: written once and hidden, never touched when it is
there, fatal when it is foreign, broken or breaks the calling convention;
and the skinned look on screen."""
import importlib.util
import os
import shutil
import struct
import tempfile

import bench
from bench import wait_until

PLAYER = "ZorvatMP3播放器"
GENERATOR = "Cordivane"
LIBRARY = b"SkinH_EL.dll"
HIDDEN = 0x2


def payload():
    path = os.path.join(os.environ["WIN32_BIN_DIR"], "..", "skin", "SkinH_EL.dll")
    with open(path, "rb") as f:
        return f.read()


def skin_colours(number):
    """The colours our skin table gives skin `number`, as (r, g, b) tuples."""
    path = os.path.join(os.environ["ZV_SOURCE_DIR"], "skin", "make_skins.py")
    module_spec = importlib.util.spec_from_file_location("make_skins", path)
    table = importlib.util.module_from_spec(module_spec)
    module_spec.loader.exec_module(table)
    name, hue, sat, cap, _, _ = table.SKINS[number - 1]
    return [(c & 0xFF, c >> 8 & 0xFF, c >> 16 & 0xFF) for c in table.colours(hue, sat, cap)]


CAPTION_TOP, CAPTION_BOTTOM, BUTTON_TOP, BUTTON_BOTTOM, WINDOW_BACK = 0, 1, 17, 18, 44


class Screen:
    """A screenshot (the driver writes a bottom-up BMP) read pixel by pixel."""

    def __init__(self, path):
        with open(path, "rb") as f:
            data = f.read()
        offset, = struct.unpack_from("<I", data, 10)
        self.w, self.h, _, self.bpp = struct.unpack_from("<iiHH", data, 18)
        self.stride = (self.w * self.bpp // 8 + 3) & ~3
        self.data, self.offset = data, offset

    def pixel(self, x, y):
        at = self.offset + (self.h - 1 - y) * self.stride + x * (self.bpp // 8)
        b, g, r = self.data[at:at + 3]
        return r, g, b


def near(a, b, tolerance=6):
    return all(abs(x - y) <= tolerance for x, y in zip(a, b))


def on_gradient(pixel, top, bottom, tolerance=6):
    return any(near(pixel, tuple(t + (b - t) * k // 32 for t, b in zip(top, bottom)), tolerance) for k in range(33))


class SkinLibrary(bench.TestCase):
    def setUp(self):
        super().setUp()
        # "皮肤 测试" in GBK bytes, as Wine's zh_CN.GBK locale names files.
        base = tempfile.mkdtemp(prefix="skin-", dir=self.state.dir)
        self.addCleanup(shutil.rmtree, base, ignore_errors=True)
        self.folder = os.path.join(base.encode(), "皮肤 测试".encode("gbk"))
        os.mkdir(self.folder)
        for exe in ("Pellarine.exe", "Cordivane.exe"):
            shutil.copy(self.state.exe(exe), os.path.join(self.folder, exe.encode()))
        self.library = os.path.join(self.folder, LIBRARY)

    def run_player(self):
        program = self.start(os.path.join(self.folder, b"Pellarine.exe"))
        return program, program.window(PLAYER)

    def run_generator(self):
        program = self.start(os.path.join(self.folder, b"Cordivane.exe"))
        program.msgbox().hwnd.press()  # the welcome box
        return program, program.window(GENERATOR)

    def test_first_run_writes_a_hidden_library_and_the_next_leaves_it(self):
        program, window = self.run_player()
        with open(self.library, "rb") as f:
            self.assertEqual(f.read(), payload())
        attributes = int(os.getxattr(self.library, "user.DOSATTRIB").split(b"\0")[0], 16)
        self.assertTrue(attributes & HIDDEN, f"attributes {attributes:#x}")
        window.close()
        self.assertEqual(program.wait_exit(), 0)

        # An old time stamp shows whether the next run rewrote the file.
        os.utime(self.library, (1_000_000_000, 1_000_000_000))
        program, window = self.run_generator()
        window.close()
        self.assertEqual(program.wait_exit(), 0)
        self.assertEqual(os.stat(self.library).st_mtime, 1_000_000_000)

    def assert_fatal(self, run, says):
        program = self.start(os.path.join(self.folder, run))
        box = program.msgbox()
        self.assertEqual(box.title, "运行时错误")
        for word in says:
            self.assertIn(word, box.text)
        self.assertFalse(any(w.visible for w in program.windows() if w.cls != "#32770"), "a window showed")
        self.assertEqual(sum(1 for w in program.windows() if w.cls == "#32770"), 1)
        box.hwnd.press()
        self.assertEqual(program.wait_exit(), -1)

    def test_a_foreign_or_truncated_file_or_a_folder_of_that_name_is_fatal_and_left_alone(self):
        cases = [
            ("foreign file", b"MZ not a library at all\r\n" * 40),
            ("truncated library", payload()[:4096]),
            ("folder", None),
        ]
        for what, content in cases:
            for exe, function in ((b"Pellarine.exe", "SkinH_AttachRes"), (b"Cordivane.exe", "SkinH_SetAero")):
                with self.subTest(what=what, program=exe):
                    if content is None:
                        os.mkdir(self.library)
                        os.mkdir(os.path.join(self.library, b"inside"))
                    else:
                        with open(self.library, "wb") as f:
                            f.write(content)
                    self.assert_fatal(exe, ["SkinH_EL.dll", function])
                    if content is None:
                        self.assertEqual(os.listdir(self.library), [b"inside"])
                        shutil.rmtree(self.library)
                    else:
                        with open(self.library, "rb") as f:
                            self.assertEqual(f.read(), content)
                        os.remove(self.library)

    def test_a_library_that_leaves_its_argument_on_the_stack_is_fatal(self):
        impostor = os.path.join(os.environ["WIN32_BIN_DIR"], "impostor", "SkinH_EL.dll")
        shutil.copy(impostor, self.library)
        self.assert_fatal(b"Pellarine.exe", ["堆栈", "SkinH_SetAero"])

    def test_the_windows_wear_skin_6_and_labels_keep_their_colours(self):
        colours = skin_colours(6)
        shot = os.path.join(bench.output_dir(), "skin-windows.bmp")
        for run, button, label, label_colour in (
            (self.run_player, "按钮5", "标签1", (255, 0, 0)),
            (self.run_generator, "按钮7", "标签2", (0x58, 0x30, 0xE0)),
        ):
            with self.subTest(run=run.__name__):
                program, window = run()
                r = window.rect()
                client = window.client_rect()
                # The caption's lower half, away from title and buttons: the
                # gloss of the aero finish lies on the upper half.
                at = (r.left + (r.right - r.left) * 2 // 3, client.top - (client.top - r.top) // 4)

                l = window.control(label).rect()
                label_area = [(x, y) for x in range(l.left, l.right) for y in range(l.top, l.bottom)]

                def painted():
                    self.driver.screenshot(shot)
                    screen = Screen(shot)
                    return (on_gradient(screen.pixel(*at), colours[CAPTION_TOP], colours[CAPTION_BOTTOM])
                            and any(near(screen.pixel(*p), label_colour, 40) for p in label_area))

                wait_until(painted, what="the caption in skin 6's colours and the label's text in its own")
                screen = Screen(shot)
                b = window.control(button).rect()
                pixel = screen.pixel(b.left + 4, b.bottom - 4)
                self.assertTrue(on_gradient(pixel, colours[BUTTON_TOP], colours[BUTTON_BOTTOM], 10),
                                f"button pixel {pixel}")
                # The label lies on the skin's background.
                self.assertIn(colours[WINDOW_BACK], [screen.pixel(*p) for p in label_area])
                window.close()
                self.assertEqual(program.wait_exit(), 0)


if __name__ == "__main__":
    bench.main()

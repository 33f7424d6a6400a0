"""The zip for Windows users: unpacked into a folder whose name has a blank
and Chinese characters, both programs start from there."""
import os
import subprocess
import sys
import zipfile

import bench

FOLDER = "Zorvat 发布版".encode("gbk")  # Wine maps Windows names to GBK bytes


class Release(bench.TestCase):
    def test_programs_start_from_the_unpacked_zip(self):
        out = self.state.temp_dir("release-")
        made = subprocess.run([sys.executable, os.path.join(os.environ["ZV_SOURCE_DIR"], "tools", "release", "package.py"),
                               "--bin", self.state.bin_dir, "--version", "0.0.0", "--out", out],
                              capture_output=True, text=True, check=True)
        place = os.path.join(os.fsencode(out), FOLDER)
        with zipfile.ZipFile(made.stdout.strip()) as z:
            names = z.namelist()
            self.assertEqual(sorted(n.split("/", 1)[1] for n in names), ["Cordivane.exe", "Pellarine.exe", "README.txt"])
            for name in names:
                target = os.path.join(place, name.encode())
                os.makedirs(os.path.dirname(target), exist_ok=True)
                with open(target, "wb") as f:
                    f.write(z.read(name))
        folder = os.path.join(place, b"Zorvat-0.0.0")
        with open(os.path.join(folder, b"README.txt"), "rb") as f:
            readme = f.read().decode("gbk")
        self.assertIn("本地 MP3 播放器", readme)

        player = self.start(os.path.join(folder, b"Pellarine.exe"), cwd=folder)
        player.window("ZorvatMP3播放器").close()
        self.assertEqual(player.wait_exit(), 0)
        generator = self.start(os.path.join(folder, b"Cordivane.exe"), cwd=folder)
        generator.msgbox().hwnd.press()
        generator.window("Cordivane").close()
        self.assertEqual(generator.wait_exit(), 0)


if __name__ == "__main__":
    bench.main()

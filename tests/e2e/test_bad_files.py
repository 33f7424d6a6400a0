#!/usr/bin/python3
"""Pellarine given bad files, one after another in one window, as a user
loads and starts them: each plays nothing, or only the sound that decodes;
the window keeps answering; the player's thread goes idle after each; and a
good song started after them all plays."""
import os
import random
import shutil
import subprocess
import sys
import tempfile
import time
from pathlib import Path

import bench
import sound_rig as rig

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "support"))
import mp3_files  # noqa: E402

TITLE = "ZorvatMP3播放器"
TONE_SECONDS = 1.0


def cut_in_a_header(song):
    """The song cut two bytes into a frame header half way through it."""
    at = song.index(b"\xFF\xFB", len(song) // 2)
    return song[:at + 2]


def bad_files(folder, song):
    """{name: (bytes, most seconds of tone it may play)}; a None body is a
    folder of that name."""
    rng = random.Random(5)
    tone_wav = folder / "tone.wav"
    subprocess.run(["sox", "-n", "-r", "44100", "-c", "2", str(tone_wav), "synth", "1", "sine", "440"], check=True)
    ogg = folder / "tone.ogg"
    subprocess.run(["sox", str(tone_wav), str(ogg)], check=True)
    xing_only = mp3_files.encode(seconds=1, lame_args=("-V", "4"))
    kbps = [0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320][xing_only[2] >> 4]
    xing_frame = 144 * kbps * 1000 // 44100 + (xing_only[2] >> 1 & 1)  # lame's first frame
    picture = mp3_files.id3v2([mp3_files.apic(mp3_files.false_sync_picture(300 * 1024))])
    utf16_tags = mp3_files.id3v2([mp3_files.frame("TIT2", b"\x01\xFF\xFE\xFF\xFE\x00\xFF\xFE"),
                                  mp3_files.frame("TPE1", b"\x01\xFF\xFE")])
    return {
        "空": (b"", 0),
        "乱码": (bytes(rng.randrange(256) for _ in range(64 * 1024)), 0),
        "波形": (tone_wav.read_bytes(), 0),
        "文本": ("歌词\r\n一行又一行\r\n".encode("gbk") * 200, 0),
        "声码": (ogg.read_bytes(), 0),
        "断头": (cut_in_a_header(song), TONE_SECONDS * 0.6),
        "断帧": (song[:len(song) * 2 // 3 + 100], TONE_SECONDS * 0.7),
        "断签": (mp3_files.id3v2([mp3_files.frame("TIT2", b"\0x" * 100)])[:60], 0),
        "大图": (picture + song, TONE_SECONDS),
        "FFFE": (utf16_tags + song + mp3_files.id3v1(b"\xFF\xFE\xFF\xFE"), TONE_SECONDS),
        "仅头": (xing_only[:xing_frame], 0),
        "目录": (None, 0),
    }


class BadFiles(bench.TestCase):
    def setUp(self):
        super().setUp()
        self.folder = Path(tempfile.mkdtemp(prefix="bad-", dir=self.state.dir))
        self.addCleanup(shutil.rmtree, self.folder, ignore_errors=True)
        shutil.copy(self.state.exe("Pellarine.exe"), self.folder)
        self.song = mp3_files.encode(seconds=TONE_SECONDS, lame_args=("-b", "128"))

    def put(self, name, body):
        path = os.path.join(bytes(self.folder), (name + ".mp3").encode("gbk"))
        if body is None:
            os.mkdir(path)
        else:
            with open(path, "wb") as f:
                f.write(body)

    def long_name(self):
        """A name whose whole Windows path is 259 characters, the longest."""
        used = len(rig.wine_path(self.folder)) + 1 + len(".mp3")
        self.assertGreater(259 - used, 0, "the bench's folder is too deep for a 259-character path")
        return "n" * (259 - used)

    def test_bad_files_play_nothing_harmful_and_a_good_song_plays_after(self):
        cases = bad_files(self.folder, self.song)
        for name, (body, _) in cases.items():
            self.put(name, body)
        long_name = self.long_name()
        self.put(long_name, self.song)
        cases[long_name] = (self.song, TONE_SECONDS)
        self.put("好歌", self.song)

        sink = rig.PulseSink(self.state, self.folder)
        self.addCleanup(sink.close)
        wine = bench.spawn(["wine", str(self.folder / "Pellarine.exe")], self.state, cwd=str(self.folder),
                           env=self.state.wine_env(sink.env))
        self.addCleanup(wine.kill)
        window = self.driver.wait_window(TITLE, 20)
        self.adopt(window.info().pid)
        window.control("选择框1").post_click()
        self.driver.msgbox(window.info().pid, 10).hwnd.press()

        def cpu():
            with open(f"/proc/{wine.pid}/stat") as f:
                fields = f.read().rsplit(")", 1)[1].split()
            return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

        def play(name):
            """Loads and starts the song; returns (seconds of tone heard, CPU
            seconds used in the second after the sound stopped)."""
            begin = sink.position()
            window.control("编辑框2").set_text(name)
            window.control("按钮6").click()
            window.control("按钮2").click()
            heard = lambda: sum(e - s for s, e in rig.loud_runs(sink.left(begin), sink.RATE)) / sink.RATE
            # Until no new sound has come for a second.
            last = {"heard": -1.0, "since": time.monotonic()}

            def still():
                now = heard()
                if now != last["heard"]:
                    last.update(heard=now, since=time.monotonic())
                return time.monotonic() - last["since"] >= 1.0
            bench.wait_until(still, timeout=30, what=f"{name}: the sound to stop")
            before = cpu()
            time.sleep(1.0)  # measuring a quiet second, not waiting for an effect
            return heard(), cpu() - before

        report = []
        for name, (_, most) in cases.items():
            with self.subTest(file=name[:12]):
                heard, idle_cpu = play(name)
                report.append(f"{name[:12]}: {heard:.2f} s of sound, {idle_cpu:.2f} s CPU in the quiet second")
                self.assertLessEqual(heard, most + 0.1)
                self.assertLess(idle_cpu, 0.1, "the player's thread stays busy after the end")
                self.assertEqual(window.text(), TITLE)  # the window still answers
        heard, _ = play("好歌")
        report.append(f"good song after them: {heard:.2f} s")
        print("\n".join(report))
        self.assertAlmostEqual(heard, TONE_SECONDS, delta=0.1)


if __name__ == "__main__":
    bench.main()

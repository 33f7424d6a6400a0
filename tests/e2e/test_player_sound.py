#!/usr/bin/python3
"""Pellarine plays a song loaded by name, as a user drives it: the right tone
for the right length, pause and resume from its buttons, and a second start
playing the song again from its beginning."""
import os
import shutil
import time
from pathlib import Path

import bench
import sound_rig as rig
from bench import wait_until

TITLE = "ZorvatMP3播放器"
SONG = "测试曲"


class PlayerSound(bench.TestCase):
    def setUp(self):
        super().setUp()
        self.folder = Path(self.state.temp_dir("play-"))
        self.addCleanup(shutil.rmtree, self.folder, ignore_errors=True)
        shutil.copy(self.state.exe("Pellarine.exe"), self.folder)
        wav = self.folder / "tone.wav"
        rig.write_wav(wav, 44100, 2, [(440, 1.5)])
        rig.encode(wav, self.folder / "tone.mp3", ["-b", "128"])
        # Wine maps Windows names to Unix names as their GBK bytes.
        os.rename(bytes(self.folder / "tone.mp3"), os.path.join(bytes(self.folder), (SONG + ".mp3").encode("gbk")))

    def open_with_song(self, env):
        # Started by wine itself: the sound device settings are Unix
        # environment variables, which a Windows parent would not hand on.
        wine = bench.spawn(["wine", str(self.folder / "Pellarine.exe")], self.state, cwd=str(self.folder),
                           env=self.state.wine_env(env))
        self.addCleanup(wine.kill)
        window = self.driver.wait_window(TITLE, 20)
        program = self.adopt(window.info().pid)
        window.control("选择框1").post_click()
        program.msgbox().hwnd.press()
        window.control("编辑框2").type(SONG)
        window.control("按钮6").click()
        return window

    def test_a_song_loaded_by_name_plays_its_tone_even_when_the_links_file_cannot_be_written(self):
        os.mkdir(os.path.join(bytes(self.folder), "Zorvat工作室.txt".encode("gbk")))  # a folder in its place
        device = rig.AlsaFile(self.folder, "out")
        window = self.open_with_song(device.env)
        window.control("按钮2").click()
        self.assertTrue(device.wait_until_still(timeout=30), "no sound came out")
        got = device.samples(2)
        runs = rig.loud_runs(got[:, 0], 44100, bridge_ms=0)
        self.assertEqual(len(runs), 1, f"the tone breaks up: {runs}")
        start, end = runs[0]
        self.assertAlmostEqual((end - start) / 44100, 1.5, delta=0.03)
        self.assertAlmostEqual(rig.frequency(got[start:end, 0], 44100), 440, delta=4.4)

    def test_pause_resume_and_a_second_start_from_the_buttons(self):
        sink = rig.PulseSink(self.state)
        self.addCleanup(sink.close)
        window = self.open_with_song(sink.env)
        begin = sink.position()

        def heard():
            return sum(e - s for s, e in rig.loud_runs(sink.left(begin), sink.RATE)) / sink.RATE

        window.control("按钮2").click()
        wait_until(lambda: heard() >= 0.5, timeout=20, what="half a second of sound")
        window.control("按钮3").click()  # pause
        paused_at = time.monotonic()
        wait_until(lambda: sink.time_of(sink.position() - 1) >= paused_at + 1.0, timeout=20, what="a second of pause")
        window.control("按钮4").click()  # resume
        wait_until(lambda: heard() >= 1.45, timeout=20, what="the rest of the song")
        runs = rig.loud_runs(sink.left(begin), sink.RATE)
        self.assertEqual(len(runs), 2, f"expected sound, a pause, sound: {runs}")
        self.assertTrue(window.control("按钮3").visible())

        # A second start plays the song again from its beginning.
        window.control("按钮2").click()
        wait_until(lambda: heard() >= 2.9, timeout=20, what="the song played a second time")
        window.control("按钮5").click()  # stop


if __name__ == "__main__":
    bench.main()

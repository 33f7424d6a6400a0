#!/usr/bin/python3
"""`bash run.sh demo`: drives both programs through their main road on the
bench's screen, as a user would, and keeps a screenshot of each step, the
copied snippet and the sound Pellarine played in one folder.

usage: demo.py BENCH_STATE_DIR OUT_DIR"""
import os
import shutil
import subprocess
import sys
import time
import wave

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tests", "e2e"))
import bench  # noqa: E402
import sound_rig as rig  # noqa: E402

HASH = "6FC3E2B1A0D94C7E8B5F2A1D3C4E5F60"
SONG = "示例曲"


class Demo:
    def __init__(self, state, driver, out):
        self.state, self.driver, self.out = state, driver, out
        self.count = 0

    def shot(self, what):
        """A screenshot of the whole screen, numbered in the order of the steps."""
        self.count += 1
        path = os.path.join(self.out, f"{self.count:02d}-{what}.bmp")
        self.driver.screenshot(path)
        if shutil.which("convert"):
            png = path[:-4] + ".png"
            if subprocess.run(["convert", path, png], capture_output=True).returncode == 0:
                os.remove(path)
                path = png
        print(f"    {os.path.basename(path)}", flush=True)

    def step(self, program, control, what):
        """Clicks a control; a message box it brings up is shown, then closed."""
        print(f"  {what}", flush=True)
        if control.click(timeout=15) == "open":
            box = program.msgbox()
            self.shot(what + "-box")
            box.hwnd.press()
        self.shot(what)

    def generator(self):
        print("Cordivane: a hash, a style, a colour, copy the snippet, open the preview", flush=True)
        program = self.driver.program(self.state.exe("Cordivane.exe"))
        try:
            box = program.msgbox(timeout=20)
            self.shot("cordivane-welcome")
            box.hwnd.press()
            window = program.window("Cordivane", timeout=15)
            window.control("编辑框1").type(HASH)
            self.shot("cordivane-hash")
            self.step(program, window.control("单选框2"), "cordivane-style-two")
            self.step(program, window.control("按钮13"), "cordivane-colour")
            self.step(program, window.control("按钮3"), "cordivane-copy-snippet")
            with open(os.path.join(self.out, "snippet.txt"), "wb") as f:
                f.write(self.driver.clipboard_bytes())  # GBK, as the program wrote it
            print("    snippet.txt", flush=True)
            window.control("按钮2").click(timeout=15)
            preview = program.window("测调效果", timeout=15)
            self.shot("cordivane-preview")
            preview.close()
            window.close()
            program.wait_exit(timeout=15)
        finally:
            program.end()

    def player(self):
        print("Pellarine: mode one, a song made just now, start, pause, resume, stop", flush=True)
        folder = self.state.temp_dir("demo-")
        shutil.copy(self.state.exe("Pellarine.exe"), folder)
        wav = os.path.join(folder, "song.wav")
        rig.write_wav(wav, 44100, 2, [(440, 1.0), (554, 1.0), (659, 1.0), (880, 2.0)])
        rig.encode(wav, os.path.join(folder, "song.mp3"), ["-b", "128"])
        # Wine maps Windows names to Unix names as their GBK bytes.
        os.rename(os.path.join(folder, "song.mp3"), os.path.join(os.fsencode(folder), (SONG + ".mp3").encode("gbk")))
        sink = rig.PulseSink(self.state)
        wine = None
        try:
            # Started by wine itself: the sound settings are Unix environment
            # variables, which a Windows parent would not hand on.
            wine = bench.spawn(["wine", os.path.join(folder, "Pellarine.exe")], self.state, cwd=folder,
                               env=self.state.wine_env(sink.env))
            window = self.driver.wait_window("ZorvatMP3播放器", 20)
            program = bench.Program.running_as(self.driver, window.info().pid)
            self.shot("pellarine-start")
            self.step(program, window.control("选择框1"), "pellarine-mode-one")
            window.control("编辑框2").type(SONG)
            self.step(program, window.control("按钮6"), "pellarine-song-loaded")
            begin = sink.position()

            def heard():
                return sum(e - s for s, e in rig.loud_runs(sink.left(begin), sink.RATE)) / sink.RATE

            self.step(program, window.control("按钮2"), "pellarine-playing")
            bench.wait_until(lambda: heard() >= 1.5, timeout=20, what="a second and a half of sound")
            self.step(program, window.control("按钮3"), "pellarine-paused")
            time.sleep(1.0)  # a second of silence in the sound kept
            self.step(program, window.control("按钮4"), "pellarine-resumed")
            bench.wait_until(lambda: heard() >= 3.0, timeout=20, what="more of the song")
            self.step(program, window.control("按钮5"), "pellarine-stopped")
            window.close()
            program.wait_exit(timeout=15)
            self.save_sound(sink, begin)
        finally:
            if wine:
                wine.kill()
            sink.close()

    def save_sound(self, sink, begin):
        with sink.lock:
            data = bytes(sink.data[begin * 4:])
        path = os.path.join(self.out, "pellarine-sound.wav")
        with wave.open(path, "wb") as w:
            w.setnchannels(2)
            w.setsampwidth(2)
            w.setframerate(sink.RATE)
            w.writeframes(data)
        print(f"    {os.path.basename(path)} ({len(data) / 4 / sink.RATE:.1f} s, with the pause)", flush=True)


def main(state_dir, out):
    out = os.path.abspath(out)
    shutil.rmtree(out, ignore_errors=True)
    os.makedirs(out)
    state = bench.State(state_dir)
    with bench.Driver(state) as driver:
        demo = Demo(state, driver, out)
        demo.generator()
        demo.player()
    print(f"The screenshots, the copied snippet and the sound are in {out}")


if __name__ == "__main__":
    main(*sys.argv[1:])

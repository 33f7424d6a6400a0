#!/usr/bin/python3
"""A soak of the real programs under Wine, driven through their windows: it
reads each program's kernel handles, GDI and USER objects and private memory
after a warm-up and again at the end (with the Unix process's resident memory
and open descriptors beside them), prints them, and fails when any grew
beyond a small allowance. Wine 8 counts no handles, GDI or USER objects of
another process (it answers 0); the private bytes are its commit charge. It
takes a minute or more; it is not a test.

    bench/soak.py BUILD_DIR [--cycles 1000] [--generations 200] [--only player|generator]

Pellarine: CYCLES rounds of Start, Pause, Resume, Stop on a short song, with
the sound going to ALSA's null device. Cordivane: GENERATIONS rounds of a hash
typed into 编辑框1, style one (单选框1), the preview (按钮2) opened and its
window "测调效果" closed.
"""

import argparse
import os
import shutil
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path[:0] = [os.path.join(ROOT, "tests", "e2e"), os.path.join(ROOT, "tests", "support")]
import bench  # noqa: E402
import mp3_files  # noqa: E402

PLAYER_TITLE = "ZorvatMP3播放器"
GENERATOR_TITLE = "Cordivane"
PREVIEW_TITLE = "测调效果"
WARM_UP = 10
# Growth allowed between the reading after the warm-up and the last one.
ALLOWANCE = {"handles": 16, "gdi": 16, "user": 16, "private_bytes": 4 << 20}


def null_sound(folder):
    """Environment that sends Wine's sound to ALSA's null device."""
    conf = os.path.join(folder, "null.asoundrc")
    with open(conf, "w") as f:
        f.write("pcm.!default { type null }\n")
    return {"ALSA_CONFIG_PATH": conf, "WINEDLLOVERRIDES": "winepulse.drv=d"}


def rusage(pid):
    """Resident memory (kB) and open file descriptors of the Unix process."""
    if pid is None:
        return {}
    with open(f"/proc/{pid}/status") as f:
        rss = next(int(line.split()[1]) for line in f if line.startswith("VmRSS:"))
    return {"rss_kb": rss, "fds": len(os.listdir(f"/proc/{pid}/fd"))}


def soak(driver, pid, unix_pid, rounds, one_round, what):
    for _ in range(WARM_UP):
        one_round()
    first = dict(driver.resources(pid), **rusage(unix_pid))
    started = time.monotonic()
    for i in range(rounds):
        one_round()
        if (i + 1) % 100 == 0:
            print(f"{what}: {i + 1}/{rounds} rounds, {time.monotonic() - started:.1f} s", flush=True)
    last = dict(driver.resources(pid), **rusage(unix_pid))
    grown = []
    print(f"{what} after {rounds} rounds ({time.monotonic() - started:.1f} s):")
    for key in first:
        print(f"  {key:14} {first[key]:>12} -> {last[key]:>12}")
        if key in ALLOWANCE and last[key] - first[key] > ALLOWANCE[key]:
            grown.append(key)
    return grown


def soak_player(state, driver, folder, cycles):
    shutil.copy(state.exe("Pellarine.exe"), folder)
    with open(os.path.join(folder, "soak.mp3"), "wb") as f:
        f.write(mp3_files.encode(seconds=2))
    wine = bench.spawn(["wine", os.path.join(folder, "Pellarine.exe")], state, cwd=folder,
                       env=state.wine_env(null_sound(folder)))
    try:
        window = driver.wait_window(PLAYER_TITLE, 20)
        pid = window.info().pid
        window.control("选择框1").post_click()
        driver.msgbox(pid, 10).hwnd.press()
        window.control("编辑框2").type("soak")
        window.control("按钮6").click()
        buttons = [window.control(name) for name in ("按钮2", "按钮3", "按钮4", "按钮5")]

        def one_round():
            for button in buttons:  # start, pause, resume, stop
                button.click()
        return soak(driver, pid, wine.pid, cycles, one_round, "Pellarine")
    finally:
        wine.kill()
        wine.wait()


def soak_generator(state, driver, generations):
    program = driver.program(state.exe("Cordivane.exe"))
    try:
        program.msgbox().hwnd.press()
        window = program.window(GENERATOR_TITLE, timeout=30)
        window.control("编辑框1").set_text("0123456789abcdef0123456789abcdef")

        def one_round():
            window.control("单选框1").click()
            window.control("按钮2").click()
            preview = program.window(PREVIEW_TITLE, timeout=10)
            preview.close()  # only posts WM_CLOSE: the next round must not find it still there
            preview.wait_gone()
        return soak(driver, program.pid, _newest_unix_pid(b"Cordivane.exe"), generations, one_round, "Cordivane")
    finally:
        program.end()


def _newest_unix_pid(name):
    """The Unix process of the newest program of that name: Wine's process
    ids are its own, and the newest one is the one just started."""
    newest = None
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/cmdline", "rb") as f:
                    if name in f.read():
                        newest = max(newest or 0, int(entry))
            except OSError:
                pass
    return newest


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("build", help="the native build folder (its win32/bin holds the programs)")
    parser.add_argument("--cycles", type=int, default=1000)
    parser.add_argument("--generations", type=int, default=200)
    parser.add_argument("--only", choices=("player", "generator"))
    args = parser.parse_args()
    folder = tempfile.mkdtemp(prefix="soak-")
    state_dir = os.path.join(folder, "bench")
    bench.setup(state_dir, os.path.join(os.path.abspath(args.build), "win32", "bin"))
    grown = []
    try:
        state = bench.State(state_dir)
        driver = bench.Driver(state)
        try:
            if args.only != "generator":
                grown += soak_player(state, driver, folder, args.cycles)
            if args.only != "player":
                grown += soak_generator(state, driver, args.generations)
        finally:
            driver.close()
    finally:
        bench.teardown(state_dir)
        shutil.rmtree(folder, ignore_errors=True)
    if grown:
        print("grew beyond the allowance: " + ", ".join(grown))
        return 1
    print("nothing grew beyond the allowance")
    return 0


if __name__ == "__main__":
    sys.exit(main())

"""The figures measured under Wine, for bench/run.py: start to the first
visible window against a bare window program, and the sound figures (CPU and
wake-ups while playing, paused and stopped; pause and stop latency and resume
continuity through a real-time pulse sink; CPU per second of sound against a
plain ACM + waveOut program of ours and the host's mpg123)."""

import os
import re
import resource
import shutil
import statistics
import subprocess
import tempfile
import time
from pathlib import Path

import bench
import sound_rig as rig


RATE = rig.PulseSink.RATE
MEASURE_S = 2.0  # seconds over which CPU and wake-ups are counted


def win(path):
    return '"%s"' % rig.wine_path(path).decode("gbk")


# ---- start-up ---------------------------------------------------------------

def loaded_dlls(state, exe, seconds=3.0):
    """The DLLs a program has loaded `seconds` after its start, lower case."""
    with tempfile.TemporaryFile() as log:
        proc = subprocess.Popen(["wine", exe], env=state.wine_env({"WINEDEBUG": "+loaddll"}), stdout=log,
                                stderr=log, start_new_session=True)
        time.sleep(seconds)
        proc.kill()
        proc.wait()
        log.seek(0)
        text = log.read().decode("latin-1")
    return sorted({m.lower() for m in re.findall(r'Loaded L"[^"]*\\([^\\"]+\.dll)"', text)})


def startup(table, state, rounds):
    bare_exe = state.exe("barewindow.exe")
    bare = win(bare_exe)
    pell, cord = state.exe("Pellarine.exe"), state.exe("Cordivane.exe")
    base = set(loaded_dlls(state, bare_exe, 1.5))
    extra = {name: [d for d in loaded_dlls(state, exe) if d not in base] for name, exe in
             (("Pellarine", pell), ("Cordivane", cord))}
    commands = [bare, win(pell), bare + " " + " ".join(extra["Pellarine"]),
                bare + " box", win(cord), bare + " box " + " ".join(extra["Cordivane"])]
    with tempfile.TemporaryDirectory(prefix="zv-start-") as cwd:
        out = subprocess.run(["wine", state.exe("startclock.exe"), str(rounds), *commands], cwd=cwd,
                             env=state.wine_env(), capture_output=True, text=True, timeout=60 + 20 * rounds).stdout
    times = [[] for _ in commands]
    for line in out.splitlines():
        i, us = line.split()
        times[int(i)].append(float(us) / 1000)

    def ratio(i, ref):  # median over rounds of the ratio within each round
        return statistics.median([a / b for a, b in zip(times[i], times[ref]) if a > 0 and b > 0])

    t = [statistics.median(x) for x in times]
    table.add("start-up", "bare window program", "%.0f ms" % t[0], "(median of %d)" % rounds)
    table.add("start-up", "Pellarine window visible", "%.0f ms = %.2fx bare" % (t[1], ratio(1, 0)),
              "target <= 1.25x")
    table.add("start-up", "  bare + Pellarine's %d more DLLs" % len(extra["Pellarine"]),
              "%.2fx bare" % ratio(2, 0), " ".join(extra["Pellarine"]))
    table.add("start-up", "bare message box", "%.0f ms = %.2fx bare" % (t[3], ratio(3, 0)))
    table.add("start-up", "Cordivane welcome box", "%.0f ms = %.2fx bare" % (t[4], ratio(4, 0)), "target <= 1.5x")
    table.add("start-up", "  bare box + Cordivane's %d more DLLs" % len(extra["Cordivane"]),
              "%.2fx bare" % ratio(5, 0), " ".join(extra["Cordivane"]))


# ---- sound ------------------------------------------------------------------

def process_figures(pid):
    """CPU seconds of a process and context switches of all its threads."""
    with open("/proc/%d/stat" % pid) as f:
        fields = f.read().rsplit(")", 1)[1].split()
    cpu = (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")
    switches = 0
    for task in Path("/proc/%d/task" % pid).iterdir():
        try:
            for line in (task / "status").read_text().splitlines():
                if "ctxt_switches" in line:
                    switches += int(line.split(":")[1])
        except (FileNotFoundError, ProcessLookupError):
            pass
    return cpu, switches


def activity(groups, seconds=MEASURE_S):
    """{group: (CPU ms per second, wake-ups per second)} over the next `seconds`."""
    before = {g: [process_figures(p) for p in pids] for g, pids in groups.items()}
    time.sleep(seconds)
    result = {}
    for g, pids in groups.items():
        after = [process_figures(p) for p in pids]
        cpu = sum(a[0] - b[0] for a, b in zip(after, before[g]))
        woken = sum(a[1] - b[1] for a, b in zip(after, before[g]))
        result[g] = (cpu * 1000 / seconds, woken / seconds)
    return result


def describe(figures):
    return "; ".join("%s %.1f ms/s %.0f wake/s" % (g, c, w) for g, (c, w) in figures.items())


def wineservers(state):
    found = []
    for proc in Path("/proc").iterdir():
        try:
            if proc.name.isdigit() and (proc / "comm").read_text().startswith("wineserver"):
                if ("WINEPREFIX=%s" % state.prefix).encode() in (proc / "environ").read_bytes().split(b"\0"):
                    found.append(int(proc.name))
        except OSError:
            pass
    return found


def frame_time(sink, frame):
    """When a captured frame came out of the sink, from the arrival of the piece that held it."""
    with sink.lock:
        for size, at in sink.arrivals:
            if size >= (frame + 1) * 4:
                return at - (size // 4 - frame) / RATE
    return time.monotonic()


def runs_since(sink, start):
    return rig.loud_runs(sink.left(start), RATE, window_ms=2, bridge_ms=150)


def wait_heard(sink, start, seconds):
    return rig.poll(lambda: sum(e - s for s, e in runs_since(sink, start)) >= seconds * RATE, 20)


def wait_out(sink, when):
    rig.poll(lambda: sink.time_of(sink.position() - 1) >= when, 20)


def latency_round(sink, player, tone, seconds):
    """One play, pause, resume and stop: (pause ms, resume ms, stop ms, ms lost (+) or repeated (-))."""
    start = sink.position()
    player.play(tone)
    wait_heard(sink, start, 0.6)
    paused_at = time.monotonic()
    player.send("pause")
    wait_out(sink, paused_at + 0.5)
    resumed_at = time.monotonic()
    player.send("resume")
    wait_heard(sink, start, seconds - 0.05)
    wait_out(sink, time.monotonic() + 0.3)
    runs = runs_since(sink, start)
    heard = sum(e - s for s, e in runs) / RATE
    pause = frame_time(sink, start + runs[0][1]) - paused_at
    resume = frame_time(sink, start + runs[1][0]) - resumed_at if len(runs) > 1 else float("nan")
    start = sink.position()
    player.play(tone)
    wait_heard(sink, start, 0.6)
    stopped_at = time.monotonic()
    player.send("stop")
    wait_out(sink, stopped_at + 0.4)
    stop = frame_time(sink, start + runs_since(sink, start)[0][1]) - stopped_at
    return pause * 1000, resume * 1000, stop * 1000, (seconds - heard) * 1000


def sound(table, state, rounds):
    work = Path(tempfile.mkdtemp(prefix="zv-sound-bench-"))
    try:
        long_tone, short_tone = work / "long.mp3", work / "short.mp3"
        rig.write_wav(work / "long.wav", 44100, 2, [(440, 12.0)])
        rig.encode(work / "long.wav", long_tone, ["-b", "128"])
        rig.write_wav(work / "short.wav", 44100, 2, [(440, 2.0)])
        rig.encode(work / "short.wav", short_tone, ["-b", "128"])
        sink = rig.PulseSink(state, work)
        try:
            _sound_on(table, state, sink, work, long_tone, short_tone, max(3, rounds // 2))
        finally:
            sink.close()
    finally:
        shutil.rmtree(work, ignore_errors=True)


def _sound_on(table, state, sink, work, long_tone, short_tone, rounds):
    servers = {"wineserver": wineservers(state), "pulseaudio": [sink.server.pid]}
    servers = {g: pids for g, pids in servers.items() if pids}
    player = rig.Player(state, sink.env, work)
    try:
        groups = dict(program=[player.proc.pid], **servers)
        start = sink.position()
        player.play(long_tone)
        wait_heard(sink, start, 0.5)
        playing = activity(groups)
        player.send("pause")
        time.sleep(0.3)
        paused = activity(groups)
        player.send("stop")
        time.sleep(0.3)
        stopped = activity(groups)
        table.add("sound", "CPU, wake-ups: playing", describe(playing))
        table.add("sound", "CPU, wake-ups: paused", describe(paused), "target <= 1 ms/s, none of ours")
        table.add("sound", "CPU, wake-ups: stopped", describe(stopped))
        figures = [latency_round(sink, player, short_tone, 2.0) for _ in range(rounds)]
    finally:
        player.kill()
    for i, what in enumerate(("pause: command to last sound", "resume: command to sound",
                              "stop: command to last sound")):
        values = sorted(f[i] for f in figures)
        # Timed by when the sink's pieces arrive, which may run a little
        # ahead of the sink's clock: compare runs rather than read them alone.
        table.add("sound", what, "%.1f ms" % statistics.median(values), "range %.1f..%.1f ms over %d" %
                  (values[0], values[-1], len(values)))
    lost = [f[3] for f in figures]
    table.add("sound", "sound lost (+) / repeated (-) by a pause", "%.1f ms" % statistics.median(lost),
              "range %.1f..%.1f ms (real-time sink, 2 ms windows)" % (min(lost), max(lost)))

    # The same sound through a plain ACM + waveOut program of ours.
    ref = bench.spawn(["wine", state.exe("acmplay.exe"), "play", rig.wine_path(long_tone)], state,
                      env=state.wine_env(sink.env), stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    try:
        ref.stdout.readline()  # "ready"
        time.sleep(0.5)
        plain = activity(dict(program=[ref.pid], **servers))
    finally:
        ref.kill()
        ref.wait()
        ref.stdout.close()
    out = bench.run_console(state.exe("acmplay.exe"), ["decode", rig.wine_path(long_tone)], state=state).stdout
    _, audio_s, cpu_s = out.split()
    decode = float(cpu_s) * 1000 / float(audio_s)
    table.add("sound", "CPU per second of sound, player", "%.1f ms" % playing["program"][0],
              "plain waveOut program %.1f ms + ACM decode %.1f ms" % (plain["program"][0], decode))
    mpg123 = shutil.which("mpg123")
    if mpg123:
        before = resource.getrusage(resource.RUSAGE_CHILDREN)
        subprocess.run([mpg123, "-q", "-t", str(long_tone)], check=True)
        after = resource.getrusage(resource.RUSAGE_CHILDREN)
        cpu = (after.ru_utime + after.ru_stime - before.ru_utime - before.ru_stime) * 1000 / 12.0
        table.add("sound", "  host mpg123 decode", "%.1f ms" % cpu, "per second of sound")
    else:
        table.add("sound", "  host mpg123 decode", "not installed")

"""What the sound tests stand on, besides the bench's prefix and wineserver:
the playmp3 tool driven over its standard input, tone files made by a real
encoder, and two ways to capture what Wine plays (an ALSA file device for the
exact samples, a private pulseaudio with a pipe sink for timing)."""

import os
import queue
import shutil
import signal
import subprocess
import threading
import time
import wave
from pathlib import Path

import numpy as np

import bench


def wine_path(path):
    """The Windows name of a Unix path, as the GBK bytes Wine maps it to."""
    raw = os.fsencode(os.path.abspath(path))
    return b"Z:" + raw.replace(b"/", b"\\")


def poll(condition, timeout, step=0.02):
    """Calls condition until it gives a true value or the time is up."""
    deadline = time.monotonic() + timeout
    while True:
        value = condition()
        if value or time.monotonic() > deadline:
            return value
        time.sleep(step)


class Player:
    """One playmp3 process; each command returns the call's time in seconds."""

    def __init__(self, state, extra_env, cwd):
        self.proc = bench.spawn(["wine", state.exe("playmp3.exe")], state, env=state.wine_env(extra_env),
                                stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                stderr=subprocess.DEVNULL, cwd=str(cwd))
        self.lines = queue.Queue()
        self._tids = {}
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.proc.stdout:
            self.lines.put(line.decode("ascii", "replace").split())
        self.lines.put(None)

    def _answer(self, timeout):
        try:
            return self.lines.get(timeout=timeout)
        except queue.Empty:
            raise AssertionError("playmp3 gave no answer within %.0f s" % timeout) from None

    def send(self, command, timeout=20):
        """Sends one command line; returns how long the call took, in seconds."""
        self.proc.stdin.write(command.encode() + b"\n")
        self.proc.stdin.flush()
        answer = self._answer(timeout)
        if not answer or answer[0] != command.split()[0] or len(answer) != 2:
            raise AssertionError("playmp3 answered %r to %r" % (answer, command))
        return int(answer[1]) / 1e6

    def play(self, path, count=1):
        """Plays a file; an empty path (b"") is passed as the empty text."""
        hex_path = wine_path(path).hex() if path else ""
        return self.send(("play %d %s" % (count, hex_path)).strip())

    def cpu_seconds(self, thread=None):
        """User and system time of the Windows process, all its threads, or
        of the one thread of that id."""
        task = "/task/%d" % thread if thread else ""
        with open("/proc/%d%s/stat" % (self.proc.pid, task)) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")

    def switches(self):
        """{thread id: (name, context switches so far)} of the process's threads."""
        threads = {}
        for task in Path("/proc/%d/task" % self.proc.pid).iterdir():
            try:
                fields = dict(line.split(":", 1) for line in (task / "status").read_text().splitlines())
            except (FileNotFoundError, ProcessLookupError):
                continue  # a thread that ended meanwhile
            threads[int(task.name)] = (fields["Name"].strip(),
                                       int(fields["voluntary_ctxt_switches"])
                                       + int(fields["nonvoluntary_ctxt_switches"]))
        return threads

    def thread_id(self, name):
        """The first thread (lowest id) of that name; threads it starts inherit
        its name, so the first one is the one that named itself."""
        if name not in self._tids:
            found = poll(lambda: sorted(t for t, (n, _) in self.switches().items() if n == name), 5)
            if not found:
                raise AssertionError("no thread named %r" % name)
            self._tids[name] = found[0]
        return self._tids[name]

    def activity_over(self, seconds, thread):
        """CPU seconds used by all threads and by the named thread, and
        wake-ups of all threads and of the named thread, over the next
        `seconds`."""
        tid = self.thread_id(thread)
        cpu, cpu_thread, before = self.cpu_seconds(), self.cpu_seconds(tid), self.switches()
        time.sleep(seconds)
        cpu, cpu_thread = self.cpu_seconds() - cpu, self.cpu_seconds(tid) - cpu_thread
        after = self.switches()
        woken = {t: n - before.get(t, (None, 0))[1] for t, (_, n) in after.items()}
        return cpu, cpu_thread, sum(woken.values()), woken.get(tid, 0)

    def quit(self):
        """Ends the process the way a test expects: 'bye', then exit code 0."""
        self.proc.stdin.write(b"quit\n")
        self.proc.stdin.close()
        answer = self._answer(20)
        code = self.proc.wait(timeout=20)
        return answer == ["bye"] and code == 0

    def kill(self):
        """Ends the process if it still runs and closes its pipes."""
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        for pipe in (self.proc.stdin, self.proc.stdout):
            if not pipe.closed:
                pipe.close()


# ---- tone files -------------------------------------------------------------

def write_wav(path, rate, channels, pieces, amplitude=0.5):
    """A 16-bit WAV of sine pieces [(frequency, seconds)], with 5 ms fades."""
    parts = []
    for freq, seconds in pieces:
        t = np.arange(int(round(seconds * rate))) / rate
        x = amplitude * np.sin(2 * np.pi * freq * t)
        fade = min(len(x) // 2, int(rate * 0.005))
        ramp = np.linspace(0, 1, fade)
        x[:fade] *= ramp
        x[len(x) - fade:] *= ramp[::-1]
        parts.append(x)
    x = np.concatenate(parts)
    pcm = np.repeat((x * 32767).astype("<i2")[:, None], channels, axis=1)
    with wave.open(str(path), "wb") as w:
        w.setnchannels(channels)
        w.setsampwidth(2)
        w.setframerate(rate)
        w.writeframes(pcm.tobytes())


def encode(wav, mp3, lame_args):
    subprocess.run(["lame", "--quiet", "--noreplaygain", *lame_args, str(wav), str(mp3)], check=True)


def reference(mp3, workdir):
    """What the encoder's own decoder makes of a file: frames x channels int16."""
    out = Path(workdir) / (Path(os.fsdecode(mp3)).stem + ".ref.wav")
    subprocess.run(["lame", "--quiet", "--decode", str(mp3), str(out)], check=True)
    with wave.open(str(out)) as w:
        data = np.frombuffer(w.readframes(w.getnframes()), dtype="<i2")
        return data.reshape(-1, w.getnchannels()).astype(np.int32), w.getframerate()


def syncsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])


def id3v2_with_picture(picture):
    """An ID3v2.3 tag holding one APIC frame with the given picture bytes."""
    body = b"\x00image/jpeg\x00\x03cover\x00" + picture
    frame = b"APIC" + len(body).to_bytes(4, "big") + b"\x00\x00" + body
    return b"ID3\x03\x00\x00" + syncsafe(len(frame)) + frame


def ape_tag():
    """An APEv2 tag with header and footer and one item."""
    items = (4).to_bytes(4, "little") + bytes(4) + b"Title\x00" + b"tone"

    def block(flags):
        return (b"APETAGEX" + (2000).to_bytes(4, "little") + (len(items) + 32).to_bytes(4, "little")
                + (1).to_bytes(4, "little") + flags.to_bytes(4, "little") + bytes(8))
    return block(0xA0000000) + items + block(0x80000000)


def id3v1():
    return b"TAG" + b"tone".ljust(30, b"\x00") + bytes(95)


# ---- capture ----------------------------------------------------------------

class AlsaFile:
    """An ALSA default device that writes every sample to a file. It has no
    clock (plays about 4x faster than real time), so it serves content, not
    timing. Each opening of the device starts the file anew."""

    def __init__(self, workdir, name):
        self.raw = Path(workdir) / (name + ".raw")
        conf = Path(workdir) / (name + ".asoundrc")
        # Self-contained: the system's alsa.conf would pull in plugins that
        # the 32-bit ALSA library of Wine cannot load.
        conf.write_text('pcm.!default { type file slave.pcm { type null } file "%s" format "raw" }\n'
                        % self.raw)
        self.env = {"ALSA_CONFIG_PATH": str(conf), "WINEDLLOVERRIDES": "winepulse.drv=d"}

    def samples(self, channels):
        if not self.raw.exists():
            return np.zeros((0, channels), dtype=np.int32)
        data = np.fromfile(str(self.raw), dtype="<i2")
        return data[: len(data) // channels * channels].reshape(-1, channels).astype(np.int32)

    def size(self):
        return self.raw.stat().st_size if self.raw.exists() else 0

    def wait_until_still(self, timeout=30, quiet=0.5):
        """Waits until the file exists and has not grown for `quiet` seconds."""
        state = {"size": -1, "since": time.monotonic()}

        def still():
            size = self.size()
            if size != state["size"]:
                state.update(size=size, since=time.monotonic())
                return False
            return size > 0 and time.monotonic() - state["since"] >= quiet
        return poll(still, timeout)


class PulseSink:
    """A private pulseaudio whose only sink writes, in real time, into a pipe
    this object reads, noting when each piece arrived. Its socket and pipe lie
    in a folder of its own in the bench's scratch folder (a UNIX socket path
    holds at most 107 bytes); `workdir` is no longer used."""

    RATE = 44100
    START_TIMEOUT = 30  # a first start on a fresh machine has taken over 8 s

    def __init__(self, state, workdir=None):
        self.dir = Path(state.temp_dir("pulse-"))
        sock, fifo, log = self.dir / "pulse.sock", self.dir / "sink.fifo", self.dir / "pulseaudio.log"
        if len(bytes(sock)) > 107:
            # pulseaudio would bind the socket at the path cut short, and say nothing.
            raise AssertionError("the pulseaudio socket path is over 107 bytes: %s" % sock)
        env = dict(os.environ, HOME=str(self.dir), XDG_CONFIG_HOME=str(self.dir),
                   XDG_RUNTIME_DIR=str(self.dir), PULSE_RUNTIME_PATH=str(self.dir / "run"),
                   PULSE_STATE_PATH=str(self.dir / "state"))
        with open(log, "wb") as err:
            self.server = bench.spawn(
                ["pulseaudio", "-n", "--daemonize=no", "--exit-idle-time=-1", "--use-pid-file=no",
                 "--disallow-exit", "--log-target=stderr",
                 "-L", "module-native-protocol-unix socket=%s auth-anonymous=1" % sock,
                 "-L", "module-pipe-sink file=%s format=s16le rate=%d channels=2 "
                       "use_system_clock_for_timing=yes" % (fifo, self.RATE)],
                state, env=env, stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=err)
        ready = poll(lambda: self.server.poll() is not None or (sock.exists() and fifo.exists()),
                     self.START_TIMEOUT)
        ended = self.server.poll()
        if not ready or ended is not None:
            self.close()
            why = ("ended with exit code %d" % ended if ended is not None
                   else "did not start within %d s" % self.START_TIMEOUT)
            raise AssertionError("pulseaudio %s; its output:\n%s" % (why, bench.tail(log)))
        self.env = {"PULSE_SERVER": "unix:%s" % sock, "WINEDLLOVERRIDES": "winealsa.drv=d"}
        self.data = bytearray()
        self.arrivals = []  # (bytes received so far, monotonic time)
        self.lock = threading.Lock()
        self.fd = os.open(str(fifo), os.O_RDONLY)
        self.reader = threading.Thread(target=self._read, daemon=True)
        self.reader.start()

    def _read(self):
        while True:
            chunk = os.read(self.fd, 1 << 16)
            if not chunk:
                return
            with self.lock:
                self.data += chunk
                self.arrivals.append((len(self.data), time.monotonic()))

    def position(self):
        """Stereo frames captured so far."""
        with self.lock:
            return len(self.data) // 4

    def left(self, start=0, end=None):
        with self.lock:
            data = np.frombuffer(bytes(self.data[start * 4:(end or len(self.data) // 4) * 4]), dtype="<i2")
        return data.reshape(-1, 2)[:, 0].astype(np.float64)

    def time_of(self, frame):
        """When the given captured frame came out of the sink."""
        with self.lock:
            for size, at in self.arrivals:
                if size >= (frame + 1) * 4:
                    return at
            return self.arrivals[-1][1] if self.arrivals else time.monotonic()

    def frame_at(self, when):
        """The first frame that came out after the moment `when`."""
        with self.lock:
            prev = 0
            for size, at in self.arrivals:
                if at >= when:
                    return prev // 4
                prev = size
            return prev // 4

    def close(self):
        if self.server.poll() is None:
            self.server.send_signal(signal.SIGTERM)
            try:
                self.server.wait(timeout=10)
            except subprocess.TimeoutExpired:
                self.server.kill()
                self.server.wait()
        if hasattr(self, "reader"):
            self.reader.join(timeout=10)
            os.close(self.fd)
        shutil.rmtree(self.dir, ignore_errors=True)


# ---- analysis ---------------------------------------------------------------

def loud_runs(x, rate, threshold=1000.0, window_ms=10, bridge_ms=150):
    """Stretches where the sound is on, as [start, end) sample indices, in
    windows of window_ms; silences shorter than bridge_ms (an underrun of a
    busy machine) are bridged."""
    w = max(1, rate * window_ms // 1000)
    n = len(x) // w
    if n == 0:
        return []
    rms = np.sqrt((x[: n * w].reshape(n, w).astype(np.float64) ** 2).mean(axis=1))
    runs = []
    start = None
    for i, on in enumerate(rms > threshold):
        if on and start is None:
            start = i
        if not on and start is not None:
            runs.append([start * w, i * w])
            start = None
    if start is not None:
        runs.append([start * w, n * w])
    merged = []
    for run in runs:
        if merged and run[0] - merged[-1][1] < rate * bridge_ms // 1000:
            merged[-1][1] = run[1]
        else:
            merged.append(run)
    return [tuple(r) for r in merged]


def frequency(x, rate):
    """The strongest frequency in a stretch of sound, in Hz."""
    x = np.asarray(x, dtype=np.float64)
    spectrum = np.abs(np.fft.rfft(x * np.hanning(len(x))))
    return np.argmax(spectrum) * rate / len(x)

#!/usr/bin/python3
"""The Wine bench: a display, a throwaway Wine prefix, a warm wineserver, and
the automation driver the end-to-end tests talk to.

As a program it is the ctest fixture:
    bench.py setup STATE_DIR [--bin WIN32_BIN_DIR]
    bench.py teardown STATE_DIR
As a module the tests import it: State, Driver, Window, Program, TestCase,
wait_until, wait_equal, run_console, spawn. See README.md in this folder.

The state directory lies in the build tree, whose path may be of any length.
Whatever has a length limit (UNIX sockets and fifos, paths a Windows program
must reach) goes into a short private folder under the system's temp folder,
the scratch folder, which teardown removes.

Standard library only; run with Debian's /usr/bin/python3.
"""

import contextlib
import functools
import json
import os
import select
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import time
import types
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "autodrive"))
import autodrive_client  # noqa: E402
from autodrive_client import DriverError, MessageBox, Window, win_path  # noqa: E402,F401

LOCALE = "zh_CN.GBK"
BALLOON_TIP_CLASS = "FrameBalloonTip"
SCREEN_W, SCREEN_H = 1024, 768
STATE_FILE = "state.json"
WINE_FONTS = "/usr/share/wine/fonts"
UI_FONT = "WenQuanYi Micro Hei"
SONG_FONT = "AR PL UMing CN"
KAI_FONT = "AR PL UKai CN"
# Chinese face names the programs ask for, by the font of the same kind
# (Song/Ming, Kai), so texts are as wide and wrap as on Windows; Wine's dialog
# font aliases go to the Hei font.
FONT_REPLACEMENTS = {"SimSun": SONG_FONT, "NSimSun": SONG_FONT, "宋体": SONG_FONT, "新宋体": SONG_FONT,
                     "KaiTi_GB2312": KAI_FONT, "楷体_GB2312": KAI_FONT,
                     "MS Shell Dlg": UI_FONT, "MS Shell Dlg 2": UI_FONT}
FONT_PACKAGES = {UI_FONT: "fonts-wqy-microhei", SONG_FONT: "fonts-arphic-uming", KAI_FONT: "fonts-arphic-ukai"}
# A UNIX socket path holds at most 107 bytes, and Windows paths are best kept
# well under 260 characters: a temp folder longer than this is not used.
SHORT_BASE_MAX = 40


class BenchError(Exception):
    """The bench cannot be had: no Wine, no display, no locale, no state."""


# --------------------------------------------------------------------------
# Processes we start and may have to end: identified by pid and start time,
# so that a recycled pid is never killed.

def _start_time(pid):
    try:
        with open(f"/proc/{pid}/stat", "rb") as f:
            stat = f.read()
    except OSError:
        return None
    # The command name is in parentheses and may hold spaces.
    return int(stat[stat.rindex(b")") + 2:].split()[19])


def _record(proc, what):
    return {"pid": proc.pid, "start": _start_time(proc.pid), "what": what}


def _alive(rec):
    start = _start_time(rec["pid"])
    return start is not None and start == rec["start"] and not _is_zombie(rec["pid"])


def _is_zombie(pid):
    try:
        with open(f"/proc/{pid}/stat", "rb") as f:
            stat = f.read()
        return stat[stat.rindex(b")") + 2:].split()[0] == b"Z"
    except OSError:
        return True


def _end(rec, grace=3.0):
    """Ends a recorded process (and its process group, when it leads one)."""
    if not _alive(rec):
        return
    pid = rec["pid"]
    for sig in (signal.SIGTERM, signal.SIGKILL):
        try:
            if os.getpgid(pid) == pid:
                os.killpg(pid, sig)
            else:
                os.kill(pid, sig)
        except ProcessLookupError:
            return
        deadline = time.monotonic() + grace
        while time.monotonic() < deadline:
            if not _alive(rec):
                return
            try:  # reap it if it is our child
                os.waitpid(pid, os.WNOHANG)
            except ChildProcessError:
                pass
            time.sleep(0.02)


# --------------------------------------------------------------------------
# Fixture: setup and teardown.

def _need(tool, package):
    path = shutil.which(tool)
    if not path:
        raise BenchError(f"{tool} not found on PATH: install {package}")
    return path


def tail(path, lines=15):
    """The last lines of a helper's log, for a failure message."""
    try:
        with open(path, "rb") as f:
            text = f.read().decode("utf-8", "replace")
    except OSError:
        return ""
    return "\n".join(text.splitlines()[-lines:])


def _x_open(display, timeout):
    """A socket to the X server of `display` after a successful connection
    setup (no authorisation), and the first screen's root window."""
    host, _, rest = display.partition(":")
    number = rest.split(".")[0]
    if not number.isdigit():
        raise OSError(f"not an X display name: {display!r}")
    if host in ("", "unix"):
        sock = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        address = f"/tmp/.X11-unix/X{number}"
    else:
        sock = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        address = (host, 6000 + int(number))
    try:
        sock.settimeout(timeout)
        sock.connect(address)
        # Little-endian setup request, protocol 11.0, no authorisation.
        sock.sendall(b"l\0\x0b\0\0\0\0\0\0\0\0\0")
        head = _recv_exactly(sock, 8)
        if head[0] != 1:
            raise OSError(f"the X server at {display} refused the connection")
        data = _recv_exactly(sock, struct.unpack("<H", head[6:8])[0] * 4)
        vendor_length = struct.unpack("<H", data[16:18])[0]
        formats = data[21]
        screen = 32 + ((vendor_length + 3) & ~3) + 8 * formats
        return sock, struct.unpack("<I", data[screen:screen + 4])[0]
    except BaseException:
        sock.close()
        raise


def _recv_exactly(sock, size):
    data = b""
    while len(data) < size:
        chunk = sock.recv(size - len(data))
        if not chunk:
            raise OSError("the X server closed the connection")
        data += chunk
    return data


def _x_handshake(display, timeout):
    """True when an X server answers a connection setup on `display`."""
    try:
        sock, _ = _x_open(display, timeout)
        sock.close()
        return True
    except OSError:
        return False


def x_warp(display, x, y, timeout=5.0):
    """Moves the X pointer as a real mouse would, and returns once the X
    server has done it (a GetInputFocus round trip)."""
    sock, root = _x_open(display, timeout)
    with sock:
        warp = struct.pack("<BxHIIhhHHhh", 41, 6, 0, root, 0, 0, 0, 0, x, y)  # WarpPointer
        sock.sendall(warp + struct.pack("<BxH", 43, 1))  # GetInputFocus
        reply = _recv_exactly(sock, 32)
        if reply[0] != 1:
            raise OSError(f"the X server answered the pointer warp with error {reply[1]}")


def _start_xvfb(state_dir, state):
    xvfb = _need("Xvfb", "xvfb")
    log = os.path.join(state_dir, "xvfb.log")
    read_end, write_end = os.pipe()
    # -displayfd: Xvfb picks a free display itself and writes its number
    # once it accepts connections, so parallel benches never collide.
    with open(log, "wb") as out:
        proc = subprocess.Popen(
            [xvfb, "-displayfd", str(write_end), "-screen", "0", f"{SCREEN_W}x{SCREEN_H}x24",
             "-nolisten", "tcp"],
            stdin=subprocess.DEVNULL, stdout=out, stderr=out, pass_fds=(write_end,),
            start_new_session=True)
    os.close(write_end)
    state["xvfb"] = _record(proc, "Xvfb")
    _save(state_dir, state)
    number = b""
    deadline = time.monotonic() + 20
    try:
        while not number.endswith(b"\n"):
            left = deadline - time.monotonic()
            if left <= 0 or proc.poll() is not None:
                raise BenchError(f"Xvfb did not start a display:\n{tail(log)}")
            ready, _, _ = select.select([read_end], [], [], min(left, 0.1))
            if ready:
                chunk = os.read(read_end, 16)
                if not chunk:
                    raise BenchError(f"Xvfb closed its display pipe:\n{tail(log)}")
                number += chunk
    finally:
        os.close(read_end)
    return ":" + number.decode().strip()


def _ensure_display(state_dir, state):
    display = os.environ.get("DISPLAY", "")
    if not display:
        display = _start_xvfb(state_dir, state)
        state["own_display"] = True
    deadline = time.monotonic() + 10
    while not _x_handshake(display, 1.0):
        if time.monotonic() > deadline:
            raise BenchError(f"the X display {display} does not accept connections")
        time.sleep(0.05)
    return display


def _locale_codeset(env):
    probe = "import locale; locale.setlocale(locale.LC_ALL, ''); print(locale.nl_langinfo(locale.CODESET))"
    env = dict(env, LANG=LOCALE, LC_ALL=LOCALE)
    r = subprocess.run([sys.executable, "-c", probe], env=env, capture_output=True, text=True, timeout=30)
    return r.stdout.strip() if r.returncode == 0 else None


def _ensure_locale(state_dir):
    """The LOCPATH to use ("" for the system's), making zh_CN.GBK if needed.

    Wine takes its ANSI code page from the C library's locale: without a
    zh_CN.GBK locale every process falls back to code page 1252.
    """
    if _locale_codeset(os.environ) == "GBK":
        return ""
    localedef = shutil.which("localedef")
    hint = ("install the locales package, or make the locale once for the system: "
            "echo 'zh_CN.GBK GBK' >> /etc/locale.gen && locale-gen")
    if not localedef:
        raise BenchError(f"the {LOCALE} locale is missing and localedef is not found: {hint}")
    locpath = os.path.join(state_dir, "locale")
    os.makedirs(locpath, exist_ok=True)
    r = subprocess.run([localedef, "-i", "zh_CN", "-f", "GBK", os.path.join(locpath, LOCALE)],
                       capture_output=True, text=True, timeout=60)
    if _locale_codeset(dict(os.environ, LOCPATH=locpath)) != "GBK":
        raise BenchError(f"could not make the {LOCALE} locale ({r.stderr.strip()}): {hint}")
    return locpath


def _registry_file():
    lines = ["REGEDIT4", "", r"[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]"]
    lines += [f'"{face}"="{font}"' for face, font in FONT_REPLACEMENTS.items()]
    lines += [
        "",
        # One virtual desktop for every program of the prefix: Wine itself
        # manages activation, z-order and captions there, hiding a window
        # costs no round trip to a window manager, and a screenshot of the
        # screen shows the frames and captions.
        r"[HKEY_CURRENT_USER\Software\Wine\Explorer]",
        '"Desktop"="Default"',
        r"[HKEY_CURRENT_USER\Software\Wine\Explorer\Desktops]",
        f'"Default"="{SCREEN_W}x{SCREEN_H}"',
        "",
        # A crashing program ends with its exception code instead of waiting
        # behind a crash dialog.
        r"[HKEY_CURRENT_USER\Software\Wine\WineDbg]",
        '"ShowCrashDialog"=dword:00000000',
        "",
    ]
    return "\r\n".join(lines).encode("gbk")


def _run_checked(argv, env, timeout, what, log):
    with open(log, "ab") as out:
        try:
            r = subprocess.run(argv, env=env, stdin=subprocess.DEVNULL, stdout=out, stderr=out, timeout=timeout)
        except subprocess.TimeoutExpired:
            raise BenchError(f"{what} took more than {timeout} s:\n{tail(log)}") from None
    if r.returncode != 0:
        raise BenchError(f"{what} failed with exit code {r.returncode}:\n{tail(log)}")


def _save(state_dir, state):
    tmp = os.path.join(state_dir, STATE_FILE + ".tmp")
    with open(tmp, "w") as f:
        json.dump(state, f, indent=1)
    os.replace(tmp, os.path.join(state_dir, STATE_FILE))


def _load(state_dir):
    try:
        with open(os.path.join(state_dir, STATE_FILE)) as f:
            return json.load(f)
    except (OSError, ValueError):
        return None


def setup(state_dir, bin_dir=None):
    state_dir = os.path.abspath(state_dir)
    if _load(state_dir):  # left over from a run that did not tear down
        teardown(state_dir)
    os.makedirs(state_dir, exist_ok=True)
    state = {"spawned": []}
    _save(state_dir, state)
    try:
        _setup(state_dir, state, bin_dir)
    except BaseException:
        teardown(state_dir)
        raise


def _setup(state_dir, state, bin_dir):
    bin_dir = bin_dir or os.environ.get("WIN32_BIN_DIR")
    if not bin_dir:
        raise BenchError("no folder of Windows programs: give --bin WIN32_BIN_DIR or set WIN32_BIN_DIR")
    bin_dir = os.path.abspath(bin_dir)
    wine = _need("wine", "wine and wine32:i386")
    wineserver = _need("wineserver", "wine")
    wineboot = _need("wineboot", "wine")
    log = os.path.join(state_dir, "wine.log")
    started = time.monotonic()
    _make_scratch(state_dir, state, bin_dir)

    display = _ensure_display(state_dir, state)
    locpath = _ensure_locale(state_dir)
    prefix = os.path.join(state_dir, "prefix")
    env = {"WINEPREFIX": prefix, "WINEARCH": "win32", "WINEDEBUG": "-all", "DISPLAY": display,
           "LANG": LOCALE, "LC_ALL": LOCALE}
    if locpath:
        env["LOCPATH"] = locpath
    state.update(display=display, prefix=prefix, env=env, bin_dir=bin_dir)
    _save(state_dir, state)
    full_env = dict(os.environ, **env)

    # An empty override for mscoree and mshtml keeps wineboot from offering
    # to download Mono and Gecko; the prefix itself keeps its defaults.
    timings = {}
    _run_checked([wineboot, "-i"], dict(full_env, WINEDLLOVERRIDES="mscoree,mshtml="), 180,
                 "wineboot -i", log)
    timings["wineboot"] = time.monotonic() - started

    reg = os.path.join(state_dir, "bench.reg")
    with open(reg, "wb") as f:
        f.write(_registry_file())
    _run_checked([wine, "regedit", "/S", reg], full_env, 60, "regedit", log)
    fonts = os.path.join(prefix, "drive_c", "windows", "Fonts")
    os.makedirs(fonts, exist_ok=True)
    for name in ("marlett.ttf", "tahoma.ttf", "tahomabd.ttf"):
        source = os.path.join(WINE_FONTS, name)
        if not os.path.exists(source):
            raise BenchError(f"{source} is missing (caption buttons draw as letters without it): install fonts-wine")
        shutil.copy(source, fonts)
    _check_font()
    # wineboot left a server and a desktop running, made before the settings
    # existed. One persistent server for the whole run, and a desktop made
    # afresh, with them.
    _end_wine(wineserver, full_env)
    state["wineserver"] = _start_wineserver(state_dir, wineserver, full_env)
    _save(state_dir, state)
    _start_holder(state_dir, state, full_env, wine, os.path.join(state["scratch"], "bin"))
    state["ready"] = True
    _save(state_dir, state)
    _check_driver(state_dir)
    print(f"bench: display {display}, prefix {prefix}, ready in {time.monotonic() - started:.1f} s "
          f"(wineboot {timings['wineboot']:.1f} s)")


def _short_base():
    base = tempfile.gettempdir()
    return base if len(base) <= SHORT_BASE_MAX else "/tmp"


def _make_scratch(state_dir, state, bin_dir):
    """The run's scratch folder, with "bin" in it leading to the programs, so
    that a Windows program reaches them by a short name too."""
    scratch = tempfile.mkdtemp(prefix="zv-e2e-", dir=_short_base())
    state["scratch"] = scratch
    _save(state_dir, state)
    os.symlink(bin_dir, os.path.join(scratch, "bin"))


def _start_wineserver(state_dir, wineserver, env):
    with open(os.path.join(state_dir, "wineserver.log"), "ab") as out:
        server = subprocess.Popen([wineserver, "-f", "-p"], env=env, stdin=subprocess.DEVNULL,
                                  stdout=out, stderr=out, start_new_session=True)
    return _record(server, "wineserver")


def _end_wine(wineserver, env):
    """Ends every Wine process of the prefix, and then its server."""
    with contextlib.suppress(subprocess.TimeoutExpired, OSError):
        subprocess.run([wineserver, "-k"], env=env, stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=15)


def _start_holder(state_dir, state, env, wine, bin_dir):
    """Keeps the desktop up for the run (see "hold" in autodrive.cpp)."""
    exe = os.path.join(bin_dir, "autodrive.exe")
    if not os.path.exists(exe):
        raise BenchError(f"{exe} does not exist: build the win32 target first")
    with open(os.path.join(state_dir, "wine.log"), "ab") as log:
        proc = subprocess.Popen([wine, exe, "hold"], env=env, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                                stderr=log, start_new_session=True)
    state["holder"] = _record(proc, "autodrive hold")
    _save(state_dir, state)
    with proc.stdout:
        ready, _, _ = select.select([proc.stdout], [], [], 60)
        line = proc.stdout.readline() if ready else b""
    if line.strip() != b"ready":
        raise BenchError(f"the desktop did not come up (autodrive hold said {line!r}):\n"
                         f"{tail(os.path.join(state_dir, 'wine.log'))}")


def _check_font():
    fc_list = shutil.which("fc-list")
    if fc_list:
        for font, package in FONT_PACKAGES.items():
            r = subprocess.run([fc_list, f":family={font}", "family"], capture_output=True, text=True, timeout=30)
            if font not in r.stdout:
                raise BenchError(f"the font {font} is missing: install {package}")


def _check_driver(state_dir):
    """The driver runs, sees code page 936 and can read the screen."""
    with Driver(State(state_dir)) as driver:
        shot = os.path.join(state_dir, "setup-screen.bmp")
        w, h = driver.screenshot(shot)
        os.remove(shot)
        if (w, h) != (SCREEN_W, SCREEN_H):
            raise BenchError(f"the Wine desktop is {w}x{h}, expected {SCREEN_W}x{SCREEN_H}")


def teardown(state_dir):
    state_dir = os.path.abspath(state_dir)
    state = _load(state_dir)
    if state is None:
        shutil.rmtree(os.path.join(state_dir, "prefix"), ignore_errors=True)
        return
    env = dict(os.environ, **state.get("env", {}))
    wineserver = shutil.which("wineserver")
    if wineserver and state.get("prefix") and os.path.isdir(state["prefix"]):
        _end_wine(wineserver, env)
    for rec in state.get("spawned", []) + [state.get(k) for k in ("holder", "wineserver", "xvfb")]:
        if rec:
            _end(rec)
    for sub in ("prefix", "locale"):
        shutil.rmtree(os.path.join(state_dir, sub), ignore_errors=True)
    if state.get("scratch"):
        shutil.rmtree(state["scratch"], ignore_errors=True)
    with contextlib.suppress(FileNotFoundError):
        os.remove(os.path.join(state_dir, STATE_FILE))


# --------------------------------------------------------------------------
# The run's environment, for tests.

class State:
    """The bench a test runs on, read from the state directory."""

    def __init__(self, state_dir=None):
        state_dir = state_dir or os.environ.get("ZV_E2E_STATE")
        if not state_dir:
            raise BenchError("ZV_E2E_STATE is not set: run the tests through ctest "
                             "(or `bench.py setup DIR` and ZV_E2E_STATE=DIR)")
        self.dir = os.path.abspath(state_dir)
        data = _load(self.dir)
        if not data or not data.get("ready"):
            raise BenchError(f"no ready bench in {self.dir}: did `bench.py setup` fail?")
        self.env = data["env"]
        self.display = data["display"]
        self.prefix = data["prefix"]
        self.bin_dir = os.environ.get("WIN32_BIN_DIR") or data.get("bin_dir")
        # On our own Xvfb the Wine desktop lies at the X screen's origin.
        self.own_display = bool(data.get("own_display"))
        self.scratch = data["scratch"]

    def wine_env(self, extra=None):
        env = dict(os.environ, **self.env)
        env.pop("WINEDLLOVERRIDES", None)
        env.update(extra or {})
        return env

    def exe(self, name):
        """The path of a Windows program of this build, which must exist; a
        short one (through the scratch folder) when it leads there."""
        if not self.bin_dir:
            raise BenchError("WIN32_BIN_DIR is not set")
        path = os.path.join(self.bin_dir, name)
        if not os.path.exists(path):
            raise BenchError(f"{path} does not exist: build the win32 target first")
        short = os.path.join(self.scratch, "bin")
        if os.path.realpath(short) == os.path.realpath(self.bin_dir):
            return os.path.join(short, name)
        return path

    def temp_dir(self, prefix="tmp-"):
        """A new folder in the scratch folder, at a short path whatever the
        clone's path: for sockets, fifos, and any file a Windows program of
        the test opens. Teardown removes it, if the test does not."""
        return tempfile.mkdtemp(prefix=prefix, dir=self.scratch)

    def record(self, proc, what):
        """Has teardown end `proc` if the test leaves it running."""
        data = _load(self.dir)
        data["spawned"].append(_record(proc, what))
        _save(self.dir, data)


def output_dir():
    path = os.environ.get("ZV_E2E_OUTPUT") or os.path.join(os.getcwd(), "e2e-output")
    os.makedirs(path, exist_ok=True)
    return path


def run_console(exe, args=(), timeout=30, env=None, cwd=None, input=None, state=None):
    """Runs a Windows console program under Wine; returns CompletedProcess
    with stdout and stderr as bytes."""
    state = state or State()
    return subprocess.run(["wine", exe, *args], env=state.wine_env(env), cwd=cwd, input=input,
                          stdin=None if input is not None else subprocess.DEVNULL,
                          capture_output=True, timeout=timeout)


def spawn(argv, state=None, **popen_args):
    """Starts a helper process in its own process group, recorded so that
    teardown ends it even when the test that started it did not."""
    state = state or State()
    proc = subprocess.Popen(argv, start_new_session=True, **popen_args)
    state.record(proc, os.path.basename(argv[0]))
    return proc


@contextlib.contextmanager
def spawned(argv, state=None, **popen_args):
    proc = spawn(argv, state, **popen_args)
    try:
        yield proc
    finally:
        _end(_record(proc, ""))
        with contextlib.suppress(subprocess.TimeoutExpired):
            proc.wait(timeout=5)


# --------------------------------------------------------------------------
# Driving programs, for tests.

class Driver(autodrive_client.Driver):
    """The automation driver on this bench; see autodrive_client.Driver."""

    _count = 0

    def __init__(self, state=None):
        self.state = state or State()
        Driver._count += 1
        self._stderr = os.path.join(self.state.dir, f"autodrive-{os.getpid()}-{Driver._count}.err")
        super().__init__(["wine", self.state.exe("autodrive.exe")], self.state.wine_env(), self._stderr)
        if self.codepage != 936:
            self.close()
            raise BenchError(f"Wine runs with code page {self.codepage}, not 936: is the {LOCALE} locale there?")

    def program(self, path, cwd=None, args="", env=None):
        return Program(self, path, cwd, args, env)

    def move(self, x, y):
        """Puts the pointer at (x, y) so that every program sees it there.

        Wine quirk: SetCursorPos grabs the X pointer to warp it, and the
        grab's crossing events carry the old position, which a Wine process
        may report after the move. Moving the X pointer first makes every
        such event carry the new one; the driver then lets each window
        thread drain its events before it sets the position and after, and
        sets it again if a late event put it back. (On a display
        of one's own, where the desktop window may lie anywhere, only the
        driver moves it, and the pointer may jump back for a moment.)
        """
        if self.state.own_display:
            x_warp(self.state.display, int(x), int(y))
        return super().move(x, y)

    def mouse(self, action="click", button="left", at=None):
        if at:
            self.move(*at)
        super().mouse(action, button)

    def screenshot(self, path):
        """Written in the scratch folder first, where the driver reaches it
        by a short name whatever `path` is, then moved there."""
        fd, short = tempfile.mkstemp(suffix=".bmp", dir=self.state.scratch)
        os.close(fd)
        try:
            size = super().screenshot(short)
            shutil.move(short, path)
        finally:
            with contextlib.suppress(FileNotFoundError):
                os.remove(short)
        return size

    def close(self):
        super().close()
        with contextlib.suppress(OSError):
            if os.path.getsize(self._stderr) == 0:
                os.remove(self._stderr)


class Program:
    """A program started through the driver; leaving the with block (or
    end()) kills it if it is still running."""

    def __init__(self, driver, path, cwd=None, args="", env=None, pid=None):
        self.driver, self.path = driver, path
        self.pid = pid if pid is not None else driver.start(path, cwd, args, env)
        self.exit_code = None

    @classmethod
    def running_as(cls, driver, pid):
        """A program that is already running, such as one another program started."""
        return cls(driver, f"pid {pid}", pid=pid)

    def __repr__(self):
        return f"Program({os.path.basename(str(self.path))}, pid {self.pid})"

    def window(self, title, timeout=10.0):
        """Its visible top-level window of that title."""
        return self.driver.wait_window(title, timeout, self.pid)

    def windows(self, cls=None):
        return self.driver.windows(self.pid, cls)

    def msgbox(self, timeout=10.0):
        """Its next visible message box: (window, title, text)."""
        return self.driver.msgbox(self.pid, timeout)

    def tips(self):
        """Its balloon tips that are up, as Windows (text() is the tip's text)."""
        return [w.hwnd for w in self.windows(BALLOON_TIP_CLASS) if w.visible]

    def wait_exit(self, timeout=10.0):
        if self.exit_code is None:
            self.exit_code = self.driver.wait_exit(self.pid, timeout)
        return self.exit_code

    def running(self):
        try:
            self.wait_exit(0)
            return False
        except DriverError as e:
            if e.reason == "timeout":
                return True
            raise

    def end(self):
        if self.exit_code is None and self.running():
            self.driver.kill(self.pid)
            self.wait_exit(10)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.end()


class _Screenshots:
    """Where a failed check puts its picture of the screen."""

    def __init__(self):
        self.test_id, self.driver, self.count = None, None, 0

    def begin(self, test_id, driver):
        self.test_id, self.driver, self.count = test_id, driver, 0

    def end(self):
        self.driver = None

    def take(self):
        """The path of a new screenshot, or why there is none."""
        self.count += 1
        base = os.path.join(output_dir(), f"{self.test_id or 'e2e'}-{self.count}")
        bmp = base + ".bmp"
        try:
            if self.driver is None:
                raise DriverError("screenshot", "no-driver")
            self.driver.screenshot(bmp)
        except (DriverError, OSError, BenchError) as e:
            return self._from_x(base, e)
        convert = shutil.which("convert")
        if convert:
            r = subprocess.run([convert, bmp, base + ".png"], capture_output=True, timeout=60)
            if r.returncode == 0:
                os.remove(bmp)
                return base + ".png"
        return bmp

    @staticmethod
    def _from_x(base, why):
        # Without the driver, read the X display itself.
        tool = shutil.which("import")
        try:
            display = State().display
        except BenchError:
            display = None
        if tool and display:
            r = subprocess.run([tool, "-display", display, "-window", "root", base + ".png"],
                               capture_output=True, timeout=60)
            if r.returncode == 0:
                return base + ".png"
        return f"(no screenshot: {why})"


_screenshots = _Screenshots()


class CheckFailed(AssertionError):
    """A failed check; it takes a screenshot at once, while the screen still
    shows what went wrong, and names the file in its message."""

    def __init__(self, message=""):
        self.screenshot = _screenshots.take()
        super().__init__(f"{message}\nscreenshot: {self.screenshot}")


def _poll(probe, timeout, interval):
    deadline = time.monotonic() + timeout
    while True:
        try:
            ok, seen = probe()
        except DriverError as e:
            if e.reason in ("driver-ended", "no-reply"):
                raise
            ok, seen = False, f"<{e}>"
        if ok:
            return True, seen
        if time.monotonic() >= deadline:
            return False, seen
        time.sleep(interval)


def wait_until(predicate, timeout=5.0, what=None, interval=0.02):
    """Polls predicate() until it gives a true value, which it returns. On
    time-out raises CheckFailed naming what was awaited and the last value
    seen. A DriverError (no such window yet, say) counts as not yet."""
    ok, seen = _poll(lambda: (lambda v: (bool(v), v))(predicate()), timeout, interval)
    if not ok:
        raise CheckFailed(f"waited {timeout:g} s for {what or predicate.__name__}; last seen: {seen!r}")
    return seen


def wait_equal(read, expected, timeout=5.0, what=None, interval=0.02):
    """Polls read() until it equals expected; CheckFailed with both if not."""
    ok, seen = _poll(lambda: (lambda v: (v == expected, v))(read()), timeout, interval)
    if not ok:
        raise CheckFailed(f"{what or read.__name__}: expected {expected!r}, got {seen!r} (after {timeout:g} s)")
    return seen


class TestCase(unittest.TestCase):
    """A test with its own driver (self.driver); programs it starts with
    self.start() are killed when it ends, whatever happened. A failed check
    raises CheckFailed with a screenshot; any other error in the test gets
    one too, named in a note on the exception."""

    failureException = CheckFailed

    def __init__(self, methodName="runTest"):
        super().__init__(methodName)
        method = getattr(type(self), methodName, None)
        if callable(method):
            # Bound again, so that unittest still sees a method when it loads
            # one test by name.
            setattr(self, methodName, types.MethodType(self._guarded(method), self))

    @staticmethod
    def _guarded(method):
        @functools.wraps(method)
        def guarded(*args, **kwargs):
            try:
                return method(*args, **kwargs)
            except (CheckFailed, unittest.SkipTest):
                raise
            except Exception as e:
                note = f"screenshot: {_screenshots.take()}"
                if hasattr(e, "add_note"):
                    e.add_note(note)
                else:
                    print(note, file=sys.stderr)
                raise
        return guarded

    def setUp(self):
        super().setUp()
        self.state = State()
        self.driver = Driver(self.state)
        self.addCleanup(self.driver.close)
        script = os.path.splitext(os.path.basename(sys.argv[0]))[0]
        _screenshots.begin(self.id().replace("__main__", script), self.driver)
        self.addCleanup(_screenshots.end)

    def start(self, path, cwd=None, args="", env=None):
        program = self.driver.program(path, cwd, args, env)
        self.addCleanup(program.end)
        return program

    def adopt(self, pid):
        """Has a process the test did not start itself (one that a program
        started, say) end with the test, like those of start()."""
        program = Program.running_as(self.driver, pid)
        self.addCleanup(program.end)
        return program


def main():
    """unittest.main for a test script: exit code 1 on any failure."""
    unittest.main(verbosity=2)


def _cli(argv):
    if len(argv) >= 3 and argv[1] == "setup":
        bin_dir = None
        if len(argv) == 5 and argv[3] == "--bin":
            bin_dir = argv[4]
        elif len(argv) != 3:
            return _usage()
        try:
            setup(argv[2], bin_dir)
        except BenchError as e:
            print(f"bench setup FAILED: {e}", file=sys.stderr)
            return 1
        return 0
    if len(argv) == 3 and argv[1] == "teardown":
        teardown(argv[2])
        return 0
    return _usage()


def _usage():
    print("usage: bench.py setup STATE_DIR [--bin WIN32_BIN_DIR] | bench.py teardown STATE_DIR", file=sys.stderr)
    return 2


if __name__ == "__main__":
    sys.exit(_cli(sys.argv))

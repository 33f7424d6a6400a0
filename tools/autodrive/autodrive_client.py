"""Python side of the autodrive protocol (see autodrive.cpp for the protocol).

Driver runs one autodrive.exe and turns each method into one request line.
Texts go in as str (encoded to GBK) or bytes, and come back as str decoded
from GBK (the *_bytes methods give the raw bytes). Times are in seconds.
Window is a handle with the driver's operations on it; it serves for
top-level windows and controls alike. Standard library only.
"""

import collections
import os
import select
import subprocess
import time

CODEPAGE = "gbk"
REPLY_MARGIN = 10.0  # how much longer than a command's own deadline we wait for its reply

Info = collections.namedtuple(
    "Info", "id cls visible shown enabled usable checked style exstyle parent pid")
TopLevel = collections.namedtuple("TopLevel", "hwnd visible cls title")
Child = collections.namedtuple("Child", "hwnd id visible enabled cls text")
MessageBox = collections.namedtuple("MessageBox", "hwnd title text")
Rect = collections.namedtuple("Rect", "left top right bottom")


class DriverError(Exception):
    """The driver answered "err REASON ...", or did not answer in time."""

    def __init__(self, request, reason, detail=()):
        self.request, self.reason, self.detail = request, reason, list(detail)
        super().__init__(f"{request!r} -> err {reason} {' '.join(self.detail)}".rstrip())


def win_path(path):
    """The Windows name of a Unix path through Wine's Z: drive; bytes (a name
    in GBK, as Wine maps it) give bytes."""
    if isinstance(path, bytes):
        return b"Z:" + os.path.abspath(path).replace(b"/", b"\\")
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def _windows_name(path):
    """A Unix path (absolute, or one that exists) as a Windows name; anything
    else is taken to be a Windows name already."""
    slash = b"/" if isinstance(path, bytes) else "/"
    return win_path(path) if path.startswith(slash) or os.path.exists(path) else path


def hex_text(text):
    data = text if isinstance(text, bytes) else str(text).encode(CODEPAGE)
    return data.hex() if data else "-"


def unhex(word):
    return b"" if word == "-" else bytes.fromhex(word)


def decode(data):
    # Bytes that are not GBK show as \xNN rather than ending the test.
    return data.decode(CODEPAGE, "backslashreplace")


def _ms(seconds):
    return str(max(0, int(seconds * 1000)))


class Driver:
    """One autodrive.exe process; close() (or a with block) ends it."""

    def __init__(self, argv, env, stderr_path=None):
        self._stderr_path = stderr_path
        err = open(stderr_path, "wb") if stderr_path else subprocess.DEVNULL
        try:
            self._proc = subprocess.Popen(argv, env=env, stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                          stderr=err, bufsize=0)
        finally:
            if stderr_path:
                err.close()
        self._buffer = b""
        words = self.request("ping", timeout=30)
        self.codepage = int(words[2])

    # --- plumbing ----------------------------------------------------------
    def request(self, *words, timeout=5.0):
        """Sends one request; returns the reply's words after "ok"."""
        line = " ".join(str(w) for w in words)
        if self._proc.poll() is not None:
            raise DriverError(line, "driver-ended", [str(self._proc.returncode)] + self._stderr_tail())
        try:
            self._proc.stdin.write(line.encode("ascii") + b"\n")
        except BrokenPipeError:
            raise DriverError(line, "driver-ended", self._stderr_tail()) from None
        reply = self._read_line(time.monotonic() + timeout + REPLY_MARGIN, line)
        parts = reply.split(" ")
        if parts[0] == "ok":
            return parts[1:]
        raise DriverError(line, parts[1] if len(parts) > 1 else "?", parts[2:])

    def _read_line(self, deadline, line):
        fd = self._proc.stdout.fileno()
        while b"\n" not in self._buffer:
            left = deadline - time.monotonic()
            if left <= 0:
                raise DriverError(line, "no-reply")
            ready, _, _ = select.select([fd], [], [], left)
            if ready:
                chunk = os.read(fd, 65536)
                if not chunk:
                    raise DriverError(line, "driver-ended", self._stderr_tail())
                self._buffer += chunk
        reply, self._buffer = self._buffer.split(b"\n", 1)
        return reply.decode("ascii")

    def _stderr_tail(self):
        if not self._stderr_path:
            return []
        try:
            with open(self._stderr_path, "rb") as f:
                return [f.read()[-500:].decode("utf-8", "replace")]
        except OSError:
            return []

    def close(self):
        if self._proc.poll() is None:
            try:
                self.request("quit", timeout=2)
                self._proc.wait(timeout=5)
            except (DriverError, OSError, subprocess.TimeoutExpired):
                self._proc.kill()
                self._proc.wait()
        for stream in (self._proc.stdin, self._proc.stdout):
            stream.close()

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.close()

    def window(self, hwnd):
        return Window(self, hwnd)

    # --- processes ---------------------------------------------------------
    def start(self, path, cwd=None, args="", env=None):
        """Starts a Windows program, given by a Unix path or a Windows name,
        str or GBK bytes; cwd likewise; env adds variables. Its pid."""
        directory = _windows_name(cwd) if cwd else ""
        words = ["start", hex_text(_windows_name(path)), hex_text(directory), hex_text(args)]
        words += [hex_text(f"{k}={v}") for k, v in (env or {}).items()]
        return int(self.request(*words)[0])

    def wait_exit(self, pid, timeout=10.0):
        """The exit code (signed) once the process has ended."""
        return int(self.request("wait-exit", pid, _ms(timeout), timeout=timeout)[0])

    def kill(self, pid):
        return self.request("kill", pid)[0]

    def resources(self, pid):
        """{"handles", "gdi", "user", "private_bytes"} of a process, as the
        system counts them (Wine counts some of them as 0)."""
        words = self.request("resources", pid)
        return dict(zip(("handles", "gdi", "user", "private_bytes"), map(int, words)))

    # --- top-level windows -------------------------------------------------
    def windows(self, pid=0, cls=None):
        words = ["windows", pid] + ([hex_text(cls)] if cls is not None else [])
        found = []
        for item in self.request(*words):
            hwnd, visible, klass, title = item.split(":")
            found.append(TopLevel(Window(self, int(hwnd)), visible == "1", decode(unhex(klass)), decode(unhex(title))))
        return found

    def wait_window(self, title, timeout=10.0, pid=0):
        return Window(self, int(self.request("wait-window", hex_text(title), _ms(timeout), pid, timeout=timeout)[0]))

    def wait_class(self, cls, timeout=10.0, pid=0):
        return Window(self, int(self.request("wait-class", hex_text(cls), _ms(timeout), pid, timeout=timeout)[0]))

    def msgbox(self, pid, timeout=10.0):
        hwnd, title, text = self.request("msgbox", pid, _ms(timeout), timeout=timeout)
        return MessageBox(Window(self, int(hwnd)), decode(unhex(title)), decode(unhex(text)))

    def foreground(self):
        return Window(self, int(self.request("foreground")[0]))

    # --- mouse, keyboard, screen, clipboard ----------------------------------
    def cursor(self):
        x, y = self.request("cursor")
        return int(x), int(y)

    def move(self, x, y):
        x, y = self.request("move", int(x), int(y))
        return int(x), int(y)

    def mouse(self, action="click", button="left", at=None):
        """Presses, releases or clicks a mouse button, optionally at (x, y)."""
        self.request("mouse", action, button, *(at or ()))

    def wheel(self, delta=-120):
        self.request("wheel", int(delta))

    def key(self, vk, action="press"):
        self.request("key", int(vk), action)

    def screenshot(self, path):
        w, h = self.request("screenshot", hex_text(win_path(path)), timeout=20)
        return int(w), int(h)

    def clipboard_bytes(self, timeout=2.0):
        """The clipboard's CF_TEXT bytes, None when it holds no text."""
        try:
            return unhex(self.request("clipboard", _ms(timeout), timeout=timeout)[0])
        except DriverError as e:
            if e.reason == "no-text":
                return None
            raise

    def clipboard(self, timeout=2.0):
        data = self.clipboard_bytes(timeout)
        return None if data is None else decode(data)

    def set_clipboard(self, text, timeout=2.0):
        self.request("setclip", hex_text(text), _ms(timeout), timeout=timeout)


class Window:
    """A window handle of the program under test, top-level or control."""

    def __init__(self, driver, hwnd):
        self.driver, self.hwnd = driver, hwnd

    def __repr__(self):
        return f"Window({self.hwnd})"

    def __eq__(self, other):
        return isinstance(other, Window) and other.hwnd == self.hwnd

    def __hash__(self):
        return self.hwnd

    def _req(self, command, *words, timeout=5.0):
        return self.driver.request(command, self.hwnd, *words, timeout=timeout)

    def control(self, name, timeout=0.0):
        """The control with that layout name among this window's descendants."""
        return Window(self.driver, int(self._req("find", hex_text(name), _ms(timeout), timeout=timeout)[0]))

    def control_by_id(self, cid, timeout=0.0):
        return Window(self.driver, int(self._req("find-id", int(cid), _ms(timeout), timeout=timeout)[0]))

    def children(self):
        found = []
        for item in self._req("children"):
            hwnd, cid, visible, enabled, cls, text = item.split(":")
            found.append(Child(Window(self.driver, int(hwnd)), int(cid), visible == "1", enabled == "1",
                               decode(unhex(cls)), decode(unhex(text))))
        return found

    def text_bytes(self):
        return unhex(self._req("text")[0])

    def text(self):
        """The window text: an edit box's content, a caption, a title."""
        return decode(self.text_bytes())

    def info(self):
        w = self._req("info")
        return Info(int(w[0]), decode(unhex(w[1])), w[2] == "1", w[3] == "1", w[4] == "1", w[5] == "1",
                    int(w[6]), int(w[7]), int(w[8]), Window(self.driver, int(w[9])) if w[9] != "0" else None,
                    int(w[10]))

    def enabled(self):
        """Its own enabled setting (not that of its ancestors)."""
        return self.info().enabled

    def visible(self):
        """Shown, and all its ancestors shown."""
        return self.info().visible

    def usable(self):
        """Visible, and it and all its ancestors enabled: a user can reach it."""
        return self.info().usable

    def checked(self):
        """BM_GETCHECK: 1 marked, 0 not; -1 for a window that is no button."""
        return self.info().checked

    def cls(self):
        return self.info().cls

    def exists(self):
        try:
            self._req("info")
            return True
        except DriverError as e:
            if e.reason == "no-window":
                return False
            raise

    def rect(self):
        """The outer rectangle in screen coordinates."""
        return Rect(*map(int, self._req("rect")))

    def client_rect(self):
        """The client area in screen coordinates."""
        return Rect(*map(int, self._req("client")))

    def centre(self):
        r = self.rect()
        return (r.left + r.right) // 2, (r.top + r.bottom) // 2

    def click(self, timeout=5.0):
        """BM_CLICK as a user: refused when disabled, below a disabled window or
        hidden. Returns "done" (the handler returned), "open" (a new window of
        the program came up, e.g. a message box) or "gone"."""
        return self._req("click", _ms(timeout), timeout=timeout)[0]

    def post_click(self):
        self._req("post-click")

    def user_click(self, button="left"):
        """A real mouse click at the window's centre, through the system's
        input: hit-testing, covering windows and modal boxes all apply."""
        self.driver.move(*self.centre())
        self.driver.mouse("click", button)

    def type(self, text, timeout=5.0):
        """Types text as a user, one WM_CHAR per byte (refused like click)."""
        self._req("type", hex_text(text), _ms(timeout), timeout=timeout)

    def set_text(self, text):
        """WM_SETTEXT: not a user action."""
        self._req("settext", hex_text(text))

    def press(self, button_id=1, timeout=5.0):
        """Clicks a button of a dialog (OK is 1) and waits until it is destroyed."""
        self._req("press", int(button_id), _ms(timeout), timeout=timeout)

    def close(self):
        """Posts WM_CLOSE."""
        self._req("close")

    def wait_gone(self, timeout=5.0):
        """Waits until it is destroyed or hidden."""
        self._req("wait-gone", _ms(timeout), timeout=timeout)

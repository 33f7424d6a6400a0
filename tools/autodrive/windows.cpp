// Top-level windows: listing, waiting for them, message boxes, closing.
#include "driver.h"

namespace autodrive {
namespace {

struct TopLevel {
  HWND hwnd;
  bool visible;
  std::string cls;
  std::string title;
};

std::string TitleOf(HWND h) {
  // For a top-level window of another process GetWindowTextA returns the
  // caption the system keeps, without a message to the (possibly busy) owner.
  char buf[1024];
  int n = GetWindowTextA(h, buf, sizeof buf);
  return std::string(buf, n > 0 ? n : 0);
}

DWORD ProcessOf(HWND h) {
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  return pid;
}

struct Collect {
  DWORD pid;
  std::vector<TopLevel> found;
};

BOOL CALLBACK AddTopLevel(HWND h, LPARAM p) {
  auto* c = reinterpret_cast<Collect*>(p);
  if (c->pid && ProcessOf(h) != c->pid) return TRUE;
  c->found.push_back({h, IsWindowVisible(h) != FALSE, ClassOf(h), TitleOf(h)});
  return TRUE;
}

// Top-level windows in z-order, of process `pid` (0: any).
std::vector<TopLevel> TopLevels(DWORD pid) {
  Collect c{pid, {}};
  EnumWindows(AddTopLevel, reinterpret_cast<LPARAM>(&c));
  return c.found;
}

HWND MessageTextOf(HWND box) {
  HWND text = GetDlgItem(box, 0xFFFF);
  return text && ClassOf(text) == "Static" ? text : nullptr;
}

// Polls for the first visible top-level window that `match` accepts; null
// when none came before the deadline.
template <typename F>
HWND WaitTopLevel(long long ms, DWORD pid, F match) {
  HWND found = nullptr;
  Deadline deadline(ms);
  PollUntil(deadline, [&] {
    for (const TopLevel& w : TopLevels(pid)) {
      if (w.visible && match(w)) {
        found = w.hwnd;
        return true;
      }
    }
    return false;
  });
  return found;
}

Reply FoundOrTimeout(HWND h) { return h ? Ok(Hw(h)) : Err("timeout", "no-such-window"); }

}  // namespace

Reply CmdWindows(Args& a) {
  long long pid;
  std::string cls;
  if (!a.Int(&pid)) return a.Bad();
  const bool by_class = a.More();
  if (!a.OptionalText(&cls) || !a.Done()) return a.Bad();
  std::string words;
  for (const TopLevel& w : TopLevels((DWORD)pid)) {
    if (by_class && w.cls != cls) continue;
    if (!words.empty()) words += " ";
    words += Hw(w.hwnd) + ":" + (w.visible ? "1" : "0") + ":" + HexText(w.cls) + ":" + HexText(w.title);
  }
  return Ok(words);
}

Reply CmdWaitWindow(Args& a) {
  std::string title;
  long long ms, pid = 0;
  if (!a.Text(&title) || !a.Int(&ms) || !a.OptionalInt(&pid) || !a.Done()) return a.Bad();
  return FoundOrTimeout(WaitTopLevel(ms, (DWORD)pid, [&](const TopLevel& w) { return w.title == title; }));
}

Reply CmdWaitClass(Args& a) {
  std::string cls;
  long long ms, pid = 0;
  if (!a.Text(&cls) || !a.Int(&ms) || !a.OptionalInt(&pid) || !a.Done()) return a.Bad();
  return FoundOrTimeout(WaitTopLevel(ms, (DWORD)pid, [&](const TopLevel& w) { return w.cls == cls; }));
}

Reply CmdMsgBox(Args& a) {
  long long pid, ms;
  if (!a.Int(&pid) || !a.Int(&ms) || !a.Done()) return a.Bad();
  HWND box = WaitTopLevel(ms, (DWORD)pid, [](const TopLevel& w) { return w.cls == "#32770" && MessageTextOf(w.hwnd); });
  if (!box) return Err("timeout", "no-message-box");
  std::string text;
  if (!ReadText(MessageTextOf(box), &text)) return Err("failed", "no-text-read");
  return Ok(Hw(box) + " " + HexText(TitleOf(box)) + " " + HexText(text));
}

Reply CmdWaitGone(Args& a) {
  HWND h;
  long long ms;
  if (!a.Hwnd(&h) || !a.Int(&ms) || !a.Done()) return a.Bad();
  Deadline deadline(ms);
  if (!PollUntil(deadline, [&] { return !IsWindow(h) || !IsWindowVisible(h); })) return Err("timeout", "still-visible");
  return Ok();
}

Reply CmdForeground(Args& a) {
  if (!a.Done()) return a.Bad();
  return Ok(Hw(GetForegroundWindow()));
}

Reply CmdClose(Args& a) {
  HWND h;
  if (!a.Hwnd(&h) || !a.Done()) return a.Bad();
  if (!IsWindow(h)) return Err("no-window");
  if (!PostMessageA(h, WM_CLOSE, 0, 0)) return Err("failed", "PostMessageA " + Num(GetLastError()));
  return Ok();
}

}  // namespace autodrive

// Acting as a user: clicks, typing, the mouse and the keyboard.
#include <algorithm>
#include <set>

#include "driver.h"

namespace autodrive {
namespace {

// A control the user cannot reach: disabled itself or below a disabled
// window (a group box, a window behind a modal box), or not visible. BM_CLICK
// and WM_CHAR would reach it all the same, so the driver refuses here.
bool Refuse(HWND h, Reply* why) {
  if (!IsWindow(h)) {
    *why = Err("no-window");
    return true;
  }
  if (HWND disabled = DisabledSelfOrAncestor(h)) {
    *why = Err("disabled", Hw(disabled));
    return true;
  }
  if (!IsWindowVisible(h)) {
    *why = Err("hidden");
    return true;
  }
  return false;
}

BOOL CALLBACK AddIfVisible(HWND h, LPARAM found) {
  if (IsWindowVisible(h)) reinterpret_cast<std::set<HWND>*>(found)->insert(h);
  return TRUE;
}

BOOL CALLBACK AddThreadOfVisible(HWND h, LPARAM threads) {
  if (IsWindowVisible(h)) reinterpret_cast<std::set<DWORD>*>(threads)->insert(GetWindowThreadProcessId(h, nullptr));
  return TRUE;
}

// A thread answers a sent message only between its other messages, after it
// has taken in its pending input; one window of each thread is enough.
BOOL CALLBACK PingFirstWindow(HWND h, LPARAM) {
  SendWithTimeout(h, WM_NULL, 0, 0, nullptr, 200);
  return FALSE;
}

// Every thread with a visible window, and the desktop's thread (whose
// windows may all be hidden), takes in the input it has pending.
void DrainPendingInput() {
  std::set<DWORD> threads;
  EnumWindows(AddThreadOfVisible, reinterpret_cast<LPARAM>(&threads));
  for (DWORD tid : threads) EnumThreadWindows(tid, PingFirstWindow, 0);
  SendWithTimeout(GetDesktopWindow(), WM_NULL, 0, 0, nullptr, 200);
}

std::set<HWND> VisibleWindowsOfThread(DWORD tid) {
  std::set<HWND> found;
  EnumThreadWindows(tid, AddIfVisible, reinterpret_cast<LPARAM>(&found));
  return found;
}

// The answer to the latest SendMessageCallback; older clicks' answers, which
// may come in much later (after their message box closed), are ignored.
ULONG_PTR g_click_sent = 0;
ULONG_PTR g_click_answered = 0;

void CALLBACK ClickAnswered(HWND, UINT, ULONG_PTR data, LRESULT) {
  if (data == g_click_sent) g_click_answered = data;
}

INPUT MouseInput(DWORD flags, DWORD data = 0) {
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  in.mi.mouseData = data;
  return in;
}

INPUT KeyInput(WORD vk, bool up) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.wScan = (WORD)MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  return in;
}

Reply Inject(std::vector<INPUT> inputs) {
  const UINT sent = SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT));
  if (sent != inputs.size()) return Err("failed", "SendInput " + Num(GetLastError()));
  return Ok();
}

}  // namespace

Reply CmdClick(Args& a) {
  HWND h;
  long long ms = 5000;
  if (!a.Hwnd(&h) || !a.OptionalInt(&ms) || !a.Done()) return a.Bad();
  Reply why;
  if (Refuse(h, &why)) return why;
  const DWORD tid = GetWindowThreadProcessId(h, nullptr);
  const std::set<HWND> before = VisibleWindowsOfThread(tid);
  const ULONG_PTR mine = ++g_click_sent;
  if (!SendMessageCallbackA(h, BM_CLICK, 0, 0, ClickAnswered, mine))
    return Err("failed", "SendMessageCallbackA " + Num(GetLastError()));
  HWND opened = nullptr;
  Deadline deadline(ms);
  PollUntil(deadline, [&] {
    if (g_click_answered == mine || !IsWindow(h)) return true;
    for (HWND w : VisibleWindowsOfThread(tid))
      if (!before.count(w)) opened = w;
    return opened != nullptr;
  });
  if (g_click_answered == mine) return Ok("done");
  if (!IsWindow(h)) return Ok("gone");
  if (opened) return Ok("open " + Hw(opened));
  return Err("timeout", "handler-running");
}

Reply CmdPostClick(Args& a) {
  HWND h;
  if (!a.Hwnd(&h) || !a.Done()) return a.Bad();
  Reply why;
  if (Refuse(h, &why)) return why;
  if (!PostMessageA(h, BM_CLICK, 0, 0)) return Err("failed", "PostMessageA " + Num(GetLastError()));
  return Ok();
}

Reply CmdType(Args& a) {
  HWND h;
  std::string text;
  long long ms = 5000;
  if (!a.Hwnd(&h) || !a.Text(&text) || !a.OptionalInt(&ms) || !a.Done()) return a.Bad();
  Reply why;
  if (Refuse(h, &why)) return why;
  // Sent, one byte a message: a sent WM_CHAR with a GBK lead byte waits in
  // the control for its trail byte. Posted ones lose Chinese under Wine.
  Deadline deadline(ms);
  for (size_t i = 0; i < text.size(); ++i) {
    const UINT left = std::max<UINT>(1, deadline.Left());
    DWORD_PTR result;
    SetLastError(ERROR_SUCCESS);
    // Wine answers 0 with no error for a lead byte it keeps back until the
    // trail byte comes (Windows answers non-zero); only an error is a failure.
    if (!SendMessageTimeoutA(h, WM_CHAR, (unsigned char)text[i], 1, SMTO_NORMAL, left, &result) &&
        GetLastError() != ERROR_SUCCESS)
      return Err(GetLastError() == ERROR_TIMEOUT ? "timeout" : "failed",
                 "typed-" + Num((long long)i) + " " + Num(GetLastError()));
  }
  return Ok();
}

Reply CmdSetText(Args& a) {
  HWND h;
  std::string text;
  if (!a.Hwnd(&h) || !a.Text(&text) || !a.Done()) return a.Bad();
  if (!IsWindow(h)) return Err("no-window");
  if (!SendWithTimeout(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), nullptr))
    return Err("timeout", "WM_SETTEXT");
  return Ok();
}

Reply CmdPress(Args& a) {
  HWND box;
  long long id, ms = 5000;
  if (!a.Hwnd(&box) || !a.Int(&id) || !a.OptionalInt(&ms) || !a.Done()) return a.Bad();
  if (!IsWindow(box)) return Err("no-window");
  HWND button = GetDlgItem(box, (int)id);
  if (!button) return Err("no-control", Num(id));
  Reply why;
  if (Refuse(button, &why)) return why;
  // Posted: the box's modal loop ends inside the click, and the program's
  // handler that opened the box goes on from there.
  if (!PostMessageA(button, BM_CLICK, 0, 0)) return Err("failed", "PostMessageA " + Num(GetLastError()));
  Deadline deadline(ms);
  // Until it is destroyed, not just hidden: the modal loop has ended then.
  if (!PollUntil(deadline, [&] { return !IsWindow(box); })) return Err("timeout", "box-still-there");
  return Ok();
}

Reply CmdCursor(Args& a) {
  if (!a.Done()) return a.Bad();
  POINT p;
  if (!GetCursorPos(&p)) return Err("failed", "GetCursorPos " + Num(GetLastError()));
  return Ok(Num(p.x) + " " + Num(p.y));
}

Reply CmdMove(Args& a) {
  long long x, y;
  if (!a.Int(&x) || !a.Int(&y) || !a.Done()) return a.Bad();
  // Under Wine the programs' X event queues may still hold pointer motion
  // with an older position, which they would report after the move: let
  // every window thread drain its queue first, and once more after the move;
  // should such an event have put the pointer back, move it again.
  POINT p{};
  for (int attempt = 0; attempt < 3; ++attempt) {
    DrainPendingInput();
    if (!SetCursorPos((int)x, (int)y)) return Err("failed", "SetCursorPos " + Num(GetLastError()));
    DrainPendingInput();
    GetCursorPos(&p);
    if (p.x == x && p.y == y) break;
  }
  return Ok(Num(p.x) + " " + Num(p.y));
}

Reply CmdMouse(Args& a) {
  std::string action, button;
  if (!a.Word(&action) || !a.Word(&button)) return a.Bad();
  long long x = 0, y = 0;
  const bool at = a.More();
  if (at && (!a.Int(&x) || !a.Int(&y))) return a.Bad();
  if (!a.Done()) return a.Bad();
  DWORD down, up;
  if (button == "left") {
    down = MOUSEEVENTF_LEFTDOWN, up = MOUSEEVENTF_LEFTUP;
  } else if (button == "right") {
    down = MOUSEEVENTF_RIGHTDOWN, up = MOUSEEVENTF_RIGHTUP;
  } else if (button == "middle") {
    down = MOUSEEVENTF_MIDDLEDOWN, up = MOUSEEVENTF_MIDDLEUP;
  } else {
    return Err("bad-request", "button");
  }
  if (at && !SetCursorPos((int)x, (int)y)) return Err("failed", "SetCursorPos " + Num(GetLastError()));
  if (action == "down") return Inject({MouseInput(down)});
  if (action == "up") return Inject({MouseInput(up)});
  if (action == "click") return Inject({MouseInput(down), MouseInput(up)});
  return Err("bad-request", "action");
}

Reply CmdWheel(Args& a) {
  long long delta;
  if (!a.Int(&delta) || !a.Done()) return a.Bad();
  return Inject({MouseInput(MOUSEEVENTF_WHEEL, (DWORD)(LONG)delta)});
}

Reply CmdKey(Args& a) {
  long long vk;
  std::string action = "press";
  if (!a.Int(&vk)) return a.Bad();
  if (a.More() && !a.Word(&action)) return a.Bad();
  if (!a.Done()) return a.Bad();
  if (vk <= 0 || vk > 0xFE) return Err("bad-request", "vk");
  if (action == "down") return Inject({KeyInput((WORD)vk, false)});
  if (action == "up") return Inject({KeyInput((WORD)vk, true)});
  if (action == "press") return Inject({KeyInput((WORD)vk, false), KeyInput((WORD)vk, true)});
  return Err("bad-request", "action");
}

}  // namespace autodrive

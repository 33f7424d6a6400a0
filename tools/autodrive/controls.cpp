// Controls: finding them by layout name, reading their state.
#include <algorithm>
#include <cstring>

#include "driver.h"
#include "frame/control_id.h"

namespace autodrive {

bool SendWithTimeout(HWND h, UINT msg, WPARAM w, LPARAM l, DWORD_PTR* result, UINT ms) {
  DWORD_PTR r = 0;
  if (!SendMessageTimeoutA(h, msg, w, l, SMTO_NORMAL, ms, &r)) return false;
  if (result) *result = r;
  return true;
}

bool ReadText(HWND h, std::string* text) {
  DWORD_PTR length = 0;
  if (!h || !SendWithTimeout(h, WM_GETTEXTLENGTH, 0, 0, &length)) return false;
  // WM_GETTEXTLENGTH may count characters of a Unicode control rather than
  // bytes; room for two bytes a character covers every GBK text. The text may
  // also change between the two messages (a clock, say): when it came close
  // to filling the room it may have been cut (a cut GBK text may stop one
  // byte short, before a character that did not fit), so read it again with
  // twice the room.
  std::string buf(length * 2 + 2, '\0');
  for (;;) {
    std::fill(buf.begin(), buf.end(), '\0');
    if (!SendWithTimeout(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(&buf[0]), nullptr)) return false;
    const size_t got = std::strlen(buf.c_str());
    if (got + 2 < buf.size()) {
      text->assign(buf.c_str(), got);
      return true;
    }
    buf.resize(buf.size() * 2);
  }
}

std::string ClassOf(HWND h) {
  char buf[256];
  int n = GetClassNameA(h, buf, sizeof buf);
  return std::string(buf, n > 0 ? n : 0);
}

HWND DisabledSelfOrAncestor(HWND h) {
  const HWND desktop = GetDesktopWindow();
  for (HWND w = h; w && w != desktop; w = GetAncestor(w, GA_PARENT))
    if (!IsWindowEnabled(w)) return w;
  return nullptr;
}

namespace {

BOOL CALLBACK AddDescendant(HWND h, LPARAM found) {
  reinterpret_cast<std::vector<HWND>*>(found)->push_back(h);
  return TRUE;
}

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(parent, AddDescendant, reinterpret_cast<LPARAM>(&found));
  return found;
}

Reply FindById(HWND parent, int id, long long ms) {
  if (!IsWindow(parent)) return Err("no-window");
  std::vector<HWND> matches;
  Deadline deadline(ms);
  PollUntil(deadline, [&] {
    matches.clear();
    for (HWND h : Descendants(parent))
      if (GetDlgCtrlID(h) == id) matches.push_back(h);
    return !matches.empty();
  });
  if (matches.empty()) return Err("no-control", Num(id));
  if (matches.size() > 1) {
    std::string words = Num(id);
    for (HWND h : matches) words.append(" ").append(Hw(h));
    return Err("ambiguous", words);
  }
  return Ok(Hw(matches.front()));
}

// BM_GETCHECK for the button class, -1 for any other.
long long CheckedOf(HWND h) {
  if (CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, ClassOf(h).c_str(), -1, "Button", -1) != CSTR_EQUAL)
    return -1;
  DWORD_PTR state = 0;
  if (!SendWithTimeout(h, BM_GETCHECK, 0, 0, &state)) return -1;
  return (long long)state;
}

std::string RectWords(const RECT& r) {
  return Num(r.left) + " " + Num(r.top) + " " + Num(r.right) + " " + Num(r.bottom);
}

}  // namespace

Reply CmdFind(Args& a) {
  HWND parent;
  std::string name;
  long long ms = 0;
  if (!a.Hwnd(&parent) || !a.Text(&name) || !a.OptionalInt(&ms) || !a.Done()) return a.Bad();
  frame::Kind kind;
  int number;
  if (!frame::ParseControlName(name, &kind, &number)) return Err("bad-name", HexText(name));
  // Timers, dialogs and balloon tip boxes have no window to find.
  if (frame::KindNumber(kind) == 0) return Err("bad-name", HexText(name) + " no-window-kind");
  return FindById(parent, frame::ControlId(name), ms);
}

Reply CmdFindId(Args& a) {
  HWND parent;
  long long id, ms = 0;
  if (!a.Hwnd(&parent) || !a.Int(&id) || !a.OptionalInt(&ms) || !a.Done()) return a.Bad();
  return FindById(parent, (int)id, ms);
}

Reply CmdChildren(Args& a) {
  HWND h;
  if (!a.Hwnd(&h) || !a.Done()) return a.Bad();
  if (!IsWindow(h)) return Err("no-window");
  std::string words;
  for (HWND c : Descendants(h)) {
    std::string text;
    ReadText(c, &text);
    if (!words.empty()) words += " ";
    words += Hw(c) + ":" + Num(GetDlgCtrlID(c)) + ":" + (IsWindowVisible(c) ? "1" : "0") + ":" +
             (IsWindowEnabled(c) ? "1" : "0") + ":" + HexText(ClassOf(c)) + ":" + HexText(text);
  }
  return Ok(words);
}

Reply CmdText(Args& a) {
  HWND h;
  if (!a.Hwnd(&h) || !a.Done()) return a.Bad();
  if (!IsWindow(h)) return Err("no-window");
  std::string text;
  if (!ReadText(h, &text)) return Err("timeout", "WM_GETTEXT");
  return Ok(HexText(text));
}

Reply CmdInfo(Args& a) {
  HWND h;
  if (!a.Hwnd(&h) || !a.Done()) return a.Bad();
  if (!IsWindow(h)) return Err("no-window");
  const LONG style = GetWindowLongA(h, GWL_STYLE);
  const LONG exstyle = GetWindowLongA(h, GWL_EXSTYLE);
  const bool visible = IsWindowVisible(h) != FALSE;
  const bool usable = visible && !DisabledSelfOrAncestor(h);
  HWND parent = GetAncestor(h, GA_PARENT);
  if (parent == GetDesktopWindow()) parent = nullptr;
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  return Ok(Num(GetDlgCtrlID(h)) + " " + HexText(ClassOf(h)) + " " + (visible ? "1" : "0") + " " +
            ((style & WS_VISIBLE) ? "1" : "0") + " " + (IsWindowEnabled(h) ? "1" : "0") + " " + (usable ? "1" : "0") +
            " " + Num(CheckedOf(h)) + " " + Num((unsigned long)style) + " " + Num((unsigned long)exstyle) + " " +
            Hw(parent) + " " + Num(pid));
}

Reply CmdRect(Args& a) {
  HWND h;
  if (!a.Hwnd(&h) || !a.Done()) return a.Bad();
  RECT r;
  if (!IsWindow(h) || !GetWindowRect(h, &r)) return Err("no-window");
  return Ok(RectWords(r));
}

Reply CmdClient(Args& a) {
  HWND h;
  if (!a.Hwnd(&h) || !a.Done()) return a.Bad();
  RECT r;
  if (!IsWindow(h) || !GetClientRect(h, &r)) return Err("no-window");
  POINT origin = {0, 0};
  ClientToScreen(h, &origin);
  OffsetRect(&r, origin.x, origin.y);
  return Ok(RectWords(r));
}

}  // namespace autodrive

// autodrive: drives the programs' windows from outside, as a user would.
//
// A console program. It reads one request per line on standard input and
// writes one reply line on standard output (flushed at once), so a test keeps
// one driver for its whole run and never waits on a fixed sleep: every
// command that waits takes a deadline and polls (about every 10 ms).
//
// Request: words separated by single spaces; the first word is the command.
//   N      a decimal integer, may be negative; window handles and process
//          ids are decimal integers too
//   T      a text: its bytes (GBK) as two lower- or upper-case hex digits
//          each, or "-" for the empty text
//   MS     a deadline, milliseconds from now
// Reply: "ok" followed by the words the command gives, or
//        "err REASON" followed by details; REASON is one word
//        (bad-request, no-window, timeout, disabled, hidden, failed, ...),
//        the details are words of the same kinds as above.
// Words in [ ] may be left out.
//
// Processes
//   start PATH:T DIR:T ARGS:T [ENV:T ...]  -> ok PID
//        CreateProcessA of "PATH" ARGS in DIR ("-": the driver's directory),
//        with the driver's environment plus each ENV "NAME=VALUE"; the
//        child's standard handles are NUL.
//   wait-exit PID MS                       -> ok CODE (signed 32-bit)
//   kill PID                               -> ok ended | ok killed (TerminateProcess)
//   resources PID                          -> ok HANDLES GDI USER PRIVATE_BYTES
//        the process's kernel handles, GDI and USER objects and private memory
// Windows (top level)
//   windows PID [CLASS:T]                  -> ok {HWND:VISIBLE:CLASS:TITLE}...
//        top-level windows in z-order, of the process (0: any), of the class
//   wait-window TITLE:T MS [PID]           -> ok HWND   visible, exact title
//   wait-class CLASS:T MS [PID]            -> ok HWND   visible, of the class
//   msgbox PID MS                          -> ok HWND TITLE:T TEXT:T
//        a visible message box (#32770 with the static 0xFFFF) of the process
//   wait-gone HWND MS                      -> ok        destroyed or hidden
//   foreground                             -> ok HWND (0 when none)
//   close HWND                             -> ok        (posts WM_CLOSE)
// Controls
//   find PARENT NAME:T [MS]                -> ok HWND
//        the descendant of PARENT whose id the layout name gives
//        (kind number x 100 + number); EnumChildWindows, so controls inside
//        group boxes are found; two matches are an error (ambiguous)
//   find-id PARENT ID [MS]                 -> ok HWND
//   children HWND                          -> ok {HWND:ID:VISIBLE:ENABLED:CLASS:TEXT}...
//        all descendants, in EnumChildWindows order
//   text HWND                              -> ok TEXT:T   (WM_GETTEXT)
//   info HWND -> ok ID CLASS:T VISIBLE SHOWN ENABLED USABLE CHECKED STYLE EXSTYLE PARENT PID
//        VISIBLE: IsWindowVisible (it and its ancestors shown); SHOWN: its
//        own WS_VISIBLE; ENABLED: its own setting; USABLE: it and all its
//        ancestors enabled and it visible; CHECKED: BM_GETCHECK for buttons,
//        -1 for other classes; STYLE, EXSTYLE as decimal numbers
//   rect HWND                              -> ok LEFT TOP RIGHT BOTTOM (screen)
//   client HWND                            -> ok LEFT TOP RIGHT BOTTOM (client area, screen)
// Acting as a user
//   click HWND [MS]                        -> ok done | ok open HWND | ok gone
//        refuses (err disabled HWND / err hidden) when the control or an
//        ancestor is disabled or it is not visible, since BM_CLICK would
//        reach it anyway; then sends BM_CLICK without blocking and waits for
//        the handler to return (done), for a new window of the program's
//        thread such as a message box (open: the handler may still be in its
//        modal loop), or for the control to be destroyed (gone)
//   post-click HWND                        -> ok   same checks, posts BM_CLICK
//   type HWND TEXT:T [MS]                  -> ok   same checks, one sent
//        WM_CHAR per byte (a GBK character as lead byte, then trail byte)
//   settext HWND TEXT:T                    -> ok   WM_SETTEXT (not a user action)
//   press BOX ID [MS]                      -> ok   clicks the box's button ID
//        (OK is 1) and waits until the box is destroyed
//   cursor                                 -> ok X Y
//   move X Y                               -> ok X Y    (SetCursorPos)
//   mouse down|up|click left|right|middle [X Y] -> ok   (SendInput, global)
//   wheel DELTA                            -> ok        (120 is one notch away from the user)
//   key VK [down|up|press]                 -> ok        (SendInput, global)
// Screen and clipboard
//   screenshot PATH:T                      -> ok WIDTH HEIGHT   (24-bit BMP)
//   clipboard [MS]                         -> ok TEXT:T | err no-text
//   setclip TEXT:T [MS]                    -> ok
// Other
//   ping                                   -> ok autodrive 1 ACP
//   quit                                   -> ok, then the driver ends
//
// "autodrive.exe hold" reads no requests: it makes sure the desktop exists,
// writes "ready" and waits until it is killed. The bench keeps one running for
// the whole run, since Wine closes a desktop that no process uses, and the
// next program then waits seconds for it to come back.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "driver.h"

namespace autodrive {
namespace {

struct Entry {
  const char* name;
  Command run;
};

Reply CmdPing(Args& a) {
  if (!a.Done()) return a.Bad();
  return Ok("autodrive 1 " + Num(GetACP()));
}

constexpr Entry kCommands[] = {
    {"ping", CmdPing},
    {"start", CmdStart},
    {"wait-exit", CmdWaitExit},
    {"kill", CmdKill},
    {"resources", CmdResources},
    {"windows", CmdWindows},
    {"wait-window", CmdWaitWindow},
    {"wait-class", CmdWaitClass},
    {"msgbox", CmdMsgBox},
    {"wait-gone", CmdWaitGone},
    {"foreground", CmdForeground},
    {"close", CmdClose},
    {"find", CmdFind},
    {"find-id", CmdFindId},
    {"children", CmdChildren},
    {"text", CmdText},
    {"info", CmdInfo},
    {"rect", CmdRect},
    {"client", CmdClient},
    {"click", CmdClick},
    {"post-click", CmdPostClick},
    {"type", CmdType},
    {"settext", CmdSetText},
    {"press", CmdPress},
    {"cursor", CmdCursor},
    {"move", CmdMove},
    {"mouse", CmdMouse},
    {"wheel", CmdWheel},
    {"key", CmdKey},
    {"screenshot", CmdScreenshot},
    {"clipboard", CmdClipboard},
    {"setclip", CmdSetClip},
};

std::vector<std::string> SplitWords(const std::string& line) {
  std::vector<std::string> words;
  size_t i = 0;
  while (i < line.size()) {
    size_t j = line.find(' ', i);
    if (j == std::string::npos) j = line.size();
    if (j > i) words.push_back(line.substr(i, j - i));
    i = j + 1;
  }
  return words;
}

Reply Run(const std::string& line) {
  std::vector<std::string> words = SplitWords(line);
  if (words.empty()) return Err("bad-request", "empty");
  const std::string name = words.front();
  words.erase(words.begin());
  for (const Entry& e : kCommands) {
    if (name == e.name) {
      Args args(std::move(words));
      return e.run(args);
    }
  }
  return Err("bad-request", "unknown-command");
}

bool ReadLine(std::string* line) {
  line->clear();
  int c;
  while ((c = std::fgetc(stdin)) != EOF) {
    if (c == '\n') break;
    if (c != '\r') line->push_back((char)c);
  }
  return c != EOF || !line->empty();
}

}  // namespace

// --- shared pieces -------------------------------------------------------

Reply Ok(const std::string& words) { return {words.empty() ? "ok" : "ok " + words}; }
Reply Err(const std::string& reason, const std::string& detail) {
  return {detail.empty() ? "err " + reason : "err " + reason + " " + detail};
}

std::string Num(long long n) { return std::to_string(n); }
std::string Hw(HWND h) { return std::to_string((unsigned long long)(UINT_PTR)h); }

std::string HexText(std::string_view bytes) {
  if (bytes.empty()) return "-";
  static const char kDigits[] = "0123456789abcdef";
  std::string out;
  out.reserve(bytes.size() * 2);
  for (unsigned char b : bytes) {
    out.push_back(kDigits[b >> 4]);
    out.push_back(kDigits[b & 15]);
  }
  return out;
}

const std::string* Args::Take() {
  if (next_ >= words_.size()) {
    if (error_.empty()) error_ = "missing-word-" + Num((long long)next_ + 1);
    return nullptr;
  }
  return &words_[next_++];
}

bool Args::Int(long long* out) {
  const std::string* w = Take();
  if (!w) return false;
  char* end = nullptr;
  long long v = std::strtoll(w->c_str(), &end, 10);
  if (w->empty() || *end != '\0') {
    if (error_.empty()) error_ = "not-a-number-" + Num((long long)next_);
    return false;
  }
  *out = v;
  return true;
}

bool Args::Hwnd(HWND* out) {
  long long v;
  if (!Int(&v)) return false;
  *out = (HWND)(UINT_PTR)v;
  return true;
}

bool Args::Text(std::string* out) {
  const std::string* w = Take();
  if (!w) return false;
  out->clear();
  if (*w == "-") return true;
  auto digit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  if (w->size() % 2 != 0) {
    if (error_.empty()) error_ = "odd-hex-" + Num((long long)next_);
    return false;
  }
  for (size_t i = 0; i < w->size(); i += 2) {
    int hi = digit((*w)[i]), lo = digit((*w)[i + 1]);
    if (hi < 0 || lo < 0) {
      if (error_.empty()) error_ = "not-hex-" + Num((long long)next_);
      return false;
    }
    out->push_back((char)(hi * 16 + lo));
  }
  return true;
}

bool Args::Word(std::string* out) {
  const std::string* w = Take();
  if (!w) return false;
  *out = *w;
  return true;
}

bool Args::OptionalInt(long long* out) { return !More() || Int(out); }
bool Args::OptionalText(std::string* out) { return !More() || Text(out); }

bool Args::Done() {
  if (More()) {
    if (error_.empty()) error_ = "extra-word-" + Num((long long)next_ + 1);
    return false;
  }
  return true;
}

Reply Args::Bad() const { return Err("bad-request", error_.empty() ? "malformed" : error_); }

void PollPause(const Deadline& deadline) {
  DWORD wait = deadline.Left();
  if (wait > 10) wait = 10;
  MsgWaitForMultipleObjects(0, nullptr, FALSE, wait, QS_ALLINPUT);
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

}  // namespace autodrive

int main(int argc, char** argv) {
  // Binary streams: replies end in "\n" only, and no byte of a request is
  // translated on the way in.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  // The programs we start must not inherit our pipes: a program that outlives
  // the driver would otherwise keep the test's end of them open.
  SetHandleInformation(GetStdHandle(STD_INPUT_HANDLE), HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(GetStdHandle(STD_OUTPUT_HANDLE), HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(GetStdHandle(STD_ERROR_HANDLE), HANDLE_FLAG_INHERIT, 0);
  // Give this thread a message queue before the first SendMessageCallback.
  MSG msg;
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);

  if (argc == 2 && std::strcmp(argv[1], "hold") == 0) {
    GetDesktopWindow();
    std::fputs("ready\n", stdout);
    std::fflush(stdout);
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
  }

  std::string line;
  while (autodrive::ReadLine(&line)) {
    const bool quit = line == "quit";
    const autodrive::Reply reply = quit ? autodrive::Ok() : autodrive::Run(line);
    std::fputs(reply.line.c_str(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    if (quit) break;
  }
  return 0;
}

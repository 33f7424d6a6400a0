// Shared pieces of the automation driver: request words, replies, deadlines.
#pragma once
#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace autodrive {

// A reply line without its end of line: "ok ..." or "err REASON ...".
struct Reply {
  std::string line;
};
Reply Ok(const std::string& words = "");
Reply Err(const std::string& reason, const std::string& detail = "");

// Word builders for replies.
std::string Num(long long n);
std::string Hw(HWND h);
std::string HexText(std::string_view bytes);  // "-" for the empty text

// The words of one request after the command word, read left to right.
// Each getter returns false (and leaves a reason in error) when the word is
// missing or malformed; Optional* getters keep the default when it is absent.
class Args {
 public:
  explicit Args(std::vector<std::string> words) : words_(std::move(words)) {}
  bool Int(long long* out);
  bool Hwnd(HWND* out);
  bool Text(std::string* out);
  bool Word(std::string* out);
  bool OptionalInt(long long* out);
  bool OptionalText(std::string* out);
  bool More() const { return next_ < words_.size(); }
  // A reply for the first getter that failed, or for words left over.
  Reply Bad() const;
  bool Done();  // false when words are left over

 private:
  const std::string* Take();
  std::vector<std::string> words_;
  size_t next_ = 0;
  std::string error_;
};

// A point in time some milliseconds from now.
class Deadline {
 public:
  explicit Deadline(long long ms) : start_(GetTickCount()), ms_(ms < 0 ? 0 : (DWORD)ms) {}
  bool Passed() const { return GetTickCount() - start_ >= ms_; }
  DWORD Left() const {
    DWORD used = GetTickCount() - start_;
    return used >= ms_ ? 0 : ms_ - used;
  }

 private:
  DWORD start_;
  DWORD ms_;
};

// Waits one poll interval (or less, near the deadline) while dispatching this
// thread's messages, so that SendMessageCallback replies arrive.
void PollPause(const Deadline& deadline);

// Polls `ready` until it is true or the deadline has passed; true if ready.
template <typename F>
bool PollUntil(const Deadline& deadline, F ready) {
  for (;;) {
    if (ready()) return true;
    if (deadline.Passed()) return false;
    PollPause(deadline);
  }
}

// How long a message sent to another process may take before the driver
// gives up on it, so that a hung program never hangs the driver.
constexpr UINT kSendTimeoutMs = 5000;

// Cross-process helpers.
bool SendWithTimeout(HWND h, UINT msg, WPARAM w, LPARAM l, DWORD_PTR* result, UINT ms = kSendTimeoutMs);
bool ReadText(HWND h, std::string* text);  // WM_GETTEXT, works across processes
std::string ClassOf(HWND h);
// The first window on the way from h up to its top-level window that is
// disabled, or null when h and all its ancestors are enabled.
HWND DisabledSelfOrAncestor(HWND h);

using Command = Reply (*)(Args&);

// Commands, one function each (see the protocol at the top of autodrive.cpp).
Reply CmdStart(Args&);
Reply CmdWaitExit(Args&);
Reply CmdKill(Args&);
Reply CmdResources(Args&);

Reply CmdWindows(Args&);
Reply CmdWaitWindow(Args&);
Reply CmdWaitClass(Args&);
Reply CmdFind(Args&);
Reply CmdFindId(Args&);
Reply CmdChildren(Args&);
Reply CmdText(Args&);
Reply CmdInfo(Args&);
Reply CmdRect(Args&);
Reply CmdClient(Args&);
Reply CmdWaitGone(Args&);
Reply CmdForeground(Args&);
Reply CmdClose(Args&);
Reply CmdMsgBox(Args&);

Reply CmdClick(Args&);
Reply CmdPostClick(Args&);
Reply CmdType(Args&);
Reply CmdSetText(Args&);
Reply CmdPress(Args&);
Reply CmdCursor(Args&);
Reply CmdMove(Args&);
Reply CmdMouse(Args&);
Reply CmdWheel(Args&);
Reply CmdKey(Args&);

Reply CmdScreenshot(Args&);
Reply CmdClipboard(Args&);
Reply CmdSetClip(Args&);

}  // namespace autodrive

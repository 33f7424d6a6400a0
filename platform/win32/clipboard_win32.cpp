#include "platform/win32/clipboard_win32.h"

#include <windows.h>

#include <cstring>

#include "platform/win32/handles.h"

namespace win32 {
namespace {

// Another program that reads or writes the clipboard holds it open for
// milliseconds; this long is enough to outwait it without freezing the window
// for long.
constexpr DWORD kOpenWaitMs = 500;
constexpr DWORD kRetryMs = 10;

// The clipboard opened by this thread with no owner window, closed when the
// scope ends.
class OpenClipboardScope {
 public:
  OpenClipboardScope() {
    const DWORD start = GetTickCount();
    while (!(open_ = OpenClipboard(nullptr) != FALSE) && GetTickCount() - start < kOpenWaitMs) Sleep(kRetryMs);
  }
  ~OpenClipboardScope() {
    if (open_) CloseClipboard();
  }
  OpenClipboardScope(const OpenClipboardScope&) = delete;
  OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
  bool open() const { return open_; }

 private:
  bool open_ = false;
};

class Clipboard : public platform::Clipboard {
 public:
  bool PutText(const frame::Text& text) override {
    // The item is made first, so that the clipboard is emptied only when
    // there is something to put in its place.
    GlobalMemory item(GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
    if (!item) return false;
    void* bytes = GlobalLock(item.get());
    if (!bytes) return false;
    std::memcpy(bytes, text.c_str(), text.size() + 1);
    GlobalUnlock(item.get());

    OpenClipboardScope clipboard;
    if (!clipboard.open() || !EmptyClipboard()) return false;
    if (!SetClipboardData(CF_TEXT, item.get())) return false;
    item.release();  // the system owns it now
    return true;
  }
};

}  // namespace

std::unique_ptr<platform::Clipboard> MakeClipboard() { return std::make_unique<Clipboard>(); }

}  // namespace win32

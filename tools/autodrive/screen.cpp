// The whole screen as a BMP file, and the clipboard's plain text.
#include <cstring>

#include "driver.h"
#include "platform/win32/handles.h"

namespace autodrive {
namespace {

using win32::GdiObject;
using win32::MemoryDc;
using win32::ScreenDc;

bool WriteAll(HANDLE file, const void* data, DWORD size) {
  DWORD written = 0;
  return WriteFile(file, data, size, &written, nullptr) && written == size;
}

// Keeps the clipboard open; another process may hold it for a moment, so
// opening is retried until the deadline.
class OpenClipboardScope {
 public:
  explicit OpenClipboardScope(const Deadline& deadline) {
    open_ = PollUntil(deadline, [] { return OpenClipboard(nullptr) != FALSE; });
  }
  ~OpenClipboardScope() {
    if (open_) CloseClipboard();
  }
  OpenClipboardScope(const OpenClipboardScope&) = delete;
  OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
  bool open() const { return open_; }

 private:
  bool open_;
};

}  // namespace

Reply CmdScreenshot(Args& a) {
  std::string path;
  if (!a.Text(&path) || !a.Done()) return a.Bad();
  const int w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  ScreenDc screen(GetDC(nullptr));
  MemoryDc memory(CreateCompatibleDC(screen.get()));
  if (!screen.get() || !memory.get() || w <= 0 || h <= 0) return Err("failed", "no-screen-dc");

  BITMAPINFOHEADER header = {};
  header.biSize = sizeof(header);
  header.biWidth = w;
  header.biHeight = h;  // bottom-up, as a BMP file stores it
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  void* bits = nullptr;
  GdiObject bitmap(CreateDIBSection(screen.get(), reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap.get() || !bits) return Err("failed", "CreateDIBSection");
  HGDIOBJ old = SelectObject(memory.get(), bitmap.get());
  const BOOL copied = BitBlt(memory.get(), 0, 0, w, h, screen.get(), 0, 0, SRCCOPY | CAPTUREBLT);
  GdiFlush();
  SelectObject(memory.get(), old);
  if (!copied) return Err("failed", "BitBlt " + Num(GetLastError()));

  const DWORD stride = ((DWORD)w * 3 + 3) & ~3u;
  const DWORD image = stride * (DWORD)h;
  BITMAPFILEHEADER file_header = {};
  file_header.bfType = 0x4D42;  // "BM"
  file_header.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file_header.bfSize = file_header.bfOffBits + image;
  header.biSizeImage = image;
  win32::File out(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out) return Err("failed", "CreateFileA " + Num(GetLastError()));
  if (!WriteAll(out.get(), &file_header, sizeof file_header) || !WriteAll(out.get(), &header, sizeof header) ||
      !WriteAll(out.get(), bits, image))
    return Err("failed", "WriteFile " + Num(GetLastError()));
  return Ok(Num(w) + " " + Num(h));
}

Reply CmdClipboard(Args& a) {
  long long ms = 2000;
  if (!a.OptionalInt(&ms) || !a.Done()) return a.Bad();
  Deadline deadline(ms);
  OpenClipboardScope clipboard(deadline);
  if (!clipboard.open()) return Err("timeout", "OpenClipboard");
  HANDLE data = GetClipboardData(CF_TEXT);
  if (!data) return Err("no-text");
  const char* p = static_cast<const char*>(GlobalLock(data));
  if (!p) return Err("failed", "GlobalLock");
  // The text ends at its zero, or at the end of the block if it has none.
  const size_t size = GlobalSize(data);
  const void* zero = std::memchr(p, 0, size);
  const std::string text(p, zero ? static_cast<const char*>(zero) - p : size);
  GlobalUnlock(data);
  return Ok(HexText(text));
}

Reply CmdSetClip(Args& a) {
  std::string text;
  long long ms = 2000;
  if (!a.Text(&text) || !a.OptionalInt(&ms) || !a.Done()) return a.Bad();
  Deadline deadline(ms);
  OpenClipboardScope clipboard(deadline);
  if (!clipboard.open()) return Err("timeout", "OpenClipboard");
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
  if (!block) return Err("failed", "GlobalAlloc");
  char* p = static_cast<char*>(GlobalLock(block));
  std::memcpy(p, text.c_str(), text.size() + 1);
  GlobalUnlock(block);
  EmptyClipboard();
  // On success the clipboard owns the block; on failure it is still ours.
  if (!SetClipboardData(CF_TEXT, block)) {
    GlobalFree(block);
    return Err("failed", "SetClipboardData " + Num(GetLastError()));
  }
  return Ok();
}

}  // namespace autodrive

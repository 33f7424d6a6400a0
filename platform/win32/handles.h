// Owners of Win32 handles: each frees only what it created, and none can be copied.
#pragma once
#include <windows.h>

#include <utility>

namespace win32 {

template <typename H, typename Traits>
class Owned {
 public:
  Owned() = default;
  explicit Owned(H h) : h_(h) {}
  ~Owned() { reset(); }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& o) noexcept : h_(std::exchange(o.h_, Traits::Null())) {}
  Owned& operator=(Owned&& o) noexcept {
    if (this != &o) {
      reset();
      h_ = std::exchange(o.h_, Traits::Null());
    }
    return *this;
  }
  void reset(H h = Traits::Null()) {
    if (h_ != Traits::Null()) Traits::Free(h_);
    h_ = h;
  }
  H get() const { return h_; }
  explicit operator bool() const { return h_ != Traits::Null(); }

 private:
  H h_ = Traits::Null();
};

struct GdiTraits {
  static HGDIOBJ Null() { return nullptr; }
  static void Free(HGDIOBJ h) { DeleteObject(h); }
};
struct IconTraits {
  static HICON Null() { return nullptr; }
  static void Free(HICON h) { DestroyIcon(h); }
};
struct HandleTraits {
  static HANDLE Null() { return nullptr; }
  static void Free(HANDLE h) { CloseHandle(h); }
};

// CreateFile reports failure as INVALID_HANDLE_VALUE, not null.
struct FileTraits {
  static HANDLE Null() { return INVALID_HANDLE_VALUE; }
  static void Free(HANDLE h) { CloseHandle(h); }
};

struct MemoryDcTraits {
  static HDC Null() { return nullptr; }
  static void Free(HDC h) { DeleteDC(h); }
};
// The screen's device context, from GetDC(nullptr).
struct ScreenDcTraits {
  static HDC Null() { return nullptr; }
  static void Free(HDC h) { ReleaseDC(nullptr, h); }
};

struct LibraryTraits {
  static HMODULE Null() { return nullptr; }
  static void Free(HMODULE h) { FreeLibrary(h); }
};

using GdiObject = Owned<HGDIOBJ, GdiTraits>;
using Icon = Owned<HICON, IconTraits>;
using Handle = Owned<HANDLE, HandleTraits>;
using File = Owned<HANDLE, FileTraits>;
using MemoryDc = Owned<HDC, MemoryDcTraits>;
using ScreenDc = Owned<HDC, ScreenDcTraits>;
using LibraryHandle = Owned<HMODULE, LibraryTraits>;

}  // namespace win32

// Owners of Win32 handles: each frees only what it created, and none can be copied.
#pragma once
#include <windows.h>
#include <oleauto.h>

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
  // Gives up ownership, as when the system takes the handle over.
  H release() { return std::exchange(h_, Traits::Null()); }
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

// Memory from GlobalAlloc, such as a clipboard item before the system takes it.
struct GlobalTraits {
  static HGLOBAL Null() { return nullptr; }
  static void Free(HGLOBAL h) { GlobalFree(h); }
};

struct BstrTraits {
  static BSTR Null() { return nullptr; }
  static void Free(BSTR s) { SysFreeString(s); }
};

// A COM interface pointer: one reference, released once.
template <typename T>
struct ComTraits {
  static T* Null() { return nullptr; }
  static void Free(T* p) { p->Release(); }
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
using GlobalMemory = Owned<HGLOBAL, GlobalTraits>;
using Bstr = Owned<BSTR, BstrTraits>;
template <typename T>
using Com = Owned<T*, ComTraits<T>>;
using MemoryDc = Owned<HDC, MemoryDcTraits>;
using ScreenDc = Owned<HDC, ScreenDcTraits>;
using LibraryHandle = Owned<HMODULE, LibraryTraits>;

}  // namespace win32

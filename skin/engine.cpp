// The engine's entry points: reading a skin, and reaching every window of
// the calling thread, those that exist and those created later.
#include <windows.h>

#include "skin/SkinH_EL.h"
#include "skin/engine.h"

namespace skin {
namespace {

constexpr wchar_t kFlagsProp[] = L"ZvSkinFlags";
// Each kind keeps the procedure behind ours in a property of its own.
constexpr const wchar_t* kProcProps[] = {L"ZvSkinTopLevel", L"ZvSkinButton"};
constexpr WNDPROC kProcs[] = {TopLevelProc, ButtonProc};

Engine g;

void Attach(HWND h, DWORD style) {
  if (style & WS_CHILD) {
    if (IsClass(h, L"Button")) Subclass(h, kButton);
  } else if ((style & WS_CAPTION) == WS_CAPTION || IsClass(h, L"#32770")) {
    Subclass(h, kTopLevel);
  }
}

void AttachExisting(HWND h) { Attach(h, static_cast<DWORD>(GetWindowLongW(h, GWL_STYLE))); }

BOOL CALLBACK AttachChild(HWND h, LPARAM) {
  AttachExisting(h);
  return TRUE;
}

BOOL CALLBACK AttachTop(HWND h, LPARAM) {
  AttachExisting(h);
  EnumChildWindows(h, AttachChild, 0);  // reaches the children of group boxes too
  RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  return TRUE;
}

BOOL CALLBACK RedrawTop(HWND h, LPARAM) {
  RedrawWindow(h, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
  return TRUE;
}

BOOL CALLBACK DetachChild(HWND h, LPARAM) {
  Unsubclass(h, kButton);
  ClearFlags(h);
  return TRUE;
}

BOOL CALLBACK DetachTop(HWND h, LPARAM) {
  Unsubclass(h, kTopLevel);
  ClearFlags(h);
  EnumChildWindows(h, DetachChild, 0);
  return TRUE;
}

LRESULT CALLBACK CreationHook(int code, WPARAM w, LPARAM l) {
  if (code == HCBT_CREATEWND && g.active) {
    const CREATESTRUCTW* cs = reinterpret_cast<CBT_CREATEWNDW*>(l)->lpcs;
    Attach(reinterpret_cast<HWND>(w), static_cast<DWORD>(cs->style));
  }
  return CallNextHookEx(nullptr, code, w, l);
}

}  // namespace

Engine& State() { return g; }

bool IsClass(HWND h, const wchar_t* name) {
  wchar_t cls[64];
  return GetClassNameW(h, cls, 64) > 0 && lstrcmpiW(cls, name) == 0;
}

// Not SetWindowSubclass: it puts a Unicode procedure in front, which makes
// an ANSI window a Unicode one for everybody who asks and changes how its
// messages are translated. Ours goes in with the window's own character set.
void Subclass(HWND h, Kind kind) {
  if (GetPropW(h, kProcProps[kind])) return;
  const auto ours = reinterpret_cast<LONG_PTR>(kProcs[kind]);
  const LONG_PTR old = IsWindowUnicode(h) ? SetWindowLongPtrW(h, GWLP_WNDPROC, ours)
                                          : SetWindowLongPtrA(h, GWLP_WNDPROC, ours);
  if (old) SetPropW(h, kProcProps[kind], reinterpret_cast<HANDLE>(old));
}

void Unsubclass(HWND h, Kind kind) {
  const auto old = reinterpret_cast<LONG_PTR>(GetPropW(h, kProcProps[kind]));
  if (!old) return;
  const bool wide = IsWindowUnicode(h);
  const LONG_PTR current = wide ? GetWindowLongPtrW(h, GWLP_WNDPROC) : GetWindowLongPtrA(h, GWLP_WNDPROC);
  if (current != reinterpret_cast<LONG_PTR>(kProcs[kind])) return;  // another one sits in front: stay
  wide ? SetWindowLongPtrW(h, GWLP_WNDPROC, old) : SetWindowLongPtrA(h, GWLP_WNDPROC, old);
  RemovePropW(h, kProcProps[kind]);
}

LRESULT Next(HWND h, Kind kind, UINT msg, WPARAM w, LPARAM l) {
  const auto old = reinterpret_cast<WNDPROC>(GetPropW(h, kProcProps[kind]));
  if (IsWindowUnicode(h)) return old ? CallWindowProcW(old, h, msg, w, l) : DefWindowProcW(h, msg, w, l);
  return old ? CallWindowProcA(old, h, msg, w, l) : DefWindowProcA(h, msg, w, l);
}

LRESULT Leave(HWND h, Kind kind, WPARAM w, LPARAM l) {
  const LRESULT r = Next(h, kind, WM_NCDESTROY, w, l);
  Unsubclass(h, kind);
  ClearFlags(h);
  return r;
}

int GetFlags(HWND h) { return static_cast<int>(reinterpret_cast<INT_PTR>(GetPropW(h, kFlagsProp))); }
void SetFlags(HWND h, int flags) { SetPropW(h, kFlagsProp, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(flags))); }
void ClearFlags(HWND h) { RemovePropW(h, kFlagsProp); }

}  // namespace skin

using namespace skin;

extern "C" int __stdcall SkinH_AttachRes(const void* image, int length, const char* name, int reserved1,
                                         int reserved2, int reserved3) {
  if (!image || length <= 0 || reserved1 || reserved2 || reserved3) return 0;
  Skin s;
  if (ReadSkin(image, static_cast<size_t>(length), s) != ReadResult::Ok) return 0;
  if (name && *name && lstrcmpA(name, s.name) != 0) return 0;
  win32::GdiObject back(CreateSolidBrush(s.colours[kWindowBack]));
  if (!back) return 0;
  g.skin = s;
  g.back = std::move(back);
  g.active = true;
  if (!g.hook) {
    g.thread = GetCurrentThreadId();
    g.hook = SetWindowsHookExW(WH_CBT, CreationHook, nullptr, g.thread);
  }
  EnumThreadWindows(g.thread, AttachTop, 0);
  return 1;
}

extern "C" int __stdcall SkinH_SetAero(int on) {
  g.aero = on != 0;
  if (g.active) EnumThreadWindows(g.thread, RedrawTop, 0);
  return 1;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID reserved) {
  // Released while the program goes on: leave its windows as they were.
  // At process end nothing needs undoing.
  if (reason == DLL_PROCESS_DETACH && !reserved && g.hook) {
    UnhookWindowsHookEx(g.hook);
    g.hook = nullptr;
    g.active = false;
    EnumThreadWindows(g.thread, DetachTop, 0);
  }
  return TRUE;
}

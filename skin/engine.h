// The engine's state and the pieces its files share.
#pragma once
#include <windows.h>

#include "platform/win32/handles.h"
#include "skin/skin_format.h"

namespace skin {

struct Engine {
  Skin skin{};
  bool active = false;  // a skin has been attached
  bool aero = false;
  HHOOK hook = nullptr;  // creation hook on the skinned thread
  DWORD thread = 0;
  win32::GdiObject back;  // the window background brush
};

Engine& State();
inline COLORREF Col(Colour c) { return State().skin.colours[c]; }
inline HBRUSH BackBrush() { return static_cast<HBRUSH>(State().back.get()); }

// Subclass procedures, one id each.
enum : UINT_PTR { kTopLevelId = 0x5A56, kButtonId, kEditId };
LRESULT CALLBACK TopLevelProc(HWND h, UINT msg, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR data);
LRESULT CALLBACK ButtonProc(HWND h, UINT msg, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR data);
LRESULT CALLBACK EditProc(HWND h, UINT msg, WPARAM w, LPARAM l, UINT_PTR id, DWORD_PTR data);

// True for a class name, compared without case.
bool IsClass(HWND h, const wchar_t* name);

// Per-window state kept in a window property, zero when unset.
int GetFlags(HWND h);
void SetFlags(HWND h, int flags);
void ClearFlags(HWND h);

}  // namespace skin

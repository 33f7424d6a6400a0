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

// Our window procedures, one for each kind of window we draw.
enum Kind { kTopLevel, kButton };
LRESULT CALLBACK TopLevelProc(HWND h, UINT msg, WPARAM w, LPARAM l);
LRESULT CALLBACK ButtonProc(HWND h, UINT msg, WPARAM w, LPARAM l);

// Edit boxes keep their own window procedure and their own border: with
// one of ours in front of theirs (SetWindowSubclass's or our ANSI one), a
// Chinese character typed as its two GBK bytes in WM_CHAR arrived as "??"
// under Wine, and with a WH_CALLWNDPROCRET hook to draw after them, the
// program went on reading an old pointer position after a move. Their
// parent draws a ring in the skin's colour just outside them instead.
void DrawEditRings(HWND parent, HDC dc);

// Puts our procedure of that kind in front of the window's own, once.
void Subclass(HWND h, Kind kind);
// Takes it out again where it is still in front.
void Unsubclass(HWND h, Kind kind);
// Hands a message to the procedure behind ours.
LRESULT Next(HWND h, Kind kind, UINT msg, WPARAM w, LPARAM l);
// WM_NCDESTROY: the procedure behind ours runs, then ours leaves.
LRESULT Leave(HWND h, Kind kind, WPARAM w, LPARAM l);

// True for a class name, compared without case.
bool IsClass(HWND h, const wchar_t* name);

// Per-window state kept in a window property, zero when unset.
int GetFlags(HWND h);
void SetFlags(HWND h, int flags);
void ClearFlags(HWND h);

}  // namespace skin

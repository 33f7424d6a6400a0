// Top-level windows and dialogs: the caption bar, the frame and the caption
// buttons drawn by the engine, the window background, and the colours the
// window hands its controls.
#include "skin/draw.h"
#include "skin/engine.h"

namespace skin {
namespace {

// Flags: the caption button under the mouse, the one held down, whether the
// mouse is still on it, and whether the caption looks active.
int HotOf(int f) { return f & 0xFF; }
int PressedOf(int f) { return (f >> 8) & 0xFF; }
bool PressInside(int f) { return (f >> 16) & 1; }
bool ActiveOf(int f) { return !((f >> 17) & 1); }
int Pack(int hot, int pressed, bool inside, bool active) {
  return hot | pressed << 8 | (inside ? 1 << 16 : 0) | (active ? 0 : 1 << 17);
}

bool Skinned(HWND h) {
  const LONG style = GetWindowLongW(h, GWL_STYLE);
  return (style & WS_CAPTION) == WS_CAPTION && !(style & (WS_HSCROLL | WS_VSCROLL)) && !GetMenu(h);
}

bool IsCaptionButton(int hit) { return hit == HTCLOSE || hit == HTMINBUTTON || hit == HTMAXBUTTON; }

// Drawn only where the window has the button; a window with a minimise box
// alone still gets a disabled maximise box from the system, which we leave out.
bool Shown(HWND h, int hit) {
  const LONG style = GetWindowLongW(h, GWL_STYLE);
  if (hit == HTMINBUTTON) return style & WS_MINIMIZEBOX;
  if (hit == HTMAXBUTTON) return style & WS_MAXIMIZEBOX;
  return hit == HTCLOSE;
}

struct Geometry {
  int w, h;
  RECT client;   // in window coordinates
  RECT caption;  // in window coordinates
  struct Span {
    int hit, left, right;
  } spans[3];
  int count = 0;
};

// The caption buttons lie exactly where the system's hit test puts them: we
// ask it along the middle of the caption.
Geometry Measure(HWND h) {
  Geometry g{};
  RECT wr;
  GetWindowRect(h, &wr);
  g.w = wr.right - wr.left;
  g.h = wr.bottom - wr.top;
  GetClientRect(h, &g.client);
  MapWindowPoints(h, nullptr, reinterpret_cast<POINT*>(&g.client), 2);
  OffsetRect(&g.client, -wr.left, -wr.top);
  const int border = g.client.left;
  if (IsIconic(h)) g.client = RECT{border, g.h - border, g.w - border, g.h - border};
  g.caption = RECT{border, border, g.w - border, g.client.top};
  const int y = wr.top + (g.caption.top + g.caption.bottom) / 2;
  int last = HTNOWHERE;
  for (int x = g.caption.right - 1; x >= g.caption.left; --x) {
    const int hit = static_cast<int>(DefWindowProcW(h, WM_NCHITTEST, 0, MAKELPARAM(wr.left + x, y)));
    if (IsCaptionButton(hit)) {
      if (hit != last) {
        if (g.count == 3) break;
        g.spans[g.count++] = {hit, x, x + 1};
      }
      g.spans[g.count - 1].left = x;
    }
    last = hit;
  }
  return g;
}

void DrawGlyph(HDC dc, const RECT& r, int hit, COLORREF c) {
  const int cx = (r.left + r.right) / 2, cy = (r.top + r.bottom) / 2, s = 3;
  if (hit == HTCLOSE) {
    Line(dc, cx - s, cy - s, cx + s + 1, cy + s + 1, c, 2);
    Line(dc, cx + s, cy - s, cx - s - 1, cy + s + 1, c, 2);
  } else if (hit == HTMINBUTTON) {
    Fill(dc, RECT{cx - s - 1, cy + s - 1, cx + s + 2, cy + s + 1}, c);
  } else {
    Outline(dc, RECT{cx - s - 1, cy - s - 1, cx + s + 2, cy + s + 2}, c);
    Fill(dc, RECT{cx - s - 1, cy - s - 1, cx + s + 2, cy - s + 1}, c);
  }
}

void DrawButton(HDC dc, const RECT& r, int hit, int flags) {
  const Engine& e = State();
  const int gloss = e.aero ? e.skin.metrics[kCaptionGloss] : 0;
  const bool pressed = PressedOf(flags) == hit && PressInside(flags);
  const bool hot = HotOf(flags) == hit && (!PressedOf(flags) || pressed);
  COLORREF top = Col(kCapButtonTop), bottom = Col(kCapButtonBottom);
  if (pressed) {
    top = Col(kCapButtonPressedTop), bottom = Col(kCapButtonPressedBottom);
  } else if (hot) {
    top = Col(hit == HTCLOSE ? kCloseHotTop : kCapButtonHotTop);
    bottom = Col(hit == HTCLOSE ? kCloseHotBottom : kCapButtonHotBottom);
  }
  RoundBox(dc, r, 3, Col(kFrameOuter), top, bottom, pressed ? 0 : gloss);
  DrawGlyph(dc, r, hit, Col(kCapButtonGlyph));
}

void PaintFrame(HWND h, int flags) {
  if (!State().active || !Skinned(h)) return;
  const Geometry g = Measure(h);
  HDC target = GetWindowDC(h);
  if (!target) return;
  {
    Offscreen off(target, g.w, g.h);
    HDC dc = off.dc();
    const bool active = ActiveOf(flags);
    const int gloss = State().aero ? State().skin.metrics[kCaptionGloss] : 0;
    Fill(dc, RECT{0, 0, g.w, g.h}, Col(kFrameInner));
    Gradient(dc, g.caption, Col(active ? kCaptionTop : kCaptionInactiveTop),
             Col(active ? kCaptionBottom : kCaptionInactiveBottom), gloss);
    Outline(dc, RECT{0, 0, g.w, g.h}, Col(kFrameOuter));
    if (gloss) Line(dc, 1, 1, g.w - 1, 1, Mix(Col(kFrameInner), RGB(255, 255, 255), 140));  // the glass edge
    // Title, in the system's caption font.
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof ncm;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    win32::GdiObject font(CreateFontIndirectW(&ncm.lfCaptionFont));
    HGDIOBJ oldFont = SelectObject(dc, font.get());
    wchar_t title[256];
    const int n = GetWindowTextW(h, title, 256);
    RECT text{g.caption.left + 6, g.caption.top, g.caption.right - 4, g.caption.bottom};
    for (int i = 0; i < g.count; ++i)
      if (g.spans[i].left < text.right) text.right = g.spans[i].left - 2;
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, Col(active ? kCaptionText : kCaptionInactiveText));
    DrawTextW(dc, title, n, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_END_ELLIPSIS | DT_NOPREFIX);
    SelectObject(dc, oldFont);
    for (int i = 0; i < g.count; ++i) {
      const auto& s = g.spans[i];
      if (!Shown(h, s.hit)) continue;
      DrawButton(dc, RECT{s.left + 1, g.caption.top + 2, s.right - 1, g.caption.bottom - 2}, s.hit, flags);
    }
    ExcludeClipRect(target, g.client.left, g.client.top, g.client.right, g.client.bottom);
    off.CopyTo(target, 0, 0);
  }
  ReleaseDC(h, target);
}

int HitAt(HWND h, POINT screen) {
  return static_cast<int>(DefWindowProcW(h, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y)));
}

void Update(HWND h, int flags) {
  if (flags == GetFlags(h)) return;
  SetFlags(h, flags);
  PaintFrame(h, flags);
}

WPARAM CommandFor(HWND h, int hit) {
  if (hit == HTCLOSE) return SC_CLOSE;
  if (hit == HTMINBUTTON) return SC_MINIMIZE;
  return IsZoomed(h) ? SC_RESTORE : SC_MAXIMIZE;
}

// Caption button presses are ours: through the system they would draw its
// own pressed button.
LRESULT NonClientPress(HWND h, int hit, int flags) {
  if (hit == HTSYSMENU) {
    RECT wr;
    GetWindowRect(h, &wr);
    const int cmd = TrackPopupMenu(GetSystemMenu(h, FALSE), TPM_RETURNCMD | TPM_LEFTBUTTON, wr.left + 4,
                                   wr.top + GetSystemMetrics(SM_CYCAPTION) + 4, 0, h, nullptr);
    if (cmd) PostMessageW(h, WM_SYSCOMMAND, cmd, 0);
    return 0;
  }
  if (!Shown(h, hit)) return 0;  // the disabled box the system keeps: nothing happens
  SetCapture(h);
  Update(h, Pack(hit, hit, true, ActiveOf(flags)));
  return 0;
}

LRESULT ControlColour(HWND h, UINT msg, WPARAM w, LPARAM l) {
  const LRESULT r = Next(h, kTopLevel, msg, w, l);
  // Only the plain button face gives way to the skin's background.
  if (State().active && reinterpret_cast<HBRUSH>(r) == GetSysColorBrush(COLOR_BTNFACE)) {
    SetBkColor(reinterpret_cast<HDC>(w), Col(kWindowBack));
    return reinterpret_cast<LRESULT>(BackBrush());
  }
  return r;
}

bool PlainBackground(HWND h) {
  const auto brush = reinterpret_cast<HBRUSH>(GetClassLongPtrW(h, GCLP_HBRBACKGROUND));
  return brush == reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1) || brush == GetSysColorBrush(COLOR_BTNFACE);
}

}  // namespace

LRESULT CALLBACK TopLevelProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_NCDESTROY) return Leave(h, kTopLevel, w, l);
  if (!State().active) return Next(h, kTopLevel, msg, w, l);
  const int flags = GetFlags(h);
  switch (msg) {
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      return ControlColour(h, msg, w, l);
    case WM_ERASEBKGND:
      if (!PlainBackground(h)) break;
      {
        RECT r;
        GetClientRect(h, &r);
        FillRect(reinterpret_cast<HDC>(w), &r, BackBrush());
        DrawEditRings(h, reinterpret_cast<HDC>(w));
      }
      return 1;
    default:
      break;
  }
  if (!Skinned(h)) return Next(h, kTopLevel, msg, w, l);
  switch (msg) {
    case WM_NCPAINT:
      PaintFrame(h, flags);
      return 0;
    case WM_NCACTIVATE: {
      // lParam -1 keeps the system from drawing its own caption meanwhile.
      const LRESULT r = Next(h, kTopLevel, msg, w, static_cast<LPARAM>(-1));
      SetFlags(h, Pack(HotOf(flags), PressedOf(flags), PressInside(flags), w != 0));
      PaintFrame(h, GetFlags(h));
      return r;
    }
    case WM_SETTEXT:
    case WM_SETICON:
    case WM_ENABLE:
    case WM_SIZE: {
      // The system repaints its own caption on these: ours goes back on top.
      const LRESULT r = Next(h, kTopLevel, msg, w, l);
      PaintFrame(h, flags);
      return r;
    }
    case WM_NCMOUSEMOVE: {
      const int hit = IsCaptionButton(static_cast<int>(w)) && Shown(h, static_cast<int>(w)) ? static_cast<int>(w) : 0;
      if (hit) {
        TRACKMOUSEEVENT t{sizeof t, TME_LEAVE | TME_NONCLIENT, h, 0};
        TrackMouseEvent(&t);
      }
      Update(h, Pack(hit, PressedOf(flags), PressInside(flags), ActiveOf(flags)));
      break;
    }
    case WM_NCMOUSELEAVE:
      Update(h, Pack(0, PressedOf(flags), PressInside(flags), ActiveOf(flags)));
      break;
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
      if (IsCaptionButton(static_cast<int>(w)) || (msg == WM_NCLBUTTONDOWN && w == HTSYSMENU))
        return NonClientPress(h, static_cast<int>(w), flags);
      break;
    case WM_MOUSEMOVE:
      if (PressedOf(flags)) {
        POINT p{static_cast<short>(LOWORD(l)), static_cast<short>(HIWORD(l))};
        ClientToScreen(h, &p);
        const bool inside = HitAt(h, p) == PressedOf(flags);
        Update(h, Pack(inside ? PressedOf(flags) : 0, PressedOf(flags), inside, ActiveOf(flags)));
        return 0;
      }
      break;
    case WM_LBUTTONUP:
      if (PressedOf(flags)) {
        const int pressed = PressedOf(flags);
        const bool inside = PressInside(flags);
        Update(h, Pack(0, 0, false, ActiveOf(flags)));
        ReleaseCapture();
        if (inside) PostMessageW(h, WM_SYSCOMMAND, CommandFor(h, pressed), 0);
        return 0;
      }
      break;
    case WM_CAPTURECHANGED:
      if (PressedOf(flags)) Update(h, Pack(0, 0, false, ActiveOf(flags)));
      break;
    default:
      break;
  }
  return Next(h, kTopLevel, msg, w, l);
}

}  // namespace skin

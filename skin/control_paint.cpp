// Push buttons, check boxes, radio buttons and group boxes, and the rings
// around edit boxes.
// The controls keep their own window procedures for everything but drawing,
// so their ids, texts, styles, states and messages stay as they are.
#include "skin/draw.h"
#include "skin/engine.h"

namespace skin {
namespace {

enum class Look { None, Push, Check, Radio, Group };
constexpr int kHot = 1;

Look LookOf(HWND h) {
  const LONG style = GetWindowLongW(h, GWL_STYLE);
  if (style & (BS_BITMAP | BS_ICON | BS_PUSHLIKE)) return Look::None;
  switch (style & BS_TYPEMASK) {
    case BS_PUSHBUTTON:
    case BS_DEFPUSHBUTTON:
      return Look::Push;
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
      return Look::Check;
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return Look::Radio;
    case BS_GROUPBOX:
      return Look::Group;
    default:
      return Look::None;
  }
}

// What the parent hands out for this control: its brush (the skin's
// background where it gives none) and, in `dc`, its text colour, which
// stays `text` unless the parent sets one.
HBRUSH AskParent(HWND h, HDC dc, UINT msg, COLORREF text) {
  SetTextColor(dc, text);
  SetBkColor(dc, Col(kWindowBack));
  HWND parent = GetParent(h);
  auto brush = parent ? reinterpret_cast<HBRUSH>(SendMessageW(parent, msg, reinterpret_cast<WPARAM>(dc),
                                                               reinterpret_cast<LPARAM>(h)))
                      : nullptr;
  if (!brush || brush == GetStockObject(NULL_BRUSH) || brush == GetSysColorBrush(COLOR_BTNFACE)) return BackBrush();
  return brush;
}

struct Content {
  wchar_t text[512];
  int length;
  HFONT font;
  UINT format;  // DrawText flags
};

Content ContentOf(HWND h, UINT align) {
  Content c;
  c.length = GetWindowTextW(h, c.text, 512);
  c.font = reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0));
  if (!c.font) c.font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  const bool multi = GetWindowLongW(h, GWL_STYLE) & BS_MULTILINE;
  const LRESULT ui = SendMessageW(h, WM_QUERYUISTATE, 0, 0);
  c.format = align | (multi ? DT_WORDBREAK : DT_SINGLELINE | DT_VCENTER) | ((ui & UISF_HIDEACCEL) ? DT_HIDEPREFIX : 0);
  return c;
}

// Draws the text, vertically centred also when it wraps.
void DrawContent(HDC dc, Content& c, RECT r, COLORREF colour) {
  HGDIOBJ old = SelectObject(dc, c.font);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour);
  if (c.format & DT_WORDBREAK) {
    RECT m = r;
    DrawTextW(dc, c.text, c.length, &m, c.format | DT_CALCRECT);
    OffsetRect(&r, 0, ((r.bottom - r.top) - (m.bottom - m.top)) / 2);
  }
  DrawTextW(dc, c.text, c.length, &r, c.format);
  SelectObject(dc, old);
}

bool ShowsFocus(HWND h, LRESULT state) {
  return (state & BST_FOCUS) && !(SendMessageW(h, WM_QUERYUISTATE, 0, 0) & UISF_HIDEFOCUS);
}

void PaintPush(HWND h, HDC dc, const RECT& r, LRESULT state, bool hot) {
  const Engine& e = State();
  FillRect(dc, &r, AskParent(h, dc, WM_CTLCOLORBTN, Col(kButtonText)));
  const bool enabled = IsWindowEnabled(h);
  const bool pressed = state & BST_PUSHED;
  const int base = !enabled ? kButtonDisabledTop : pressed ? kButtonPressedTop : hot ? kButtonHotTop : kButtonTop;
  RECT box = r;
  InflateRect(&box, -1, -1);
  RoundBox(dc, box, e.skin.metrics[kButtonRadius], Col(static_cast<Colour>(base + 2)),
           Col(static_cast<Colour>(base)), Col(static_cast<Colour>(base + 1)), e.aero && !pressed ? 60 : 0);
  const LONG style = GetWindowLongW(h, GWL_STYLE);
  if ((style & BS_TYPEMASK) == BS_DEFPUSHBUTTON && enabled) {
    RECT inner = box;
    InflateRect(&inner, -1, -1);
    Outline(dc, inner, Mix(Col(kButtonHotBorder), Col(kButtonTop), 110));
  }
  Content c = ContentOf(h, DT_CENTER);
  RECT text = box;
  InflateRect(&text, -3, -2);
  if (pressed) OffsetRect(&text, 1, 1);
  DrawContent(dc, c, text, Col(static_cast<Colour>(base + 3)));
  if (ShowsFocus(h, state)) {
    RECT f = box;
    InflateRect(&f, -3, -3);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &f);
  }
}

void DrawGlyph(HDC dc, const RECT& g, bool radio, LRESULT state, bool hot, bool enabled) {
  const COLORREF border = !enabled ? Col(kGlyphDisabled) : hot ? Col(kGlyphHotBorder) : Col(kGlyphBorder);
  const COLORREF mark = enabled ? Col(kGlyphMark) : Col(kGlyphDisabled);
  RoundBox(dc, g, radio ? 7 : 2, border, Col(kGlyphTop), Col(kGlyphBottom));
  const int x = g.left, y = g.top;
  if (radio) {
    if (state & BST_CHECKED) {
      win32::GdiObject dot(CreateRoundRectRgn(x + 4, y + 4, x + 10, y + 10, 6, 6));
      SetDCBrushColor(dc, mark);
      FillRgn(dc, static_cast<HRGN>(dot.get()), static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
    }
  } else if (state & BST_INDETERMINATE) {
    Fill(dc, RECT{x + 3, y + 3, x + 10, y + 10}, mark);
  } else if (state & BST_CHECKED) {
    Line(dc, x + 3, y + 6, x + 5, y + 9, mark, 2);
    Line(dc, x + 5, y + 9, x + 10, y + 3, mark, 2);
  }
}

void PaintCheck(HWND h, HDC dc, const RECT& r, LRESULT state, bool hot, bool radio) {
  FillRect(dc, &r, AskParent(h, dc, WM_CTLCOLORBTN, Col(kButtonText)));
  const COLORREF text = GetTextColor(dc);
  const bool enabled = IsWindowEnabled(h);
  const int size = 13;
  const int top = (r.bottom - r.top - size) / 2;
  DrawGlyph(dc, RECT{r.left, top, r.left + size, top + size}, radio, state, hot, enabled);
  Content c = ContentOf(h, DT_LEFT);
  RECT label{r.left + size + 4, r.top, r.right, r.bottom};
  DrawContent(dc, c, label, enabled ? text : Col(kButtonDisabledText));
  if (ShowsFocus(h, state) && c.length) {
    RECT f = label;
    HGDIOBJ old = SelectObject(dc, c.font);
    DrawTextW(dc, c.text, c.length, &f, c.format | DT_CALCRECT);
    SelectObject(dc, old);
    if (c.format & DT_VCENTER) OffsetRect(&f, 0, ((r.bottom - r.top) - (f.bottom - f.top)) / 2);
    InflateRect(&f, 1, 1);
    SetTextColor(dc, RGB(0, 0, 0));
    SetBkColor(dc, RGB(255, 255, 255));
    DrawFocusRect(dc, &f);
  }
}

void PaintGroup(HWND h, HDC dc, const RECT& r) {
  FillRect(dc, &r, AskParent(h, dc, WM_CTLCOLORSTATIC, Col(kGroupText)));
  const COLORREF text = GetTextColor(dc);
  Content c = ContentOf(h, DT_LEFT);
  c.format = (c.format & ~(DT_WORDBREAK | DT_VCENTER)) | DT_SINGLELINE;
  HGDIOBJ old = SelectObject(dc, c.font);
  RECT t{0, 0, 0, 0};
  DrawTextW(dc, c.length ? c.text : L" ", c.length ? c.length : 1, &t, c.format | DT_CALCRECT);
  SelectObject(dc, old);
  const int lineY = (t.bottom - t.top) / 2;
  RECT frame{r.left, r.top + lineY, r.right, r.bottom};
  RoundBox(dc, frame, 3, Col(kGroupFrame), Col(kWindowBack), Col(kWindowBack));
  // The parent's brush again inside, so a group box on a coloured window keeps it.
  RECT inside = frame;
  InflateRect(&inside, -1, -1);
  FillRect(dc, &inside, AskParent(h, dc, WM_CTLCOLORSTATIC, Col(kGroupText)));
  if (c.length) {
    RECT label{r.left + 8, r.top, r.left + 8 + (t.right - t.left) + 4, r.top + (t.bottom - t.top)};
    FillRect(dc, &label, AskParent(h, dc, WM_CTLCOLORSTATIC, Col(kGroupText)));
    label.left += 2;
    DrawContent(dc, c, label, IsWindowEnabled(h) ? text : Col(kButtonDisabledText));
  }
}

// `labelsToo`: also keep off the labels on a group box, which draw no
// background of their own; only where they will be repainted next may the
// group box paint under them.
void Paint(HWND h, HDC target, bool labelsToo = true) {
  RECT r;
  GetClientRect(h, &r);
  const Look look = LookOf(h);
  Offscreen off(target, r.right, r.bottom);
  HDC dc = off.dc();
  const LRESULT state = Next(h, kButton, BM_GETSTATE, 0, 0);
  const bool hot = GetFlags(h) & kHot;
  if (look == Look::Push) PaintPush(h, dc, r, state, hot);
  if (look == Look::Check || look == Look::Radio) PaintCheck(h, dc, r, state, hot, look == Look::Radio);
  if (look == Look::Group) {
    PaintGroup(h, dc, r);
    DrawEditRings(h, dc);
  }
  // A group box has no WS_CLIPCHILDREN: leave its children's places alone.
  for (HWND child = GetWindow(h, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child) || (!labelsToo && IsClass(child, L"Static"))) continue;
    RECT c;
    GetWindowRect(child, &c);
    MapWindowPoints(nullptr, h, reinterpret_cast<POINT*>(&c), 2);
    ExcludeClipRect(target, c.left, c.top, c.right, c.bottom);
  }
  off.CopyTo(target, 0, 0);
}

void PaintNow(HWND h) {
  if (!IsWindowVisible(h)) return;
  HDC dc = GetDC(h);
  if (!dc) return;
  Paint(h, dc);
  ReleaseDC(h, dc);
}

// The stock button draws straight onto the screen on these: it runs first,
// then ours covers it before anything else is drawn.
bool StockPaints(UINT msg) {
  switch (msg) {
    case BM_SETSTATE: case BM_SETCHECK: case BM_SETSTYLE: case BM_CLICK: case WM_ENABLE: case WM_SETTEXT:
    case WM_SETFOCUS: case WM_KILLFOCUS: case WM_UPDATEUISTATE: case WM_SETFONT: case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: case WM_LBUTTONDBLCLK: case WM_KEYDOWN: case WM_KEYUP: case WM_CAPTURECHANGED:
    case WM_SYSCOLORCHANGE:
      return true;
    default:
      return false;
  }
}

}  // namespace

LRESULT CALLBACK ButtonProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_NCDESTROY) return Leave(h, kButton, w, l);
  if (!State().active || LookOf(h) == Look::None) return Next(h, kButton, msg, w, l);
  switch (msg) {
    case WM_PAINT: {
      // Painted through GetDC, so that no erase by a procedure in front of
      // ours shows, and only inside the update region: the children there
      // are invalid too and paint next. Validating must spare them.
      win32::GdiObject region(CreateRectRgn(0, 0, 0, 0));
      const auto rgn = static_cast<HRGN>(region.get());
      if (GetUpdateRgn(h, rgn, FALSE) != NULLREGION && IsWindowVisible(h)) {
        if (HDC dc = GetDC(h)) {
          SelectClipRgn(dc, rgn);
          Paint(h, dc, false);
          ReleaseDC(h, dc);
        }
      }
      RedrawWindow(h, nullptr, nullptr, RDW_VALIDATE | RDW_NOERASE | RDW_NOCHILDREN);
      return 0;
    }
    case WM_PRINTCLIENT:
      Paint(h, reinterpret_cast<HDC>(w));
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_MOUSEMOVE:
      if (!(GetFlags(h) & kHot)) {
        TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, h, 0};
        TrackMouseEvent(&t);
        SetFlags(h, GetFlags(h) | kHot);
        PaintNow(h);
      }
      break;
    case WM_MOUSELEAVE:
      SetFlags(h, GetFlags(h) & ~kHot);
      PaintNow(h);
      break;
    default:
      break;
  }
  const LRESULT r = Next(h, kButton, msg, w, l);
  if (StockPaints(msg)) PaintNow(h);
  return r;
}

void DrawEditRings(HWND parent, HDC dc) {
  for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    if (!IsWindowVisible(child) || !IsClass(child, L"Edit")) continue;
    if (!(GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) && !(GetWindowLongW(child, GWL_STYLE) & WS_BORDER))
      continue;
    RECT r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    InflateRect(&r, 1, 1);
    Outline(dc, r, IsWindowEnabled(child) ? Col(kEditBorder) : Col(kEditDisabledBorder));
  }
}

}  // namespace skin

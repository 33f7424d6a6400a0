#include "skin/draw.h"

namespace skin {

COLORREF Mix(COLORREF a, COLORREF b, int t) {
  auto ch = [&](int shift) {
    const int x = (a >> shift) & 0xFF, y = (b >> shift) & 0xFF;
    return static_cast<COLORREF>((x * (255 - t) + y * t) / 255) << shift;
  };
  return ch(0) | ch(8) | ch(16);
}

void Fill(HDC dc, const RECT& r, COLORREF c) {
  SetDCBrushColor(dc, c);
  FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void Outline(HDC dc, const RECT& r, COLORREF c) {
  SetDCBrushColor(dc, c);
  FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)));
}

void Gradient(HDC dc, const RECT& r, COLORREF top, COLORREF bottom, int gloss) {
  const int h = r.bottom - r.top;
  for (int y = 0; y < h; ++y) {
    COLORREF c = Mix(top, bottom, h > 1 ? y * 255 / (h - 1) : 0);
    // Glass: a bright upper half fading towards its lower edge.
    if (gloss > 0 && y < h / 2) c = Mix(c, RGB(255, 255, 255), gloss * (h - y) / (2 * h));
    const RECT line{r.left, r.top + y, r.right, r.top + y + 1};
    Fill(dc, line, c);
  }
}

void RoundBox(HDC dc, const RECT& r, int radius, COLORREF border, COLORREF top, COLORREF bottom, int gloss) {
  if (radius <= 0) {
    Gradient(dc, r, top, bottom, gloss);
    Outline(dc, r, border);
    return;
  }
  win32::GdiObject region(CreateRoundRectRgn(r.left, r.top, r.right + 1, r.bottom + 1, 2 * radius, 2 * radius));
  const HRGN rgn = static_cast<HRGN>(region.get());
  SelectClipRgn(dc, rgn);
  Gradient(dc, r, top, bottom, gloss);
  SelectClipRgn(dc, nullptr);
  SetDCBrushColor(dc, border);
  FrameRgn(dc, rgn, static_cast<HBRUSH>(GetStockObject(DC_BRUSH)), 1, 1);
}

void Line(HDC dc, int x0, int y0, int x1, int y1, COLORREF c, int width) {
  win32::GdiObject pen(CreatePen(PS_SOLID, width, c));
  HGDIOBJ old = SelectObject(dc, pen.get());
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
  SelectObject(dc, old);
}

Offscreen::Offscreen(HDC target, int w, int h)
    : w_(w > 0 ? w : 1), h_(h > 0 ? h : 1), dc_(CreateCompatibleDC(target)),
      bitmap_(CreateCompatibleBitmap(target, w_, h_)) {
  old_ = SelectObject(dc_.get(), bitmap_.get());
}

Offscreen::~Offscreen() { SelectObject(dc_.get(), old_); }

void Offscreen::CopyTo(HDC target, int x, int y) { BitBlt(target, x, y, w_, h_, dc_.get(), 0, 0, SRCCOPY); }

}  // namespace skin

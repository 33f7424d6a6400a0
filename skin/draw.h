// Drawing helpers of the engine: solid fills, gradients, rounded boxes and
// the off-screen bitmap every skinned part is painted into first.
#pragma once
#include <windows.h>

#include "platform/win32/handles.h"

namespace skin {

COLORREF Mix(COLORREF a, COLORREF b, int amountOfB /* 0-255 */);
void Fill(HDC dc, const RECT& r, COLORREF c);
void Outline(HDC dc, const RECT& r, COLORREF c);
// A vertical gradient; `gloss` > 0 whitens the upper half like glass.
void Gradient(HDC dc, const RECT& r, COLORREF top, COLORREF bottom, int gloss = 0);
void RoundBox(HDC dc, const RECT& r, int radius, COLORREF border, COLORREF top, COLORREF bottom, int gloss = 0);
void Line(HDC dc, int x0, int y0, int x1, int y1, COLORREF c, int width = 1);

// Paints into a bitmap of the target's size and copies it in one step, so
// no half-drawn state reaches the screen.
class Offscreen {
 public:
  Offscreen(HDC target, int w, int h);
  ~Offscreen();
  Offscreen(const Offscreen&) = delete;
  Offscreen& operator=(const Offscreen&) = delete;
  HDC dc() const { return dc_.get(); }
  void CopyTo(HDC target, int x, int y);

 private:
  int w_, h_;
  win32::MemoryDc dc_;
  win32::GdiObject bitmap_;
  HGDIOBJ old_ = nullptr;
};

}  // namespace skin

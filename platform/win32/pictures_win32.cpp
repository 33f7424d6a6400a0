#include "platform/win32/pictures_win32.h"

#include <map>

#include "platform/pictures/program_picture.h"
#include "platform/win32/handles.h"

namespace win32 {
namespace {

void Fill(HDC dc, const RECT& r, COLORREF c) {
  GdiObject brush(CreateSolidBrush(c));
  FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
}

// The program picture is drawn by toolkit-neutral code, which also makes the
// icon resource: here its pixels are copied one to one.
void DrawProgramPicture(HDC dc, const RECT& r) {
  const pictures::Pixels p = pictures::DrawProgramPicture(r.right - r.left, r.bottom - r.top);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(info.bmiHeader);
  info.bmiHeader.biWidth = p.w;
  info.bmiHeader.biHeight = -p.h;  // rows top to bottom
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, r.left, r.top, p.w, p.h, 0, 0, 0, p.h, p.argb.data(), &info, DIB_RGB_COLORS);
}

// A small raised button with a speech bubble and the words "给我留言".
void DrawMessageButton(HDC dc, const RECT& r) {
  Fill(dc, r, RGB(0xF4, 0xF8, 0xFF));
  RECT edge = r;
  DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
  GdiObject bubble(CreateSolidBrush(RGB(0x2E, 0x8B, 0xE6)));
  GdiObject pen(CreatePen(PS_SOLID, 1, RGB(0x1C, 0x5F, 0xA8)));
  HGDIOBJ oldBrush = SelectObject(dc, bubble.get());
  HGDIOBJ oldPen = SelectObject(dc, pen.get());
  const int cy = (r.top + r.bottom) / 2;
  RoundRect(dc, r.left + 4, cy - 7, r.left + 20, cy + 4, 6, 6);
  POINT tail[] = {{r.left + 8, cy + 3}, {r.left + 7, cy + 8}, {r.left + 12, cy + 3}};
  Polygon(dc, tail, 3);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  GdiObject font(CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "宋体"));
  HGDIOBJ oldFont = SelectObject(dc, font.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(0x10, 0x30, 0x60));
  RECT text{r.left + 23, r.top, r.right - 2, r.bottom};
  DrawTextA(dc, "给我留言", -1, &text, DT_SINGLELINE | DT_VCENTER | DT_LEFT | DT_NOPREFIX);
  SelectObject(dc, oldFont);
}

SIZE NaturalSize(frame::Picture picture) {
  return picture == frame::Picture::MessageButton ? SIZE{77, 22} : SIZE{48, 48};
}

HBITMAP Render(frame::Picture picture, int w, int h) {
  ScreenDc screen(GetDC(nullptr));
  HBITMAP bitmap = CreateCompatibleBitmap(screen.get(), w, h);
  MemoryDc dc(CreateCompatibleDC(screen.get()));
  HGDIOBJ old = SelectObject(dc.get(), bitmap);
  DrawPicture(dc.get(), RECT{0, 0, w, h}, picture);
  SelectObject(dc.get(), old);
  return bitmap;
}

}  // namespace

void DrawPicture(HDC dc, const RECT& r, frame::Picture picture) {
  switch (picture) {
    case frame::Picture::ProgramPicture:
      DrawProgramPicture(dc, r);
      break;
    case frame::Picture::MessageButton:
      DrawMessageButton(dc, r);
      break;
    case frame::Picture::None:
      break;
  }
}

HBITMAP PictureBitmap(frame::Picture picture) {
  static std::map<frame::Picture, GdiObject> cache;
  auto& owned = cache[picture];
  if (!owned) {
    const SIZE s = NaturalSize(picture);
    owned.reset(Render(picture, s.cx, s.cy));
  }
  return static_cast<HBITMAP>(owned.get());
}

HICON MakeIcon(frame::Picture picture, int size) {
  GdiObject colour(Render(picture, size, size));
  GdiObject mask(CreateBitmap(size, size, 1, 1, nullptr));  // all zero: every pixel opaque
  {
    MemoryDc dc(CreateCompatibleDC(nullptr));
    HGDIOBJ old = SelectObject(dc.get(), mask.get());
    PatBlt(dc.get(), 0, 0, size, size, BLACKNESS);
    SelectObject(dc.get(), old);
  }
  ICONINFO info{};
  info.fIcon = TRUE;
  info.hbmColor = static_cast<HBITMAP>(colour.get());
  info.hbmMask = static_cast<HBITMAP>(mask.get());
  return CreateIconIndirect(&info);  // copies both bitmaps
}

}  // namespace win32

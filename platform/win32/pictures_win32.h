// The pictures our own code draws: the program picture and the message button.
#pragma once
#include <windows.h>

#include "frame/layout.h"

namespace win32 {

// Paints the picture scaled into the rectangle.
void DrawPicture(HDC dc, const RECT& r, frame::Picture picture);

// A bitmap of the picture at its natural size, owned by this module.
HBITMAP PictureBitmap(frame::Picture picture);

// A new icon of the picture, size x size pixels; the caller destroys it.
HICON MakeIcon(frame::Picture picture, int size);

}  // namespace win32

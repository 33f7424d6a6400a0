// The HTML view: the system's WebBrowser object hosted in the control's own
// window, in-place active and filling it.
#pragma once
#include <windows.h>

#include "frame/text.h"

namespace win32 {

// The procedure of the HTML view's control window (kHtmlViewClass).
LRESULT CALLBACK HtmlViewProc(HWND h, UINT msg, WPARAM w, LPARAM l);

// Makes the browser inside the control window, which owns it from then on
// and closes it when it is destroyed. Where the browser cannot be made the
// view stays blank.
void AttachHtmlView(HWND host);

// Starts loading the address (GBK) in the view, with no navigation flags,
// target frame, post data or extra headers.
void NavigateHtmlView(HWND host, const frame::Text& address);

}  // namespace win32

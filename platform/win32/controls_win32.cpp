#include "platform/win32/controls_win32.h"

#include "platform/win32/handles.h"
#include "platform/win32/html_view_win32.h"
#include "platform/win32/pictures_win32.h"

namespace win32 {
namespace {

using frame::Kind;

constexpr char kOldProcProp[] = "FrameOldProc";

LRESULT CALLBACK GroupProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  auto old = reinterpret_cast<WNDPROC>(GetPropA(h, kOldProcProp));
  switch (msg) {
    case WM_COMMAND:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
    case WM_DRAWITEM:
    case WM_NOTIFY:
      return SendMessageA(GetAncestor(h, GA_ROOT), msg, w, l);
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(h, &r);
      FillRect(reinterpret_cast<HDC>(w), &r, GetSysColorBrush(COLOR_BTNFACE));
      return 1;
    }
    case WM_NCDESTROY:
      RemovePropA(h, kOldProcProp);
      SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(old));
      break;
    default:
      break;
  }
  return CallWindowProcA(old, h, msg, w, l);
}

LRESULT CALLBACK PictureProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    RECT r;
    GetClientRect(h, &r);
    auto* state = reinterpret_cast<PictureState*>(GetWindowLongPtrA(h, GWLP_USERDATA));
    if (state && state->picture != frame::Picture::None) {
      DrawPicture(dc, r, state->picture);
    } else {
      const COLORREF c = state && state->back != frame::kNoColour ? ToColorRef(state->back)
                                                                  : GetSysColor(COLOR_BTNFACE);
      GdiObject brush(CreateSolidBrush(c));
      FillRect(dc, &r, static_cast<HBRUSH>(brush.get()));
    }
    EndPaint(h, &ps);
    return 0;
  }
  if (msg == WM_ERASEBKGND) return 1;  // WM_PAINT fills it all
  if (msg == WM_NCHITTEST) return HTTRANSPARENT;
  return DefWindowProcA(h, msg, w, l);
}

}  // namespace

ControlClass ClassOf(const frame::Control& c) {
  ControlClass k{nullptr, WS_CHILD | WS_CLIPSIBLINGS, 0};
  switch (c.kind) {
    case Kind::Button:
      k.cls = "BUTTON";
      k.style |= WS_TABSTOP | BS_PUSHBUTTON | BS_MULTILINE | BS_CENTER | BS_VCENTER;
      if (c.picture != frame::Picture::None) k.style |= BS_BITMAP;
      break;
    case Kind::Check:  // the frame flips the mark, so a disabled box never changes
      k.cls = "BUTTON";
      k.style |= WS_TABSTOP | BS_CHECKBOX | BS_MULTILINE;
      break;
    case Kind::Radio:
      k.cls = "BUTTON";
      k.style |= WS_TABSTOP | BS_RADIOBUTTON | BS_MULTILINE;
      break;
    case Kind::Group:
      k.cls = "BUTTON";
      k.style |= BS_GROUPBOX;
      k.exStyle = WS_EX_CONTROLPARENT;
      break;
    case Kind::Edit:
      k.cls = "EDIT";
      k.style |= WS_TABSTOP | ES_AUTOHSCROLL | (c.rightAligned ? ES_RIGHT : ES_LEFT);
      k.exStyle = WS_EX_CLIENTEDGE;
      break;
    case Kind::Label:
      k.cls = "STATIC";
      k.style |= SS_NOPREFIX | (c.wraps ? SS_LEFT : SS_LEFTNOWORDWRAP | SS_CENTERIMAGE);
      break;
    case Kind::Picture:
      k.cls = kPictureClass;
      break;
    case Kind::HtmlView:
      k.cls = kHtmlViewClass;
      break;
    case Kind::Timer:
    case Kind::CommonDialog:
    case Kind::BalloonTip:
      break;
  }
  return k;
}

void ForwardGroupMessages(HWND group) {
  SetPropA(group, kOldProcProp, reinterpret_cast<HANDLE>(GetWindowLongPtrA(group, GWLP_WNDPROC)));
  SetWindowLongPtrA(group, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GroupProc));
}

void AttachPicture(HWND picture, PictureState* state) {
  SetWindowLongPtrA(picture, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
}

void RegisterControlClasses() {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpfnWndProc = PictureProc;
  wc.lpszClassName = kPictureClass;
  RegisterClassExA(&wc);
  wc.lpfnWndProc = HtmlViewProc;
  wc.lpszClassName = kHtmlViewClass;
  RegisterClassExA(&wc);
}

}  // namespace win32

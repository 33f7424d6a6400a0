#include "platform/win32/balloon_tip_win32.h"

#include <algorithm>
#include <set>

#include "platform/win32/handles.h"

namespace win32 {
namespace {

constexpr int kMargin = 6;  // between the frame and the text
constexpr int kShadow = 4;  // width of the drop shadow at the right and bottom

std::set<HWND>& OpenTips() {
  static std::set<HWND> tips;
  return tips;
}

HHOOK g_hook = nullptr;
constexpr UINT kCloseTips = WM_APP + 1;

HFONT TipFont() {
  // 9 points at the screen's resolution.
  static GdiObject font;
  if (!font) {
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(9, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    font.reset(CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, OUT_DEFAULT_PRECIS,
                           CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, "宋体"));
  }
  return static_cast<HFONT>(font.get());
}

bool ClosesTips(UINT msg) {
  switch (msg) {
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: case WM_XBUTTONDOWN:
    case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN: case WM_NCXBUTTONDOWN:
    case WM_MOUSEWHEEL: case WM_MOUSEHWHEEL:
    case WM_KEYDOWN: case WM_SYSKEYDOWN:
      return true;
    default:
      return false;
  }
}

// Sees every input message the thread takes from its queue, in our loop and
// in the loops of message boxes and dialogs alike.
// The tips close once the input message has been handled rather than while
// it is being taken from the queue, so the click or key goes where it was
// aimed before any window changes.
LRESULT CALLBACK InputHook(int code, WPARAM w, LPARAM l) {
  if (code == HC_ACTION && w == PM_REMOVE && ClosesTips(reinterpret_cast<MSG*>(l)->message) && !OpenTips().empty())
    PostMessageA(*OpenTips().begin(), kCloseTips, 0, 0);
  return CallNextHookEx(g_hook, code, w, l);
}

struct TipLook {
  COLORREF back, frame;
  int frameW, frameH;
};

LRESULT CALLBACK TipProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      const auto* look = reinterpret_cast<const TipLook*>(GetWindowLongPtrA(h, GWLP_USERDATA));
      RECT r;
      GetClientRect(h, &r);
      if (look) {
        // The shadow: the tip's own rectangle moved down and right, drawn first.
        GdiObject shadow(CreateSolidBrush(RGB(0x60, 0x60, 0x60)));
        RECT shade{r.left + kShadow, r.top + kShadow, r.right, r.bottom};
        FillRect(dc, &shade, static_cast<HBRUSH>(shadow.get()));
        r.right -= kShadow;
        r.bottom -= kShadow;
        GdiObject frameBrush(CreateSolidBrush(look->frame));
        GdiObject backBrush(CreateSolidBrush(look->back));
        FillRect(dc, &r, static_cast<HBRUSH>(frameBrush.get()));
        RECT inner{r.left + look->frameW, r.top + look->frameH, r.right - look->frameW, r.bottom - look->frameH};
        FillRect(dc, &inner, static_cast<HBRUSH>(backBrush.get()));
        char text[4096];
        const int n = GetWindowTextA(h, text, sizeof text);
        HGDIOBJ old = SelectObject(dc, TipFont());
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, RGB(0, 0, 0));
        InflateRect(&inner, -kMargin, -kMargin);
        DrawTextA(dc, text, n, &inner, DT_LEFT | DT_TOP | DT_NOPREFIX | DT_EXPANDTABS);
        SelectObject(dc, old);
      }
      EndPaint(h, &ps);
      return 0;
    }
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case kCloseTips:
      CloseAllTips();
      return 0;
    case WM_NCDESTROY:
      delete reinterpret_cast<TipLook*>(GetWindowLongPtrA(h, GWLP_USERDATA));
      SetWindowLongPtrA(h, GWLP_USERDATA, 0);
      OpenTips().erase(h);
      break;
    default:
      break;
  }
  return DefWindowProcA(h, msg, w, l);
}

}  // namespace

void RegisterBalloonTipClass() {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.style = CS_DROPSHADOW;
  wc.lpfnWndProc = TipProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
  wc.lpszClassName = kBalloonTipClass;
  RegisterClassExA(&wc);
}

void CloseAllTips() {
  const std::set<HWND> tips = OpenTips();
  for (HWND h : tips) ShowWindow(h, SW_HIDE);
  OpenTips().clear();
  if (g_hook) {
    UnhookWindowsHookEx(g_hook);
    g_hook = nullptr;
  }
}

void RaiseTips() {
  // Wine's X11 driver leaves a window that was mapped later above a top-most
  // one it already counts as the top; showing the tip anew restacks it there.
  for (HWND h : OpenTips()) {
    ShowWindow(h, SW_HIDE);
    SetWindowPos(h, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  }
}

BalloonTip::BalloonTip(const frame::Control& box) : box_(box) {}

BalloonTip::~BalloonTip() {
  if (hwnd_) {
    OpenTips().erase(hwnd_);
    DestroyWindow(hwnd_);
  }
}

void BalloonTip::PopUp(frame::Point at, const frame::Text& text) {
  if (!hwnd_) {
    hwnd_ = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kBalloonTipClass, "", WS_POPUP,
                            0, 0, 0, 0, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!hwnd_) return;
    auto* look = new TipLook{box_.backColour & 0xFFFFFF, box_.frameColour & 0xFFFFFF,
                             std::max(box_.frameW, 0), std::max(box_.frameH, 0)};
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(look));
  }
  SetWindowTextA(hwnd_, text.c_str());
  // Size the tip to its text.
  HDC dc = GetDC(hwnd_);
  HGDIOBJ old = SelectObject(dc, TipFont());
  RECT need{0, 0, 0, 0};
  DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &need, DT_CALCRECT | DT_LEFT | DT_NOPREFIX | DT_EXPANDTABS);
  SelectObject(dc, old);
  ReleaseDC(hwnd_, dc);
  const int w = need.right + 2 * (kMargin + std::max(box_.frameW, 0));
  const int h = need.bottom + 2 * (kMargin + std::max(box_.frameH, 0));
  // Its top-left corner at the point, moved in where it would leave the screen.
  RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  int x = std::min<int>(at.x, screen.right - w - kShadow), y = std::min<int>(at.y, screen.bottom - h - kShadow);
  x = std::max<int>(x, screen.left);
  y = std::max<int>(y, screen.top);
  // The window is the tip and its shadow; the two corners the shadow leaves
  // bare are cut away.
  HRGN shape = CreateRectRgn(0, 0, w, h);
  HRGN shade = CreateRectRgn(kShadow, kShadow, w + kShadow, h + kShadow);
  CombineRgn(shape, shape, shade, RGN_OR);
  DeleteObject(shade);
  SetWindowRgn(hwnd_, shape, FALSE);  // the window owns the region from here on
  SetWindowPos(hwnd_, HWND_TOPMOST, x, y, w + kShadow, h + kShadow, SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(hwnd_, nullptr, TRUE);
  OpenTips().insert(hwnd_);
  if (!g_hook) g_hook = SetWindowsHookExA(WH_GETMESSAGE, InputHook, nullptr, GetCurrentThreadId());
}

}  // namespace win32

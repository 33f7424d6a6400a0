#include "platform/win32/window_win32.h"

#include <commdlg.h>

#include <map>
#include <vector>

#include "frame/control_id.h"
#include "platform/win32/balloon_tip_win32.h"
#include "platform/win32/controls_win32.h"
#include "platform/win32/handles.h"
#include "platform/win32/html_view_win32.h"
#include "platform/win32/pictures_win32.h"

namespace win32 {
namespace {

using frame::Colour;
using frame::Control;
using frame::Kind;

HINSTANCE Instance() { return GetModuleHandleA(nullptr); }

class Window : public frame::NativeWindow {
 public:
  Window(const frame::WindowLayout& layout, frame::WindowEvents& events)
      : layout_(layout), events_(events), controls_(layout.controls.size()),
        textColours_(layout.controls.size()), backBrushes_(layout.controls.size()),
        pictures_(layout.controls.size()) {
    for (size_t i = 0; i < layout.controls.size(); ++i) {
      textColours_[i] = layout.controls[i].textColour;
      pictures_[i].back = layout.controls[i].backColour;
      pictures_[i].picture = layout.controls[i].picture;
    }
  }

  ~Window() override {
    tips_.clear();
    if (hwnd_) {
      reportDestroy_ = false;  // the frame asked for this: nothing to report
      DestroyWindow(hwnd_);
    }
  }

  bool Create();

  void SetVisible(int i, bool visible) override {
    if (controls_[i]) ShowWindow(controls_[i], visible ? SW_SHOWNA : SW_HIDE);
  }
  void SetEnabled(int i, bool enabled) override {
    if (controls_[i]) EnableWindow(controls_[i], enabled);
  }
  frame::Text GetText(int i) override {
    HWND h = controls_[i];
    if (!h) return frame::Text();
    const int n = GetWindowTextLengthA(h);
    if (n <= 0) return frame::Text();
    std::vector<char> buffer(static_cast<size_t>(n) + 1);
    const int got = GetWindowTextA(h, buffer.data(), n + 1);
    return frame::Text(buffer.data(), got > 0 ? static_cast<size_t>(got) : 0);
  }
  void SetText(int i, const frame::Text& text) override {
    HWND h = controls_[i];
    if (!h) return;
    SetWindowTextA(h, text.c_str());
    if (layout_.controls[i].kind == Kind::Label) RepaintTransparent(h);
  }
  bool GetChecked(int i) override {
    return controls_[i] && SendMessageA(controls_[i], BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
  void SetChecked(int i, bool checked) override {
    if (controls_[i]) SendMessageA(controls_[i], BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  }
  void SetTextColour(int i, Colour colour) override {
    textColours_[i] = colour;
    if (controls_[i]) RepaintTransparent(controls_[i]);
  }
  void SetBackColour(int i, Colour colour) override {
    pictures_[i].back = colour;
    backBrushes_[i].reset();
    if (controls_[i]) InvalidateRect(controls_[i], nullptr, TRUE), UpdateWindow(controls_[i]);
  }
  void SetTimer(int i, int periodMs) override {
    const UINT_PTR id = static_cast<UINT_PTR>(i) + 1;
    if (periodMs <= 0)
      KillTimer(hwnd_, id);
    else
      ::SetTimer(hwnd_, id, static_cast<UINT>(periodMs), nullptr);  // replaces a running one
  }
  void Navigate(int i, const frame::Text& address) override {
    if (controls_[i]) NavigateHtmlView(controls_[i], address);
  }
  void PopUpTip(int i, frame::Point at, const frame::Text& text) override {
    auto& tip = tips_[i];
    if (!tip) tip = std::make_unique<BalloonTip>(layout_.controls[i]);
    tip->PopUp(at, text);
  }
  bool OpenFileDialog(int i, const frame::Text& prefill, frame::Text* chosen) override;
  bool AcceptsInput() override { return hwnd_ && IsWindowEnabled(hwnd_); }
  void Show() override {
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    UpdateWindow(hwnd_);
    RaiseTips();  // a tip popped up by the created handler stays in front
  }
  void BringToFront() override {
    if (IsIconic(hwnd_))
      ShowWindow(hwnd_, SW_RESTORE);
    else
      SetForegroundWindow(hwnd_);
  }

  static LRESULT CALLBACK Proc(HWND h, UINT msg, WPARAM w, LPARAM l);

 private:
  LRESULT Handle(UINT msg, WPARAM w, LPARAM l);
  HWND CreateControl(size_t index);
  HFONT FontFor(const frame::Font& font);
  int IndexOf(HWND child) const {
    auto it = indexOf_.find(child);
    return it == indexOf_.end() ? -1 : it->second;
  }
  HBRUSH BackBrush(int i, Colour fallback) {
    if (!backBrushes_[i]) {
      const Colour c = pictures_[i].back == frame::kNoColour ? fallback : pictures_[i].back;
      backBrushes_[i].reset(CreateSolidBrush(ToColorRef(c)));
    }
    return static_cast<HBRUSH>(backBrushes_[i].get());
  }
  LRESULT ControlColour(UINT msg, HDC dc, HWND child);
  // A label draws without a background: its parent must erase behind it.
  void RepaintTransparent(HWND h) {
    HWND parent = GetParent(h);
    RECT r;
    GetWindowRect(h, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    RedrawWindow(parent, &r, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }

  const frame::WindowLayout& layout_;
  frame::WindowEvents& events_;
  HWND hwnd_ = nullptr;
  bool reportDestroy_ = true;
  std::vector<HWND> controls_;  // null for the invisible components
  std::map<HWND, int> indexOf_;
  std::vector<Colour> textColours_;
  std::vector<GdiObject> backBrushes_;
  std::vector<PictureState> pictures_;
  std::map<std::pair<std::string, int>, GdiObject> fonts_;  // by face+weight, height
  std::map<int, std::unique_ptr<BalloonTip>> tips_;
  Icon bigIcon_, smallIcon_;
};

LRESULT CALLBACK Window::Proc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_NCCREATE) {
    auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTA*>(l)->lpCreateParams);
    self->hwnd_ = h;
    SetWindowLongPtrA(h, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrA(h, GWLP_USERDATA));
  if (!self) return DefWindowProcA(h, msg, w, l);
  if (msg == WM_NCDESTROY) {
    SetWindowLongPtrA(h, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    const bool report = self->reportDestroy_;
    const LRESULT r = DefWindowProcA(h, msg, w, l);
    if (report) self->events_.Destroyed();  // last: nothing of this window is touched after it
    return r;
  }
  return self->Handle(msg, w, l);
}

LRESULT Window::Handle(UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_COMMAND: {
      const int i = IndexOf(reinterpret_cast<HWND>(l));
      if (i < 0) break;
      const Kind kind = layout_.controls[i].kind;
      const WORD code = HIWORD(w);
      if (kind == Kind::Edit && code == EN_CHANGE) events_.TextChanged(i);
      if ((kind == Kind::Button || kind == Kind::Check || kind == Kind::Radio) && code == BN_CLICKED)
        events_.Clicked(i);
      return 0;
    }
    case WM_TIMER:
      if (w >= 1 && w <= layout_.controls.size()) events_.Tick(static_cast<int>(w) - 1);
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORBTN:
      return ControlColour(msg, reinterpret_cast<HDC>(w), reinterpret_cast<HWND>(l));
    case WM_ACTIVATEAPP:
      if (!w) CloseAllTips();  // the program stopped being the active application
      break;
    case WM_NCACTIVATE:
      // The caption keeps its active look while another window is active.
      if (layout_.keepsActiveCaption && IsWindowEnabled(hwnd_)) return DefWindowProcA(hwnd_, msg, TRUE, l);
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd_, msg, w, l);
}

LRESULT Window::ControlColour(UINT msg, HDC dc, HWND child) {
  const int i = IndexOf(child);
  if (i < 0) return DefWindowProcA(hwnd_, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
  const Control& c = layout_.controls[i];
  if (textColours_[i] != frame::kNoColour) SetTextColor(dc, ToColorRef(textColours_[i]));
  switch (c.kind) {
    case Kind::Label:
      SetBkMode(dc, TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetStockObject(NULL_BRUSH));
    case Kind::Edit:
      if (msg != WM_CTLCOLOREDIT) break;  // disabled: the system's greyed look
      SetBkColor(dc, c.backColour == frame::kNoColour ? RGB(255, 255, 255) : ToColorRef(c.backColour));
      return reinterpret_cast<LRESULT>(BackBrush(i, 0x00FFFFFFu));
    default:
      SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  }
  return DefWindowProcA(hwnd_, msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
}

HFONT Window::FontFor(const frame::Font& font) {
  if (!font.face) return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  auto key = std::make_pair(std::string(font.face) + char('0' + font.weight / 100), font.height);
  auto& owned = fonts_[key];
  if (!owned)
    owned.reset(CreateFontA(-font.height, 0, 0, 0, font.weight, FALSE, FALSE, FALSE, GB2312_CHARSET,
                            OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                            DEFAULT_PITCH | FF_DONTCARE, font.face));
  return owned ? static_cast<HFONT>(owned.get()) : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

HWND Window::CreateControl(size_t index) {
  const Control& c = layout_.controls[index];
  const ControlClass k = ClassOf(c);
  if (!k.cls) return nullptr;
  DWORD style = k.style;
  if (c.visible) style |= WS_VISIBLE;
  if (c.disabled) style |= WS_DISABLED;
  HWND parent = hwnd_;
  if (c.inside) {
    const int g = [&] {
      for (size_t i = 0; i < index; ++i)
        if (frame::Compare(layout_.controls[i].name, c.inside) == 0) return static_cast<int>(i);
      return -1;
    }();
    if (g < 0 || !controls_[g]) return nullptr;
    parent = controls_[g];
  }
  const auto id = static_cast<INT_PTR>(frame::ControlId(c.name));
  HWND h = CreateWindowExA(k.exStyle, k.cls, c.text ? c.text : "", style, c.x, c.y, c.w, c.h, parent,
                           reinterpret_cast<HMENU>(id), Instance(), nullptr);
  if (!h) return nullptr;
  SendMessageA(h, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(c.font)), FALSE);
  if (c.kind == Kind::Group) ForwardGroupMessages(h);
  if (c.kind == Kind::Picture) AttachPicture(h, &pictures_[index]);
  if (c.kind == Kind::Edit) SendMessageA(h, EM_SETLIMITTEXT, 0, 0);  // the default stops typing at 32,767 (Wine: 30,000)
  if (c.kind == Kind::HtmlView) AttachHtmlView(h);
  if ((c.kind == Kind::Check || c.kind == Kind::Radio) && c.checked)
    SendMessageA(h, BM_SETCHECK, BST_CHECKED, 0);
  if (c.kind == Kind::Button && c.picture != frame::Picture::None) {
    HBITMAP bitmap = PictureBitmap(c.picture);
    if (bitmap) SendMessageA(h, BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap));
  }
  return h;
}

bool Window::Create() {
  // No WS_CLIPCHILDREN: labels draw without a background over what the window paints.
  DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
  if (layout_.buttons == frame::CaptionButtons::CloseMinimise) style |= WS_MINIMIZEBOX;
  const frame::Origin at = frame::CentredOnScreen(layout_, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  if (!CreateWindowExA(0, kWindowClass, layout_.title, style, at.x, at.y, layout_.w, layout_.h, nullptr,
                       nullptr, Instance(), this))
    return false;
  for (size_t i = 0; i < layout_.controls.size(); ++i) {
    const Control& c = layout_.controls[i];
    if (frame::IsInvisibleComponent(c.kind)) continue;
    controls_[i] = CreateControl(i);
    if (!controls_[i]) return false;
    indexOf_[controls_[i]] = static_cast<int>(i);
  }
  // Stacking order: a control declared earlier lies above one declared later,
  // and group boxes lie beneath the controls placed over them.
  for (size_t i = controls_.size(); i-- > 0;)
    if (controls_[i]) SetWindowPos(controls_[i], HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  for (size_t i = 0; i < controls_.size(); ++i)
    if (controls_[i] && layout_.controls[i].kind == Kind::Group)
      SetWindowPos(controls_[i], HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (layout_.icon != frame::Picture::None) {
    bigIcon_.reset(MakeIcon(layout_.icon, layout_.iconSize));
    smallIcon_.reset(MakeIcon(layout_.icon, GetSystemMetrics(SM_CXSMICON)));
    SendMessageA(hwnd_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_.get()));
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_.get()));
  }
  return true;
}

bool Window::OpenFileDialog(int i, const frame::Text& prefill, frame::Text* chosen) {
  (void)i;
  std::vector<char> file(32768, '\0');
  prefill.copy(file.data(), file.size() - 1);
  OPENFILENAMEA ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = hwnd_;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.Flags = OFN_HIDEREADONLY | OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_OVERWRITEPROMPT | OFN_EXPLORER;
  if (!GetOpenFileNameA(&ofn)) return false;
  *chosen = frame::Text(file.data());
  return true;
}

}  // namespace

void RegisterWindowClasses() {
  static bool done = false;
  if (done) return;
  done = true;
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.hInstance = Instance();
  wc.hCursor = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));

  wc.lpfnWndProc = Window::Proc;
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kWindowClass;
  RegisterClassExA(&wc);

  RegisterControlClasses();
  RegisterBalloonTipClass();
}

std::unique_ptr<frame::NativeWindow> BuildWindow(const frame::WindowLayout& layout,
                                                 frame::WindowEvents& events) {
  auto w = std::make_unique<Window>(layout, events);
  if (!w->Create()) return nullptr;
  return w;
}

bool RouteDialogKeys(MSG* msg) {
  if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return false;
  HWND root = GetAncestor(msg->hwnd, GA_ROOT);
  char cls[32] = "";
  if (!root || !GetClassNameA(root, cls, sizeof cls) || lstrcmpA(cls, kWindowClass) != 0) return false;
  return IsDialogMessageA(root, msg) != FALSE;
}

}  // namespace win32

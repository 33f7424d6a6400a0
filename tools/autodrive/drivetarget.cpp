// drivetarget: a small raw-Win32 window for testing the automation driver
// apart from the frame. Control ids follow the naming contract (kind number
// x 100 + number); 标签1 names the last control whose click reached the
// window (at start: the environment variable DRIVETARGET_LABEL), 标签2
// counts the changes of 编辑框1.
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

constexpr int kCheck1 = 301, kGroup1 = 501, kRadio1 = 401, kRadio2 = 402, kRadio3 = 403;
constexpr int kGroup2 = 502, kButton7 = 107;
constexpr int kEdit1 = 201, kLabel1 = 601, kLabel2 = 602;
constexpr int kButton1 = 101, kButton2 = 102, kButton3 = 103, kButton4 = 104, kButton5 = 105;

const char kTitle[] = "驱动靶子";
const char kTipClass[] = "DriveTargetTip";

HWND g_main = nullptr;
HWND g_tip = nullptr;
int g_changes = 0;
WNDPROC g_group_proc = nullptr;

HWND Item(int id) {
  // Controls inside the group boxes are their children, not the window's.
  for (HWND parent : {g_main, GetDlgItem(g_main, kGroup1), GetDlgItem(g_main, kGroup2)})
    if (HWND h = GetDlgItem(parent, id)) return h;
  return nullptr;
}

void SetLabel(const char* text) { SetWindowTextA(Item(kLabel1), text); }

std::string EditText() {
  HWND edit = Item(kEdit1);
  std::string text(GetWindowTextLengthA(edit) + 1, '\0');
  text.resize(GetWindowTextA(edit, &text[0], (int)text.size()));
  return text;
}

// Read from the whole block: Wine's GetEnvironmentVariableA ends a GBK value
// after as many bytes as it has characters.
std::string EnvironmentValue(const std::string& name) {
  std::string value;
  if (char* env = GetEnvironmentStringsA()) {
    for (const char* p = env; *p; p += strlen(p) + 1)
      if (strncmp(p, name.c_str(), name.size()) == 0 && p[name.size()] == '=') value = p + name.size() + 1;
    FreeEnvironmentStringsA(env);
  }
  return value;
}

void CopyToClipboard(const std::string& text) {
  if (!OpenClipboard(g_main)) return;
  EmptyClipboard();
  if (HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1)) {
    memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
    GlobalUnlock(block);
    if (!SetClipboardData(CF_TEXT, block)) GlobalFree(block);
  }
  CloseClipboard();
}

void ShowTip() {
  if (g_tip) DestroyWindow(g_tip);
  POINT p;
  GetCursorPos(&p);
  g_tip = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kTipClass, "提示：第一行\r\n第二行", WS_POPUP | WS_BORDER,
                          p.x, p.y, 160, 48, g_main, nullptr, GetModuleHandleA(nullptr), nullptr);
  ShowWindow(g_tip, SW_SHOWNOACTIVATE);
}

void OnCommand(int id, int code) {
  char label[64];
  switch (id) {
    case kCheck1:
      snprintf(label, sizeof label, "选择框1:%d", (int)SendMessageA(Item(kCheck1), BM_GETCHECK, 0, 0));
      SetLabel(label);
      break;
    case kRadio1: SetLabel("单选框1"); break;
    case kRadio2: SetLabel("单选框2"); break;
    case kRadio3: SetLabel("单选框3"); break;
    case kButton7: SetLabel("按钮7"); break;
    case kButton3: SetLabel("按钮3"); break;
    case kButton1:
      SetLabel("按钮1");
      MessageBoxA(nullptr, "你好，世界！", "靶子提示：", MB_OK | MB_TASKMODAL);
      SetLabel("按钮1:关闭");
      break;
    case kButton2:
      CopyToClipboard(EditText());
      SetLabel("按钮2");
      break;
    case kButton4: PostQuitMessage(-1); break;
    case kButton5: ShowTip(); break;
    case kEdit1:
      if (code == EN_CHANGE) {
        snprintf(label, sizeof label, "%d", ++g_changes);
        SetWindowTextA(Item(kLabel2), label);
      }
      break;
  }
}

// A group box sends its children's notifications to itself; pass them on.
LRESULT CALLBACK GroupProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_COMMAND) return SendMessageA(GetParent(h), msg, w, l);
  return CallWindowProcA(g_group_proc, h, msg, w, l);
}

LRESULT CALLBACK TipProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(h, &ps);
    char text[128];
    GetWindowTextA(h, text, sizeof text);
    RECT r;
    GetClientRect(h, &r);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    DrawTextA(dc, text, -1, &r, DT_LEFT);
    EndPaint(h, &ps);
    return 0;
  }
  if (msg == WM_DESTROY && h == g_tip) g_tip = nullptr;
  return DefWindowProcA(h, msg, w, l);
}

LRESULT CALLBACK MainProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  switch (msg) {
    case WM_COMMAND: OnCommand(LOWORD(w), HIWORD(w)); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
  }
  return DefWindowProcA(h, msg, w, l);
}

HWND Make(const char* cls, const char* text, DWORD style, int x, int y, int w, int h, HWND parent, int id,
          DWORD exstyle = 0) {
  HWND c = CreateWindowExA(exstyle, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           (HMENU)(INT_PTR)id, GetModuleHandleA(nullptr), nullptr);
  SendMessageA(c, WM_SETFONT, (WPARAM)GetStockObject(DEFAULT_GUI_FONT), FALSE);
  return c;
}

void MakeControls() {
  Make("Button", "选择", BS_AUTOCHECKBOX, 10, 10, 120, 24, g_main, kCheck1);
  HWND group1 = Make("Button", "分组一", BS_GROUPBOX, 10, 40, 210, 100, g_main, kGroup1);
  g_group_proc = (WNDPROC)SetWindowLongPtrA(group1, GWLP_WNDPROC, (LONG_PTR)GroupProc);
  Make("Button", "甲", BS_AUTORADIOBUTTON | WS_GROUP, 10, 20, 100, 22, group1, kRadio1);
  Make("Button", "乙", BS_AUTORADIOBUTTON, 10, 44, 100, 22, group1, kRadio2);
  Make("Button", "丙", BS_AUTORADIOBUTTON, 10, 68, 100, 22, group1, kRadio3);
  HWND group2 = Make("Button", "分组二", BS_GROUPBOX | WS_DISABLED, 10, 145, 210, 50, g_main, kGroup2);
  SetWindowLongPtrA(group2, GWLP_WNDPROC, (LONG_PTR)GroupProc);
  Make("Button", "里面", BS_PUSHBUTTON, 10, 18, 100, 24, group2, kButton7);
  Make("Edit", "", ES_AUTOHSCROLL, 10, 200, 210, 24, g_main, kEdit1, WS_EX_CLIENTEDGE);
  Make("Button", "消息", BS_PUSHBUTTON, 10, 230, 100, 28, g_main, kButton1);
  Make("Button", "复制", BS_PUSHBUTTON, 120, 230, 100, 28, g_main, kButton2);
  Make("Button", "禁用", BS_PUSHBUTTON | WS_DISABLED, 10, 262, 100, 28, g_main, kButton3);
  Make("Button", "退出", BS_PUSHBUTTON, 120, 262, 100, 28, g_main, kButton4);
  Make("Button", "提示", BS_PUSHBUTTON, 10, 294, 100, 28, g_main, kButton5);
  Make("Static", EnvironmentValue("DRIVETARGET_LABEL").c_str(), SS_LEFT, 10, 326, 150, 20, g_main, kLabel1);
  Make("Static", "0", SS_LEFT, 170, 326, 50, 20, g_main, kLabel2);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = MainProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
  wc.lpszClassName = "DriveTargetWindow";
  RegisterClassA(&wc);
  wc.lpfnWndProc = TipProc;
  wc.hbrBackground = (HBRUSH)(COLOR_INFOBK + 1);
  wc.lpszClassName = kTipClass;
  RegisterClassA(&wc);

  g_main = CreateWindowExA(0, "DriveTargetWindow", kTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                           CW_USEDEFAULT, CW_USEDEFAULT, 240, 390, nullptr, nullptr, instance, nullptr);
  if (!g_main) return 2;
  MakeControls();
  ShowWindow(g_main, SW_SHOW);
  UpdateWindow(g_main);

  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return (int)msg.wParam;
}

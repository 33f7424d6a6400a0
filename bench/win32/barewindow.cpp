// The least a program does to show a window: register a class, create the
// window, show it, run the message loop. With "box" it shows a message box
// instead. Any further arguments are DLLs it loads first, to measure what the
// libraries a program pulls in cost at start.
#include <windows.h>

#include <cstring>

namespace {

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(hwnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show) {
  bool box = false;
  for (int i = 1; i < __argc; ++i) {
    if (std::strcmp(__argv[i], "box") == 0) {
      box = true;
    } else {
      LoadLibraryA(__argv[i]);
    }
  }
  if (box) return MessageBoxA(nullptr, "bare", "bare", MB_OK) ? 0 : 1;
  WNDCLASSA wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "BareWindow";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowA("BareWindow", "bare", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT, 400, 300,
                            nullptr, nullptr, instance, nullptr);
  ShowWindow(hwnd, show);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

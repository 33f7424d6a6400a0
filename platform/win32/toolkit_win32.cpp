#include "platform/win32/toolkit_win32.h"

#include <windows.h>
#include <ole2.h>

#include <vector>

#include "platform/win32/window_win32.h"

namespace win32 {

Toolkit::Toolkit() { RegisterWindowClasses(); }

Toolkit::~Toolkit() {
  if (oleInitialised_) OleUninitialize();
}

std::unique_ptr<frame::NativeWindow> Toolkit::Build(const frame::WindowLayout& layout,
                                                    frame::WindowEvents& events) {
  return BuildWindow(layout, events);
}

int Toolkit::ShowMessageBox(const frame::Text& text, const frame::Text& title, int flags) {
  // No owner and task-modal: every window of the program refuses input until
  // the box is closed, while timers keep running in the box's message loop.
  HWND active = GetActiveWindow();
  const int pressed = MessageBoxA(nullptr, text.c_str(), title.c_str(), static_cast<UINT>(flags) | MB_OK | MB_TASKMODAL);
  // A box without an owner may leave no window active when it closes (Wine
  // does): give the activation back to the window that had it, so the keys
  // the user presses next reach the program.
  if (active && IsWindow(active) && IsWindowEnabled(active) && !GetActiveWindow()) SetForegroundWindow(active);
  return pressed;
}

void Toolkit::RunLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (!RouteDialogKeys(&msg)) {
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
}

void Toolkit::QuitLoop() { PostQuitMessage(0); }

void Toolkit::FatalError(const frame::Text& message) {
  MessageBoxA(nullptr, message.c_str(), "运行时错误", MB_OK | MB_ICONERROR | MB_TASKMODAL);
  ExitProcess(static_cast<UINT>(-1));
}

frame::Text Toolkit::ProgramPath() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return frame::Text();
    if (n < buffer.size()) return frame::Text(buffer.data(), n);
    buffer.resize(buffer.size() * 2);  // truncated: try a larger buffer
  }
}

void Toolkit::SetCurrentFolder(const frame::Text& folder) {
  // "E:" alone would mean the current folder of drive E, not its root.
  const frame::Text path = folder.size() == 2 && folder[1] == ':' ? folder + "\\" : folder;
  SetCurrentDirectoryA(path.c_str());
}

void Toolkit::InitialiseOle() { oleInitialised_ = SUCCEEDED(OleInitialize(nullptr)); }

frame::Point Toolkit::MousePosition() {
  POINT p{};
  GetCursorPos(&p);
  return {p.x, p.y};
}

}  // namespace win32

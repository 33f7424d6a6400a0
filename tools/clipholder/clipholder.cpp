// clipholder [MS]: opens the clipboard and keeps it open, as another program
// reading or writing it does, without changing what it holds.
//
// Prints "held" once the clipboard is open, then closes it after MS
// milliseconds, or, without MS, when a line or the end of standard input
// arrives; then prints "released". Exit code 1 and "failed" when the
// clipboard could not be opened.
//
// It opens the clipboard for a window of its own: Wine lets a second opener
// in when both pass no window, which Windows does not.
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  HWND owner = CreateWindowExA(0, "STATIC", "clipholder", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  if (!owner || !OpenClipboard(owner)) {
    std::puts("failed");
    return 1;
  }
  std::puts("held");
  std::fflush(stdout);
  if (argc > 1) {
    Sleep(static_cast<DWORD>(std::atoi(argv[1])));
  } else {
    char line[64];
    std::fgets(line, sizeof line, stdin);
  }
  CloseClipboard();
  std::puts("released");
  std::fflush(stdout);
  DestroyWindow(owner);
  return 0;
}

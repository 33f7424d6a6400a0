// sendmsg MSG HWND...: sends the message MSG with wParam and lParam 0 to each
// window and prints each answer on a line of its own, as an unsigned decimal
// number; "-" where the window did not answer within two seconds. Numbers
// are decimal, or hexadecimal with 0x. Only messages that carry no pointers
// cross processes this way (EM_GETLIMITTEXT, BM_GETCHECK, ...).
#include <windows.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: sendmsg MSG HWND...\n", stderr);
    return 2;
  }
  const UINT msg = static_cast<UINT>(std::strtoul(argv[1], nullptr, 0));
  for (int i = 2; i < argc; ++i) {
    HWND h = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::strtoul(argv[i], nullptr, 0)));
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutA(h, msg, 0, 0, SMTO_ABORTIFHUNG, 2000, &answer))
      std::printf("%lu\n", static_cast<unsigned long>(answer));
    else
      std::puts("-");
  }
  return 0;
}

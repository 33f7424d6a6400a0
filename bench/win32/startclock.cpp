// Times how long programs take from their start to their first visible
// top-level window:
//   startclock ROUNDS COMMAND...
// Each round starts every command in turn (side by side, so that a slow
// moment of the machine falls on all of them alike), waits for a visible
// window of the new process, ends it, and prints one line per start:
// "<command index> <microseconds>" (-1 when no window came within 10 s).
#include <windows.h>

#include <cstdio>
#include <cstdlib>

namespace {

struct Search {
  DWORD pid;
  bool found;
};

BOOL CALLBACK Visit(HWND hwnd, LPARAM lp) {
  auto* s = reinterpret_cast<Search*>(lp);
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  if (pid == s->pid && IsWindowVisible(hwnd)) {
    s->found = true;
    return FALSE;
  }
  return TRUE;
}

double TimeToWindow(char* command) {
  LARGE_INTEGER frequency, start, now;
  QueryPerformanceFrequency(&frequency);
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  QueryPerformanceCounter(&start);
  if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  double us = -1;
  for (;;) {
    Search s{pi.dwProcessId, false};
    EnumWindows(Visit, reinterpret_cast<LPARAM>(&s));
    QueryPerformanceCounter(&now);
    double elapsed = (now.QuadPart - start.QuadPart) * 1e6 / frequency.QuadPart;
    if (s.found) {
      us = elapsed;
      break;
    }
    if (elapsed > 10e6 || WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) break;
    Sleep(1);
  }
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 5000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return us;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: startclock ROUNDS COMMAND...\n");
    return 2;
  }
  int rounds = std::atoi(argv[1]);
  for (int r = 0; r < rounds; ++r) {
    for (int i = 2; i < argc; ++i) {
      std::printf("%d %.0f\n", i - 2, TimeToWindow(argv[i]));
      std::fflush(stdout);
      Sleep(150);  // let the ended process's windows go before the next start
    }
  }
  return 0;
}

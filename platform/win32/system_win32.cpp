#include "platform/win32/system_win32.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "platform/win32/handles.h"

namespace win32 {
namespace {

class Shell : public platform::Shell {
 public:
  void Open(const frame::Text& address) override {
    ShellExecuteA(nullptr, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  }
};

class Processes : public platform::Processes {
 public:
  bool Start(const frame::Text& commandLine, int readyWaitMs) override {
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');  // CreateProcessA may write into the command line
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi))
      return false;
    Handle process(pi.hProcess), thread(pi.hThread);
    WaitForInputIdle(process.get(), static_cast<DWORD>(readyWaitMs));
    return true;
  }
};

class Clock : public platform::Clock {
 public:
  platform::LocalTime Now() override {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
  }
};

}  // namespace

std::unique_ptr<platform::Shell> MakeShell() { return std::make_unique<Shell>(); }
std::unique_ptr<platform::Processes> MakeProcesses() { return std::make_unique<Processes>(); }
std::unique_ptr<platform::Clock> MakeClock() { return std::make_unique<Clock>(); }

}  // namespace win32

// Starting programs, waiting for their end, reading their exit codes.
#include <cstring>
#include <map>

#include "driver.h"

#include <psapi.h>  // after windows.h, which driver.h brings

namespace autodrive {
namespace {

// Handles of the processes we started, kept open so that the exit code can
// still be read after the process has ended and its id could be reused.
std::map<DWORD, HANDLE>& Started() {
  static std::map<DWORD, HANDLE> started;
  return started;
}

// An owned handle from OpenProcess for a process we did not start.
class OpenedProcess {
 public:
  explicit OpenedProcess(DWORD pid) {
    auto it = Started().find(pid);
    if (it != Started().end()) {
      handle_ = it->second;
    } else {
      handle_ = OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid);
      owned_ = true;
    }
  }
  ~OpenedProcess() {
    if (owned_ && handle_) CloseHandle(handle_);
  }
  OpenedProcess(const OpenedProcess&) = delete;
  OpenedProcess& operator=(const OpenedProcess&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
  bool owned_ = false;
};

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, a.data(), (int)a.size(),
                                                b.data(), (int)b.size()) == CSTR_EQUAL;
}

// The driver's environment with each "NAME=VALUE" of `changes` set, as the
// double-zero-terminated block CreateProcessA takes.
std::string EnvironmentBlock(const std::vector<std::string>& changes) {
  std::vector<std::string> vars;
  if (char* env = GetEnvironmentStringsA()) {
    for (const char* p = env; *p; p += std::strlen(p) + 1) vars.emplace_back(p);
    FreeEnvironmentStringsA(env);
  }
  for (const std::string& change : changes) {
    const std::string name = change.substr(0, change.find('='));
    bool replaced = false;
    for (std::string& v : vars) {
      // Entries such as "=C:=C:\" start with '=': their name is not empty.
      size_t eq = v.find('=', 1);
      if (eq != std::string::npos && SameName(v.substr(0, eq), name)) {
        v = change;
        replaced = true;
      }
    }
    if (!replaced) vars.push_back(change);
  }
  std::string block;
  for (const std::string& v : vars) block.append(v).push_back('\0');
  block.push_back('\0');
  return block;
}

}  // namespace

Reply CmdStart(Args& a) {
  std::string path, dir, args;
  if (!a.Text(&path) || !a.Text(&dir) || !a.Text(&args)) return a.Bad();
  std::vector<std::string> env;
  while (a.More()) {
    std::string change;
    if (!a.Text(&change)) return a.Bad();
    if (change.find('=') == std::string::npos || change[0] == '=') return Err("bad-request", "env-not-name=value");
    env.push_back(change);
  }
  std::string command = "\"" + path + "\"";
  if (!args.empty()) command += " " + args;

  // NUL for the standard handles, so that nothing the program writes reaches
  // the driver's reply stream.
  SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
  HANDLE nul_in = CreateFileA("NUL", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
  HANDLE nul_out = CreateFileA("NUL", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0, nullptr);
  STARTUPINFOA si = {};
  si.cb = sizeof(si);
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = nul_in;
  si.hStdOutput = nul_out;
  si.hStdError = nul_out;
  PROCESS_INFORMATION pi = {};
  std::string block;
  if (!env.empty()) block = EnvironmentBlock(env);
  const BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0,
                                      env.empty() ? nullptr : &block[0], dir.empty() ? nullptr : dir.c_str(), &si, &pi);
  const DWORD error = GetLastError();
  if (nul_in != INVALID_HANDLE_VALUE) CloseHandle(nul_in);
  if (nul_out != INVALID_HANDLE_VALUE) CloseHandle(nul_out);
  if (!started) return Err("failed", "CreateProcessA " + Num(error));
  CloseHandle(pi.hThread);
  Started()[pi.dwProcessId] = pi.hProcess;
  return Ok(Num(pi.dwProcessId));
}

Reply CmdWaitExit(Args& a) {
  long long pid, ms;
  if (!a.Int(&pid) || !a.Int(&ms) || !a.Done()) return a.Bad();
  OpenedProcess process((DWORD)pid);
  if (!process.get()) return Err("no-process", Num(pid));
  Deadline deadline(ms);
  // Poll rather than block, so that callbacks of earlier clicks still run.
  if (!PollUntil(deadline, [&] { return WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0; }))
    return Err("timeout", "running");
  DWORD code = 0;
  if (!GetExitCodeProcess(process.get(), &code)) return Err("failed", "GetExitCodeProcess " + Num(GetLastError()));
  return Ok(Num((long)code));
}

Reply CmdKill(Args& a) {
  long long pid;
  if (!a.Int(&pid) || !a.Done()) return a.Bad();
  OpenedProcess process((DWORD)pid);
  if (!process.get()) return Err("no-process", Num(pid));
  if (WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0) return Ok("ended");
  if (!TerminateProcess(process.get(), 1)) return Err("failed", "TerminateProcess " + Num(GetLastError()));
  return Ok("killed");
}

// What a soak watches grow: counted by the system for another process.
Reply CmdResources(Args& a) {
  long long pid;
  if (!a.Int(&pid) || !a.Done()) return a.Bad();
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, (DWORD)pid);
  if (!process) return Err("no-process", Num(pid));
  DWORD handles = 0;
  GetProcessHandleCount(process, &handles);
  const DWORD gdi = GetGuiResources(process, GR_GDIOBJECTS);
  const DWORD user = GetGuiResources(process, GR_USEROBJECTS);
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof(memory);
  const BOOL read = GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof(memory));
  const DWORD error = GetLastError();
  CloseHandle(process);
  if (!read) return Err("failed", "GetProcessMemoryInfo " + Num((long long)error));
  // The commit charge is the private memory; some systems leave PrivateUsage 0.
  const SIZE_T private_bytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
  return Ok(Num((long long)handles) + " " + Num((long long)gdi) + " " + Num((long long)user) + " " +
            Num((long long)private_bytes));
}

}  // namespace autodrive

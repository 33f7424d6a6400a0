// The shell, process start and the clock on Windows.
#pragma once
#include <memory>

#include "platform/clock.h"
#include "platform/processes.h"
#include "platform/shell.h"

namespace win32 {
std::unique_ptr<platform::Shell> MakeShell();
std::unique_ptr<platform::Processes> MakeProcesses();
std::unique_ptr<platform::Clock> MakeClock();
}  // namespace win32

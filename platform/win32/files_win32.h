#pragma once
#include <memory>

#include "platform/files.h"

namespace win32 {
std::unique_ptr<platform::Files> MakeFiles();
}

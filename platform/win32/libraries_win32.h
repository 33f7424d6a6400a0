#pragma once
#include <memory>

#include "platform/libraries.h"

namespace win32 {
std::unique_ptr<platform::Libraries> MakeLibraries();
}

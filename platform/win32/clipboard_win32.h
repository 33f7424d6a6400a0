// The clipboard on Windows.
#pragma once
#include <memory>

#include "platform/clipboard.h"

namespace win32 {
std::unique_ptr<platform::Clipboard> MakeClipboard();
}  // namespace win32

#include "platform/win32/files_win32.h"

#include <windows.h>

#include "platform/win32/handles.h"

namespace win32 {
namespace {

class Files : public platform::Files {
 public:
  bool WriteFile(const frame::Text& path, std::string_view bytes) override {
    File file(CreateFileA(path.c_str(), GENERIC_WRITE, 0 /* exclusive */, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    while (!bytes.empty()) {
      DWORD written = 0;
      const DWORD chunk = bytes.size() > 0x10000000u ? 0x10000000u : static_cast<DWORD>(bytes.size());
      if (!::WriteFile(file.get(), bytes.data(), chunk, &written, nullptr) || written == 0) return false;
      bytes.remove_prefix(written);
    }
    return true;
  }
};

}  // namespace

std::unique_ptr<platform::Files> MakeFiles() { return std::make_unique<Files>(); }

}  // namespace win32

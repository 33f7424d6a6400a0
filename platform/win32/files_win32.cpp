#include "platform/win32/files_win32.h"

#include <windows.h>

#include "platform/win32/handles.h"

namespace win32 {
namespace {

bool WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    DWORD written = 0;
    const DWORD chunk = bytes.size() > 0x10000000u ? 0x10000000u : static_cast<DWORD>(bytes.size());
    if (!::WriteFile(file, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

class Files : public platform::Files {
 public:
  bool WriteFile(const frame::Text& path, std::string_view bytes) override {
    File file(CreateFileA(path.c_str(), GENERIC_WRITE, 0 /* exclusive */, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && WriteAll(file.get(), bytes);
  }

  bool Exists(const frame::Text& path) override {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  bool WriteNewFile(const frame::Text& path, std::string_view bytes) override {
    File file(CreateFileA(path.c_str(), GENERIC_WRITE, 0 /* exclusive */, nullptr, CREATE_NEW,
                          FILE_ATTRIBUTE_NORMAL, nullptr));
    return file && WriteAll(file.get(), bytes);
  }

  // Wine keeps the archive bit it sets at creation when asked for hidden
  // alone: the attributes read back as 0x22 there.
  bool MakeHidden(const frame::Text& path) override {
    return SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_HIDDEN) != 0;
  }
};

}  // namespace

std::unique_ptr<platform::Files> MakeFiles() { return std::make_unique<Files>(); }

}  // namespace win32

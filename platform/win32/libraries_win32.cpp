#include "platform/win32/libraries_win32.h"

#include <windows.h>

#include "platform/win32/handles.h"

// call_checked.S: pushes `count` arguments from `args` (the last one first),
// calls `function` and gives the distance between the stack pointer after
// the call and before the pushes; 0 when the callee removed its arguments.
extern "C" int zv_call_checked(void* function, const uintptr_t* args, int count);

namespace win32 {
namespace {

class Library : public platform::Library {
 public:
  explicit Library(HMODULE h) : module_(h) {}
  void* Find(const char* function) override {
    return reinterpret_cast<void*>(GetProcAddress(module_.get(), function));
  }

 private:
  LibraryHandle module_;
};

class Libraries : public platform::Libraries {
 public:
  std::unique_ptr<platform::Library> Load(const frame::Text& path) override {
    HMODULE h = LoadLibraryA(path.c_str());
    if (!h) return nullptr;
    return std::make_unique<Library>(h);
  }
  bool CallChecked(void* function, std::span<const uintptr_t> args) override {
    return zv_call_checked(function, args.data(), static_cast<int>(args.size())) == 0;
  }
};

}  // namespace

std::unique_ptr<platform::Libraries> MakeLibraries() { return std::make_unique<Libraries>(); }

}  // namespace win32

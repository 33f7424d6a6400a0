// The skin setup: writes the skin library beside the program when it is
// missing, and hands the engine a skin and its aero switch.
#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "frame/text.h"

namespace platform {
class Files;
class Libraries;
class Library;
}  // namespace platform

namespace frame {

class Frame;

constexpr char kSkinLibraryFile[] = "SkinH_EL.dll";
constexpr char kAttachSkin[] = "SkinH_AttachRes";
constexpr char kSetAero[] = "SkinH_SetAero";

// The engine's bytes and its skin images; skin 1 is images[0].
struct SkinPayload {
  std::string_view library;
  std::span<const std::string_view> images;
};

// One library function the program calls: the library's file name and the
// function's name.
struct LibraryBinding {
  const char* file;
  const char* function;
};

class SkinSetup {
 public:
  SkinSetup(platform::Files& files, platform::Libraries& libraries, SkinPayload payload,
            std::span<const LibraryBinding> bindings);
  ~SkinSetup();
  SkinSetup(const SkinSetup&) = delete;
  SkinSetup& operator=(const SkinSetup&) = delete;

  void EnsureSkinLibrary(Frame& f);
  void ApplySkin(Frame& f, int number);
  void EnableSkinAero(Frame& f);

 private:
  struct Row {
    LibraryBinding binding;
    void* address = nullptr;
    std::unique_ptr<platform::Library> library;
  };
  void Call(Frame& f, const char* function, std::span<const uintptr_t> args);
  void* Bind(Frame& f, Row& row);

  platform::Files& files_;
  platform::Libraries& libraries_;
  SkinPayload payload_;
  std::vector<Row> rows_;
  bool ensured_ = false;  // the library file is looked at once per run
};

// The skin steps as handlers take them: through the program's skin setup,
// and nothing when the program has none.
void EnsureSkinLibrary(Frame& f);
void ApplySkin(Frame& f, int number);
void EnableSkinAero(Frame& f);

}  // namespace frame

#include "frame/skin_setup.h"

#include "frame/frame.h"
#include "platform/files.h"
#include "platform/libraries.h"

namespace frame {

SkinSetup::SkinSetup(platform::Files& files, platform::Libraries& libraries, SkinPayload payload,
                     std::span<const LibraryBinding> bindings)
    : files_(files), libraries_(libraries), payload_(payload) {
  for (const LibraryBinding& b : bindings) rows_.push_back(Row{b, nullptr, nullptr});
}

SkinSetup::~SkinSetup() = default;

void SkinSetup::EnsureSkinLibrary(Frame& f) {
  if (ensured_) return;
  ensured_ = true;
  const Text path = Concat({f.RunDirectory(), "\\", kSkinLibraryFile});
  if (files_.Exists(path)) return;  // whatever lies there is left as it is
  // Failures show up as the load failure of the first call.
  if (files_.WriteNewFile(path, payload_.library)) files_.MakeHidden(path);
}

void SkinSetup::ApplySkin(Frame& f, int number) {
  EnsureSkinLibrary(f);
  // A fresh copy for the call: the engine must not hold on to our data.
  std::vector<char> copy;
  if (number >= 1 && static_cast<size_t>(number) <= payload_.images.size()) {
    const std::string_view image = payload_.images[number - 1];
    copy.assign(image.begin(), image.end());
  }
  static const char kEmpty[] = "";
  const uintptr_t args[] = {copy.empty() ? 0 : reinterpret_cast<uintptr_t>(copy.data()), copy.size(),
                            reinterpret_cast<uintptr_t>(kEmpty), 0, 0, 0};
  Call(f, kAttachSkin, args);
}

void SkinSetup::EnableSkinAero(Frame& f) {
  EnsureSkinLibrary(f);
  const uintptr_t args[] = {1};
  Call(f, kSetAero, args);
}

void* SkinSetup::Bind(Frame& f, Row& row) {
  if (row.address) return row.address;
  auto library = libraries_.Load(Concat({f.RunDirectory(), "\\", row.binding.file}));
  if (!library) library = libraries_.Load(row.binding.file);
  if (!library) f.Fatal(Concat({"无法载入动态链接库 ", row.binding.file, "（调用函数 ", row.binding.function, " 时）"}));
  void* address = library->Find(row.binding.function);
  if (!address) f.Fatal(Concat({"动态链接库 ", row.binding.file, " 中没有函数 ", row.binding.function}));
  row.address = address;
  row.library = std::move(library);
  return address;
}

void SkinSetup::Call(Frame& f, const char* function, std::span<const uintptr_t> args) {
  for (Row& row : rows_) {
    if (Compare(row.binding.function, function) != 0) continue;
    void* address = Bind(f, row);
    if (!libraries_.CallChecked(address, args))
      f.Fatal(Concat({"调用函数 ", function, " 后堆栈位置不对：它没有按标准调用约定清理参数"}));
    return;
  }
  f.Fatal(Concat({"没有绑定函数 ", function}));
}

void EnsureSkinLibrary(Frame& f) {
  if (SkinSetup* s = f.services().skin) s->EnsureSkinLibrary(f);
}

void ApplySkin(Frame& f, int number) {
  if (SkinSetup* s = f.services().skin) s->ApplySkin(f, number);
}

void EnableSkinAero(Frame& f) {
  if (SkinSetup* s = f.services().skin) s->EnableSkinAero(f);
}

}  // namespace frame

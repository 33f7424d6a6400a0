// The output buttons: the address and the snippet copied to the clipboard,
// and the preview window showing the player.
#include "generator/generator_layout.h"
#include "generator/handlers.h"
#include "platform/clipboard.h"

namespace generator {
namespace {

constexpr char kNoCode[] = "还未生成代码··";
constexpr char kNoLink[] = "还未生成链接··";
// Shown instead of the success message when the clipboard could not be had;
// it then holds what it held before.
constexpr char kCopyFailed[] = "复制失败：剪贴板正被其他程序占用，请稍后再试！";

frame::Ref G(const char* control) { return {kGeneratorWindow, control}; }

void CopyField(frame::Frame& f, const char* field, const char* whenEmpty, const char* whenCopied) {
  if (f.GetText(G(field)).empty()) {
    f.ShowMessageBox(whenEmpty);
    return;
  }
  platform::Clipboard* clipboard = f.services().clipboard;
  const bool copied = clipboard && clipboard->PutText(f.GetText(G(field)));
  f.ShowMessageBox(copied ? whenCopied : kCopyFailed);
}

}  // namespace

void CopyAddress(frame::Frame& f) { CopyField(f, "编辑框2", kNoCode, "复制Flash代码成功！"); }

void CopySnippet(frame::Frame& f) { CopyField(f, "编辑框5", kNoLink, "复制HTML代码成功！"); }

// An open preview is only brought forward, keeping the address it was given.
void OpenPreview(frame::Frame& f) {
  if (f.GetText(G("编辑框2")).empty()) {
    f.ShowMessageBox(kNoCode);
    return;
  }
  f.LoadWindow(kPreviewWindow);
}

void PreviewCreated(frame::Frame& f) {
  f.SetAddress({kPreviewWindow, "超文本浏览框1"}, f.GetText(G("编辑框2")));
}

}  // namespace generator

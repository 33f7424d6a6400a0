// The frame's toolkit realised with real Win32 windows and controls.
#pragma once
#include "frame/toolkit.h"

namespace win32 {

class Toolkit : public frame::Toolkit {
 public:
  Toolkit();
  ~Toolkit() override;
  std::unique_ptr<frame::NativeWindow> Build(const frame::WindowLayout& layout,
                                             frame::WindowEvents& events) override;
  int ShowMessageBox(const frame::Text& text, const frame::Text& title, int flags) override;
  void RunLoop() override;
  void QuitLoop() override;
  [[noreturn]] void FatalError(const frame::Text& message) override;
  frame::Text ProgramPath() override;
  void SetCurrentFolder(const frame::Text& folder) override;
  void InitialiseOle() override;
  frame::Point MousePosition() override;

 private:
  bool oleInitialised_ = false;
};

}  // namespace win32

// What the frame needs of a GUI toolkit. platform/win32 realises it with real
// windows; the unit tests use a double. Controls are addressed by their row
// index in the window's layout.
#pragma once
#include <memory>

#include "frame/layout.h"
#include "frame/text.h"

namespace frame {

// What a built window reports back to the frame.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  virtual void Clicked(int index) = 0;      // a button, check box or radio button was pressed
  virtual void TextChanged(int index) = 0;  // an edit box's content changed
  virtual void Tick(int index) = 0;         // a timer's period elapsed
  virtual void Destroyed() = 0;             // the window is gone (close box)
};

struct Point {
  int x = 0, y = 0;
};

// One window built from a layout, with all its controls.
class NativeWindow {
 public:
  virtual ~NativeWindow() = default;  // destroys the window if it still exists, without reporting it
  virtual void SetVisible(int index, bool visible) = 0;
  virtual void SetEnabled(int index, bool enabled) = 0;
  virtual Text GetText(int index) = 0;  // edit content or caption
  virtual void SetText(int index, const Text& text) = 0;
  virtual bool GetChecked(int index) = 0;
  virtual void SetChecked(int index, bool checked) = 0;
  virtual void SetTextColour(int index, Colour colour) = 0;
  virtual void SetBackColour(int index, Colour colour) = 0;
  virtual void SetTimer(int index, int periodMs) = 0;  // 0 stops the timer
  virtual void Navigate(int index, const Text& address) = 0;
  virtual void PopUpTip(int index, Point at, const Text& text) = 0;
  // Shows the file-open dialog prefilled with `path`; true and the chosen
  // path when the user confirmed.
  virtual bool OpenFileDialog(int index, const Text& prefill, Text* chosen) = 0;
  virtual bool AcceptsInput() = 0;  // false while a task-modal box disables it
  virtual void Show() = 0;          // show and activate
  virtual void BringToFront() = 0;  // restore if minimised, else activate
};

class Toolkit {
 public:
  virtual ~Toolkit() = default;
  // Builds the window and its controls invisibly, with every initial property
  // of the layout. Null when the window could not be built.
  virtual std::unique_ptr<NativeWindow> Build(const WindowLayout& layout, WindowEvents& events) = 0;
  // A task-modal box with the text, one OK button and no icon; no owner.
  virtual int ShowMessageBox(const Text& text, const Text& title, int flags) = 0;
  virtual void RunLoop() = 0;
  virtual void QuitLoop() = 0;
  // One error box naming the failure, then the process ends with exit code -1.
  [[noreturn]] virtual void FatalError(const Text& message) = 0;
  virtual Text ProgramPath() = 0;  // the program's own full file name
  virtual void SetCurrentFolder(const Text& folder) = 0;
  virtual void InitialiseOle() = 0;
  virtual Point MousePosition() = 0;
};

}  // namespace frame

// The application frame: windows built from layouts, the property contract,
// event dispatch, message boxes, window loading, start-up and program end.
#pragma once
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "frame/layout.h"
#include "frame/services.h"
#include "frame/text.h"
#include "frame/toolkit.h"

namespace frame {

// A control named by its window and its name, e.g. {"PlayerWindow", "编辑框2"}.
struct Ref {
  const char* window;
  const char* control;
};

class Frame {
 public:
  Frame(Toolkit& toolkit, const Layouts& layouts, Services services = {});
  ~Frame();
  Frame(const Frame&) = delete;
  Frame& operator=(const Frame&) = delete;

  // The whole start-up: run directory, OLE, layouts, the start window, the
  // event loop. Returns the exit code (0 when the last window has closed).
  int Run(const char* startWindow);

  // Properties. Reads of texts give fresh copies; writes take effect at once.
  bool Visible(Ref r);
  void SetVisible(Ref r, bool visible);
  bool Disabled(Ref r);  // the control's own setting
  void SetDisabled(Ref r, bool disabled);
  Text GetText(Ref r);  // edit box content
  void SetText(Ref r, const Text& text);  // raises text-changed once, before returning
  Text Caption(Ref r);
  void SetCaption(Ref r, const Text& caption);
  Colour TextColour(Ref r);
  void SetTextColour(Ref r, Colour colour);
  Colour BackColour(Ref r);
  void SetBackColour(Ref r, Colour colour);
  bool Checked(Ref r);
  void SetChecked(Ref r, bool checked);  // this control only; raises nothing
  int Period(Ref r);
  void SetPeriod(Ref r, int periodMs);
  Text FileName(Ref r);  // common dialog: the path confirmed last
  Text Address(Ref r);
  void SetAddress(Ref r, const Text& address);

  // Operations.
  int ShowMessageBox(const Text& text, int flags = 0, const char* title = nullptr);
  bool LoadWindow(const char* window);
  Text RunDirectory() const { return runDirectory_; }
  Point MousePosition();
  void PopUpTip(Ref box, int x, int y, const Text& text);
  bool OpenDialog(Ref dialog);  // true when the user confirmed a file
  const Services& services() const { return services_; }

  // Ends the program at once with exit code -1 after one error box.
  [[noreturn]] void Fatal(const Text& message);

  bool IsOpen(const char* window) const;

 private:
  struct Window;
  struct Slot;
  Slot Find(Ref r);
  Window* Build(const WindowLayout& layout);
  void OnClicked(Window& w, int index);
  void OnTextChanged(Window& w, int index);
  void OnTick(Window& w, int index);
  void OnDestroyed(Window& w);
  bool InputAllowed(Window& w, int index);
  void Guarded(Handler h);

  Toolkit& toolkit_;
  const Layouts& layouts_;
  Services services_;
  Text runDirectory_;
  bool loopRunning_ = false;
  int depth_ = 0;  // handlers on the stack
  std::map<std::string, std::unique_ptr<Window>> open_;
  std::vector<std::unique_ptr<Window>> closed_;  // kept until the current event returns
};

// Checks that every layout can be built: control names are kind word plus
// number and unique in their window, containers are group boxes declared
// earlier, and each event is one the kind raises. Empty when sound, else
// the first failure.
Text CheckLayouts(const Layouts& layouts);

}  // namespace frame

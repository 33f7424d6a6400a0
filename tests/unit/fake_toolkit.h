// A stand-in for the GUI toolkit in the unit tests. It keeps the state the
// real controls would hold, lets a test act as the user, and records every
// request of the frame that a user or an outside observer could notice.
//
// It behaves as the Win32 toolkit does where the frame depends on it:
// - a click is delivered even to a disabled control, or to a control of a
//   window disabled by a task-modal box (BM_CLICK and posted clicks get
//   there too); refusing it is the frame's job;
// - check boxes and radio buttons are not automatic: a click only reports,
//   the frame sets the marks;
// - an edit box reports a change whenever its content is set, also when the
//   toolkit sets it (the initial text) and when the text is the same;
// - a message box disables every window until it closes, and timers keep
//   firing while it is up; the file dialog disables its owner window.
#pragma once
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "frame/toolkit.h"

namespace fake {

using frame::Colour;
using frame::Kind;
using frame::Point;
using frame::Text;

// Thrown by FatalError once the message is recorded. It is no std::exception,
// so the frame's guard around handlers lets it through as a real process end.
struct FatalExit {
  Text message;
};
// Thrown by RunLoop when the scripted user actions are used up and nobody
// asked the loop to end: the real loop would wait for ever.
struct LoopNeverEnds {};
// Thrown after a test failure when a window or control asked for is not there.
struct NoSuchThing {};

struct Tip {
  Point at;
  Text text;
};

struct ControlState {
  const frame::Control* row;
  Text text;  // edit content or caption
  bool checked;
  bool enabled;
  bool visible;
  Colour textColour;
  Colour backColour;
  int timerPeriod = 0;  // 0: stopped
  int timerSets = 0;    // SetTimer requests; each one restarts the count
  std::vector<Text> navigations;
  std::vector<Tip> tips;
  std::vector<Text> dialogPrefills;
};

class FakeWindow;

struct WindowState {
  const frame::WindowLayout* layout;
  FakeWindow* native = nullptr;  // null once the frame has released the window
  frame::WindowEvents* events;  // null once the frame has released the window
  std::vector<ControlState> controls;
  bool exists = true;  // false once destroyed
  bool shown = false;
  bool minimised = false;
  bool acceptsInput = true;  // a test's switch, as if a box of another program were up
  int dialogsUp = 0;         // file dialogs this window owns that are open
  int frontRequests = 0;

  int Index(std::string_view name) const {
    for (size_t i = 0; i < controls.size(); ++i)
      if (name == controls[i].row->name) return static_cast<int>(i);
    ADD_FAILURE() << "window " << layout->name << " has no control " << name;
    throw NoSuchThing{};
  }
  ControlState& Control(std::string_view name) { return controls[Index(name)]; }
};

class FakeToolkit : public frame::Toolkit {
 public:
  // What a test sets up.
  Text programPath = "C:\\Programs\\Test.exe";
  Point mouse{};
  std::set<std::string> failBuild;  // layouts whose window cannot be built

  // What the frame asked for, in order: "ProgramPath", "SetCurrentFolder
  // <folder>", "InitialiseOle", "Build <window>", "Show <window>",
  // "BringToFront <window>", "MessageBox <text>", "OpenFileDialog <window>",
  // "RunLoop", "QuitLoop", "FatalError <message>"; user closes as
  // "Destroyed <window>", and a test's own notes.
  std::vector<std::string> calls;
  struct Box {
    Text text, title;
    int flags;
  };
  std::vector<Box> boxes;
  std::vector<Text> fatalErrors;
  Text currentFolder;
  std::vector<std::shared_ptr<WindowState>> windows;  // every window built, in order

  void Note(std::string what) { calls.push_back(std::move(what)); }
  int Count(std::string_view call) const {
    int n = 0;
    for (const auto& c : calls) n += c == call;
    return n;
  }
  // The calls after the first one equal to `from`.
  std::vector<std::string> CallsAfter(std::string_view from) const {
    for (size_t i = 0; i < calls.size(); ++i)
      if (calls[i] == from) return {calls.begin() + i + 1, calls.end()};
    ADD_FAILURE() << "no call " << from;
    return {};
  }
  int Builds(std::string_view window) const {
    int n = 0;
    for (const auto& w : windows) n += window == w->layout->name;
    return n;
  }
  // The window of that name that exists now.
  WindowState& Win(std::string_view window) {
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
      if ((*it)->exists && window == (*it)->layout->name) return **it;
    ADD_FAILURE() << "no open window " << window;
    throw NoSuchThing{};
  }
  bool BoxUp() const { return boxesUp_ > 0; }

  // Scripts. Each box or dialog that opens takes the next entry; the action
  // runs while it is up.
  void WhileNextBox(std::function<void()> action) { boxScript_.push_back(std::move(action)); }
  void AnswerNextDialog(bool confirmed, Text path = {}, std::function<void()> whileUp = {}) {
    dialogScript_.push_back({confirmed, std::move(path), std::move(whileUp)});
  }
  // User actions the event loop carries out one by one until it is asked to end.
  void Then(std::function<void()> step) { loopSteps_.push_back(std::move(step)); }
  size_t PendingSteps() const { return loopSteps_.size(); }

  // The user's actions.
  void Click(std::string_view window, std::string_view control) {
    WindowState& w = Win(window);
    const int i = w.Index(control);
    const Kind k = w.controls[i].row->kind;
    if (k != Kind::Button && k != Kind::Check && k != Kind::Radio)
      ADD_FAILURE() << control << " cannot be clicked";
    Events(w).Clicked(i);
  }
  void Type(std::string_view window, std::string_view control, const Text& text) {
    WindowState& w = Win(window);
    const int i = w.Index(control);
    if (w.controls[i].row->kind != Kind::Edit) ADD_FAILURE() << control << " is no edit box";
    w.controls[i].text = text;
    Events(w).TextChanged(i);
  }
  // False when the timer is stopped: a stopped timer has nothing to fire.
  bool FireTimer(std::string_view window, std::string_view control) {
    WindowState& w = Win(window);
    const int i = w.Index(control);
    if (w.controls[i].timerPeriod <= 0) return false;
    Events(w).Tick(i);
    return true;
  }
  // The close box. False when the window refuses input, as a disabled
  // window's close box does nothing.
  bool Close(std::string_view window);
  void Minimise(std::string_view window) { Win(window).minimised = true; }

  // The toolkit.
  std::unique_ptr<frame::NativeWindow> Build(const frame::WindowLayout& layout,
                                             frame::WindowEvents& events) override;
  int ShowMessageBox(const Text& text, const Text& title, int flags) override {
    Note("MessageBox " + text);
    boxes.push_back({text, title, flags});
    Up up(boxesUp_);
    RunNext(boxScript_);
    return 1;  // OK
  }
  void RunLoop() override {
    Note("RunLoop");
    while (!quitPosted_) {
      if (loopSteps_.empty()) {
        ADD_FAILURE() << "the event loop ran out of user actions and was never asked to end";
        throw LoopNeverEnds{};
      }
      auto step = std::move(loopSteps_.front());
      loopSteps_.pop_front();
      step();
    }
    quitPosted_ = false;
  }
  // Like a posted quit message: the running loop, or the next one, ends.
  void QuitLoop() override {
    Note("QuitLoop");
    quitPosted_ = true;
  }
  [[noreturn]] void FatalError(const Text& message) override {
    Note("FatalError " + message);
    fatalErrors.push_back(message);
    throw FatalExit{message};
  }
  Text ProgramPath() override {
    Note("ProgramPath");
    return programPath;
  }
  void SetCurrentFolder(const Text& folder) override {
    Note("SetCurrentFolder " + folder);
    currentFolder = folder;
  }
  void InitialiseOle() override { Note("InitialiseOle"); }
  Point MousePosition() override { return mouse; }

  bool AcceptsInput(const WindowState& w) const {
    return w.acceptsInput && boxesUp_ == 0 && w.dialogsUp == 0;
  }
  bool OpenFileDialog(WindowState& w, int index, const Text& prefill, Text* chosen) {
    Note("OpenFileDialog " + std::string(w.layout->name));
    w.controls[index].dialogPrefills.push_back(prefill);
    DialogAnswer answer{false, {}, {}};
    if (!dialogScript_.empty()) {
      answer = std::move(dialogScript_.front());
      dialogScript_.pop_front();
    }
    Up up(w.dialogsUp);
    if (answer.whileUp) answer.whileUp();
    if (answer.confirmed) *chosen = answer.path;
    return answer.confirmed;
  }
  static void Destroy(WindowState& w) {
    w.exists = false;
    w.shown = false;
    for (auto& c : w.controls) c.timerPeriod = 0;  // a window's timers die with it
  }

 private:
  struct DialogAnswer {
    bool confirmed;
    Text path;
    std::function<void()> whileUp;
  };
  struct Up {  // counts an open box or dialog for as long as it is up
    explicit Up(int& n) : n_(n) { ++n_; }
    ~Up() { --n_; }
    int& n_;
  };
  static frame::WindowEvents& Events(WindowState& w) {
    if (!w.events) {
      ADD_FAILURE() << "window " << w.layout->name << " was released";
      throw NoSuchThing{};
    }
    return *w.events;
  }
  static void RunNext(std::deque<std::function<void()>>& script) {
    if (script.empty()) return;
    auto action = std::move(script.front());
    script.pop_front();
    if (action) action();
  }

  int boxesUp_ = 0;
  bool quitPosted_ = false;
  std::deque<std::function<void()>> boxScript_;
  std::deque<DialogAnswer> dialogScript_;
  std::deque<std::function<void()>> loopSteps_;
};

class FakeWindow : public frame::NativeWindow {
 public:
  FakeWindow(FakeToolkit& tk, std::shared_ptr<WindowState> s) : tk_(tk), s_(std::move(s)) {
    s_->native = this;
  }
  // The frame releasing a window destroys it if it still exists, unreported.
  ~FakeWindow() override {
    if (s_->exists) FakeToolkit::Destroy(*s_);
    s_->events = nullptr;
    s_->native = nullptr;
  }
  void DestroyReported() { destroyReported_ = true; }

  void SetVisible(int i, bool visible) override { At(i).visible = visible; }
  void SetEnabled(int i, bool enabled) override { At(i).enabled = enabled; }
  Text GetText(int i) override { return At(i).text; }
  void SetText(int i, const Text& text) override {
    At(i).text = text;
    // A real edit control notifies its parent synchronously from WM_SETTEXT.
    if (At(i).row->kind == Kind::Edit) s_->events->TextChanged(i);
  }
  bool GetChecked(int i) override { return At(i).checked; }
  void SetChecked(int i, bool checked) override { At(i).checked = checked; }
  void SetTextColour(int i, Colour colour) override { At(i).textColour = colour; }
  void SetBackColour(int i, Colour colour) override { At(i).backColour = colour; }
  void SetTimer(int i, int periodMs) override {
    ControlState& c = Of(i, Kind::Timer);
    c.timerPeriod = periodMs;
    ++c.timerSets;
  }
  void Navigate(int i, const Text& address) override {
    Of(i, Kind::HtmlView).navigations.push_back(address);
  }
  void PopUpTip(int i, Point at, const Text& text) override {
    Of(i, Kind::BalloonTip).tips.push_back({at, text});
  }
  bool OpenFileDialog(int i, const Text& prefill, Text* chosen) override {
    Of(i, Kind::CommonDialog);
    return tk_.OpenFileDialog(*s_, i, prefill, chosen);
  }
  bool AcceptsInput() override { return tk_.AcceptsInput(*s_); }
  void Show() override {
    tk_.Note("Show " + std::string(s_->layout->name));
    s_->shown = true;
    s_->minimised = false;
  }
  void BringToFront() override {
    tk_.Note("BringToFront " + std::string(s_->layout->name));
    ++s_->frontRequests;
    s_->minimised = false;
  }

 private:
  ControlState& At(int i) {
    if (!s_->exists) ADD_FAILURE() << "window " << s_->layout->name << " is destroyed";
    if (i < 0 || i >= static_cast<int>(s_->controls.size())) {
      ADD_FAILURE() << "control index " << i << " out of range";
      throw NoSuchThing{};
    }
    return s_->controls[i];
  }
  ControlState& Of(int i, Kind kind) {
    ControlState& c = At(i);
    if (c.row->kind != kind) ADD_FAILURE() << c.row->name << " is of the wrong kind for this request";
    return c;
  }

  FakeToolkit& tk_;
  std::shared_ptr<WindowState> s_;
  bool destroyReported_ = false;
};

inline std::unique_ptr<frame::NativeWindow> FakeToolkit::Build(const frame::WindowLayout& layout,
                                                               frame::WindowEvents& events) {
  Note("Build " + std::string(layout.name));
  if (failBuild.count(layout.name)) return nullptr;
  auto s = std::make_shared<WindowState>();
  s->layout = &layout;
  s->events = &events;
  for (const frame::Control& c : layout.controls)
    s->controls.push_back(ControlState{&c, frame::FromC(c.text), c.checked, !c.disabled, c.visible,
                                       c.textColour, c.backColour, 0, 0, {}, {}, {}});
  windows.push_back(s);
  auto w = std::make_unique<FakeWindow>(*this, s);
  // Putting in the initial content makes each edit box report a change.
  for (size_t i = 0; i < layout.controls.size(); ++i)
    if (layout.controls[i].kind == Kind::Edit) events.TextChanged(static_cast<int>(i));
  return w;
}

inline bool FakeToolkit::Close(std::string_view window) {
  WindowState& w = Win(window);
  if (!AcceptsInput(w)) return false;
  Destroy(w);
  Note("Destroyed " + std::string(window));
  FakeWindow* self = w.native;
  Events(w).Destroyed();
  // The window procedure that reported it is still running and touches its
  // own object afterwards: the frame must not have released it yet.
  if (self) self->DestroyReported();
  return true;
}

}  // namespace fake

#include "frame/frame.h"

#include <cstdlib>
#include <exception>
#include <new>

#include "frame/control_id.h"

namespace frame {

namespace {

constexpr char kDefaultTitle[] = "信息：";

bool SameContainer(const Control& a, const Control& b) {
  if (!a.inside || !b.inside) return a.inside == b.inside;
  return Compare(a.inside, b.inside) == 0;
}

}  // namespace

// What the frame keeps of a control besides what the real control holds.
struct ControlState {
  bool visible;
  bool disabled;
  Colour textColour;
  Colour backColour;
  int period = 0;
  Text fileName;
  Text address;
};

struct Frame::Window : WindowEvents {
  Window(Frame& f, const WindowLayout& l) : frame(f), layout(l) {
    for (const Control& c : l.controls)
      state.push_back(ControlState{c.visible, c.disabled, c.textColour, c.backColour, 0, {}, {}});
  }
  void Clicked(int index) override { frame.OnClicked(*this, index); }
  void TextChanged(int index) override { frame.OnTextChanged(*this, index); }
  void Tick(int index) override { frame.OnTick(*this, index); }
  void Destroyed() override { frame.OnDestroyed(*this); }

  Frame& frame;
  const WindowLayout& layout;
  std::unique_ptr<NativeWindow> native;
  std::vector<ControlState> state;
  bool ready = false;  // no event is delivered while the window is being built
  int writing = -1;    // the edit box whose text the frame is writing
};

struct Frame::Slot {
  Window* window;  // null: the window is not open
  int index;
  NativeWindow* native() const { return window->native.get(); }
  ControlState& state() const { return window->state[index]; }
};

Frame::Frame(Toolkit& toolkit, const Layouts& layouts, Services services)
    : toolkit_(toolkit), layouts_(layouts), services_(services) {}

Frame::~Frame() = default;

int Frame::Run(const char* startWindow) {
  try {
    runDirectory_ = FolderOf(toolkit_.ProgramPath());
    toolkit_.SetCurrentFolder(runDirectory_);
    toolkit_.InitialiseOle();
    const Text problem = CheckLayouts(layouts_);
    if (!problem.empty()) Fatal(Concat({"窗口布局无法载入：", problem}));
    const WindowLayout* start = nullptr;
    for (const auto& l : layouts_)
      if (Compare(l.name, startWindow) == 0) start = &l;
    if (!start || !Build(*start)) Fatal(Concat({"启动窗口无法创建：", startWindow}));
    loopRunning_ = true;
    if (!open_.empty()) toolkit_.RunLoop();
    loopRunning_ = false;
    closed_.clear();
    return 0;
  } catch (const std::bad_alloc&) {
    Fatal("内存不足");
  }
}

void Frame::Fatal(const Text& message) {
  toolkit_.FatalError(message);
  std::abort();  // a toolkit's fatal error never returns
}

bool Frame::IsOpen(const char* window) const { return open_.count(window) != 0; }

Frame::Slot Frame::Find(Ref r) {
  auto it = open_.find(r.window);
  if (it == open_.end()) {
    for (const auto& l : layouts_)
      if (Compare(l.name, r.window) == 0) return {nullptr, -1};  // known but closed
    Fatal(Concat({"没有这个窗口：", r.window}));
  }
  Window& w = *it->second;
  const auto& controls = w.layout.controls;
  for (size_t i = 0; i < controls.size(); ++i)
    if (Compare(controls[i].name, r.control) == 0) return {&w, static_cast<int>(i)};
  Fatal(Concat({"窗口 ", r.window, " 没有控件：", r.control}));
}

// A handler runs inside a window procedure: nothing may escape it.
void Frame::Guarded(Handler h) {
  if (!h) return;
  // Windows closed by earlier events are released only when no handler is on
  // the stack, so no window procedure of theirs can still be running.
  if (depth_ == 0) closed_.clear();
  ++depth_;
  try {
    h(*this);
    --depth_;
  } catch (const std::bad_alloc&) {
    Fatal("内存不足");
  } catch (const std::exception& e) {
    Fatal(Concat({"运行时错误：", e.what()}));
  }
}

Frame::Window* Frame::Build(const WindowLayout& layout) {
  auto owned = std::make_unique<Window>(*this, layout);
  Window* w = owned.get();
  w->native = toolkit_.Build(layout, *w);
  if (!w->native) return nullptr;
  open_[layout.name] = std::move(owned);
  w->ready = true;
  Guarded(layout.created);
  auto it = open_.find(layout.name);
  if (it == open_.end() || it->second.get() != w) return w;  // closed by its own handler
  w->native->Show();
  return w;
}

bool Frame::LoadWindow(const char* window) {
  auto it = open_.find(window);
  if (it != open_.end()) {
    it->second->native->BringToFront();
    return true;
  }
  for (const auto& l : layouts_)
    if (Compare(l.name, window) == 0) {
      Build(l);
      return IsOpen(window);
    }
  Fatal(Concat({"没有这个窗口：", window}));
}

bool Frame::InputAllowed(Window& w, int index) {
  const auto& controls = w.layout.controls;
  if (w.state[index].disabled) return false;
  for (const char* inside = controls[index].inside; inside;) {
    const char* next = nullptr;
    for (size_t i = 0; i < controls.size(); ++i)
      if (Compare(controls[i].name, inside) == 0) {
        if (w.state[i].disabled) return false;
        next = controls[i].inside;
      }
    inside = next;
  }
  return w.native->AcceptsInput();
}

void Frame::OnClicked(Window& w, int index) {
  if (!w.ready || !InputAllowed(w, index)) return;
  const Control& c = w.layout.controls[index];
  if (c.kind == Kind::Check) {
    w.native->SetChecked(index, !w.native->GetChecked(index));
  } else if (c.kind == Kind::Radio) {
    const auto& controls = w.layout.controls;
    for (size_t i = 0; i < controls.size(); ++i)
      if (static_cast<int>(i) != index && controls[i].kind == Kind::Radio &&
          SameContainer(controls[i], c))
        w.native->SetChecked(static_cast<int>(i), false);
    w.native->SetChecked(index, true);
  }
  Guarded(c.clicked);
}

void Frame::OnTextChanged(Window& w, int index) {
  // The frame raises the event itself after its own writes.
  if (!w.ready || w.writing == index) return;
  Guarded(w.layout.controls[index].changed);
}

void Frame::OnTick(Window& w, int index) {
  if (w.ready) Guarded(w.layout.controls[index].tick);
}

void Frame::OnDestroyed(Window& w) {
  w.ready = false;
  auto it = open_.find(w.layout.name);
  if (it == open_.end() || it->second.get() != &w) return;
  // The window procedure that reports this is still on the stack.
  closed_.push_back(std::move(it->second));
  open_.erase(it);
  if (open_.empty() && loopRunning_) toolkit_.QuitLoop();
}

// Properties. A window that is not open reads as empty and ignores writes.

bool Frame::Visible(Ref r) {
  Slot s = Find(r);
  return s.window && s.state().visible;
}

void Frame::SetVisible(Ref r, bool visible) {
  Slot s = Find(r);
  if (!s.window) return;
  s.state().visible = visible;
  s.native()->SetVisible(s.index, visible);
}

bool Frame::Disabled(Ref r) {
  Slot s = Find(r);
  return s.window && s.state().disabled;
}

void Frame::SetDisabled(Ref r, bool disabled) {
  Slot s = Find(r);
  if (!s.window) return;
  s.state().disabled = disabled;
  s.native()->SetEnabled(s.index, !disabled);
}

Text Frame::GetText(Ref r) {
  Slot s = Find(r);
  return s.window ? s.native()->GetText(s.index) : Text();
}

void Frame::SetText(Ref r, const Text& text) {
  Slot s = Find(r);
  if (!s.window) return;
  Window& w = *s.window;
  const int outer = w.writing;
  w.writing = s.index;
  w.native->SetText(s.index, text);
  w.writing = outer;
  if (w.layout.controls[s.index].kind == Kind::Edit) Guarded(w.layout.controls[s.index].changed);
}

Text Frame::Caption(Ref r) { return GetText(r); }

void Frame::SetCaption(Ref r, const Text& caption) {
  Slot s = Find(r);
  if (s.window) s.native()->SetText(s.index, caption);
}

Colour Frame::TextColour(Ref r) {
  Slot s = Find(r);
  return s.window ? s.state().textColour : kNoColour;
}

void Frame::SetTextColour(Ref r, Colour colour) {
  Slot s = Find(r);
  if (!s.window) return;
  s.state().textColour = colour;
  s.native()->SetTextColour(s.index, colour);
}

Colour Frame::BackColour(Ref r) {
  Slot s = Find(r);
  return s.window ? s.state().backColour : kNoColour;
}

void Frame::SetBackColour(Ref r, Colour colour) {
  Slot s = Find(r);
  if (!s.window) return;
  s.state().backColour = colour;
  s.native()->SetBackColour(s.index, colour);
}

bool Frame::Checked(Ref r) {
  Slot s = Find(r);
  return s.window && s.native()->GetChecked(s.index);
}

void Frame::SetChecked(Ref r, bool checked) {
  Slot s = Find(r);
  if (s.window) s.native()->SetChecked(s.index, checked);
}

int Frame::Period(Ref r) {
  Slot s = Find(r);
  return s.window ? s.state().period : 0;
}

void Frame::SetPeriod(Ref r, int periodMs) {
  Slot s = Find(r);
  if (!s.window) return;
  if (periodMs < 0) periodMs = 0;
  if (periodMs == s.state().period) return;  // the running count is not restarted
  s.state().period = periodMs;
  s.native()->SetTimer(s.index, periodMs);
}

Text Frame::FileName(Ref r) {
  Slot s = Find(r);
  return s.window ? s.state().fileName : Text();
}

Text Frame::Address(Ref r) {
  Slot s = Find(r);
  return s.window ? s.state().address : Text();
}

void Frame::SetAddress(Ref r, const Text& address) {
  Slot s = Find(r);
  if (!s.window) return;
  s.state().address = address;
  s.native()->Navigate(s.index, address);
}

int Frame::ShowMessageBox(const Text& text, int flags, const char* title) {
  return toolkit_.ShowMessageBox(text, title ? Text(title) : Text(kDefaultTitle), flags);
}

Point Frame::MousePosition() { return toolkit_.MousePosition(); }

void Frame::PopUpTip(Ref box, int x, int y, const Text& text) {
  Slot s = Find(box);
  if (s.window) s.native()->PopUpTip(s.index, {x, y}, text);
}

bool Frame::OpenDialog(Ref dialog) {
  Slot s = Find(dialog);
  if (!s.window) return false;
  Text chosen;
  if (!s.native()->OpenFileDialog(s.index, s.state().fileName, &chosen)) return false;
  s.state().fileName = chosen;
  return true;
}

}  // namespace frame

// Recording stand-ins for the platform services, for tests of the programs'
// handlers. Every request is noted in the toolkit double's call list, so one
// list shows the order of boxes, windows, timers, tips and service requests.
#pragma once
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "fake_toolkit.h"
#include "platform/clipboard.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/http_client.h"
#include "platform/mp3_player.h"
#include "platform/processes.h"
#include "platform/shell.h"

namespace fake {

// The toolkit double, also noting timer and tip requests ("SetTimer 时钟1 1000",
// "PopUpTip 气球提示框2"), which the plain double only keeps as state.
class NotingToolkit : public FakeToolkit {
 public:
  std::unique_ptr<frame::NativeWindow> Build(const frame::WindowLayout& layout,
                                             frame::WindowEvents& events) override {
    auto inner = FakeToolkit::Build(layout, events);
    if (!inner) return nullptr;
    return std::make_unique<NotingWindow>(*this, layout, std::move(inner));
  }

 private:
  class NotingWindow : public frame::NativeWindow {
   public:
    NotingWindow(FakeToolkit& tk, const frame::WindowLayout& layout, std::unique_ptr<frame::NativeWindow> inner)
        : tk_(tk), layout_(layout), inner_(std::move(inner)) {}
    void SetVisible(int i, bool v) override { inner_->SetVisible(i, v); }
    void SetEnabled(int i, bool e) override { inner_->SetEnabled(i, e); }
    Text GetText(int i) override { return inner_->GetText(i); }
    void SetText(int i, const Text& t) override { inner_->SetText(i, t); }
    bool GetChecked(int i) override { return inner_->GetChecked(i); }
    void SetChecked(int i, bool c) override { inner_->SetChecked(i, c); }
    void SetTextColour(int i, Colour c) override { inner_->SetTextColour(i, c); }
    void SetBackColour(int i, Colour c) override { inner_->SetBackColour(i, c); }
    void SetTimer(int i, int ms) override {
      tk_.Note("SetTimer " + Name(i) + " " + std::to_string(ms));
      inner_->SetTimer(i, ms);
    }
    void Navigate(int i, const Text& a) override { inner_->Navigate(i, a); }
    void PopUpTip(int i, Point at, const Text& t) override {
      tk_.Note("PopUpTip " + Name(i));
      inner_->PopUpTip(i, at, t);
    }
    bool OpenFileDialog(int i, const Text& prefill, Text* chosen) override {
      return inner_->OpenFileDialog(i, prefill, chosen);
    }
    bool AcceptsInput() override { return inner_->AcceptsInput(); }
    void Show() override { inner_->Show(); }
    void BringToFront() override { inner_->BringToFront(); }

   private:
    std::string Name(int i) const { return layout_.controls.at(i).name; }
    FakeToolkit& tk_;
    const frame::WindowLayout& layout_;
    std::unique_ptr<frame::NativeWindow> inner_;
  };
};

// Notes "Play <count> <path>", "Pause", "Resume", "Stop".
class RecordingMp3 : public platform::Mp3Player {
 public:
  explicit RecordingMp3(FakeToolkit& tk) : tk_(tk) {}
  void Play(int count, const Text& path) override { tk_.Note("Play " + std::to_string(count) + " " + path); }
  void Pause() override { tk_.Note("Pause"); }
  void Resume() override { tk_.Note("Resume"); }
  void Stop() override { tk_.Note("Stop"); }

 private:
  FakeToolkit& tk_;
};

// Notes "WriteFile <path>", keeps the bytes of each write and answers `works`.
class RecordingFiles : public platform::Files {
 public:
  explicit RecordingFiles(FakeToolkit& tk) : tk_(tk) {}
  bool WriteFile(const Text& path, std::string_view bytes) override {
    tk_.Note("WriteFile " + path);
    written.emplace_back(bytes);
    return works;
  }
  bool Exists(const Text& path) override { return existing.count(path) != 0; }
  bool WriteNewFile(const Text& path, std::string_view bytes) override {
    tk_.Note("WriteNewFile " + path);
    if (!works || existing.count(path)) return false;
    existing.insert(path);
    written.emplace_back(bytes);
    return true;
  }
  bool MakeHidden(const Text& path) override {
    tk_.Note("MakeHidden " + path);
    return works && existing.count(path);
  }
  std::set<Text> existing;  // files and folders that exist
  bool works = true;
  std::vector<std::string> written;

 private:
  FakeToolkit& tk_;
};

// Notes "Open <address>".
class RecordingShell : public platform::Shell {
 public:
  explicit RecordingShell(FakeToolkit& tk) : tk_(tk) {}
  void Open(const Text& address) override { tk_.Note("Open " + address); }

 private:
  FakeToolkit& tk_;
};

// Notes "Start <command line> <wait ms>" and answers `works`.
class RecordingProcesses : public platform::Processes {
 public:
  explicit RecordingProcesses(FakeToolkit& tk) : tk_(tk) {}
  bool Start(const Text& commandLine, int readyWaitMs) override {
    tk_.Note("Start " + commandLine + " " + std::to_string(readyWaitMs));
    return works;
  }
  bool works = true;

 private:
  FakeToolkit& tk_;
};

// Notes "Get <url>", runs `whileFetching` as if the request were under way,
// and answers `body`.
class RecordingHttp : public platform::HttpClient {
 public:
  explicit RecordingHttp(FakeToolkit& tk) : tk_(tk) {}
  std::string Get(const Text& url) override {
    tk_.Note("Get " + url);
    if (whileFetching) whileFetching();
    return body;
  }
  std::string body;
  std::function<void()> whileFetching;

 private:
  FakeToolkit& tk_;
};

// Notes "PutText <text>". While `works` the text becomes the content; else
// the content stays as it was and the answer is false, as when another
// program holds the clipboard.
class RecordingClipboard : public platform::Clipboard {
 public:
  explicit RecordingClipboard(FakeToolkit& tk) : tk_(tk) {}
  bool PutText(const Text& text) override {
    tk_.Note("PutText " + text);
    if (works) content = text;
    return works;
  }
  bool works = true;
  Text content = "(before)";

 private:
  FakeToolkit& tk_;
};

// Answers `now`.
class FixedClock : public platform::Clock {
 public:
  platform::LocalTime Now() override { return now; }
  platform::LocalTime now{2013, 5, 1, 14, 5, 9};
};

// Only the calls that start with one of the prefixes, in order.
inline std::vector<std::string> Only(const std::vector<std::string>& calls,
                                     std::initializer_list<std::string_view> prefixes) {
  std::vector<std::string> out;
  for (const auto& c : calls)
    for (std::string_view p : prefixes)
      if (std::string_view(c).substr(0, p.size()) == p) {
        out.push_back(c);
        break;
      }
  return out;
}

}  // namespace fake

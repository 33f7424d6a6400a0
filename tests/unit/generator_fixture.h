// Cordivane on its real layouts over the toolkit double, with recording
// services, for the tests of its handlers.
#pragma once
#include <functional>
#include <string>

#include "fake_toolkit.h"
#include "frame/frame.h"
#include "generator/generator_layout.h"
#include "service_fakes.h"
#include "values.h"

namespace fake {

// Cordivane started from C:\Zorvat with recording services.
struct Generator {
  Generator() {
    tk.programPath = "C:\\Zorvat\\Cordivane.exe";
    // One digit image, so that a count shows where it went.
    http.body = std::string("<img src=\"http://") + values::kCounterImageHost + "/img/43/7.gif\">";
  }

  // Starts the program, lets `user` act, then closes whatever is still open.
  void Run(const std::function<void()>& user) {
    tk.Then([&] {
      user();
      for (const char* w : {generator::kPreviewWindow, generator::kStudioWindow, generator::kGeneratorWindow})
        if (frame.IsOpen(w)) tk.Close(w);
    });
    EXPECT_EQ(frame.Run(generator::kGeneratorWindow), 0);
  }

  void Click(const char* window, const char* control) { tk.Click(window, control); }
  void Click(const char* control) { tk.Click(generator::kGeneratorWindow, control); }
  void Type(const Text& hash) { tk.Type(generator::kGeneratorWindow, "编辑框1", hash); }
  ControlState& C(const char* control) { return tk.Win(generator::kGeneratorWindow).Control(control); }

  NotingToolkit tk;
  RecordingHttp http{tk};
  RecordingShell shell{tk};
  RecordingProcesses processes{tk};
  RecordingClipboard clipboard{tk};
  FixedClock clock;
  frame::Frame frame{tk, generator::Layouts(), Services()};

 private:
  frame::Services Services() {
    frame::Services s;
    s.http = &http;
    s.shell = &shell;
    s.processes = &processes;
    s.clipboard = &clipboard;
    s.clock = &clock;
    return s;
  }
};

}  // namespace fake

// The skin setup over doubles of the file and library services: when the
// library file is written, how the library is loaded, what the engine is
// handed, and the fatal errors.
#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "fake_toolkit.h"
#include "frame/frame.h"
#include "frame/skin_setup.h"
#include "generator/generator_layout.h"
#include "platform/libraries.h"
#include "player/player_layout.h"
#include "service_fakes.h"

namespace {

using frame::Text;
using Calls = std::vector<std::string>;

constexpr char kDir[] = "D:\\音乐 盒";
constexpr char kLocalPath[] = "D:\\音乐 盒\\SkinH_EL.dll";

// Loads the paths in `loadable`; each library offers the names in
// `functions`. Notes "Load <path>", "Release", "Call <function> <args>".
class FakeLibraries : public platform::Libraries {
 public:
  explicit FakeLibraries(fake::FakeToolkit& tk) : tk_(tk) {}

  std::unique_ptr<platform::Library> Load(const Text& path) override {
    tk_.Note("Load " + path);
    if (!loadable.count(path)) return nullptr;
    return std::make_unique<Library>(*this);
  }

  bool CallChecked(void* function, std::span<const uintptr_t> args) override {
    const std::string& name = *static_cast<const std::string*>(function);
    std::string note = "Call " + name;
    for (uintptr_t a : args) note += " " + std::to_string(a);
    tk_.Note(note);
    if (name == frame::kAttachSkin) {
      // What the engine sees while the call lasts.
      const char* image = reinterpret_cast<const char*>(args[0]);
      images.push_back(image ? std::string(image, args[1]) : std::string());
      attachArgs.emplace_back(args.begin(), args.end());
      EXPECT_STREQ(reinterpret_cast<const char*>(args[2]), "");
    }
    return name != popsWrong;
  }

  std::set<Text> loadable{kLocalPath};
  std::set<std::string> functions{frame::kAttachSkin, frame::kSetAero};
  std::string popsWrong;  // the function that leaves the stack out of place
  std::vector<std::string> images;
  std::vector<std::vector<uintptr_t>> attachArgs;

 private:
  class Library : public platform::Library {
   public:
    explicit Library(FakeLibraries& owner) : owner_(owner) {}
    ~Library() override { owner_.tk_.Note("Release"); }
    void* Find(const char* function) override {
      if (!owner_.functions.count(function)) return nullptr;
      return const_cast<std::string*>(&*owner_.functions.find(function));
    }

   private:
    FakeLibraries& owner_;
  };
  fake::FakeToolkit& tk_;
};

// The created handler of the one window runs `steps`.
void (*gSteps)(frame::Frame&) = nullptr;

const frame::Layouts& TestLayouts() {
  static const frame::Layouts layouts{
      frame::WindowLayout{.name = "W", .title = "t", .w = 100, .h = 100,
                          .created = [](frame::Frame& f) { gSteps(f); }, .controls = {}}};
  return layouts;
}

const std::string_view kImages[] = {"skin one", "skin two", "skin three", "skin four", "skin five", "skin six"};

struct Program {
  explicit Program(const frame::Layouts& layouts = TestLayouts())
      : skin(std::in_place, files, libraries, frame::SkinPayload{"engine bytes", kImages}, kTable),
        frame(tk, layouts, Services()) {
    tk.programPath = std::string(kDir) + "\\程序.exe";
  }

  // Runs `steps` as the created handler; the fatal message, or empty.
  Text Run(void (*steps)(frame::Frame&), const char* window = "W") {
    gSteps = steps;
    tk.Then([&] { tk.Close(window); });
    try {
      frame.Run(window);
    } catch (const fake::FatalExit& e) {
      return e.message;
    }
    return {};
  }

  Calls Noted(std::string_view prefix) const {
    Calls out;
    for (const auto& c : tk.calls)
      if (c.rfind(prefix, 0) == 0) out.push_back(c);
    return out;
  }

  static constexpr frame::LibraryBinding kTable[] = {{frame::kSkinLibraryFile, frame::kAttachSkin},
                                                     {frame::kSkinLibraryFile, frame::kSetAero}};
  fake::NotingToolkit tk;
  fake::RecordingFiles files{tk};
  FakeLibraries libraries{tk};
  std::optional<frame::SkinSetup> skin;
  frame::Frame frame;

 private:
  frame::Services Services() {
    frame::Services s;
    s.skin = &*skin;
    return s;
  }
};

void BothSteps(frame::Frame& f) {
  frame::ApplySkin(f, 2);
  frame::EnableSkinAero(f);
  frame::ApplySkin(f, 1);
}

TEST(SkinSetup, WritesTheMissingLibraryOnceHiddenAndLoadsItFromTheRunDirectory) {
  Program s;
  EXPECT_EQ(s.Run(BothSteps), "");
  EXPECT_EQ(s.files.written, std::vector<std::string>{"engine bytes"});
  const Text path = kLocalPath;
  EXPECT_EQ(s.Noted("WriteNewFile"), Calls{"WriteNewFile " + path});
  EXPECT_EQ(s.Noted("MakeHidden"), Calls{"MakeHidden " + path});
  // One load per function, at its first call; both released at exit.
  EXPECT_EQ(s.Noted("Load"), (Calls{"Load " + path, "Load " + path}));
  EXPECT_EQ(s.Noted("Call SkinH_SetAero"), Calls{"Call SkinH_SetAero 1"});
  EXPECT_EQ(s.libraries.images, (std::vector<std::string>{"skin two", "skin one"}));
  EXPECT_TRUE(s.Noted("Release").empty()) << "released while the program runs";
}

TEST(SkinSetup, ReleasesTheLibraryAtExit) {
  Program s;
  EXPECT_EQ(s.Run(BothSteps), "");
  EXPECT_TRUE(s.Noted("Release").empty());
  s.skin.reset();  // as at the end of main
  EXPECT_EQ(s.Noted("Release"), (Calls{"Release", "Release"}));
}

TEST(SkinSetup, LeavesAnExistingFileOrFolderOfThatNameAlone) {
  Program s;
  s.files.existing.insert(kLocalPath);  // a file or a folder: the same to the setup
  EXPECT_EQ(s.Run(BothSteps), "");
  EXPECT_TRUE(s.Noted("WriteNewFile").empty());
  EXPECT_TRUE(s.Noted("MakeHidden").empty());
}

TEST(SkinSetup, AFailedWriteIsNotReportedAndShowsAsTheLoadFailure) {
  Program s;
  s.files.works = false;
  s.libraries.loadable.clear();
  const Text message = s.Run(BothSteps);
  EXPECT_TRUE(s.Noted("MakeHidden").empty());
  EXPECT_EQ(s.Noted("WriteNewFile").size(), 1u);
  EXPECT_NE(message.find("SkinH_EL.dll"), Text::npos) << message;
  EXPECT_NE(message.find("SkinH_AttachRes"), Text::npos) << message;
}

TEST(SkinSetup, FallsBackToThePlainNameThroughTheSystemSearch) {
  Program s;
  s.libraries.loadable = {"SkinH_EL.dll"};
  EXPECT_EQ(s.Run([](frame::Frame& f) { frame::EnableSkinAero(f); }), "");
  EXPECT_EQ(s.Noted("Load"), (Calls{std::string("Load ") + kLocalPath, "Load SkinH_EL.dll"}));
  EXPECT_EQ(s.Noted("Call"), Calls{"Call SkinH_SetAero 1"});
}

TEST(SkinSetup, FatalErrorsNameTheLibraryAndTheFunction) {
  struct Case {
    const char* what;
    std::set<Text> loadable;
    std::set<std::string> functions;
    std::string popsWrong;
    Calls releases;
    const char* says;
  } cases[] = {
      {"cannot be loaded", {}, {frame::kAttachSkin, frame::kSetAero}, "", {}, "无法载入"},
      {"lacks the function", {kLocalPath}, {frame::kSetAero}, "", {"Release"}, "没有函数"},
      {"stack out of place", {kLocalPath}, {frame::kAttachSkin, frame::kSetAero}, frame::kAttachSkin, {}, "堆栈"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Program s;
    s.libraries.loadable = c.loadable;
    s.libraries.functions = c.functions;
    s.libraries.popsWrong = c.popsWrong;
    const Text message = s.Run([](frame::Frame& f) {
      frame::ApplySkin(f, 1);
      frame::EnableSkinAero(f);
    });
    EXPECT_NE(message.find(c.says), Text::npos) << message;
    EXPECT_NE(message.find("SkinH_AttachRes"), Text::npos) << message;
    if (c.popsWrong.empty()) {
      EXPECT_NE(message.find("SkinH_EL.dll"), Text::npos) << message;
    }
    EXPECT_EQ(s.Noted("Release"), c.releases);
    EXPECT_EQ(s.tk.fatalErrors.size(), 1u);
    EXPECT_TRUE(s.Noted("Show").empty()) << "the window showed before the fatal error";
  }
}

TEST(SkinSetup, SkinNumbersOutsideTheTableAttachNoImage) {
  struct Case {
    int number;
    std::string image;
  } cases[] = {{0, ""}, {1, "skin one"}, {6, "skin six"}, {7, ""}, {-1, ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.number);
    static int number;
    number = c.number;
    Program s;
    EXPECT_EQ(s.Run([](frame::Frame& f) { frame::ApplySkin(f, number); }), "");
    ASSERT_EQ(s.libraries.images, std::vector<std::string>{c.image});
    const std::vector<uintptr_t>& args = s.libraries.attachArgs[0];
    ASSERT_EQ(args.size(), 6u);
    if (c.image.empty()) {
      EXPECT_EQ(args[0], 0u);
    } else {
      // A copy of the image, never the program's own bytes.
      EXPECT_NE(args[0], reinterpret_cast<uintptr_t>(kImages[c.number - 1].data()));
    }
    EXPECT_EQ(args[1], c.image.size());
    EXPECT_EQ((std::vector<uintptr_t>(args.begin() + 3, args.end())), (std::vector<uintptr_t>{0, 0, 0}));
  }
}

// Each program's created handler opens with its skin steps, in its order.
TEST(SkinSetup, StartWindowsTakeTheirSkinStepsFirst) {
  struct Case {
    const char* window;
    const frame::Layouts& layouts;
    Calls calls;
  } cases[] = {
      {player::kPlayerWindow, player::Layouts(), {"Call SkinH_AttachRes", "Call SkinH_SetAero"}},
      {generator::kGeneratorWindow, generator::Layouts(), {"Call SkinH_SetAero", "Call SkinH_AttachRes"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.window);
    Program s(c.layouts);
    EXPECT_EQ(s.Run(nullptr, c.window), "");
    Calls seen;
    for (const auto& call : s.tk.calls) {
      if (call.rfind("Call ", 0) == 0) seen.push_back(call.substr(0, call.find(' ', 5)));
      else if (call.rfind("Show", 0) == 0 || call.rfind("MessageBox", 0) == 0 || call.rfind("PopUpTip", 0) == 0)
        seen.push_back(call.substr(0, call.find(' ')));
    }
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(Calls(seen.begin(), seen.begin() + 2), c.calls);
    EXPECT_EQ(s.libraries.images, std::vector<std::string>{"skin six"});
  }
}

}  // namespace

// Pellarine's handlers on its real layout, over the toolkit double and
// recording playback and file services.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "fake_toolkit.h"
#include "frame/frame.h"
#include "player/handlers.h"
#include "player/player_layout.h"
#include "service_fakes.h"
#include "values.h"

namespace {

using fake::Only;
using frame::Text;
using player::kPlayerWindow;
using Calls = std::vector<std::string>;

constexpr char kModeOneTip[] =
    "请在上面框内输入歌曲名称。。\r\n注意：输入的必须是本地歌曲全部名称~~~~\r\n例如：Tamsel - 不哭了";
constexpr char kNameTip[] = "输入完成后记住点击[载入歌曲]哦~ ~ ~ ~ ~ ~ ~ ~ ~";

// Pellarine started from `programPath` with recording services.
struct Player {
  explicit Player(Text programPath = "D:\\Music\\Pellarine.exe") { tk.programPath = std::move(programPath); }

  // Starts the program, lets `user` act on the open window, then closes it.
  void Run(const std::function<void()>& user) {
    tk.Then([&] {
      user();
      tk.Close(kPlayerWindow);
    });
    EXPECT_EQ(frame.Run(kPlayerWindow), 0);
  }

  void Click(const char* control) { tk.Click(kPlayerWindow, control); }
  void Type(const Text& name) { tk.Type(kPlayerWindow, "编辑框2", name); }
  fake::ControlState& C(const char* control) { return tk.Win(kPlayerWindow).Control(control); }
  std::vector<fake::Tip>& Tips(const char* box) { return C(box).tips; }

  // 分组框1 编辑框2 按钮6 分组框2 按钮1 as E(nabled) or D(isabled), then the
  // marks of 选择框1 and 选择框2 as x or -.
  std::string ModeState() {
    std::string s;
    for (const char* c : {"分组框1", "编辑框2", "按钮6", "分组框2", "按钮1"}) s += C(c).enabled ? 'E' : 'D';
    for (const char* c : {"选择框1", "选择框2"}) s += C(c).checked ? 'x' : '-';
    return s;
  }

  fake::NotingToolkit tk;
  fake::RecordingMp3 mp3{tk};
  fake::RecordingFiles files{tk};
  frame::Frame frame{tk, player::Layouts(), Services()};

 private:
  frame::Services Services() {
    frame::Services s;
    s.mp3 = &mp3;
    s.files = &files;
    return s;
  }
};

// The window and its modes.

TEST(PlayerModes, StartTipPopsUpAtThePointerBeforeTheWindowIsShown) {
  Player p;
  p.tk.mouse = {120, 340};
  p.Run([&] {
    const auto& tips = p.Tips("气球提示框2");
    ASSERT_EQ(tips.size(), 1u);
    EXPECT_EQ(tips[0].text, "\r\n\r\n\r\n请将歌曲和软件放入同一个文件夹里！！！\r\n请先选择模式哦~~~~~~~~~\r\n\r\n");
    EXPECT_EQ(tips[0].at.x, 120);
    EXPECT_EQ(tips[0].at.y, 340);
  });
  const Calls expected = {"Build PlayerWindow", "PopUpTip 气球提示框2", "Show PlayerWindow"};
  EXPECT_EQ(Only(p.tk.calls, {"Build", "PopUpTip", "Show", "MessageBox"}), expected);
}

TEST(PlayerModes, EveryUserActionLeavesTheModeControlsAsTheStateTableSays) {
  struct Step {
    const char* action;
    std::function<void(Player&)> act;
    const char* state;  // see ModeState
    const char* name;   // the text of 编辑框2 afterwards
  };
  auto click = [](const char* c) { return [c](Player& p) { p.Click(c); }; };
  auto type = [](const char* t) { return [t](Player& p) { p.Type(t); }; };
  const Step steps[] = {
      {"at start", [](Player&) {}, "DDDDD--", ""},
      {"check mode one", click("选择框1"), "EEDDDx-", ""},
      {"type a name", type("abc"), "EEEDDx-", "abc"},
      {"delete the name", type(""), "EEEDDx-", ""},
      {"clear", click("按钮7"), "EEDDDx-", ""},
      {"type again", type("abc"), "EEEDDx-", "abc"},
      {"check mode two while mode one is on", click("选择框2"), "DDDEE-x", "abc"},
      {"check mode one while mode two is on", click("选择框1"), "EEDDDx-", "abc"},
      {"uncheck mode one", click("选择框1"), "DDDDD--", "abc"},
      {"check mode two", click("选择框2"), "DDDEE-x", "abc"},
      {"uncheck mode two", click("选择框2"), "DDDDD--", "abc"},
      {"disabled mode controls refuse clicks", [](Player& p) { p.Click("按钮7"); p.Click("按钮6"); p.Click("按钮1"); },
       "DDDDD--", "abc"},
  };
  Player p;
  p.Run([&] {
    for (const Step& s : steps) {
      SCOPED_TRACE(s.action);
      s.act(p);
      EXPECT_EQ(p.ModeState(), s.state);
      EXPECT_EQ(p.C("编辑框2").text, s.name);
      for (const char* b : {"按钮2", "按钮3", "按钮4", "按钮5"}) EXPECT_TRUE(p.C(b).enabled) << b;
    }
  });
  EXPECT_EQ(p.tk.Count("OpenFileDialog PlayerWindow"), 0);
  EXPECT_EQ(Only(p.tk.calls, {"Play", "WriteFile"}), Calls{});
}

TEST(PlayerModes, ModeOneShowsItsBoxThenTheTipAtWhereThePointerIsWhenTheBoxCloses) {
  Player p;
  p.Run([&] {
    p.tk.mouse = {10, 20};
    p.tk.WhileNextBox([&] {
      EXPECT_TRUE(p.Tips("气球提示框1").empty()) << "the tip came before the box was closed";
      p.tk.mouse = {300, 400};
    });
    p.Click("选择框1");
    ASSERT_EQ(p.tk.boxes.size(), 1u);
    EXPECT_EQ(p.tk.boxes[0].text, "请输入歌曲名称。[全名] ");
    EXPECT_EQ(p.tk.boxes[0].title, "信息：");
    const auto& tips = p.Tips("气球提示框1");
    ASSERT_EQ(tips.size(), 1u);
    EXPECT_EQ(tips[0].text, kModeOneTip);
    EXPECT_EQ(tips[0].at.x, 300);
    EXPECT_EQ(tips[0].at.y, 400);

    p.Click("选择框1");  // unchecking shows nothing
    EXPECT_EQ(p.tk.boxes.size(), 1u);
    EXPECT_EQ(p.Tips("气球提示框1").size(), 1u);
  });
}

TEST(PlayerModes, AnyChangeOfTheNameEnablesLoadingAndPopsUpTheNameTip) {
  for (const Text name : {"abc", "", "Tamsel - 不哭了"}) {
    SCOPED_TRACE(name);
    Player p;
    p.Run([&] {
      p.Click("选择框1");
      p.tk.mouse = {77, 88};
      p.Type(name);
      EXPECT_TRUE(p.C("按钮6").enabled);
      EXPECT_EQ(p.C("标签2").text, "Tip：请点击[载入歌曲]");
      const auto& tips = p.Tips("气球提示框3");
      ASSERT_EQ(tips.size(), 1u);
      EXPECT_EQ(tips[0].text, kNameTip);
      EXPECT_EQ(tips[0].at.x, 77);
      EXPECT_EQ(tips[0].at.y, 88);
    });
  }
}

TEST(PlayerModes, ClearingAnEmptyNameStillRunsTheNameTypedStepsThenDisablesLoading) {
  Player p;
  p.Run([&] {
    p.Click("选择框1");
    p.Click("按钮7");
    EXPECT_EQ(p.C("编辑框2").text, "");
    EXPECT_FALSE(p.C("按钮6").enabled);
    EXPECT_EQ(p.C("标签2").text, "Tip：请点击[载入歌曲]");
    ASSERT_EQ(p.Tips("气球提示框3").size(), 1u);
    EXPECT_EQ(p.Tips("气球提示框3")[0].text, kNameTip);
    EXPECT_EQ(p.C("编辑框1").text, ".mp3") << "the song path is left alone";
  });
}

// Loading a song.

TEST(PlayerLoading, LoadByNameWritesTheRunDirectoryNameAndExtensionAndSetsTheHint) {
  struct Case {
    const char* program;
    Text name;
    Text path, hint;
  };
  const Case cases[] = {
      {"D:\\Music\\Pellarine.exe", "abc", "D:\\Music\\abc.mp3", "Tip：请点击开始播放~~~"},
      {"D:\\Music\\Pellarine.exe", "", "D:\\Music\\.mp3", "Tip：请先输入歌曲名称~~~"},
      {"D:\\Music\\Pellarine.exe", "abc.mp3", "D:\\Music\\abc.mp3.mp3", "Tip：请点击开始播放~~~"},
      {"D:\\Music\\Pellarine.exe", " abc ", "D:\\Music\\ abc .mp3", "Tip：请点击开始播放~~~"},
      {"E:\\Pellarine.exe", "abc", "E:\\abc.mp3", "Tip：请点击开始播放~~~"},
      // 誠 ends in the byte 0x5C, which must not be taken for a backslash.
      {"D:\\音乐\\誠\\Pellarine.exe", "Tamsel - 不哭了", "D:\\音乐\\誠\\Tamsel - 不哭了.mp3", "Tip：请点击开始播放~~~"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.program + (" / " + c.name));
    Player p(c.program);
    p.Run([&] {
      p.Click("选择框1");
      p.Type(c.name);
      const size_t tips = p.Tips("气球提示框3").size();
      p.Click("按钮6");
      EXPECT_EQ(p.C("编辑框1").text, c.path);
      EXPECT_EQ(p.C("标签2").text, c.hint);
      EXPECT_EQ(p.Tips("气球提示框3").size(), tips) << "loading pops up no tip";
      EXPECT_EQ(p.tk.boxes.size(), 1u) << "loading shows no box";
    });
  }
}

TEST(PlayerLoading, ChooseByDialogTakesAConfirmedFileIgnoresACancelAndOffersTheLastFileAgain) {
  const Text song = "F:\\歌曲\\不哭了.mp3";
  Player p;
  p.Run([&] {
    p.Click("选择框2");
    const Text hint = p.C("标签2").text;

    p.tk.AnswerNextDialog(true, song);
    p.Click("按钮1");
    EXPECT_EQ(p.C("编辑框1").text, song);
    ASSERT_EQ(p.tk.boxes.size(), 1u);
    EXPECT_EQ(p.tk.boxes[0].text, "现在请您点击开始播放");
    EXPECT_EQ(p.tk.boxes[0].title, "Zorvat提示：");

    p.tk.AnswerNextDialog(false);
    p.Click("按钮1");
    EXPECT_EQ(p.C("编辑框1").text, song) << "a cancel keeps the earlier path";
    EXPECT_EQ(p.tk.boxes.size(), 1u) << "a cancel shows nothing";

    p.tk.AnswerNextDialog(false);
    p.Click("按钮1");
    const std::vector<Text> prefills = {"", song, song};
    EXPECT_EQ(p.C("通用对话框1").dialogPrefills, prefills);
    EXPECT_EQ(p.C("标签2").text, hint);

    p.Click("按钮2");  // plays the song chosen before the cancels
  });
  EXPECT_EQ(Only(p.tk.calls, {"Play"}), Calls{"Play 1 " + song});
}

// Playback.

Text ExpectedLinksFile() {
  return Text("ZorvatQQ空间主页：http://") + values::kSpaceHost + "/" + values::kMakerAccount +
         "\r\nZorvat猴岛工作室：http://" + values::kForumHost + "/u.php?uid=" + values::kForumUserId + " ";
}

TEST(PlayerPlayback, EachStartPlaysThePathOnceThenRewritesTheLinksFileInTheRunDirectory) {
  Player p("D:\\音乐\\Pellarine.exe");
  p.Run([&] {
    p.Click("按钮2");  // before any load: the layout's ".mp3"
    p.Click("选择框1");
    p.Type("abc");
    p.Click("按钮6");
    p.Click("按钮2");
    p.Click("按钮2");
  });
  const Text links = "WriteFile D:\\音乐\\Zorvat工作室.txt";
  const Calls expected = {"Play 1 .mp3", links, "Play 1 D:\\音乐\\abc.mp3", links, "Play 1 D:\\音乐\\abc.mp3", links};
  EXPECT_EQ(Only(p.tk.calls, {"Play", "Pause", "Resume", "Stop", "WriteFile"}), expected);
  ASSERT_EQ(p.files.written.size(), 3u);
  for (const auto& bytes : p.files.written) EXPECT_EQ(bytes, ExpectedLinksFile());
  // GBK bytes of "空间主页：": no other encoding, and no zero or line break at the end.
  const std::string& bytes = p.files.written[0];
  EXPECT_NE(bytes.find("\xBF\xD5\xBC\xE4\xD6\xF7\xD2\xB3\xA3\xBA"), std::string::npos);
  EXPECT_EQ(bytes.back(), ' ');
  EXPECT_EQ(bytes.find('\0'), std::string::npos);
}

TEST(PlayerPlayback, AnUnwritableLinksFileIsIgnoredAndThePlayStillHappens) {
  Player p;
  p.files.works = false;
  p.Run([&] {
    p.Click("按钮2");
    p.Click("按钮2");
    EXPECT_TRUE(p.tk.boxes.empty());
  });
  EXPECT_EQ(Only(p.tk.calls, {"Play"}), (Calls{"Play 1 .mp3", "Play 1 .mp3"}));
  EXPECT_EQ(p.files.written.size(), 2u);
}

TEST(PlayerPlayback, PauseHidesThePauseButtonResumeShowsItStartAndStopLeaveIt) {
  struct Step {
    const char* button;
    const char* request;
    bool pauseShown;  // 按钮3 afterwards
  };
  // 按钮4 lies under 按钮3, so it is clicked only while 按钮3 is hidden.
  const Step steps[] = {
      {"按钮3", "Pause", false},      {"按钮5", "Stop", false},  {"按钮2", "Play 1 .mp3", false},
      {"按钮4", "Resume", true},      {"按钮3", "Pause", false}, {"按钮4", "Resume", true},
      {"按钮5", "Stop", true},        {"按钮2", "Play 1 .mp3", true},
  };
  Player p;
  p.Run([&] {
    for (const Step& s : steps) {
      SCOPED_TRACE(s.button);
      const size_t before = p.tk.calls.size();
      p.Click(s.button);
      const Calls after(p.tk.calls.begin() + before, p.tk.calls.end());
      EXPECT_EQ(Only(after, {"Play", "Pause", "Resume", "Stop"}), Calls{s.request});
      EXPECT_EQ(p.C("按钮3").visible, s.pauseShown);
      EXPECT_TRUE(p.C("按钮4").visible);
    }
  });
}

}  // namespace

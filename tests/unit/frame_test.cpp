#include "frame/frame.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "fake_toolkit.h"

namespace {

using fake::FakeToolkit;
using fake::FatalExit;
using frame::Control;
using frame::Frame;
using frame::Kind;
using frame::Layouts;
using frame::Ref;
using frame::Text;
using frame::WindowLayout;
using Calls = std::vector<std::string>;

// Handlers are plain function pointers, so each one forwards to whatever the
// running test put into its slot.
enum Hook {
  kMainCreated, kOtherCreated, kButton1, kButton2, kCheck1, kRadio, kEdit1, kEdit2, kTick,
  kOtherButton, kHookCount
};
std::function<void(Frame&)> g_hooks[kHookCount];
template <Hook H>
void Call(Frame& f) {
  if (g_hooks[H]) g_hooks[H](f);
}
void On(Hook h, std::function<void(Frame&)> f) { g_hooks[h] = std::move(f); }
void ClearHooks() {
  for (auto& h : g_hooks) h = nullptr;
}

FakeToolkit* g_tk;  // the running test's toolkit, for handlers' notes
void Note(const std::string& what) { g_tk->Note(what); }

Ref M(const char* control) { return {"MainWindow", control}; }
Ref O(const char* control) { return {"OtherWindow", control}; }

Control Row(Kind kind, const char* name, const char* inside = nullptr) {
  Control c{};
  c.kind = kind;
  c.name = name;
  c.inside = inside;
  return c;
}

Control& Find(Layouts& layouts, std::string_view window, std::string_view control) {
  for (auto& l : layouts)
    if (window == l.name)
      for (auto& c : l.controls)
        if (control == c.name) return c;
  throw std::logic_error("no such row");
}

// MainWindow: radio buttons 1 and 2 in 分组框1, 3 and 4 in the window;
// 按钮2 sits in 分组框2, which sits in 分组框1.
Layouts TestLayouts() {
  WindowLayout main{};
  main.name = "MainWindow";
  main.title = "主窗口";
  main.created = Call<kMainCreated>;
  auto add = [&main](Control c) -> Control& {
    main.controls.push_back(c);
    return main.controls.back();
  };
  add(Row(Kind::Button, "按钮1")).clicked = Call<kButton1>;
  Control& edit1 = add(Row(Kind::Edit, "编辑框1"));
  edit1.text = "初始";
  edit1.changed = Call<kEdit1>;
  add(Row(Kind::Edit, "编辑框2")).changed = Call<kEdit2>;
  add(Row(Kind::Check, "选择框1")).clicked = Call<kCheck1>;
  add(Row(Kind::Group, "分组框1")).text = "分组";
  Control& radio1 = add(Row(Kind::Radio, "单选框1", "分组框1"));
  radio1.checked = true;
  radio1.clicked = Call<kRadio>;
  add(Row(Kind::Radio, "单选框2", "分组框1")).clicked = Call<kRadio>;
  add(Row(Kind::Group, "分组框2", "分组框1"));
  add(Row(Kind::Button, "按钮2", "分组框2")).clicked = Call<kButton2>;
  Control& radio3 = add(Row(Kind::Radio, "单选框3"));
  radio3.checked = true;
  radio3.clicked = Call<kRadio>;
  add(Row(Kind::Radio, "单选框4")).clicked = Call<kRadio>;
  Control& label = add(Row(Kind::Label, "标签1"));
  label.text = "标签";
  label.textColour = 0x00FF0000;
  add(Row(Kind::Timer, "时钟1")).tick = Call<kTick>;
  add(Row(Kind::CommonDialog, "通用对话框1"));
  add(Row(Kind::HtmlView, "超文本浏览框1"));
  add(Row(Kind::BalloonTip, "气球提示框1"));
  add(Row(Kind::Picture, "图片框1")).backColour = 0x00336699;

  WindowLayout other{};
  other.name = "OtherWindow";
  other.title = "副窗口";
  other.created = Call<kOtherCreated>;
  other.controls.push_back(Row(Kind::Edit, "编辑框1"));
  other.controls.back().text = "副本";
  other.controls.push_back(Row(Kind::Button, "按钮1"));
  other.controls.back().clicked = Call<kOtherButton>;
  return {main, other};
}

// A toolkit, the test layouts and a frame over them.
struct Rig {
  Rig() {
    g_tk = &tk;
    ClearHooks();
  }
  ~Rig() { ClearHooks(); }
  FakeToolkit tk;
  Layouts layouts = TestLayouts();
  Frame frame{tk, layouts};
};

class FrameTest : public ::testing::Test {
 protected:
  Rig rig;
  FakeToolkit& tk = rig.tk;
  Frame& frame = rig.frame;
};

bool Contains(const Text& text, const Text& part) { return text.find(part) != Text::npos; }

// The marks of 选择框1 and 单选框1 to 单选框4, e.g. "01010".
std::string Marks(Frame& f) {
  std::string out;
  for (const char* c : {"选择框1", "单选框1", "单选框2", "单选框3", "单选框4"})
    out += f.Checked(M(c)) ? '1' : '0';
  return out;
}

// Start-up and program end.

TEST_F(FrameTest, StartUpPreparesTheProcessThenShowsTheStartWindowAfterItsCreatedHandler) {
  tk.programPath = "C:\\誠\\運.exe";  // both trail bytes are 0x5C
  On(kMainCreated, [](Frame& f) {
    Note("created");
    EXPECT_FALSE(g_tk->Win("MainWindow").shown);
    EXPECT_EQ(f.RunDirectory(), "C:\\誠");
    f.ShowMessageBox("欢迎");
  });
  On(kEdit1, [](Frame&) { Note("text changed"); });  // the initial text must not raise it
  tk.Then([&] { tk.Close("MainWindow"); });

  EXPECT_EQ(frame.Run("MainWindow"), 0);
  const Calls expected = {"ProgramPath", "SetCurrentFolder C:\\誠", "InitialiseOle",
                          "Build MainWindow", "created", "MessageBox 欢迎", "Show MainWindow",
                          "RunLoop", "Destroyed MainWindow", "QuitLoop"};
  EXPECT_EQ(tk.calls, expected);
  EXPECT_EQ(frame.RunDirectory(), "C:\\誠");
}

TEST(FrameStartUp, LayoutsThatCannotBeLoadedAreFatalOnceAndNoWindowIsBuilt) {
  ASSERT_EQ(frame::CheckLayouts(TestLayouts()), "");  // each case below spoils one thing
  struct Case {
    const char* what;
    std::function<void(Layouts&)> spoil;
    std::vector<Text> named;
  };
  const Case cases[] = {
      {"duplicate control name",
       [](Layouts& l) { l[0].controls.push_back(Row(Kind::Label, "标签1")); },
       {"MainWindow", "标签1", "名称重复"}},
      {"container is no group box",
       [](Layouts& l) { l[0].controls.push_back(Row(Kind::Button, "按钮3", "编辑框1")); },
       {"按钮3", "所在分组框不存在"}},
      {"container declared later",
       [](Layouts& l) {
         l[0].controls.insert(l[0].controls.begin(), Row(Kind::Button, "按钮3", "分组框1"));
       },
       {"按钮3", "所在分组框不存在"}},
      {"container missing",
       [](Layouts& l) { l[0].controls.push_back(Row(Kind::Button, "按钮3", "分组框9")); },
       {"按钮3", "所在分组框不存在"}},
      {"clicked on a label",
       [](Layouts& l) { Find(l, "MainWindow", "标签1").clicked = Call<kButton1>; },
       {"标签1", "单击事件"}},
      {"text changed on a button",
       [](Layouts& l) { Find(l, "MainWindow", "按钮1").changed = Call<kEdit1>; },
       {"按钮1", "内容被改变事件"}},
      {"tick on an edit box",
       [](Layouts& l) { Find(l, "MainWindow", "编辑框2").tick = Call<kTick>; },
       {"编辑框2", "周期事件"}},
      {"name of another kind",
       [](Layouts& l) { l[0].controls.push_back(Row(Kind::Edit, "按钮3")); },
       {"按钮3", "名称与种类不符"}},
      {"number too long",
       [](Layouts& l) { l[0].controls.push_back(Row(Kind::Button, "按钮100")); },
       {"按钮100", "名称与种类不符"}},
      {"leading zero, which would repeat the id of 按钮1",
       [](Layouts& l) { l[0].controls.push_back(Row(Kind::Button, "按钮01")); },
       {"按钮01", "名称与种类不符"}},
      {"fault in a window other than the start window",
       [](Layouts& l) { l[1].controls.push_back(Row(Kind::Label, "按钮7")); },
       {"OtherWindow", "按钮7"}},
      {"duplicate window name", [](Layouts& l) { l.push_back(l[1]); },
       {"窗口名重复", "OtherWindow"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Rig r;
    c.spoil(r.layouts);
    EXPECT_THROW(r.frame.Run("MainWindow"), FatalExit);
    ASSERT_EQ(r.tk.fatalErrors.size(), 1u);
    const Text& message = r.tk.fatalErrors[0];
    EXPECT_TRUE(Contains(message, "窗口布局无法载入")) << message;
    for (const Text& part : c.named) EXPECT_TRUE(Contains(message, part)) << message;
    EXPECT_TRUE(r.tk.windows.empty());
    EXPECT_EQ(r.tk.Count("Build MainWindow"), 0);
    EXPECT_EQ(r.tk.Count("RunLoop"), 0);
  }
}

TEST(FrameStartUp, StartWindowThatCannotBeBuiltIsFatalNamingIt) {
  for (const char* start : {"MainWindow", "NoSuchWindow"}) {
    SCOPED_TRACE(start);
    Rig r;
    r.tk.failBuild.insert("MainWindow");
    bool created = false;
    On(kMainCreated, [&](Frame&) { created = true; });
    EXPECT_THROW(r.frame.Run(start), FatalExit);
    ASSERT_EQ(r.tk.fatalErrors.size(), 1u);
    EXPECT_TRUE(Contains(r.tk.fatalErrors[0], Text("启动窗口无法创建：") + start))
        << r.tk.fatalErrors[0];
    EXPECT_FALSE(created);
    EXPECT_EQ(r.tk.Count("RunLoop"), 0);
  }
}

TEST_F(FrameTest, ClosingOneOfTwoWindowsKeepsTheProgramRunningUntilTheLastOneCloses) {
  On(kButton1, [](Frame& f) { f.LoadWindow("OtherWindow"); });
  On(kOtherButton, [](Frame& f) {
    Note("other clicked");
    f.SetText(O("编辑框1"), "还在");
  });
  tk.Then([&] { tk.Click("MainWindow", "按钮1"); });
  tk.Then([&] { tk.Close("MainWindow"); });
  tk.Then([&] { tk.Click("OtherWindow", "按钮1"); });
  tk.Then([&] { tk.Close("OtherWindow"); });

  EXPECT_EQ(frame.Run("MainWindow"), 0);
  const Calls expected = {"Build OtherWindow", "Show OtherWindow",     "Destroyed MainWindow",
                          "other clicked",     "Destroyed OtherWindow", "QuitLoop"};
  EXPECT_EQ(tk.CallsAfter("RunLoop"), expected);
  EXPECT_EQ(tk.PendingSteps(), 0u);
}

// Loading windows.

TEST_F(FrameTest, LoadedWindowIsShownAfterItsCreatedHandlerAndBeforeTheLoadReturns) {
  On(kOtherCreated, [](Frame& f) {
    Note("created");
    EXPECT_FALSE(g_tk->Win("OtherWindow").shown);
    f.ShowMessageBox("副窗口");
  });
  On(kButton1, [](Frame& f) {
    EXPECT_TRUE(f.LoadWindow("OtherWindow"));
    Note("load returned");
  });
  ASSERT_TRUE(frame.LoadWindow("MainWindow"));
  tk.calls.clear();
  tk.Click("MainWindow", "按钮1");
  const Calls expected = {"Build OtherWindow", "created", "MessageBox 副窗口", "Show OtherWindow",
                          "load returned"};
  EXPECT_EQ(tk.calls, expected);
}

TEST_F(FrameTest, LoadingAnOpenWindowOnlyBringsItToTheFront) {
  int created = 0;
  On(kOtherCreated, [&](Frame& f) {
    ++created;
    f.SetText(O("编辑框1"), f.GetText(M("编辑框1")));
  });
  On(kButton1, [](Frame& f) { EXPECT_TRUE(f.LoadWindow("OtherWindow")); });
  ASSERT_TRUE(frame.LoadWindow("MainWindow"));
  ASSERT_TRUE(frame.LoadWindow("OtherWindow"));
  tk.Minimise("OtherWindow");
  frame.SetText(M("编辑框1"), "新的");

  tk.Click("MainWindow", "按钮1");
  EXPECT_EQ(created, 1);
  EXPECT_EQ(tk.Builds("OtherWindow"), 1);
  EXPECT_EQ(tk.Win("OtherWindow").frontRequests, 1);
  EXPECT_FALSE(tk.Win("OtherWindow").minimised);
  EXPECT_EQ(frame.GetText(O("编辑框1")), "初始");  // what the created handler copied in stays
}

TEST_F(FrameTest, WindowLoadedAgainAfterClosingStartsFromItsLayout) {
  int created = 0;
  On(kMainCreated, [&](Frame&) { ++created; });
  ASSERT_TRUE(frame.LoadWindow("MainWindow"));
  frame.SetText(M("编辑框1"), "改过");
  frame.SetCaption(M("标签1"), "改过");
  frame.SetTextColour(M("标签1"), 0x000000FF);
  frame.SetChecked(M("选择框1"), true);
  frame.SetChecked(M("单选框1"), false);
  frame.SetDisabled(M("按钮1"), true);
  frame.SetVisible(M("按钮2"), false);
  frame.SetPeriod(M("时钟1"), 100);
  frame.SetAddress(M("超文本浏览框1"), "http://127.0.0.1/");
  tk.AnswerNextDialog(true, "C:\\a.mp3");
  frame.OpenDialog(M("通用对话框1"));
  ASSERT_TRUE(tk.Close("MainWindow"));
  EXPECT_FALSE(frame.IsOpen("MainWindow"));
  EXPECT_EQ(tk.Count("QuitLoop"), 0);  // no event loop is running yet

  ASSERT_TRUE(frame.LoadWindow("MainWindow"));
  EXPECT_EQ(created, 2);
  EXPECT_EQ(tk.Builds("MainWindow"), 2);
  EXPECT_EQ(frame.GetText(M("编辑框1")), "初始");
  EXPECT_EQ(frame.Caption(M("标签1")), "标签");
  EXPECT_EQ(frame.TextColour(M("标签1")), 0x00FF0000u);
  EXPECT_EQ(Marks(frame), "01010");
  EXPECT_FALSE(frame.Disabled(M("按钮1")));
  EXPECT_TRUE(frame.Visible(M("按钮2")));
  EXPECT_EQ(frame.Address(M("超文本浏览框1")), "");
  EXPECT_EQ(frame.FileName(M("通用对话框1")), "");
  EXPECT_EQ(frame.Period(M("时钟1")), 0);
  EXPECT_FALSE(tk.FireTimer("MainWindow", "时钟1"));
  frame.SetPeriod(M("时钟1"), 100);  // the old period must not make this look like no change
  EXPECT_TRUE(tk.FireTimer("MainWindow", "时钟1"));
}

TEST_F(FrameTest, LoadWindowThatCannotBeBuiltGivesFalseAndTheProgramGoesOn) {
  tk.failBuild.insert("OtherWindow");
  bool created = false;
  On(kOtherCreated, [&](Frame&) { created = true; });
  EXPECT_FALSE(frame.LoadWindow("OtherWindow"));
  EXPECT_FALSE(frame.IsOpen("OtherWindow"));
  EXPECT_FALSE(created);
  EXPECT_TRUE(tk.fatalErrors.empty());
}

// Edit box texts.

TEST_F(FrameTest, WritingEditTextRunsItsChangedHandlerOnceWithTheNewContentInPlace) {
  On(kEdit1, [](Frame& f) { Note("changed " + f.GetText(M("编辑框1"))); });
  ASSERT_TRUE(frame.LoadWindow("MainWindow"));
  EXPECT_EQ(tk.calls, (Calls{"Build MainWindow", "Show MainWindow"}));  // initial text: no event
  tk.calls.clear();

  frame.SetText(M("编辑框1"), "甲");
  frame.SetText(M("编辑框1"), "甲");  // an equal text raises it again
  frame.SetText(M("编辑框1"), "");
  tk.Type("MainWindow", "编辑框1", "乙");
  EXPECT_EQ(tk.calls, (Calls{"changed 甲", "changed 甲", "changed ", "changed 乙"}));
}

TEST_F(FrameTest, EditTextWrittenByAnotherHandlerRunsTheChangedHandlerInsideTheWrite) {
  On(kButton1, [](Frame& f) {
    Note("writing");
    f.SetText(M("编辑框2"), "丙");
    Note("written");
  });
  On(kEdit2, [](Frame& f) {
    Note("changed2 " + f.GetText(M("编辑框2")));
    f.SetText(M("编辑框1"), f.GetText(M("编辑框2")));
  });
  On(kEdit1, [](Frame& f) { Note("changed1 " + f.GetText(M("编辑框1"))); });
  ASSERT_TRUE(frame.LoadWindow("MainWindow"));
  tk.calls.clear();
  tk.Click("MainWindow", "按钮1");
  EXPECT_EQ(tk.calls, (Calls{"writing", "changed2 丙", "changed1 丙", "written"}));
}

// Marks and clicks.

TEST_F(FrameTest, WritingCheckedSetsThatControlOnlyAndRaisesNothing) {
  On(kCheck1, [](Frame&) { Note("clicked"); });
  On(kRadio, [](Frame&) { Note("clicked"); });
  ASSERT_TRUE(frame.LoadWindow("MainWindow"));
  EXPECT_EQ(Marks(frame), "01010");
  frame.SetChecked(M("单选框2"), true);
  EXPECT_EQ(Marks(frame), "01110");
  frame.SetChecked(M("单选框3"), false);
  frame.SetChecked(M("选择框1"), true);
  EXPECT_EQ(Marks(frame), "11100");
  EXPECT_EQ(tk.Count("clicked"), 0);
}

TEST_F(FrameTest, UserClickOnACheckBoxFlipsItsMarkBeforeItsHandlerRuns) {
  On(kCheck1, [](Frame& f) { Note(f.Checked(M("选择框1")) ? "marked" : "clear"); });
  ASSERT_TRUE(frame.LoadWindow("MainWindow"));
  tk.calls.clear();
  tk.Click("MainWindow", "选择框1");
  tk.Click("MainWindow", "选择框1");
  EXPECT_EQ(tk.calls, (Calls{"marked", "clear"}));
}

TEST_F(FrameTest, UserClickOnARadioButtonClearsTheOthersOfItsContainerBeforeItsHandlerRuns) {
  On(kRadio, [](Frame& f) { Note(Marks(f)); });
  ASSERT_TRUE(frame.LoadWindow("MainWindow"));
  tk.calls.clear();
  tk.Click("MainWindow", "单选框2");  // in 分组框1: 单选框3 in the window keeps its mark
  tk.Click("MainWindow", "单选框4");  // in the window: the group box's ones keep theirs
  tk.Click("MainWindow", "单选框4");  // a marked one stays marked
  EXPECT_EQ(tk.calls, (Calls{"00110", "00101", "00101"}));
}

TEST(FrameInput, AControlThatCannotTakeInputNeverRunsItsClickedHandler) {
  struct Case {
    const char* what;
    const char* control;
    std::function<void(Rig&)> block;
  };
  const Case cases[] = {
      {"disabled button", "按钮1", [](Rig& r) { r.frame.SetDisabled(M("按钮1"), true); }},
      {"disabled check box", "选择框1", [](Rig& r) { r.frame.SetDisabled(M("选择框1"), true); }},
      {"disabled radio button", "单选框4", [](Rig& r) { r.frame.SetDisabled(M("单选框4"), true); }},
      {"radio button in a disabled group box", "单选框2",
       [](Rig& r) { r.frame.SetDisabled(M("分组框1"), true); }},
      {"button in a group box inside a disabled one", "按钮2",
       [](Rig& r) { r.frame.SetDisabled(M("分组框1"), true); }},
      {"window refusing input", "选择框1",
       [](Rig& r) { r.tk.Win("MainWindow").acceptsInput = false; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Rig r;
    for (Hook h : {kButton1, kButton2, kCheck1, kRadio}) On(h, [](Frame&) { Note("clicked"); });
    ASSERT_TRUE(r.frame.LoadWindow("MainWindow"));
    c.block(r);
    r.tk.Click("MainWindow", c.control);  // delivered as BM_CLICK would be
    EXPECT_EQ(r.tk.Count("clicked"), 0);
    EXPECT_EQ(Marks(r.frame), "01010");  // a refused click changes no mark
  }
}

TEST_F(FrameTest, DisablingAGroupBoxStopsItsControlsWhileTheyKeepTheirOwnSetting) {
  On(kButton2, [](Frame&) { Note("clicked"); });
  ASSERT_TRUE(frame.LoadWindow("MainWindow"));
  frame.SetDisabled(M("分组框1"), true);
  EXPECT_TRUE(frame.Disabled(M("分组框1")));
  EXPECT_FALSE(frame.Disabled(M("按钮2")));
  EXPECT_FALSE(frame.Disabled(M("分组框2")));
  EXPECT_TRUE(tk.Win("MainWindow").Control("按钮2").enabled);  // only the group box was disabled
  tk.Click("MainWindow", "按钮2");
  EXPECT_EQ(tk.Count("clicked"), 0);

  frame.SetDisabled(M("按钮2"), true);
  frame.SetDisabled(M("分组框1"), false);
  EXPECT_TRUE(frame.Disabled(M("按钮2")));
  tk.Click("MainWindow", "按钮2");
  EXPECT_EQ(tk.Count("clicked"), 0);

  frame.SetDisabled(M("按钮2"), false);
  tk.Click("MainWindow", "按钮2");
  EXPECT_EQ(tk.Count("clicked"), 1);
}

// Timers, boxes and dialogs.

TEST_F(FrameTest, TimerPeriodWritesFollowTheTimerRules) {
  struct Step {
    int write;
    int period;     // read back, and what the real timer runs with (0: stopped)
    int timerSets;  // requests to the real timer so far; each restarts the count
  };
  const Step steps[] = {{100, 100, 1}, {100, 100, 1}, {250, 250, 2}, {-5, 0, 3},
                        {-1, 0, 3},    {0, 0, 3},     {40, 40, 4}};
  ASSERT_TRUE(frame.LoadWindow("MainWindow"));
  EXPECT_EQ(frame.Period(M("时钟1")), 0);
  const fake::ControlState& timer = tk.Win("MainWindow").Control("时钟1");
  for (const Step& s : steps) {
    frame.SetPeriod(M("时钟1"), s.write);
    EXPECT_EQ(frame.Period(M("时钟1")), s.period) << "after writing " << s.write;
    EXPECT_EQ(timer.timerPeriod, s.period) << "after writing " << s.write;
    EXPECT_EQ(timer.timerSets, s.timerSets) << "after writing " << s.write;
  }
}

TEST_F(FrameTest, MessageBoxUsesTheGivenTitleOrTheDefaultOne) {
  EXPECT_EQ(frame.ShowMessageBox("甲"), 1);
  frame.ShowMessageBox("乙", 0, "Zorvat提示：");
  ASSERT_EQ(tk.boxes.size(), 2u);
  EXPECT_EQ(tk.boxes[0].text, "甲");
  EXPECT_EQ(tk.boxes[0].title, "\xD0\xC5\xCF\xA2\xA3\xBA");  // 信息：
  EXPECT_EQ(tk.boxes[0].flags, 0);
  EXPECT_EQ(tk.boxes[1].title, "Zorvat提示：");
}

TEST_F(FrameTest, WhileAMessageBoxIsUpTimersKeepFiringAndClicksAreRefused) {
  On(kButton1, [](Frame& f) {
    f.SetPeriod(M("时钟1"), 100);
    f.ShowMessageBox("请稍候");
    Note("box closed");
  });
  On(kTick, [](Frame& f) {
    Note("tick");
    f.SetCaption(M("标签1"), "走");
  });
  On(kCheck1, [](Frame&) { Note("clicked"); });
  On(kOtherButton, [](Frame&) { Note("clicked"); });
  ASSERT_TRUE(frame.LoadWindow("MainWindow"));
  ASSERT_TRUE(frame.LoadWindow("OtherWindow"));
  tk.calls.clear();
  tk.WhileNextBox([&] {
    EXPECT_TRUE(tk.FireTimer("MainWindow", "时钟1"));
    tk.Click("MainWindow", "选择框1");
    tk.Click("OtherWindow", "按钮1");
    tk.Click("MainWindow", "按钮1");
  });
  tk.Click("MainWindow", "按钮1");
  EXPECT_EQ(tk.calls, (Calls{"MessageBox 请稍候", "tick", "box closed"}));
  EXPECT_EQ(frame.Caption(M("标签1")), "走");
  EXPECT_FALSE(frame.Checked(M("选择框1")));

  tk.Click("MainWindow", "选择框1");  // the box is gone: input is taken again
  EXPECT_EQ(tk.Count("clicked"), 1);
}

TEST_F(FrameTest, OpenDialogKeepsTheLastConfirmedPathAndTimersFireWhileItIsUp) {
  int ticks = 0;
  On(kTick, [&](Frame&) { ++ticks; });
  ASSERT_TRUE(frame.LoadWindow("MainWindow"));
  frame.SetPeriod(M("时钟1"), 50);
  const Ref dialog = M("通用对话框1");
  const Text song = "C:\\歌\\誠.mp3";
  tk.AnswerNextDialog(true, song, [&] { EXPECT_TRUE(tk.FireTimer("MainWindow", "时钟1")); });
  EXPECT_TRUE(frame.OpenDialog(dialog));
  EXPECT_EQ(frame.FileName(dialog), song);
  tk.AnswerNextDialog(false);
  EXPECT_FALSE(frame.OpenDialog(dialog));
  EXPECT_EQ(frame.FileName(dialog), song);
  EXPECT_EQ(tk.Win("MainWindow").Control("通用对话框1").dialogPrefills, (std::vector<Text>{"", song}));
  EXPECT_EQ(ticks, 1);
}

// Other properties: each write reaches the right control before it returns.

TEST_F(FrameTest, PropertyWritesReachTheirControlAndReadBack) {
  ASSERT_TRUE(frame.LoadWindow("MainWindow"));
  fake::WindowState& w = tk.Win("MainWindow");
  frame.SetVisible(M("标签1"), false);
  EXPECT_FALSE(frame.Visible(M("标签1")));
  EXPECT_FALSE(w.Control("标签1").visible);
  frame.SetDisabled(M("按钮1"), true);
  EXPECT_TRUE(frame.Disabled(M("按钮1")));
  EXPECT_FALSE(w.Control("按钮1").enabled);
  frame.SetCaption(M("标签1"), "新标题");
  EXPECT_EQ(w.Control("标签1").text, "新标题");
  EXPECT_EQ(frame.Caption(M("标签1")), "新标题");
  EXPECT_EQ(frame.TextColour(M("标签1")), 0x00FF0000u);  // from the layout
  frame.SetTextColour(M("标签1"), 0x000000FF);
  EXPECT_EQ(frame.TextColour(M("标签1")), 0x000000FFu);
  EXPECT_EQ(w.Control("标签1").textColour, 0x000000FFu);
  EXPECT_EQ(frame.BackColour(M("图片框1")), 0x00336699u);
  frame.SetBackColour(M("图片框1"), 0x0000FF00);
  EXPECT_EQ(w.Control("图片框1").backColour, 0x0000FF00u);
  frame.SetAddress(M("超文本浏览框1"), "http://127.0.0.1/a");
  EXPECT_EQ(frame.Address(M("超文本浏览框1")), "http://127.0.0.1/a");
  EXPECT_EQ(w.Control("超文本浏览框1").navigations, (std::vector<Text>{"http://127.0.0.1/a"}));
  frame.PopUpTip(M("气球提示框1"), 10, 20, "提示");
  ASSERT_EQ(w.Control("气球提示框1").tips.size(), 1u);
  EXPECT_EQ(w.Control("气球提示框1").tips[0].at.x, 10);
  EXPECT_EQ(w.Control("气球提示框1").tips[0].at.y, 20);
  EXPECT_EQ(w.Control("气球提示框1").tips[0].text, "提示");
  tk.mouse = {300, 400};
  EXPECT_EQ(frame.MousePosition().x, 300);
  EXPECT_EQ(frame.MousePosition().y, 400);
}

// Fatal run-time errors raised inside handlers.

TEST(FrameFatal, AFailureInAHandlerIsOneFatalErrorNamingIt) {
  struct Case {
    const char* what;
    std::function<void(Frame&)> act;
    Text named;
  };
  const Case cases[] = {
      {"unknown window loaded", [](Frame& f) { f.LoadWindow("NoWindow"); }, "NoWindow"},
      {"unknown window read", [](Frame& f) { f.GetText({"NoWindow", "编辑框1"}); }, "NoWindow"},
      {"unknown control written", [](Frame& f) { f.SetText(M("编辑框9"), "x"); }, "编辑框9"},
      {"exception", [](Frame&) { throw std::runtime_error("坏了"); }, "坏了"},
      {"out of memory", [](Frame&) { throw std::bad_alloc(); }, "内存不足"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Rig r;
    ASSERT_TRUE(r.frame.LoadWindow("MainWindow"));
    On(kButton1, c.act);
    EXPECT_THROW(r.tk.Click("MainWindow", "按钮1"), FatalExit);
    ASSERT_EQ(r.tk.fatalErrors.size(), 1u);
    EXPECT_TRUE(Contains(r.tk.fatalErrors[0], c.named)) << r.tk.fatalErrors[0];
  }
}

}  // namespace

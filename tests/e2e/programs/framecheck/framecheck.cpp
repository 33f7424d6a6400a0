// A small program on the frame whose windows show, in labels, what the frame
// did: the Wine tests drive it to check the window contract in real windows.
// Started with the argument "badlayout" it carries a layout that cannot be
// built.
#include <windows.h>

#include <string>

#include "frame/frame.h"
#include "platform/win32/toolkit_win32.h"

namespace {

using frame::Frame;
using frame::Kind;

constexpr char kMain[] = "CheckWindow";
constexpr char kSecond[] = "SecondWindow";

int g_changes = 0;   // text-changed events of 编辑框1
int g_ticks = 0;     // timer events
int g_created = 0;   // runs of SecondWindow's created handler

std::string Num(int n) { return std::to_string(n); }

void Changed(Frame& f) { f.SetCaption({kMain, "标签1"}, Num(++g_changes)); }

// Writes the same text twice; the label shows the count seen right after each write.
void WriteTwice(Frame& f) {
  f.SetText({kMain, "编辑框1"}, "同一");
  const std::string first = Num(g_changes);
  f.SetText({kMain, "编辑框1"}, "同一");
  f.SetCaption({kMain, "标签2"}, first + "," + Num(g_changes));
}

// The marks of all four radio buttons as the clicked handler sees them.
void RadioClicked(Frame& f) {
  std::string marks;
  for (const char* r : {"单选框1", "单选框2", "单选框3", "单选框4"}) marks += f.Checked({kMain, r}) ? '1' : '0';
  f.SetCaption({kMain, "标签3"}, marks);
}

void CheckThird(Frame& f) { f.SetChecked({kMain, "单选框3"}, true); }

void CheckClicked(Frame& f) { f.SetCaption({kMain, "标签3"}, f.Checked({kMain, "选择框1"}) ? "勾上" : "未勾"); }

void DisableGroup(Frame& f) {
  f.SetDisabled({kMain, "分组框1"}, true);
  f.SetCaption({kMain, "标签4"}, std::string("组内禁止=") + (f.Disabled({kMain, "单选框1"}) ? "1" : "0"));
}

void NeverRuns(Frame& f) { f.SetCaption({kMain, "标签4"}, "不该运行"); }

void StartTimer(Frame& f) { f.SetPeriod({kMain, "时钟1"}, 100); }
void StopTimer(Frame& f) { f.SetPeriod({kMain, "时钟1"}, -5); }
void Tick(Frame& f) { f.SetCaption({kMain, "标签5"}, Num(++g_ticks)); }

void UntitledBox(Frame& f) {
  f.ShowMessageBox("没有标题的信息");
  f.SetCaption({kMain, "标签4"}, "信息框已关闭");
}

void OpenSecond(Frame& f) { f.LoadWindow(kSecond); }

void MainCreated(Frame& f) {
  f.ShowMessageBox("窗口尚未显示", 0, "创建");
  f.SetCaption({kMain, "标签6"}, f.RunDirectory());
}

void SecondCreated(Frame& f) {
  ++g_created;
  f.SetCaption({kMain, "标签4"}, "第二窗口创建次数=" + Num(g_created));
}

frame::Layouts GoodLayouts() {
  frame::WindowLayout main{.name = kMain, .title = "框架检查", .w = 420, .h = 400, .created = MainCreated, .controls = {}};
  main.controls = {
      {.kind = Kind::Edit, .name = "编辑框1", .text = "起始", .x = 8, .y = 8, .w = 120, .h = 22, .changed = Changed},
      {.kind = Kind::Button, .name = "按钮1", .text = "写两次", .x = 136, .y = 8, .w = 80, .h = 22, .clicked = WriteTwice},
      {.kind = Kind::Label, .name = "标签1", .text = "0", .x = 224, .y = 8, .w = 60, .h = 22},
      {.kind = Kind::Label, .name = "标签2", .x = 292, .y = 8, .w = 100, .h = 22},
      {.kind = Kind::Group, .name = "分组框1", .text = "分组", .x = 8, .y = 40, .w = 200, .h = 100},
      {.kind = Kind::Radio, .name = "单选框1", .text = "甲", .x = 8, .y = 16, .w = 80, .h = 20, .inside = "分组框1", .clicked = RadioClicked},
      {.kind = Kind::Radio, .name = "单选框2", .text = "乙", .x = 8, .y = 40, .w = 80, .h = 20, .inside = "分组框1", .clicked = RadioClicked},
      {.kind = Kind::Radio, .name = "单选框3", .text = "丙", .x = 8, .y = 64, .w = 80, .h = 20, .inside = "分组框1", .checked = true, .clicked = RadioClicked},
      {.kind = Kind::Radio, .name = "单选框4", .text = "丁", .x = 216, .y = 40, .w = 80, .h = 20, .checked = true, .clicked = RadioClicked},
      {.kind = Kind::Check, .name = "选择框1", .text = "勾选", .x = 216, .y = 64, .w = 80, .h = 20, .clicked = CheckClicked},
      {.kind = Kind::Button, .name = "按钮2", .text = "写丙", .x = 216, .y = 90, .w = 80, .h = 22, .clicked = CheckThird},
      {.kind = Kind::Button, .name = "按钮3", .text = "禁分组", .x = 8, .y = 150, .w = 80, .h = 22, .clicked = DisableGroup},
      {.kind = Kind::Button, .name = "按钮4", .text = "禁用", .x = 96, .y = 150, .w = 80, .h = 22, .disabled = true, .clicked = NeverRuns},
      {.kind = Kind::Button, .name = "按钮5", .text = "计时", .x = 184, .y = 150, .w = 80, .h = 22, .clicked = StartTimer},
      {.kind = Kind::Button, .name = "按钮8", .text = "停时", .x = 272, .y = 150, .w = 80, .h = 22, .clicked = StopTimer},
      {.kind = Kind::Button, .name = "按钮6", .text = "信息框", .x = 8, .y = 180, .w = 80, .h = 22, .clicked = UntitledBox},
      {.kind = Kind::Button, .name = "按钮7", .text = "第二窗口", .x = 96, .y = 180, .w = 80, .h = 22, .clicked = OpenSecond},
      {.kind = Kind::Label, .name = "标签3", .x = 8, .y = 210, .w = 380, .h = 20},
      {.kind = Kind::Label, .name = "标签4", .x = 8, .y = 232, .w = 380, .h = 20},
      {.kind = Kind::Label, .name = "标签5", .text = "0", .x = 8, .y = 254, .w = 380, .h = 20},
      {.kind = Kind::Label, .name = "标签6", .x = 8, .y = 276, .w = 380, .h = 40, .wraps = true},
      {.kind = Kind::Picture, .name = "图片框1", .x = 300, .y = 180, .w = 48, .h = 22, .backColour = 0x00FF8800},
      {.kind = Kind::Timer, .name = "时钟1", .tick = Tick},
  };
  frame::WindowLayout second{.name = kSecond, .title = "第二窗口", .w = 240, .h = 120, .created = SecondCreated, .controls = {}};
  second.buttons = frame::CaptionButtons::CloseOnly;
  second.controls = {
      {.kind = Kind::Edit, .name = "编辑框1", .text = "初始", .x = 8, .y = 8, .w = 120, .h = 22},
      {.kind = Kind::Check, .name = "选择框1", .text = "勾选", .x = 8, .y = 40, .w = 80, .h = 20},
  };
  return {main, second};
}

frame::Layouts BadLayouts() {
  frame::WindowLayout main{.name = kMain, .title = "框架检查", .w = 300, .h = 200, .controls = {}};
  main.controls = {
      {.kind = Kind::Button, .name = "按钮1", .text = "一", .x = 8, .y = 8, .w = 80, .h = 22},
      {.kind = Kind::Label, .name = "标签1", .text = "二", .x = 8, .y = 40, .w = 80, .h = 22, .inside = "分组框9"},
  };
  return {main};
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  const bool bad = commandLine && std::string(commandLine).find("badlayout") != std::string::npos;
  static const frame::Layouts layouts = bad ? BadLayouts() : GoodLayouts();
  win32::Toolkit toolkit;
  frame::Frame app(toolkit, layouts);
  return app.Run(kMain);
}

// The created handler and the handlers that switch between the two modes.
#include "frame/skin_setup.h"
#include "player/handlers.h"
#include "player/player_layout.h"

namespace player {
namespace {

constexpr frame::Ref C(const char* control) { return {kPlayerWindow, control}; }

void PopUpAtPointer(frame::Frame& f, const char* box, const char* text) {
  const frame::Point p = f.MousePosition();
  f.PopUpTip(C(box), p.x, p.y, text);
}

}  // namespace

void WindowCreated(frame::Frame& f) {
  frame::ApplySkin(f, 6);
  frame::EnableSkinAero(f);
  PopUpAtPointer(f, "气球提示框2",
                 "\r\n\r\n\r\n请将歌曲和软件放入同一个文件夹里！！！\r\n请先选择模式哦~~~~~~~~~\r\n\r\n");
}

void ModeOne(frame::Frame& f) {
  f.SetDisabled(C("分组框1"), false);
  f.SetDisabled(C("分组框2"), true);
  f.SetDisabled(C("编辑框2"), false);
  f.SetDisabled(C("按钮1"), true);
  f.SetChecked(C("选择框2"), false);
  if (f.Checked(C("选择框1"))) {
    f.ShowMessageBox("请输入歌曲名称。[全名] ");
    PopUpAtPointer(f, "气球提示框1",
                   "请在上面框内输入歌曲名称。。\r\n注意：输入的必须是本地歌曲全部名称~~~~\r\n例如：Tamsel - 不哭了");
  } else {
    f.SetDisabled(C("分组框1"), true);
    f.SetDisabled(C("编辑框2"), true);
    f.SetDisabled(C("按钮6"), true);
    f.SetChecked(C("选择框1"), false);
  }
}

void ModeTwo(frame::Frame& f) {
  if (f.Checked(C("选择框2"))) {
    f.SetDisabled(C("分组框2"), false);
    f.SetDisabled(C("分组框1"), true);
    f.SetDisabled(C("编辑框2"), true);
    f.SetDisabled(C("按钮1"), false);
    f.SetDisabled(C("按钮6"), true);
    f.SetChecked(C("选择框1"), false);
  } else {
    f.SetDisabled(C("分组框2"), true);
    f.SetDisabled(C("按钮1"), true);
  }
}

void NameTyped(frame::Frame& f) {
  f.SetDisabled(C("按钮6"), false);
  PopUpAtPointer(f, "气球提示框3", "输入完成后记住点击[载入歌曲]哦~ ~ ~ ~ ~ ~ ~ ~ ~");
  f.SetCaption(C("标签2"), "Tip：请点击[载入歌曲]");
}

void Clear(frame::Frame& f) {
  f.SetText(C("编辑框2"), "");  // runs NameTyped before it returns
  f.SetDisabled(C("按钮6"), true);
}

}  // namespace player

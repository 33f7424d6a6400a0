#include "player/player_layout.h"

#include "player/handlers.h"

namespace player {
namespace {

using frame::Control;
using frame::Font;
using frame::Kind;

constexpr Font kKai12Bold{"楷体_GB2312", frame::kBold, 12};
constexpr Font kKai16Bold{"楷体_GB2312", frame::kBold, 16};
constexpr Font kSong12Bold{"宋体", frame::kBold, 12};
constexpr Font kSong12{"宋体", frame::kRegular, 12};

frame::WindowLayout PlayerWindow() {
  frame::WindowLayout l{.name = kPlayerWindow, .title = "ZorvatMP3播放器", .w = 230, .h = 515, .controls = {}};
  l.icon = frame::Picture::ProgramPicture;
  l.iconSize = 48;
  l.keepsActiveCaption = true;
  l.created = WindowCreated;
  l.controls = {
      {.kind = Kind::Check, .name = "选择框1", .text = "模式一", .x = 24, .y = 8, .w = 72, .h = 24, .font = kKai12Bold, .clicked = ModeOne},
      {.kind = Kind::Check, .name = "选择框2", .text = "模式二", .x = 128, .y = 8, .w = 80, .h = 24, .font = kKai12Bold, .clicked = ModeTwo},
      {.kind = Kind::Group, .name = "分组框1", .text = "模式一", .x = 24, .y = 40, .w = 176, .h = 128, .disabled = true, .font = kKai12Bold},
      {.kind = Kind::Edit, .name = "编辑框2", .x = 40, .y = 56, .w = 112, .h = 24, .disabled = true, .font = kSong12Bold,
       .textColour = 0x00FFFF00, .backColour = 0x00FF0090, .changed = NameTyped},
      {.kind = Kind::Edit, .name = "编辑框1", .text = ".mp3", .x = 40, .y = 56, .w = 112, .h = 24, .visible = false, .rightAligned = true},
      {.kind = Kind::Button, .name = "按钮7", .text = "清除", .x = 136, .y = 16, .w = 32, .h = 24, .inside = "分组框1", .font = kSong12, .clicked = Clear},
      {.kind = Kind::Label, .name = "标签2", .text = "Tip：请先输入歌曲名称", .x = 16, .y = 48, .w = 152, .h = 16, .inside = "分组框1",
       .font = kSong12Bold, .textColour = 0x000000FF},
      {.kind = Kind::Button, .name = "按钮6", .text = "载入歌曲", .x = 40, .y = 112, .w = 144, .h = 48, .disabled = true, .font = kKai16Bold, .clicked = LoadByName},
      {.kind = Kind::Group, .name = "分组框2", .text = "模式二", .x = 24, .y = 176, .w = 176, .h = 72, .disabled = true, .font = kKai12Bold},
      {.kind = Kind::Button, .name = "按钮1", .text = "选择歌曲", .x = 40, .y = 192, .w = 144, .h = 48, .disabled = true, .font = kKai16Bold, .clicked = ChooseByDialog},
      {.kind = Kind::Group, .name = "分组框3", .text = "功能区", .x = 24, .y = 256, .w = 176, .h = 208, .font = kKai12Bold},
      {.kind = Kind::Button, .name = "按钮2", .text = "开始播放", .x = 40, .y = 280, .w = 144, .h = 48, .font = kKai16Bold, .clicked = Start},
      {.kind = Kind::Button, .name = "按钮3", .text = "暂停播放", .x = 40, .y = 344, .w = 144, .h = 48, .font = kKai16Bold, .clicked = Pause},
      {.kind = Kind::Button, .name = "按钮4", .text = "继续播放", .x = 40, .y = 344, .w = 144, .h = 48, .font = kKai16Bold, .clicked = Resume},
      {.kind = Kind::Button, .name = "按钮5", .text = "停止播放", .x = 40, .y = 408, .w = 144, .h = 48, .font = kKai16Bold, .clicked = Stop},
      {.kind = Kind::Label, .name = "标签1", .text = "by：Zorvat丨KESTRO", .x = 66, .y = 464, .w = 92, .h = 24, .textColour = 0x000000FF},
      {.kind = Kind::CommonDialog, .name = "通用对话框1", .x = -24, .y = 16, .w = 48, .h = 32},
      {.kind = Kind::BalloonTip, .name = "气球提示框1", .x = 480, .y = 280, .w = 160, .h = 48,
       .backColour = 0x00FF0090, .frameColour = 0x00562116, .frameW = 1, .frameH = 1},
      {.kind = Kind::BalloonTip, .name = "气球提示框2", .x = -112, .y = 56, .w = 96, .h = 168, .inside = "分组框2",
       .backColour = 0x000000FF, .frameColour = 0x0000FF00, .frameW = 3, .frameH = 1},
      {.kind = Kind::BalloonTip, .name = "气球提示框3", .x = 208, .y = 0, .w = 72, .h = 24, .inside = "分组框3",
       .backColour = 0x00FF0090, .frameColour = 0x00FFFF00, .frameW = 3, .frameH = 1},
  };
  return l;
}

}  // namespace

const frame::Layouts& Layouts() {
  static const frame::Layouts layouts{PlayerWindow()};
  return layouts;
}

}  // namespace player

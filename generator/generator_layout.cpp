#include "generator/generator_layout.h"

#include <string>

#include "generator/handlers.h"
#include "generator/player_code.h"
#include "values.h"

namespace generator {
namespace {

using frame::Control;
using frame::Font;
using frame::Kind;

constexpr Font kSong12Bold{"宋体", frame::kBold, 12};
constexpr Font kSong14Bold{"宋体", frame::kBold, 14};
constexpr Font kSong16Bold{"宋体", frame::kBold, 16};
constexpr Font kKai12{"楷体_GB2312", frame::kRegular, 12};
constexpr Font kKai14Bold{"楷体_GB2312", frame::kBold, 14};
constexpr Font kKai16Bold{"楷体_GB2312", frame::kBold, 16};

constexpr frame::Colour kRed = 0x000000FF;
constexpr frame::Colour kViolet = 0x00FF0090;
constexpr frame::Colour kCountColour = 0x00E03058;

// The colour grid: 按钮11 to 按钮18 in the first row, 按钮20 to 按钮27 in the second.
void AddColourGrid(std::vector<Control>& controls) {
  for (size_t i = 0; i < kColours.size(); ++i)
    controls.push_back({.kind = Kind::Button, .name = kColours[i].button, .text = kColours[i].caption,
                        .x = 40 + 24 * static_cast<int>(i % 8), .y = i < 8 ? 16 : 32, .w = 16, .h = 16,
                        .inside = "分组框8", .clicked = kColourHandlers[i]});
}

frame::WindowLayout GeneratorWindow() {
  static const std::string kAuthor = std::string("by：Zorvat丨KESTRO\r\nQQ：") + values::kMakerAccount;
  frame::WindowLayout l{.name = kGeneratorWindow, .title = "Cordivane", .w = 293, .h = 715, .controls = {}};
  l.icon = frame::Picture::ProgramPicture;
  l.iconSize = 48;
  l.created = GeneratorCreated;
  auto& c = l.controls;
  c = {
      {.kind = Kind::Group, .name = "分组框2", .text = "哈希值输入区", .x = 24, .y = 8, .w = 240, .h = 56, .font = kSong12Bold, .textColour = kRed},
      {.kind = Kind::Edit, .name = "编辑框1", .x = 32, .y = 24, .w = 224, .h = 32, .textColour = kViolet, .backColour = 0x00FFFFFF,
       .changed = HashChanged},
      {.kind = Kind::Button, .name = "按钮9", .text = "清除", .x = 264, .y = 24, .w = 16, .h = 32, .font = kKai12, .clicked = ClearHash},
      {.kind = Kind::Group, .name = "分组框7", .text = "是否播放", .x = 24, .y = 64, .w = 240, .h = 40, .font = kSong12Bold, .textColour = kRed},
      {.kind = Kind::Check, .name = "选择框1", .text = "是", .x = 8, .y = 16, .w = 56, .h = 16, .inside = "分组框7", .checked = true,
       .font = kSong12Bold, .textColour = kRed, .clicked = ChooseAutoplayYes},
      {.kind = Kind::Edit, .name = "编辑框3", .text = "1", .x = 88, .y = 16, .w = 56, .h = 16, .inside = "分组框7", .visible = false},
      {.kind = Kind::Check, .name = "选择框2", .text = "否 ", .x = 200, .y = 80, .w = 56, .h = 16, .font = kSong12Bold, .textColour = kRed,
       .clicked = ChooseAutoplayNo},
      {.kind = Kind::Group, .name = "分组框8", .text = "颜色", .x = 24, .y = 104, .w = 240, .h = 56, .font = kSong12Bold, .textColour = kRed},
      {.kind = Kind::Picture, .name = "图片框5", .x = 8, .y = 16, .w = 24, .h = 32, .inside = "分组框8", .backColour = 0x00FF8800},
  };
  AddColourGrid(c);
  const std::vector<Control> rest = {
      {.kind = Kind::Edit, .name = "编辑框4", .text = "0", .x = 216, .y = -8, .w = 48, .h = 16, .inside = "分组框8", .visible = false},
      {.kind = Kind::Group, .name = "分组框1", .text = "播放器样式选择及生成区", .x = 24, .y = 160, .w = 240, .h = 80, .font = kSong12Bold, .textColour = kRed},
      {.kind = Kind::Radio, .name = "单选框1", .text = "式样一", .x = 8, .y = 16, .w = 72, .h = 16, .inside = "分组框1", .font = kSong12Bold, .textColour = 0x00FF8800,
       .clicked = ChooseStyleOne},
      {.kind = Kind::Radio, .name = "单选框2", .text = "式样二", .x = 8, .y = 32, .w = 80, .h = 24, .inside = "分组框1", .font = kSong12Bold, .textColour = 0x00800000,
       .clicked = ChooseStyleTwo},
      {.kind = Kind::Radio, .name = "单选框3", .text = "式样三", .x = 8, .y = 56, .w = 80, .h = 16, .inside = "分组框1", .font = kSong12Bold, .textColour = kCountColour,
       .clicked = ChooseStyleThree},
      {.kind = Kind::Edit, .name = "编辑框5", .x = 136, .y = 40, .w = 88, .h = 32, .inside = "分组框1", .visible = false},
      {.kind = Kind::Timer, .name = "时钟1", .x = 272, .y = 200, .w = 8, .h = 24, .tick = ClockTick},
      {.kind = Kind::Group, .name = "分组框6", .x = 24, .y = 240, .w = 240, .h = 72},
      {.kind = Kind::Label, .name = "标签6", .text = "信息输出：", .x = 8, .y = 24, .w = 224, .h = 16, .inside = "分组框6", .font = kSong12Bold, .textColour = 0x00FF00FF},
      {.kind = Kind::Label, .name = "标签5", .text = "代码状态：未生成（请在哈希值输入区输入哈希值）", .x = 8, .y = 40, .w = 224, .h = 24, .inside = "分组框6",
       .font = kSong12Bold, .textColour = kRed, .wraps = true},
      {.kind = Kind::Label, .name = "标签7", .text = "是否播放：是", .x = 32, .y = 248, .w = 224, .h = 16, .font = kSong12Bold, .textColour = 0x0080E000},
      {.kind = Kind::Group, .name = "分组框3", .text = "音乐代码输出区", .x = 24, .y = 312, .w = 240, .h = 56, .font = kSong12Bold, .textColour = kRed},
      {.kind = Kind::Edit, .name = "编辑框2", .x = 32, .y = 328, .w = 224, .h = 32, .disabled = true, .textColour = kViolet, .backColour = 0x00FFFFFF},
      {.kind = Kind::Button, .name = "按钮1", .text = "Flash代码", .x = 24, .y = 368, .w = 112, .h = 40, .disabled = true, .font = kSong14Bold,
       .clicked = CopyAddress},
      {.kind = Kind::Button, .name = "按钮3", .text = "HTML代码", .x = 152, .y = 368, .w = 112, .h = 40, .disabled = true, .font = kSong14Bold,
       .clicked = CopySnippet},
      {.kind = Kind::Button, .name = "按钮5", .text = "Zorvat工作室", .x = 24, .y = 416, .w = 112, .h = 24, .font = kSong14Bold, .clicked = OpenStudio},
      {.kind = Kind::Button, .name = "按钮2", .text = "测调效果", .x = 152, .y = 424, .w = 112, .h = 40, .disabled = true, .font = kSong14Bold,
       .clicked = OpenPreview},
      {.kind = Kind::Button, .name = "按钮8", .text = "使用教程", .x = 24, .y = 440, .w = 112, .h = 24, .font = kSong14Bold, .clicked = OpenTutorial},
      {.kind = Kind::Group, .name = "分组框4", .text = "作者信息", .x = 24, .y = 464, .w = 240, .h = 88, .font = kSong12Bold, .textColour = kRed},
      {.kind = Kind::Label, .name = "标签1", .text = kAuthor.c_str(), .x = 80, .y = 16, .w = 136, .h = 32, .inside = "分组框4",
       .font = kSong16Bold, .textColour = kRed, .wraps = true},
      {.kind = Kind::Button, .name = "按钮6", .x = 104, .y = 56, .w = 80, .h = 24, .inside = "分组框4", .picture = frame::Picture::MessageButton, .clicked = OpenChat},
      {.kind = Kind::Picture, .name = "图片框4", .x = 40, .y = 488, .w = 48, .h = 48, .picture = frame::Picture::ProgramPicture},
      {.kind = Kind::Group, .name = "分组框5", .x = 24, .y = 552, .w = 240, .h = 56},
      {.kind = Kind::Button, .name = "按钮7", .text = "Pellarine", .x = 40, .y = 568, .w = 208, .h = 32, .font = kSong14Bold, .clicked = StartPlayer},
      {.kind = Kind::Label, .name = "标签2", .text = "软件共计使用次数：", .x = 8, .y = 616, .w = 288, .h = 24, .font = kSong14Bold, .textColour = kCountColour},
      {.kind = Kind::Label, .name = "标签4", .text = "共计生成音乐链接个数：", .x = 8, .y = 640, .w = 288, .h = 24, .font = kSong14Bold, .textColour = kCountColour},
      {.kind = Kind::Label, .name = "标签3", .text = "Zorvat报时：", .x = 8, .y = 664, .w = 296, .h = 24, .font = kSong14Bold, .textColour = kCountColour},
  };
  c.insert(c.end(), rest.begin(), rest.end());
  return l;
}

frame::WindowLayout StudioWindow() {
  frame::WindowLayout l{.name = kStudioWindow, .title = "Zorvat工作室", .w = 353, .h = 275, .controls = {}};
  l.icon = frame::Picture::ProgramPicture;
  l.iconSize = 32;
  l.controls = {
      {.kind = Kind::Button, .name = "按钮1", .text = "Zorvat猴岛工作室", .x = 48, .y = 16, .w = 256, .h = 40, .font = kKai16Bold, .clicked = OpenForumPage},
      {.kind = Kind::Button, .name = "按钮2", .text = "ZorvatQQ空间工作室", .x = 48, .y = 64, .w = 256, .h = 40, .font = kKai14Bold, .clicked = OpenSpacePage},
      {.kind = Kind::Button, .name = "按钮3", .text = "Zorvat新浪微博工作室", .x = 48, .y = 112, .w = 256, .h = 40, .font = kKai14Bold, .clicked = OpenSinaBlog},
      {.kind = Kind::Button, .name = "按钮4", .text = "Zorvat腾讯微博工作室", .x = 48, .y = 160, .w = 256, .h = 40, .font = kKai14Bold, .clicked = OpenTencentBlog},
      {.kind = Kind::Label, .name = "标签1", .text = "by：Zorvat丨KESTRO", .x = 120, .y = 208, .w = 176, .h = 24, .textColour = kRed},
  };
  return l;
}

frame::WindowLayout PreviewWindow() {
  frame::WindowLayout l{.name = kPreviewWindow, .title = "测调效果", .w = 665, .h = 398, .controls = {}};
  l.buttons = frame::CaptionButtons::CloseOnly;
  l.icon = frame::Picture::ProgramPicture;
  l.iconSize = 48;
  l.created = PreviewCreated;
  l.controls = {
      {.kind = Kind::HtmlView, .name = "超文本浏览框1", .x = 0, .y = 0, .w = 664, .h = 368},
  };
  return l;
}

}  // namespace

const frame::Layouts& Layouts() {
  static const frame::Layouts layouts{GeneratorWindow(), StudioWindow(), PreviewWindow()};
  return layouts;
}

}  // namespace generator

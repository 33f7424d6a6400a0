// Window layouts as data: one row per control, in the order the window declares them.
#pragma once
#include <cstdint>
#include <string_view>
#include <vector>

namespace frame {

class Frame;
using Handler = void (*)(Frame&);

// 0x00BBGGRR, red in the low byte.
using Colour = std::uint32_t;
constexpr Colour kNoColour = 0xFFFFFFFFu;

enum class Kind {
  Button,        // 按钮
  Edit,          // 编辑框
  Check,         // 选择框
  Radio,         // 单选框
  Group,         // 分组框
  Label,         // 标签
  Picture,       // 图片框
  HtmlView,      // 超文本浏览框
  Timer,         // 时钟
  CommonDialog,  // 通用对话框
  BalloonTip,    // 气球提示框
};

// Whether a kind has no window of its own (timer, dialog, balloon tip box).
bool IsInvisibleComponent(Kind kind);

enum Weight { kRegular = 400, kBold = 700 };

struct Font {
  const char* face = nullptr;  // null: the system's default GUI font
  int weight = kRegular;
  int height = 0;  // character height in pixels
};

// Pictures our own code draws; layouts name them, the toolkit paints them.
enum class Picture { None, ProgramPicture, MessageButton };

struct Control {
  Kind kind;
  const char* name;          // e.g. "按钮6": kind word + number, unique in its window
  const char* text = nullptr;  // caption of buttons, labels, boxes; content of edit boxes
  int x = 0, y = 0, w = 0, h = 0;
  const char* inside = nullptr;  // the group box that holds it; null: the window
  bool visible = true;
  bool disabled = false;
  bool checked = false;
  Font font{};
  Colour textColour = kNoColour;
  Colour backColour = kNoColour;  // edit box background, picture box fill
  bool rightAligned = false;      // edit boxes
  bool wraps = false;             // labels
  Picture picture = Picture::None;
  // Balloon tip boxes: frame colour and frame width x height.
  Colour frameColour = kNoColour;
  int frameW = 0, frameH = 0;
  Handler clicked = nullptr;
  Handler changed = nullptr;
  Handler tick = nullptr;
};

enum class CaptionButtons { CloseMinimise, CloseOnly };

struct WindowLayout {
  const char* name;   // role name, e.g. "PlayerWindow"
  const char* title;
  int x = 50, y = 50, w = 0, h = 0;  // outer size; the window opens centred
  CaptionButtons buttons = CaptionButtons::CloseMinimise;
  Picture icon = Picture::None;
  int iconSize = 48;
  bool keepsActiveCaption = false;  // caption keeps the active look while enabled
  Handler created = nullptr;
  std::vector<Control> controls;

  const Control* Find(std::string_view controlName) const;
};

using Layouts = std::vector<WindowLayout>;

// The top-left corner of a window of the layout's outer size, centred on the
// whole screen. A taskbar makes the work area smaller than the screen; the
// window is not moved for it. The declared x and y are not used.
struct Origin {
  int x = 0, y = 0;
};
Origin CentredOnScreen(const WindowLayout& layout, int screenW, int screenH);

}  // namespace frame

// The code builder: the style, colour and autoplay choices, the hash box and
// its clear button. Its state lies in the controls alone; every generation
// reads the texts anew.
#include <initializer_list>
#include <utility>

#include "generator/generator_layout.h"
#include "generator/handlers.h"
#include "generator/hit_count.h"
#include "values.h"

namespace generator {
namespace {

constexpr char kEmptyHashMessage[] = "注意：请先输入酷狗音乐歌曲信息中的哈希值！！！";
constexpr char kEmptyHashStatus[] = "代码状态：未生成[请在哈希值输入区输入哈希值]";
constexpr frame::Colour kEmptyHashColour = 0x00000080;
constexpr char kColourChanged[] = "信息输出：播放器颜色已改变";

frame::Ref G(const char* control) { return {kGeneratorWindow, control}; }

void SetDisabled(frame::Frame& f, std::initializer_list<const char*> controls, bool disabled) {
  for (const char* c : controls) f.SetDisabled(G(c), disabled);
}

void MarkStyleOne(frame::Frame& f) {
  for (const Style& s : kStyles) f.SetChecked(G(s.radio), &s == &kStyles[0]);
}

void ChooseColour(frame::Frame& f, const PlayerColour& colour) {
  f.SetBackColour(G("图片框5"), colour.swatch);
  f.SetText(G("编辑框4"), colour.code);
  f.SetTextColour(G("标签6"), colour.swatch);
  f.SetCaption(G("标签6"), kColourChanged);
  GenerateCode(f, kStyles[0]);
  MarkStyleOne(f);
}

template <size_t I>
void ChooseColourAt(frame::Frame& f) {
  ChooseColour(f, kColours[I]);
}

template <size_t... I>
constexpr std::array<frame::Handler, sizeof...(I)> ColourHandlers(std::index_sequence<I...>) {
  return {ChooseColourAt<I>...};
}

// The click has already flipped the box's mark.
void ChooseAutoplay(frame::Frame& f, const Autoplay& choice) {
  if (!f.Checked(G(choice.box))) {
    SetDisabled(f, {"分组框1", "按钮1", "按钮2"}, true);
    return;
  }
  f.SetText(G("编辑框3"), choice.flag);
  f.SetDisabled(G("分组框1"), false);
  f.SetChecked(G(choice.otherBox), false);
  f.SetTextColour(G("标签7"), choice.lineColour);
  f.SetCaption(G("标签7"), choice.line);
  GenerateCode(f, kStyles[0]);
  MarkStyleOne(f);
}

}  // namespace

void GenerateCode(frame::Frame& f, const Style& style) {
  if (f.GetText(G("编辑框1")).empty()) {
    f.ShowMessageBox(kEmptyHashMessage, 0, style.emptyHashTitle);
    f.SetTextColour(G("标签5"), kEmptyHashColour);
    f.SetCaption(G("标签5"), kEmptyHashStatus);
    SetDisabled(f, {"分组框1", "按钮1", "按钮2", "按钮3"}, true);
    return;
  }
  SetDisabled(f, {"分组框1", "按钮1", "按钮2", "按钮3"}, false);
  f.SetText(G("编辑框2"), PlayerAddress(values::kPlayerHost, style, f.GetText(G("编辑框4")),
                                        f.GetText(G("编辑框3")), f.GetText(G("编辑框1"))));
  f.SetTextColour(G("标签5"), style.statusColour);
  f.SetCaption(G("标签5"), style.status);
  // The request counts this generation at the counter service.
  ShowHitCount(f, G("标签4"), "共计生成音乐链接个数：", values::kLinksCounterId);
  f.SetText(G("编辑框5"), EmbedSnippet(f.GetText(G("编辑框2"))));
}

void ChooseStyleOne(frame::Frame& f) { GenerateCode(f, kStyles[0]); }
void ChooseStyleTwo(frame::Frame& f) { GenerateCode(f, kStyles[1]); }
void ChooseStyleThree(frame::Frame& f) { GenerateCode(f, kStyles[2]); }

const std::array<frame::Handler, 16> kColourHandlers = ColourHandlers(std::make_index_sequence<16>());

void ChooseAutoplayYes(frame::Frame& f) { ChooseAutoplay(f, kAutoplay[0]); }
void ChooseAutoplayNo(frame::Frame& f) { ChooseAutoplay(f, kAutoplay[1]); }

void HashChanged(frame::Frame& f) { f.SetDisabled(G("分组框1"), false); }

void ClearHash(frame::Frame& f) { f.SetText(G("编辑框1"), ""); }

}  // namespace generator

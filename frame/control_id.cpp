#include "frame/control_id.h"

namespace frame {
namespace {

struct KindWord {
  std::string_view word;
  Kind kind;
  int number;
};

constexpr KindWord kKindWords[] = {
    {"按钮", Kind::Button, 1},       {"编辑框", Kind::Edit, 2},
    {"选择框", Kind::Check, 3},      {"单选框", Kind::Radio, 4},
    {"分组框", Kind::Group, 5},      {"标签", Kind::Label, 6},
    {"图片框", Kind::Picture, 7},    {"超文本浏览框", Kind::HtmlView, 8},
    {"时钟", Kind::Timer, 0},        {"通用对话框", Kind::CommonDialog, 0},
    {"气球提示框", Kind::BalloonTip, 0},
};

}  // namespace

bool ParseControlName(std::string_view name, Kind* kind, int* number) {
  for (const auto& k : kKindWords) {
    if (name.substr(0, k.word.size()) != k.word) continue;
    const std::string_view digits = name.substr(k.word.size());
    if (digits.empty() || digits.size() > 2) return false;
    if (digits.size() == 2 && digits[0] == '0') return false;  // "按钮06" would take 按钮6's id
    int n = 0;
    for (char c : digits) {
      if (c < '0' || c > '9') return false;
      n = n * 10 + (c - '0');
    }
    *kind = k.kind;
    *number = n;
    return true;
  }
  return false;
}

int KindNumber(Kind kind) {
  for (const auto& k : kKindWords)
    if (k.kind == kind) return k.number;
  return 0;
}

int ControlId(std::string_view name) {
  Kind kind;
  int number;
  if (!ParseControlName(name, &kind, &number)) return 0;
  return KindNumber(kind) * 100 + number;
}

}  // namespace frame

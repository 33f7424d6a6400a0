#include "frame/layout.h"

#include <set>
#include <string>

#include "frame/control_id.h"
#include "frame/frame.h"

namespace frame {

bool IsInvisibleComponent(Kind kind) {
  return kind == Kind::Timer || kind == Kind::CommonDialog || kind == Kind::BalloonTip;
}

const Control* WindowLayout::Find(std::string_view controlName) const {
  for (const Control& c : controls)
    if (controlName == c.name) return &c;
  return nullptr;
}

Origin CentredOnScreen(const WindowLayout& layout, int screenW, int screenH) {
  return {(screenW - layout.w) / 2, (screenH - layout.h) / 2};
}

namespace {

Text CheckControl(const WindowLayout& l, const Control& c, const std::set<std::string>& groups) {
  Kind kind;
  int number;
  if (!c.name || !ParseControlName(c.name, &kind, &number) || kind != c.kind)
    return "名称与种类不符";
  if (c.inside && !groups.count(c.inside)) return Concat({"所在分组框不存在：", c.inside});
  if (c.clicked && c.kind != Kind::Button && c.kind != Kind::Check && c.kind != Kind::Radio)
    return "这种控件没有被单击事件";
  if (c.changed && c.kind != Kind::Edit) return "这种控件没有内容被改变事件";
  if (c.tick && c.kind != Kind::Timer) return "这种控件没有周期事件";
  (void)l;
  return Text();
}

}  // namespace

Text CheckLayouts(const Layouts& layouts) {
  std::set<std::string> windows;
  for (const WindowLayout& l : layouts) {
    if (!l.name || !windows.insert(l.name).second) return Concat({"窗口名重复：", FromC(l.name)});
    std::set<std::string> names, groups;
    for (const Control& c : l.controls) {
      Text why = CheckControl(l, c, groups);
      if (why.empty() && !names.insert(c.name).second) why = "名称重复";
      if (!why.empty()) return Concat({l.name, " 的 ", FromC(c.name), "：", why});
      if (c.kind == Kind::Group) groups.insert(c.name);
    }
  }
  return Text();
}

}  // namespace frame

#include "frame/control_id.h"

#include <gtest/gtest.h>

namespace {

using frame::Kind;

TEST(ControlId, IsKindNumberTimesHundredPlusTheControlNumber) {
  struct Case {
    const char* name;
    int id;
  };
  const Case cases[] = {
      {"按钮6", 106},   {"按钮99", 199},        {"编辑框2", 202}, {"选择框1", 301},
      {"单选框3", 403}, {"分组框8", 508},       {"标签12", 612},  {"图片框5", 705},
      {"超文本浏览框1", 801},
  };
  for (const Case& c : cases) EXPECT_EQ(frame::ControlId(c.name), c.id) << c.name;
}

TEST(ControlId, ParseGivesKindAndNumberForEveryKindWord) {
  struct Case {
    const char* name;
    Kind kind;
    int number;
  };
  const Case cases[] = {
      {"按钮1", Kind::Button, 1},        {"编辑框10", Kind::Edit, 10},
      {"选择框2", Kind::Check, 2},       {"单选框3", Kind::Radio, 3},
      {"分组框8", Kind::Group, 8},       {"标签4", Kind::Label, 4},
      {"图片框5", Kind::Picture, 5},     {"超文本浏览框1", Kind::HtmlView, 1},
      {"时钟1", Kind::Timer, 1},         {"通用对话框1", Kind::CommonDialog, 1},
      {"气球提示框3", Kind::BalloonTip, 3},
  };
  for (const Case& c : cases) {
    Kind kind = Kind::Label;
    int number = -1;
    ASSERT_TRUE(frame::ParseControlName(c.name, &kind, &number)) << c.name;
    EXPECT_EQ(kind, c.kind) << c.name;
    EXPECT_EQ(number, c.number) << c.name;
  }
}

TEST(ControlId, InvisibleComponentsHaveKindNumberZero) {
  for (Kind k : {Kind::Timer, Kind::CommonDialog, Kind::BalloonTip}) {
    EXPECT_EQ(frame::KindNumber(k), 0);
    EXPECT_TRUE(frame::IsInvisibleComponent(k));
  }
  EXPECT_FALSE(frame::IsInvisibleComponent(Kind::HtmlView));
}

// Each of these would either not name a kind or give an id another name has.
TEST(ControlId, NamesThatAreNotKindWordPlusNumberAreRefused) {
  const char* const names[] = {
      "",       "按钮",     "按钮100", "按钮x",  "按钮 1", "按钮1 ", "按钮-1",
      "Button1", "钮1",     "窗口1",   "编辑框2a", "按钮06", "标签00",
  };
  for (const char* name : names) {
    Kind kind;
    int number;
    EXPECT_FALSE(frame::ParseControlName(name, &kind, &number)) << "'" << name << "'";
    EXPECT_EQ(frame::ControlId(name), 0) << "'" << name << "'";
  }
}

}  // namespace

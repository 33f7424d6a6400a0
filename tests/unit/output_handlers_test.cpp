// The output buttons and the preview window on Cordivane's real layouts,
// over the toolkit double and a recording clipboard.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "generator/handlers.h"
#include "generator_fixture.h"

namespace {

using fake::Generator;
using fake::Only;
using frame::Text;
using generator::kGeneratorWindow;
using generator::kPreviewWindow;
using Calls = std::vector<std::string>;

constexpr char kCopyFailed[] = "复制失败：剪贴板正被其他程序占用，请稍后再试！";

struct Copy {
  const char* button;
  const char* field;
  Text copied;
};
const Copy kCopies[] = {{"按钮1", "编辑框2", "复制Flash代码成功！"}, {"按钮3", "编辑框5", "复制HTML代码成功！"}};

TEST(OutputCopy, EachButtonPutsItsFieldOnTheClipboardAndSaysSoUnderTheDefaultTitle) {
  for (const Copy& c : kCopies) {
    SCOPED_TRACE(c.button);
    Generator g;
    g.Run([&] {
      g.Type("a b");
      g.Click("单选框1");
      g.Click(c.button);
      EXPECT_EQ(g.clipboard.content, g.C(c.field).text);
    });
    EXPECT_EQ(Only(g.tk.calls, {"PutText "}).size(), 1u);
    ASSERT_EQ(g.tk.boxes.size(), 2u);
    EXPECT_EQ(g.tk.boxes[1].text, c.copied);
    EXPECT_EQ(g.tk.boxes[1].title, "信息：");
  }
}

TEST(OutputCopy, AClipboardThatCannotBeHadIsReportedAndLeftAsItWas) {
  for (const Copy& c : kCopies) {
    SCOPED_TRACE(c.button);
    Generator g;
    g.clipboard.works = false;
    g.Run([&] {
      g.Type("hash");
      g.Click("单选框2");
      g.Click(c.button);
    });
    EXPECT_EQ(g.clipboard.content, "(before)");
    ASSERT_EQ(g.tk.boxes.size(), 2u);
    EXPECT_EQ(g.tk.boxes[1].text, kCopyFailed);
    EXPECT_EQ(g.tk.boxes[1].title, "信息：");
  }
}

TEST(OutputGuards, AnEmptyFieldIsReportedAndNothingElseHappens) {
  // The buttons are disabled until the first generation, so only a direct
  // call reaches these branches.
  struct Case {
    frame::Handler handler;
    Text message;
  } const cases[] = {
      {generator::CopyAddress, "还未生成代码··"},
      {generator::CopySnippet, "还未生成链接··"},
      {generator::OpenPreview, "还未生成代码··"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    Generator g;
    g.Run([&] { c.handler(g.frame); });
    ASSERT_EQ(g.tk.boxes.size(), 2u);
    EXPECT_EQ(g.tk.boxes[1].text, c.message);
    EXPECT_EQ(g.tk.boxes[1].title, "信息：");
    EXPECT_EQ(Only(g.tk.calls, {"PutText", "Build PreviewWindow"}), Calls{});
    EXPECT_EQ(g.clipboard.content, "(before)");
  }
}

TEST(OutputPreview, OpensOnceOnTheAddressItWasGivenAndClosesAlone) {
  Generator g;
  g.Run([&] {
    g.Type("one");
    g.Click("单选框1");
    const Text first = g.C("编辑框2").text;
    g.Click("按钮2");
    auto& view = g.tk.Win(kPreviewWindow).Control("超文本浏览框1");
    EXPECT_EQ(view.navigations, std::vector<Text>{first});
    EXPECT_EQ(g.frame.Address({kPreviewWindow, "超文本浏览框1"}), first);
    EXPECT_TRUE(g.tk.Win(kPreviewWindow).shown);

    // A new code does not reach the open preview; a second press only brings it forward.
    g.Click("单选框2");
    g.Click("按钮2");
    EXPECT_EQ(g.tk.Builds(kPreviewWindow), 1);
    EXPECT_EQ(g.tk.Win(kPreviewWindow).frontRequests, 1);
    EXPECT_EQ(g.tk.Win(kPreviewWindow).Control("超文本浏览框1").navigations, std::vector<Text>{first});

    g.tk.Close(kPreviewWindow);
    EXPECT_TRUE(g.frame.IsOpen(kGeneratorWindow));
    g.Click("按钮2");
    EXPECT_EQ(g.tk.Builds(kPreviewWindow), 2);
    EXPECT_EQ(g.tk.Win(kPreviewWindow).Control("超文本浏览框1").navigations,
              std::vector<Text>{g.C("编辑框2").text});
  });
  EXPECT_EQ(g.tk.boxes.size(), 1u) << "only the welcome box";
}

}  // namespace

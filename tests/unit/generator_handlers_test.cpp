// Cordivane's start-up, clock, link and launcher handlers on its real
// layouts, over the toolkit double and recording services.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "generator/clock_text.h"
#include "generator/handlers.h"
#include "generator_fixture.h"

namespace {

using fake::Generator;
using fake::Only;
using frame::Text;
using generator::kGeneratorWindow;
using generator::kStudioWindow;
using Calls = std::vector<std::string>;

TEST(GeneratorStartUp, WelcomeBoxThenUsageCountThenTheClockAllBeforeTheWindowIsShown) {
  Generator g;
  g.Run([&] {
    EXPECT_EQ(g.C("标签2").text, "软件共计使用次数：7");
    EXPECT_EQ(g.C("标签3").text, "Zorvat报时：") << "no tick before the first second";
    EXPECT_EQ(g.C("时钟1").timerSets, 1);
  });
  ASSERT_EQ(g.tk.boxes.size(), 1u);
  EXPECT_EQ(g.tk.boxes[0].title, "信息：");

  Calls order = Only(g.tk.calls, {"Build", "MessageBox", "Get", "SetTimer", "Show"});
  ASSERT_EQ(order.size(), 5u) << ::testing::PrintToString(order);
  const std::string usageId = std::string("id=") + values::kUsageCounterId + "&";
  EXPECT_NE(order[2].find(usageId), std::string::npos) << order[2];
  order[2] = "Get";
  const Calls expected = {"Build GeneratorWindow", "MessageBox 欢迎使用Zorvat软件O(∩_∩)O~~", "Get",
                          "SetTimer 时钟1 1000", "Show GeneratorWindow"};
  EXPECT_EQ(order, expected);
}

TEST(GeneratorClock, EachTickWritesTheClockTextOfTheTimeReadThen) {
  Generator g;
  g.Run([&] {
    ASSERT_TRUE(g.tk.FireTimer(kGeneratorWindow, "时钟1"));
    EXPECT_EQ(g.C("标签3").text, generator::ClockText(2013, 5, 1, 14, 5, 9));
    g.clock.now = {2013, 5, 2, 0, 0, 0};
    ASSERT_TRUE(g.tk.FireTimer(kGeneratorWindow, "时钟1"));
    EXPECT_EQ(g.C("标签3").text, generator::ClockText(2013, 5, 2, 0, 0, 0));
  });
}

TEST(GeneratorLinks, EachLinkButtonOpensItsAddressAndNothingElse) {
  using values::kMakerAccount;
  struct Case {
    const char* window;
    const char* button;
    Text address;
  };
  const Case cases[] = {
      {kStudioWindow, "按钮1", Text("http://") + values::kForumHost + "/u.php?uid=" + values::kForumUserId},
      {kStudioWindow, "按钮2", Text("http://") + values::kSpaceHost + "/" + kMakerAccount},
      {kStudioWindow, "按钮3",
       Text("http://") + values::kSinaBlogHost + "/u/" + values::kMicroblogUserId + "?from=profile&wvr=5&loc=infdomain"},
      {kStudioWindow, "按钮4", Text("http://") + values::kTencentBlogHost + "/" + values::kMicroblogHandle},
      {kGeneratorWindow, "按钮8",
       Text("http://") + values::kSpaceHost + "/" + kMakerAccount + "/blog/" + values::kTutorialPostId},
      {kGeneratorWindow, "按钮6", Text("tencent://message/?uin=") + kMakerAccount},
  };
  Generator g;
  g.Run([&] {
    g.Click(kGeneratorWindow, "按钮5");
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.window) + " " + c.button);
      const size_t before = g.tk.calls.size();
      g.Click(c.window, c.button);
      const Calls after(g.tk.calls.begin() + before, g.tk.calls.end());
      EXPECT_EQ(after, Calls{"Open " + c.address});
      EXPECT_TRUE(g.frame.IsOpen(kStudioWindow));
    }
    EXPECT_EQ(g.tk.boxes.size(), 1u) << "only the welcome box";
  });
}

TEST(GeneratorLinks, StudioButtonOpensOneStudioWindowAndBringsItForwardAfterwards) {
  Generator g;
  g.Run([&] {
    g.Click(kGeneratorWindow, "按钮5");
    EXPECT_TRUE(g.tk.Win(kStudioWindow).shown);
    g.tk.Minimise(kStudioWindow);
    g.Click(kGeneratorWindow, "按钮5");
    EXPECT_EQ(g.tk.Builds(kStudioWindow), 1);
    EXPECT_EQ(g.tk.Win(kStudioWindow).frontRequests, 1);
    EXPECT_FALSE(g.tk.Win(kStudioWindow).minimised);

    g.tk.Close(kStudioWindow);  // closing it leaves the generator and allows a new one
    EXPECT_TRUE(g.frame.IsOpen(kGeneratorWindow));
    g.Click(kGeneratorWindow, "按钮5");
    EXPECT_EQ(g.tk.Builds(kStudioWindow), 2);
  });
}

TEST(GeneratorLauncher, StartsThePlayerBesideTheProgramAndShowsNothingWhateverTheOutcome) {
  for (const bool works : {true, false}) {
    SCOPED_TRACE(works ? "started" : "could not start");
    Generator g;
    g.processes.works = works;
    g.Run([&] {
      const size_t windows = g.tk.windows.size();
      const Text caption = g.C("标签5").text;
      g.Click(kGeneratorWindow, "按钮7");
      g.Click(kGeneratorWindow, "按钮7");  // a second click starts a second player
      EXPECT_EQ(g.tk.windows.size(), windows);
      EXPECT_EQ(g.C("标签5").text, caption);
    });
    EXPECT_EQ(Only(g.tk.calls, {"Start"}), (Calls{"Start \"C:\\Zorvat\\Pellarine\" 1000", "Start \"C:\\Zorvat\\Pellarine\" 1000"}));
    EXPECT_EQ(g.tk.boxes.size(), 1u) << "only the welcome box";
  }
}

}  // namespace

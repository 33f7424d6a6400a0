// The code builder's handlers on Cordivane's real layout, over the toolkit
// double: what each choice writes, in which order, and what it leaves alone.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "generator/player_code.h"
#include "generator_fixture.h"

namespace {

using fake::Generator;
using fake::Only;
using frame::Text;
using Calls = std::vector<std::string>;

constexpr char kHash[] = "6FC3E2B1A0D94C7E8B5F2A1D3C4E5F60";
constexpr char kTail[] =
    "'AllowScriptAccess='always' id='KugouPlayerMini' FlashVars='' quality='high' width='1' height='1' ></embed>";
constexpr char kEmptyHashMessage[] = "注意：请先输入酷狗音乐歌曲信息中的哈希值！！！";
constexpr char kEmptyHashStatus[] = "代码状态：未生成[请在哈希值输入区输入哈希值]";
const char* const kOutputButtons[] = {"按钮1", "按钮2", "按钮3"};

// The player host is a build value; everything after it is written out.
Text Address(const std::string& path) { return std::string("http://") + values::kPlayerHost + path; }
Text Snippet(const std::string& path) { return "<embed src='" + Address(path) + kTail; }

// The count requests, one per generation.
Calls LinkRequests(const Generator& g) {
  Calls found;
  for (const auto& get : Only(g.tk.calls, {"Get "}))
    if (get.find(std::string("id=") + values::kLinksCounterId + "&") != std::string::npos) found.push_back(get);
  return found;
}

// Reaches the flag: a click on the box that is not checked checks it.
void ChooseFlag(Generator& g, const std::string& flag) {
  const char* box = flag == "1" ? "选择框1" : "选择框2";
  if (!g.C(box).checked) g.Click(box);
}

TEST(BuilderAddress, EveryColourStyleAndFlagGivesItsAddressAndSnippet) {
  struct Case {
    const char* colourButton;
    const char* styleRadio;
    const char* flag;
    const char* path;
  };
  static const Case cases[] = {
#include "player_address_cases.inc"
  };
  Generator g;
  g.Run([&] {
    g.Type(kHash);
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.colourButton) + " " + c.styleRadio + " flag " + c.flag);
      ChooseFlag(g, c.flag);
      g.Click(c.colourButton);
      g.Click(c.styleRadio);
      EXPECT_EQ(g.C("编辑框2").text, Address(c.path));
      EXPECT_EQ(g.C("编辑框5").text, Snippet(c.path));
      EXPECT_EQ(g.C("编辑框3").text, c.flag);
    }
  });
  EXPECT_EQ(g.tk.boxes.size(), 1u) << "only the welcome box";
}

TEST(BuilderAddress, TheHashGoesInVerbatimButForFourMarkupCharacters) {
  const generator::Style& one = generator::kStyles[0];
  struct Case {
    Text hash, address;
  } const cases[] = {
      {"ab cd ", "http://player.test/singlePlayer/4/362/0/1/ab cd .swf"},
      {"a'b\"c<d>e", "http://player.test/singlePlayer/4/362/0/1/a%27b%22c%3Cd%3Ee.swf"},
      {"&%#?/\\=", "http://player.test/singlePlayer/4/362/0/1/&%#?/\\=.swf"},
      {"中文哈希", "http://player.test/singlePlayer/4/362/0/1/中文哈希.swf"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.hash);
    EXPECT_EQ(generator::PlayerAddress("player.test", one, "0", "1", c.hash), c.address);
  }
  EXPECT_EQ(generator::EmbedSnippet("x'y"),
            "<embed src='x'y'AllowScriptAccess='always' id='KugouPlayerMini' FlashVars='' quality='high' "
            "width='1' height='1' ></embed>");

  // Through the window: the snippet's src value stays one quoted value.
  Generator g;
  g.Run([&] {
    g.Type("x' onload='alert(1)'><b>");
    g.Click("单选框1");
    EXPECT_EQ(g.C("编辑框2").text, Address("/singlePlayer/4/362/0/1/x%27 onload=%27alert(1)%27%3E%3Cb%3E.swf"));
    EXPECT_EQ(g.C("编辑框5").text, Snippet("/singlePlayer/4/362/0/1/x%27 onload=%27alert(1)%27%3E%3Cb%3E.swf"));
  });
}

TEST(BuilderStyles, EachStyleWritesItsStatusLineAndEnablesTheOutputs) {
  struct Case {
    const char* radio;
    Text status;
    frame::Colour colour;
  } const cases[] = {
      {"单选框1", "代码状态：[式样一]代码已生成，建议先测调效果再复制！", 0x00FF0000},
      {"单选框2", "代码状态：[式样二]代码已生成，建议先测调效果再复制！", 0x00800000},
      {"单选框3", "代码状态：[式样三]代码已生成，建议先测调效果再复制！", 0x00FF0090},
  };
  Generator g;
  g.Run([&] {
    g.Type(kHash);
    for (const Case& c : cases) {
      SCOPED_TRACE(c.radio);
      g.Click(c.radio);
      EXPECT_EQ(g.C("标签5").text, c.status);
      EXPECT_EQ(g.C("标签5").textColour, c.colour);
      EXPECT_TRUE(g.C("分组框1").enabled);
      for (const char* b : kOutputButtons) EXPECT_TRUE(g.C(b).enabled) << b;
    }
    g.Click("单选框3");  // the marked style again: a second generation and count
  });
  EXPECT_EQ(LinkRequests(g).size(), 4u);
}

TEST(BuilderStyles, AddressAndStatusAreWrittenBeforeTheCountAndTheSnippetAfterIt) {
  Generator g;
  g.Run([&] {
    g.Type("first");
    g.Click("单选框1");
    const Text firstSnippet = g.C("编辑框5").text;
    g.Type(kHash);
    bool fetched = false;
    g.http.whileFetching = [&] {
      fetched = true;
      EXPECT_EQ(g.C("编辑框2").text, Address(std::string("/singlePlayer/5/364/0/1/") + kHash + ".swf"));
      EXPECT_EQ(g.C("标签5").text, "代码状态：[式样二]代码已生成，建议先测调效果再复制！");
      EXPECT_EQ(g.C("标签4").text, "共计生成音乐链接个数：");
      EXPECT_EQ(g.C("编辑框5").text, firstSnippet) << "the snippet was written before the count";
    };
    g.Click("单选框2");
    EXPECT_TRUE(fetched);
    EXPECT_EQ(g.C("标签4").text, "共计生成音乐链接个数：7");
    EXPECT_EQ(g.C("编辑框5").text, Snippet(std::string("/singlePlayer/5/364/0/1/") + kHash + ".swf"));
  });
}

TEST(BuilderEmptyHash, EachStyleShowsItsTitledBoxDisablesAndKeepsTheLastCodes) {
  struct Case {
    const char* radio;
    Text title;
  } const cases[] = {{"单选框1", "Zorvat提示："}, {"单选框2", "Zorvat提示"}, {"单选框3", "Zorvat提示"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.radio);
    Generator g;
    g.Run([&] {
      g.Type(kHash);
      g.Click("单选框1");
      const Text address = g.C("编辑框2").text, snippet = g.C("编辑框5").text;
      g.Click("按钮9");
      g.Click(c.radio);
      ASSERT_EQ(g.tk.boxes.size(), 2u);
      EXPECT_EQ(g.tk.boxes[1].text, kEmptyHashMessage);
      EXPECT_EQ(g.tk.boxes[1].title, c.title);
      EXPECT_EQ(g.C("标签5").text, kEmptyHashStatus);
      EXPECT_EQ(g.C("标签5").textColour, 0x00000080u);
      EXPECT_FALSE(g.C("分组框1").enabled);
      for (const char* b : kOutputButtons) EXPECT_FALSE(g.C(b).enabled) << b;
      EXPECT_TRUE(g.C(c.radio).checked) << "the clicked style stays marked";
      EXPECT_EQ(g.C("编辑框2").text, address);
      EXPECT_EQ(g.C("编辑框5").text, snippet);
    });
    EXPECT_EQ(LinkRequests(g).size(), 1u) << "no count without a hash";
  }
}

TEST(BuilderColours, EachButtonShowsItsSwatchGeneratesWithStyleOneAndMarksIt) {
  const frame::Colour swatches[16] = {0x0000FF00, 0x00FF8800, 0x00FFA8FF, 0x00FF0090, 0x00000080, 0x00808080,
                                      0x00C080FF, 0x00FF0000, 0x0080A080, 0x000080FF, 0x0080A080, 0x000080FF,
                                      0x0000E080, 0x00FF8080, 0x00800080, 0x00008080};
  const char* const buttons[16] = {"按钮11", "按钮12", "按钮13", "按钮14", "按钮15", "按钮16", "按钮17", "按钮18",
                                   "按钮20", "按钮21", "按钮22", "按钮23", "按钮24", "按钮25", "按钮26", "按钮27"};
  Generator g;
  g.Run([&] {
    g.Type(kHash);
    for (int i = 0; i < 16; ++i) {
      SCOPED_TRACE(buttons[i]);
      g.Click("单选框3");
      g.Click(buttons[i]);
      EXPECT_EQ(g.C("图片框5").backColour, swatches[i]);
      EXPECT_EQ(g.C("标签6").textColour, swatches[i]);
      EXPECT_EQ(g.C("标签6").text, "信息输出：播放器颜色已改变");
      EXPECT_EQ((std::vector<bool>{g.C("单选框1").checked, g.C("单选框2").checked, g.C("单选框3").checked}),
                (std::vector<bool>{true, false, false}));
      EXPECT_EQ(g.C("标签5").text, "代码状态：[式样一]代码已生成，建议先测调效果再复制！");
    }
  });
}

TEST(BuilderColours, WithAnEmptyHashTheColourIsKeptForTheNextGeneration) {
  Generator g;
  g.Run([&] {
    g.Click("按钮15");
    ASSERT_EQ(g.tk.boxes.size(), 2u);
    EXPECT_EQ(g.tk.boxes[1].title, "Zorvat提示：");
    EXPECT_EQ(g.C("图片框5").backColour, 0x00000080u);
    EXPECT_EQ(g.C("编辑框4").text, "987654321");
    EXPECT_EQ(g.C("标签6").text, "信息输出：播放器颜色已改变");
    EXPECT_TRUE(g.C("单选框1").checked);
    EXPECT_FALSE(g.C("分组框1").enabled);

    g.Type(kHash);  // typing enables the style group again
    EXPECT_TRUE(g.C("分组框1").enabled);
    g.Click("单选框2");
    EXPECT_EQ(g.C("编辑框2").text, Address(std::string("/singlePlayer/5/364/987654321/1/") + kHash + ".swf"));
  });
}

TEST(BuilderAutoplay, UncheckingDisablesTwoButtonsAndCheckingAgainGeneratesWithStyleOne) {
  Generator g;
  g.Run([&] {
    g.Type(kHash);
    g.Click("单选框3");
    const size_t requests = LinkRequests(g).size();
    g.Click("选择框1");  // it was checked: the click clears it
    EXPECT_FALSE(g.C("选择框1").checked);
    EXPECT_FALSE(g.C("选择框2").checked);
    EXPECT_FALSE(g.C("分组框1").enabled);
    EXPECT_FALSE(g.C("按钮1").enabled);
    EXPECT_FALSE(g.C("按钮2").enabled);
    EXPECT_TRUE(g.C("按钮3").enabled) << "按钮3 keeps its state";
    EXPECT_EQ(g.C("编辑框3").text, "1");
    EXPECT_EQ(g.C("标签7").text, "是否播放：是");
    EXPECT_EQ(LinkRequests(g).size(), requests) << "unchecking generates nothing";

    g.Click("选择框1");
    EXPECT_TRUE(g.C("选择框1").checked);
    EXPECT_TRUE(g.C("单选框1").checked);
    EXPECT_FALSE(g.C("单选框3").checked);
    for (const char* b : kOutputButtons) EXPECT_TRUE(g.C(b).enabled) << b;
    EXPECT_EQ(g.C("编辑框2").text, Address(std::string("/singlePlayer/4/362/0/1/") + kHash + ".swf"));
  });
}

TEST(BuilderAutoplay, EachBoxSetsItsFlagAndLineAndClearsTheOther) {
  Generator g;
  g.Run([&] {
    g.Type(kHash);
    g.Click("选择框2");
    EXPECT_FALSE(g.C("选择框1").checked);
    EXPECT_EQ(g.C("编辑框3").text, "0");
    EXPECT_EQ(g.C("标签7").text, "是否播放：否");
    EXPECT_EQ(g.C("标签7").textColour, 0x000000FFu);
    EXPECT_TRUE(g.C("单选框1").checked);
    EXPECT_EQ(g.C("编辑框2").text, Address(std::string("/singlePlayer/4/362/0/0/") + kHash + ".swf"));

    g.Click("选择框1");
    EXPECT_FALSE(g.C("选择框2").checked);
    EXPECT_EQ(g.C("编辑框3").text, "1");
    EXPECT_EQ(g.C("标签7").text, "是否播放：是");
    EXPECT_EQ(g.C("标签7").textColour, 0x0080E000u);
    EXPECT_EQ(g.C("编辑框2").text, Address(std::string("/singlePlayer/4/362/0/1/") + kHash + ".swf"));
  });
}

TEST(BuilderHash, TypingAndClearingEnableTheStyleGroupAndTouchNothingElse) {
  Generator g;
  g.Run([&] {
    g.Type(kHash);
    g.Click("单选框2");
    g.Click("选择框1");  // disables the style group and two output buttons
    const Text address = g.C("编辑框2").text, snippet = g.C("编辑框5").text, status = g.C("标签5").text;
    const size_t calls = Only(g.tk.calls, {"Get ", "MessageBox "}).size();

    g.Click("按钮9");
    EXPECT_EQ(g.C("编辑框1").text, "");
    EXPECT_TRUE(g.C("分组框1").enabled);
    g.Type("x");
    EXPECT_TRUE(g.C("分组框1").enabled);
    EXPECT_FALSE(g.C("按钮1").enabled);
    EXPECT_FALSE(g.C("按钮2").enabled);
    EXPECT_TRUE(g.C("按钮3").enabled);
    EXPECT_EQ(g.C("编辑框2").text, address);
    EXPECT_EQ(g.C("编辑框5").text, snippet);
    EXPECT_EQ(g.C("标签5").text, status);
    EXPECT_EQ(Only(g.tk.calls, {"Get ", "MessageBox "}).size(), calls) << "no generation, no box";
  });
}

}  // namespace

#include "generator/hit_count.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "fake_toolkit.h"
#include "tests/support/whole_page_search.h"
#include "platform/http_client.h"
#include "values.h"

namespace {

using namespace std::string_literals;

constexpr char kHost[] = "img.example.com";

std::string Image(const std::string& digit, const std::string& host = kHost) {
  return "<img src=\"http://" + host + "/img/43/" + digit + ".gif\">";
}

struct PageCase {
  const char* what;
  std::string page;
  std::string digits;
};

TEST(CountDigits, ReadsTheDigitImagesOfAPage) {
  const PageCase cases[] = {
      {"digits in page order", "<p>" + Image("3") + Image("0") + Image("5") + "</p>", "305"},
      {"scheme in capitals", "<img src=\"HTTP://img.example.com/img/43/7.gif\">", ""},
      {"host in another case", Image("7", "IMG.example.com"), ""},
      {"dots of the host match any character", Image("7", "img-example_com"), "7"},
      {"the dot before gif matches any character", "http://img.example.com/img/43/7_gif", "7"},
      {"two on one line", Image("1") + " " + Image("2"), "12"},
      {"two on two lines", Image("1") + "\r\n" + Image("2"), "12"},
      {"a match across a line break", "http://img.example.com/img/4\n3/8.gif", "8"},
      {"shortest groups: the first slash ends the style",
       "http://img.example.com/img/43/a/b.gif", "a/b"},
      {"a file name that is no digit", Image("logo") + Image("9"), "logo9"},
      {"no images", "<html>count unavailable</html>", ""},
      {"empty bytes", "", ""},
      {"a zero byte ends the page", Image("1") + "\0"s + Image("2"), "1"},
  };
  for (const PageCase& c : cases)
    EXPECT_EQ(generator::CountDigits(c.page, kHost), c.digits) << c.what;
}

// Pages of an outside server are untrusted: none of these may throw or hang,
// and each gives the digits the pattern finds on it.
TEST(CountDigits, SurvivesHostilePages) {
  const std::string start = "http://img.example.com/img/";
  // Many starts of an address with slashes after them and no "gif" anywhere
  // later: over the whole page the matcher tries every split and gives up.
  auto repeat = [](const std::string& piece) {
    std::string s;
    while (s.size() + piece.size() <= 60000) s += piece;
    return s;
  };
  const std::string digits = Image("4") + Image("2");
  const std::string starts = repeat(start + "x/");
  const PageCase cases[] = {
      {"starts, no gif after", digits + starts, "42"},
      {"bare starts, no gif after", digits + repeat(start), "42"},
      {"a start, then a gif too close to its slash", digits + start + repeat("x") + "/gif", "42"},
      {"one gif at the end makes one long match", digits + starts + ".gif", "42" + starts.substr(start.size() + 2)},
  };
  for (const PageCase& c : cases) EXPECT_EQ(generator::CountDigits(c.page, kHost), c.digits) << c.what;
  EXPECT_EQ(generator::CountDigits(Image("1"), "img(.example.com"), "") << "a host that is no valid pattern";
}

// Pages of image-address pieces in random order, small enough for the pattern
// to finish over the whole page: the reader gives exactly its digits.
TEST(CountDigits, GivesWhatThePatternFindsOnTheWholePage) {
  const std::string start = "http://img.example.com/img/";
  const std::string pieces[] = {start, start + "43/", "/", "gif", ".gif", "7", "x", "\n", "http://", "gi"};
  std::mt19937 rng(3);
  for (int round = 0; round < 300; ++round) {
    std::string page;
    for (int n = rng() % 60; n > 0; --n) page += pieces[rng() % 10];
    auto whole = testsupport::WholePageDigits(page, kHost);
    ASSERT_TRUE(whole) << page;
    EXPECT_EQ(generator::CountDigits(page, kHost), *whole) << page;
  }
}

TEST(CountDigits, SearchesOnlyTheHeadOfAHugePage) {
  const std::string prefix = "http://img.example.com/img/";
  // Harmless filler, then a tail that would cost the matcher minutes: past
  // the searched head it is never looked at, and neither is a late image.
  std::string page = Image("4") + Image("2");
  page.resize(generator::kMaxCounterPage, 'x');
  page += Image("7");
  while (page.size() < 4 * generator::kMaxCounterPage) page += prefix + "x/";
  EXPECT_EQ(generator::CountDigits(page, kHost), "42");
}

// ShowHitCount on a one-label window, over an HTTP client that answers from a script.
class FakeHttp : public platform::HttpClient {
 public:
  FakeHttp(frame::Frame*& f, frame::Ref label) : frame_(f), label_(label) {}
  std::string Get(const frame::Text& url) override {
    urls.push_back(url);
    captionsDuringRequest.push_back(frame_->Caption(label_));
    return body;
  }
  std::string body;
  std::vector<std::string> urls;
  std::vector<std::string> captionsDuringRequest;

 private:
  frame::Frame*& frame_;
  frame::Ref label_;
};

class ShowHitCountTest : public ::testing::Test {
 protected:
  ShowHitCountTest() {
    frame::WindowLayout w{};
    w.name = "CountWindow";
    w.title = "计数";
    frame::Control label{};
    label.kind = frame::Kind::Label;
    label.name = "标签2";
    label.text = "软件共计使用次数：";
    w.controls.push_back(label);
    layouts_.push_back(w);
  }
  // Opens the window with the given services and shows the count in it.
  frame::Text Show(frame::Services services, const char* before = "软件共计使用次数：999") {
    frame::Frame f(tk_, layouts_, services);
    frame_ = &f;
    EXPECT_TRUE(f.LoadWindow("CountWindow"));
    f.SetCaption(kLabel, before);
    generator::ShowHitCount(f, kLabel, "软件共计使用次数：", "usage-id");
    frame_ = nullptr;
    return f.Caption(kLabel);
  }

  const frame::Ref kLabel{"CountWindow", "标签2"};
  fake::FakeToolkit tk_;
  frame::Layouts layouts_;
  frame::Frame* frame_ = nullptr;
  FakeHttp http_{frame_, kLabel};
};

TEST_F(ShowHitCountTest, AppendsTheCountOfTheCounterPage) {
  const std::string host = values::kCounterImageHost;
  http_.body = "<html>" + Image("1", host) + Image("2", host) + Image("0", host) + Image("7", host) + "</html>";
  frame::Services services;
  services.http = &http_;
  EXPECT_EQ(Show(services), "软件共计使用次数：1207");
  ASSERT_EQ(http_.urls.size(), 1u);
  EXPECT_EQ(http_.urls[0],
            "http://"s + values::kCounterPageHost + "/count/count.asp?id=usage-id&sx=1&ys=43");
  EXPECT_EQ(http_.captionsDuringRequest[0], "软件共计使用次数：") << "the old count is cleared first";
}

TEST_F(ShowHitCountTest, AFailedRequestLeavesTheBarePrefix) {
  frame::Services services;
  services.http = &http_;  // empty body, as after a refused connection
  EXPECT_EQ(Show(services), "软件共计使用次数：");
  EXPECT_EQ(http_.urls.size(), 1u);
  EXPECT_EQ(Show(frame::Services{}), "软件共计使用次数：") << "no HTTP client at all";
}

}  // namespace

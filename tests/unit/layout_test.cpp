// Where windows open.
#include <gtest/gtest.h>

#include "frame/layout.h"

namespace {

TEST(WindowPlace, CentredOnTheWholeScreenWhateverTheWorkArea) {
  struct Case {
    int screenW, screenH, w, h;
    frame::Origin expected;
  } const cases[] = {
      // A 1920x1080 screen with a 40-pixel taskbar: centring on its work area
      // (1920x1040) would have put the window at y = 162.
      {1920, 1080, 293, 715, {813, 182}},
      {1024, 768, 665, 398, {179, 185}},
      {1024, 768, 230, 515, {397, 126}},
      // Taller than the screen: still centred, the caption above the top.
      {800, 600, 293, 715, {253, -57}},
  };
  for (const Case& c : cases) {
    frame::WindowLayout layout{.name = "W", .title = "W", .w = c.w, .h = c.h, .controls = {}};
    const frame::Origin got = frame::CentredOnScreen(layout, c.screenW, c.screenH);
    EXPECT_EQ(got.x, c.expected.x) << c.screenW << "x" << c.screenH << " " << c.w << "x" << c.h;
    EXPECT_EQ(got.y, c.expected.y) << c.screenW << "x" << c.screenH << " " << c.w << "x" << c.h;
  }
}

}  // namespace

#include "generator/clock_text.h"

#include <gtest/gtest.h>

namespace {

struct ClockCase {
  int year, month, day, hour, minute, second;
  const char* caption;
};

TEST(ClockText, LeavesOutTrailingZeroFields) {
  const ClockCase cases[] = {
      {2013, 5, 1, 14, 5, 9, "Zorvat报时：2013年5月1日14时5分9秒"},
      {2013, 5, 1, 14, 0, 9, "Zorvat报时：2013年5月1日14时0分9秒"},
      {2013, 5, 1, 14, 5, 0, "Zorvat报时：2013年5月1日14时5分"},  // the first second of a minute
      {2013, 5, 1, 14, 5, 1, "Zorvat报时：2013年5月1日14时5分1秒"},
      {2013, 5, 1, 14, 0, 0, "Zorvat报时：2013年5月1日14时"},
      {2013, 5, 1, 0, 5, 0, "Zorvat报时：2013年5月1日0时5分"},
      {2013, 5, 1, 0, 0, 1, "Zorvat报时：2013年5月1日0时0分1秒"},
      {2013, 5, 1, 0, 0, 0, "Zorvat报时：2013年5月1日"},  // midnight: the date alone
      {2013, 12, 31, 23, 59, 59, "Zorvat报时：2013年12月31日23时59分59秒"},
  };
  for (const ClockCase& c : cases)
    EXPECT_EQ(generator::ClockText(c.year, c.month, c.day, c.hour, c.minute, c.second), c.caption)
        << c.hour << ":" << c.minute << ":" << c.second;
}

}  // namespace

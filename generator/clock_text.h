// The clock's caption for a local date and time.
#pragma once
#include "frame/text.h"

namespace generator {

// "Zorvat报时：" with the date, then the time with its trailing zero fields
// left out: seconds when zero, then minutes, then hours (nothing after the
// date at midnight). Numbers have no leading zeros.
frame::Text ClockText(int year, int month, int day, int hour, int minute, int second);

}  // namespace generator

#include "generator/clock_text.h"

#include <string>

namespace generator {

frame::Text ClockText(int year, int month, int day, int hour, int minute, int second) {
  using std::to_string;
  frame::Text text = frame::Concat({"Zorvat报时：", to_string(year), "年", to_string(month), "月",
                                    to_string(day), "日"});
  if (second != 0)
    text += frame::Concat({to_string(hour), "时", to_string(minute), "分", to_string(second), "秒"});
  else if (minute != 0)
    text += frame::Concat({to_string(hour), "时", to_string(minute), "分"});
  else if (hour != 0)
    text += frame::Concat({to_string(hour), "时"});
  return text;
}

}  // namespace generator

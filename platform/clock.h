// The system clock as local time.
#pragma once

namespace platform {

struct LocalTime {
  int year, month, day, hour, minute, second;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime Now() = 0;  // whole seconds
};

}  // namespace platform

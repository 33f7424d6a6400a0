// Starting another program.
#pragma once
#include "frame/text.h"

namespace platform {

class Processes {
 public:
  virtual ~Processes() = default;
  // Starts a process whose whole command line is `commandLine`, waits at most
  // `readyWaitMs` for it to become ready for input and keeps no handle to it.
  // False when it could not be started.
  virtual bool Start(const frame::Text& commandLine, int readyWaitMs) = 0;
};

}  // namespace platform

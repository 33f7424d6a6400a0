// The shell's open action on an address.
#pragma once
#include "frame/text.h"

namespace platform {

class Shell {
 public:
  virtual ~Shell() = default;
  // Asks the shell to open the address with the program its scheme belongs
  // to; the result is not reported.
  virtual void Open(const frame::Text& address) = 0;
};

}  // namespace platform

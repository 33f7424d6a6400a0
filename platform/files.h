// File writes the handlers make.
#pragma once
#include <string_view>

#include "frame/text.h"

namespace platform {

class Files {
 public:
  virtual ~Files() = default;
  // Creates the file or empties it, writes the bytes and closes it, holding
  // it with exclusive sharing meanwhile. False when any step failed.
  virtual bool WriteFile(const frame::Text& path, std::string_view bytes) = 0;
};

}  // namespace platform

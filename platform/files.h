// The file operations the handlers and the skin setup use.
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
  // True when a file or a folder of that name exists.
  virtual bool Exists(const frame::Text& path) = 0;
  // Creates the file, failing when anything of that name exists, writes the
  // bytes and closes it, holding it with exclusive sharing meanwhile.
  virtual bool WriteNewFile(const frame::Text& path, std::string_view bytes) = 0;
  // Sets the file's attributes to hidden and nothing else.
  virtual bool MakeHidden(const frame::Text& path) = 0;
};

}  // namespace platform

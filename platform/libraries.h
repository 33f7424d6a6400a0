// Loading a library by file name, finding its functions by name, and calls
// that check the callee kept to the standard calling convention.
#pragma once
#include <cstdint>
#include <memory>
#include <span>

#include "frame/text.h"

namespace platform {

// A loaded library; released when its owner goes.
class Library {
 public:
  virtual ~Library() = default;
  // The function's address, or null when the library lacks it.
  virtual void* Find(const char* function) = 0;
};

class Libraries {
 public:
  virtual ~Libraries() = default;
  // Null when the library cannot be loaded from that path or name.
  virtual std::unique_ptr<Library> Load(const frame::Text& path) = 0;
  // Calls a function that removes its own arguments from the stack (args[0]
  // pushed last, so it is the first argument). False when the stack pointer
  // came back anywhere but where it was before the arguments were pushed.
  virtual bool CallChecked(void* function, std::span<const uintptr_t> args) = 0;
};

}  // namespace platform

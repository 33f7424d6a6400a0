// The system clipboard, plain ANSI text.
#pragma once
#include "frame/text.h"

namespace platform {

class Clipboard {
 public:
  virtual ~Clipboard() = default;
  // Replaces the clipboard's content with the text in the plain ANSI text
  // format: its bytes and a terminating zero. Another program may hold the
  // clipboard for a moment, so opening it is tried again for a short while.
  // False when it could not be opened (it is then left as it was) or the
  // text could not be stored.
  virtual bool PutText(const frame::Text& text) = 0;
};

}  // namespace platform

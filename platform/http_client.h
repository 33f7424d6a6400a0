// Plain HTTP GET requests.
#pragma once
#include <string>

#include "frame/text.h"

namespace platform {

class HttpClient {
 public:
  virtual ~HttpClient() = default;
  // The body bytes of the answer to a GET of `url`, whatever its status.
  // Empty when no body came (no network, refused, failed send); the bytes
  // read so far when the transfer stopped early or hit the client's limits.
  virtual std::string Get(const frame::Text& url) = 0;
};

}  // namespace platform

// HTTP GET through WinINet.
#pragma once
#include <cstddef>
#include <memory>

#include "platform/http_client.h"

namespace platform {

// Bounds that keep a slow, stalled or endless server from holding the
// caller for ever. WinINet's own defaults let a server that accepts and never
// answers block a request indefinitely.
struct HttpLimits {
  unsigned connectMs = 10000;   // to open the connection
  unsigned sendMs = 10000;      // per send of the request
  unsigned receiveMs = 10000;   // per wait for the next bytes of the answer
  unsigned totalMs = 20000;     // for the whole request, however the server trickles
  std::size_t maxBody = 4u << 20;  // body bytes kept; reading stops there
};

// GET with the agent of an old desktop browser, HTTP/1.0, "Accept: */*", no
// cache and a direct connection. The session is opened at the first request
// and closed with the client.
std::unique_ptr<HttpClient> MakeHttpClient(const HttpLimits& limits = HttpLimits{});

}  // namespace platform

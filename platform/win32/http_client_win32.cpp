#include "platform/win32/http_client_win32.h"

#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <condition_variable>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/win32/handles.h"

namespace win32 {
namespace {

using platform::HttpLimits;

constexpr char kAgent[] = "Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)";

struct InternetTraits {
  static HINTERNET Null() { return nullptr; }
  static void Free(HINTERNET h) { InternetCloseHandle(h); }
};
using Internet = Owned<HINTERNET, InternetTraits>;

// What a connection and a request need of an address.
struct Address {
  std::string host;
  INTERNET_PORT port = 0;
  std::string object;  // path and query
  bool secure = false;
};

bool Crack(const std::string& url, Address* out) {
  std::vector<char> host(url.size() + 1), path(url.size() + 1), extra(url.size() + 1);
  URL_COMPONENTSA parts{};
  parts.dwStructSize = sizeof parts;
  parts.lpszHostName = host.data();
  parts.dwHostNameLength = static_cast<DWORD>(host.size());
  parts.lpszUrlPath = path.data();
  parts.dwUrlPathLength = static_cast<DWORD>(path.size());
  parts.lpszExtraInfo = extra.data();
  parts.dwExtraInfoLength = static_cast<DWORD>(extra.size());
  if (url.empty() || !InternetCrackUrlA(url.c_str(), static_cast<DWORD>(url.size()), 0, &parts))
    return false;
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) return false;
  out->host.assign(host.data(), parts.dwHostNameLength);
  out->port = parts.nPort;
  out->object.assign(path.data(), parts.dwUrlPathLength);
  out->object.append(extra.data(), parts.dwExtraInfoLength);
  if (out->object.empty()) out->object.push_back('/');
  out->secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  return !out->host.empty();
}

// Wine honours these only on connect and request handles, Windows also on
// the session; setting them on every handle covers both.
void SetTimeouts(HINTERNET h, const HttpLimits& limits) {
  DWORD ms = limits.connectMs;
  InternetSetOptionA(h, INTERNET_OPTION_CONNECT_TIMEOUT, &ms, sizeof ms);
  ms = limits.sendMs;
  InternetSetOptionA(h, INTERNET_OPTION_SEND_TIMEOUT, &ms, sizeof ms);
  ms = limits.receiveMs;
  InternetSetOptionA(h, INTERNET_OPTION_RECEIVE_TIMEOUT, &ms, sizeof ms);
}

// What a request has read so far. Shared by the caller and the thread that
// runs the request, which outlives the caller's wait when the server holds
// it past the deadline.
struct Transfer {
  std::mutex lock;
  std::condition_variable finished;
  std::string body;
  bool done = false;
  bool abandoned = false;  // the caller has taken the body: add nothing more
};

void Fetch(HINTERNET session, const Address& a, const HttpLimits& limits, Transfer& t) {
  Internet connection(InternetConnectA(session, a.host.c_str(), a.port, nullptr, nullptr,
                                       INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection) return;
  SetTimeouts(connection.get(), limits);
  const char* accept[] = {"*/*", nullptr};
  DWORD flags = INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE | INTERNET_FLAG_PRAGMA_NOCACHE;
  if (a.secure) flags |= INTERNET_FLAG_SECURE;
  Internet request(HttpOpenRequestA(connection.get(), "GET", a.object.c_str(), "HTTP/1.0", nullptr,
                                    accept, flags, 0));
  if (!request) return;
  SetTimeouts(request.get(), limits);
  if (!HttpSendRequestA(request.get(), nullptr, 0, nullptr, 0)) return;
  std::vector<char> buffer(16384);
  for (;;) {
    // A synchronous read waits until its whole buffer is filled; asking what
    // is there first and reading only that lets a trickling server be cut
    // off at the deadline.
    DWORD available = 0;
    if (!InternetQueryDataAvailable(request.get(), &available, 0, 0) || available == 0) return;
    DWORD got = 0;
    const DWORD want = std::min<DWORD>(available, static_cast<DWORD>(buffer.size()));
    if (!InternetReadFile(request.get(), buffer.data(), want, &got) || got == 0) return;
    std::lock_guard<std::mutex> hold(t.lock);
    if (t.abandoned) return;
    t.body.append(buffer.data(), std::min<std::size_t>(got, limits.maxBody - t.body.size()));
    if (t.body.size() >= limits.maxBody) return;
  }
}

class WinInetClient : public platform::HttpClient {
 public:
  explicit WinInetClient(const HttpLimits& limits) : limits_(limits) {}

  std::string Get(const frame::Text& url) override {
    Address address;
    if (!Crack(url, &address)) return {};
    if (!session_) {
      Internet session(InternetOpenA(kAgent, INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0));
      if (!session) return {};
      SetTimeouts(session.get(), limits_);
      session_ = std::make_shared<Internet>(std::move(session));
    }
    // The request runs on a thread of its own so that the caller can stop
    // waiting at the deadline: a blocked WinINet call is not woken by closing
    // its handle, and a server can trickle headers past every time-out.
    auto transfer = std::make_shared<Transfer>();
    try {
      std::thread([session = session_, address, limits = limits_, transfer] {
        try {
          Fetch(session->get(), address, limits, *transfer);
        } catch (...) {
          // Out of memory while growing the body: keep what was read.
        }
        std::lock_guard<std::mutex> hold(transfer->lock);
        transfer->done = true;
        transfer->finished.notify_all();
      }).detach();
    } catch (const std::system_error&) {
      return {};
    }
    std::unique_lock<std::mutex> hold(transfer->lock);
    transfer->finished.wait_for(hold, std::chrono::milliseconds(limits_.totalMs),
                                [&] { return transfer->done; });
    transfer->abandoned = true;
    return std::move(transfer->body);
  }

 private:
  HttpLimits limits_;
  // Shared with running requests: the session closes when the client and
  // every request still running are done with it.
  std::shared_ptr<Internet> session_;
};

}  // namespace
}  // namespace win32

std::unique_ptr<platform::HttpClient> platform::MakeHttpClient(const HttpLimits& limits) {
  return std::make_unique<win32::WinInetClient>(limits);
}

// Fetches each address with one HTTP client, in order, and prints one line
// per address when its request has returned:
//   <body length> <milliseconds the request took>
// Options, before the addresses:
//   --out PREFIX       write each body to PREFIX0, PREFIX1, ...
//   --connect-ms N  --receive-ms N  --total-ms N  --max-body N
//                      replace one of the client's limits
// One client serves all addresses, as in the programs: its session is
// opened at the first request and reused.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/http_client_win32.h"

namespace {

bool Number(const char* text, unsigned long* value) {
  char* end = nullptr;
  *value = std::strtoul(text, &end, 10);
  return end && end != text && *end == '\0';
}

int Usage() {
  std::fprintf(stderr,
               "usage: httpget [--out PREFIX] [--connect-ms N] [--receive-ms N] [--total-ms N] "
               "[--max-body N] URL...\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  platform::HttpLimits limits;
  std::string out;
  std::vector<std::string> urls;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--", 0) != 0) {
      urls.push_back(arg);
      continue;
    }
    unsigned long n = 0;
    if (i + 1 >= argc) return Usage();
    const char* value = argv[++i];
    if (arg == "--out") {
      out = value;
    } else if (!Number(value, &n)) {
      return Usage();
    } else if (arg == "--connect-ms") {
      limits.connectMs = n;
    } else if (arg == "--receive-ms") {
      limits.receiveMs = n;
    } else if (arg == "--total-ms") {
      limits.totalMs = n;
    } else if (arg == "--max-body") {
      limits.maxBody = n;
    } else {
      return Usage();
    }
  }
  if (urls.empty()) return Usage();

  auto client = platform::MakeHttpClient(limits);
  for (size_t i = 0; i < urls.size(); ++i) {
    const DWORD start = GetTickCount();
    const std::string body = client->Get(urls[i]);
    const DWORD took = GetTickCount() - start;
    if (!out.empty()) {
      const std::string path = out + std::to_string(i);
      FILE* f = std::fopen(path.c_str(), "wb");
      if (!f || std::fwrite(body.data(), 1, body.size(), f) != body.size()) {
        std::fprintf(stderr, "cannot write %s\n", path.c_str());
        if (f) std::fclose(f);
        return 1;
      }
      std::fclose(f);
    }
    std::printf("%u %lu\n", static_cast<unsigned>(body.size()), static_cast<unsigned long>(took));
    std::fflush(stdout);
  }
  return 0;
}

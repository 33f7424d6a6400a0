// Fuzz target of the counter-page reader. The input is a page, read with the
// programs' image host or, in the host-choosing build, with a host taken from
// the input's start (up to its first backslash). Besides "no crash", the digits
// must be what the pattern finds over the whole page whenever that search
// completes (checked on pages up to 2 KB).
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "generator/hit_count.h"
#include "tests/support/whole_page_search.h"
#include "values.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
#ifdef ZV_FUZZ_HOST
  const std::string host = input.ConsumeRandomLengthString(64);
#else
  const std::string host = values::kCounterImageHost;
#endif
  const std::string page = input.ConsumeRemainingBytesAsString();
  const std::string digits = generator::CountDigits(page, host);
  // The search over the whole page grows with the cube of its size where it
  // struggles: it is the judge only on pages small enough to keep runs fast.
  if (page.size() <= 2048) {
    if (auto whole = testsupport::WholePageDigits(page, host); whole && *whole != digits) {
      std::fprintf(stderr, "digits \"%s\", the whole page's \"%s\"\n", digits.c_str(), whole->c_str());
      std::abort();
    }
  }
  return 0;
}

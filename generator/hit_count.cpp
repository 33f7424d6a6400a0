#include "generator/hit_count.h"

#include <boost/regex.hpp>

#include <stdexcept>
#include <string>

#include "platform/http_client.h"
#include "values.h"

namespace generator {

frame::Text CountDigits(std::string_view pageBytes, std::string_view imageHost) {
  const frame::Text page = frame::TextFromBytes(pageBytes.substr(0, kMaxCounterPage));
  frame::Text digits;
  try {
    // The host goes in unescaped, so its dots, like the one before "gif",
    // match any character; mod_s lets "." match line breaks too.
    const boost::regex pattern(frame::Concat({"http://", imageHost, "/img/(.*?)/(.*?).gif"}),
                               boost::regex::perl | boost::regex::mod_s);
    for (boost::sregex_iterator it(page.begin(), page.end(), pattern), end; it != end; ++it)
      digits += (*it)[2].str();
  } catch (const std::runtime_error&) {
    // The matcher gave up (too complex or out of its stack), or the host made
    // no valid pattern: keep the digits found so far.
  }
  return digits;
}

void ShowHitCount(frame::Frame& f, frame::Ref label, const char* prefix, const char* counterId) {
  f.SetCaption(label, frame::FromC(prefix));
  std::string body;
  if (platform::HttpClient* http = f.services().http)
    body = http->Get(frame::Concat({"http://", values::kCounterPageHost, "/count/count.asp?id=",
                                    frame::FromC(counterId), "&sx=1&ys=43"}));
  const frame::Text digits = CountDigits(body, values::kCounterImageHost);
  if (!digits.empty()) f.SetCaption(label, f.Caption(label) + digits);
}

}  // namespace generator

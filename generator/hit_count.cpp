#include "generator/hit_count.h"

#include <boost/regex.hpp>

#include <cctype>
#include <stdexcept>
#include <string>

#include "platform/http_client.h"
#include "values.h"

namespace generator {

namespace {

// Whether the host holds only what a host name and port are made of, so that
// the pattern's only special characters are its own and every match of it ends
// with the literal "gif".
bool PlainHost(std::string_view host) {
  for (char c : host) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '.' && c != '-' && c != ':') return false;
  }
  return true;
}

}  // namespace

frame::Text CountDigits(std::string_view pageBytes, std::string_view imageHost) {
  frame::Text page = frame::TextFromBytes(pageBytes.substr(0, kMaxCounterPage));
  if (PlainHost(imageHost)) {
    // Every match ends with "gif", so nothing after the last "gif" can take
    // part in one. Cutting it off changes no match, and it is what made a
    // hostile page costly: each address start there had the matcher try
    // every later slash against the whole rest of the page.
    const size_t last = page.rfind("gif");
    page.resize(last == frame::Text::npos ? 0 : last + 3);
  }
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

// The counter-page pattern run over a whole page with nothing cut off: what
// the reader's result must equal whenever this search completes. Shared by
// the unit tests, the fuzz target and the benchmark.
#pragma once
#include <boost/regex.hpp>

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace testsupport {

// The group-2 texts of every match on the page, or nothing when the matcher
// gives up or the host makes no valid pattern.
inline std::optional<std::string> WholePageDigits(std::string_view page, std::string_view host) {
  const std::string text(page.substr(0, page.find('\0')));
  std::string digits;
  try {
    const boost::regex pattern("http://" + std::string(host) + "/img/(.*?)/(.*?).gif",
                               boost::regex::perl | boost::regex::mod_s);
    for (boost::sregex_iterator it(text.begin(), text.end(), pattern), end; it != end; ++it) digits += (*it)[2].str();
  } catch (const std::runtime_error&) {
    return std::nullopt;
  }
  return digits;
}

}  // namespace testsupport

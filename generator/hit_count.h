// The hit counts: a counter page fetched from the counter service, its digit
// images read back as the count.
#pragma once
#include <cstddef>
#include <string_view>

#include "frame/frame.h"
#include "frame/text.h"

namespace generator {

// How much of a page is searched. A count page is a few hundred bytes; the
// bound keeps the search of any page to a few milliseconds.
constexpr std::size_t kMaxCounterPage = 64 * 1024;

// The file names (without ".gif") of every digit image under `imageHost` on
// the page, in page order with nothing between them. The page ends at its
// first zero byte. A page that still makes the search give up (only a host
// with pattern characters can) yields what was found before that point.
frame::Text CountDigits(std::string_view pageBytes, std::string_view imageHost);

// Sets the label's caption to the prefix, requests the counter's page (the
// request is the hit the service counts) and appends the count read from it.
void ShowHitCount(frame::Frame& f, frame::Ref label, const char* prefix, const char* counterId);

}  // namespace generator

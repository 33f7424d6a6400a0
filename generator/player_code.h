// What the code builder makes: the player address and the HTML snippet, and
// the tables of styles, colours and autoplay choices they are made from.
#pragma once
#include <array>
#include <string_view>

#include "frame/layout.h"
#include "frame/text.h"

namespace generator {

// A player style: its radio button, the path prefix of its addresses, the
// status line after a generation, and the title of the empty-hash box.
struct Style {
  const char* radio;
  const char* pathPrefix;  // begins and ends with "/"
  const char* status;
  frame::Colour statusColour;
  const char* emptyHashTitle;
};
// Styles one, two and three.
extern const std::array<Style, 3> kStyles;

// A colour button: the swatch it shows and the code it puts into the address.
// The code is the service's own and does not spell the swatch.
struct PlayerColour {
  const char* button;
  const char* caption;
  frame::Colour swatch;
  const char* code;
};
extern const std::array<PlayerColour, 16> kColours;

// An autoplay check box, the flag it puts into the address and its line.
struct Autoplay {
  const char* box;
  const char* otherBox;
  const char* flag;
  const char* line;
  frame::Colour lineColour;
};
// Play (选择框1), then do not play (选择框2).
extern const std::array<Autoplay, 2> kAutoplay;

// The hash as it goes into the address: ' " < > percent-encoded so that it
// cannot end the snippet's quoted src value or add markup; every other byte,
// blanks included, verbatim. No GBK trail byte lies below 0x40, so none is
// mistaken for one of the four.
frame::Text AddressHash(std::string_view hash);

// "http://" host, the style's path prefix, colour code "/" flag "/" hash ".swf".
frame::Text PlayerAddress(std::string_view host, const Style& style, std::string_view colourCode,
                          std::string_view flag, std::string_view hash);

// The embed element that places the player of `address` in a web page.
frame::Text EmbedSnippet(std::string_view address);

}  // namespace generator

// The skin image format our engine reads, and its reader. Toolkit-neutral:
// the engine and the native tests share it.
//
// An image is a 16-byte header followed by a body, all numbers little-endian:
//   0  ".SHE"               magic
//   4  u16 version          1
//   6  u16 header size      16
//   8  u32 body size        bytes that follow the header
//  12  u32 body CRC-32      over the body (the zip polynomial)
// Body of version 1:
//   u8 name length, then the name (ASCII, no terminator)
//   u16 colour count (at least kColourCount), then that many u32 colours,
//       each 0x00BBGGRR; entries past kColourCount are ignored
//   u8 metric count (at least kMetricCount), then that many u8 metrics
// Nothing may follow the metrics.
#pragma once
#include <cstddef>
#include <cstdint>

namespace skin {

// Colour slots. "Top"/"Bottom" pairs are vertical gradients.
enum Colour : int {
  kCaptionTop, kCaptionBottom, kCaptionText,
  kCaptionInactiveTop, kCaptionInactiveBottom, kCaptionInactiveText,
  kFrameOuter, kFrameInner,
  kCapButtonTop, kCapButtonBottom, kCapButtonGlyph,
  kCapButtonHotTop, kCapButtonHotBottom,
  kCapButtonPressedTop, kCapButtonPressedBottom,
  kCloseHotTop, kCloseHotBottom,
  // Push buttons: four colours for each of normal, hot, pressed, disabled.
  kButtonTop, kButtonBottom, kButtonBorder, kButtonText,
  kButtonHotTop, kButtonHotBottom, kButtonHotBorder, kButtonHotText,
  kButtonPressedTop, kButtonPressedBottom, kButtonPressedBorder, kButtonPressedText,
  kButtonDisabledTop, kButtonDisabledBottom, kButtonDisabledBorder, kButtonDisabledText,
  // Check box and radio button glyphs.
  kGlyphBorder, kGlyphTop, kGlyphBottom, kGlyphMark, kGlyphHotBorder, kGlyphDisabled,
  kGroupFrame, kGroupText,
  kEditBorder, kEditFocusBorder, kEditDisabledBorder,
  kWindowBack,
  kColourCount
};

enum Metric : int {
  kButtonRadius,  // corner radius of push buttons, pixels
  kCaptionGloss,  // strength of the aero gloss on the caption, 0-255
  kMetricCount
};

constexpr char kMagic[4] = {'.', 'S', 'H', 'E'};
constexpr uint16_t kVersion = 1;
constexpr uint16_t kHeaderSize = 16;
constexpr size_t kMaxName = 32;

struct Skin {
  char name[kMaxName + 1];
  uint32_t colours[kColourCount];
  uint8_t metrics[kMetricCount];
};

enum class ReadResult { Ok, Short, Foreign, Version, Damaged, Malformed };

// Reads an image into `out`, which is written only when the result is Ok.
// Never reads outside [image, image + length).
ReadResult ReadSkin(const void* image, size_t length, Skin& out);

uint32_t Crc32(const uint8_t* bytes, size_t length);

}  // namespace skin

#include "platform/mp3/tags.h"

#include <cstring>

namespace platform::mp3 {
namespace {

constexpr uint64_t kId3v2HeaderBytes = 10;
constexpr uint64_t kId3v1Bytes = 128;
constexpr uint64_t kApeFooterBytes = 32;
constexpr uint32_t kApeHasHeader = 1u << 31;
constexpr uint32_t kApeIsHeader = 1u << 29;

bool ReadExactly(ByteSource& source, uint64_t offset, uint8_t* out, size_t len) {
  return ReadFully(source, offset, out, len) == len;
}

uint32_t LittleEndian32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

// An ID3v2 header or footer ("ID3" or "3DI", version, flags, 28-bit size in
// four 7-bit bytes): the whole tag's length, or 0 when the bytes are no tag.
uint64_t Id3v2Length(const uint8_t* p, const char* magic) {
  if (std::memcmp(p, magic, 3) != 0 || p[3] == 0xFF || p[4] == 0xFF) return 0;
  uint64_t size = 0;
  for (int i = 6; i < 10; ++i) {
    if (p[i] & 0x80) return 0;
    size = (size << 7) | p[i];
  }
  bool footer = p[3] >= 4 && (p[5] & 0x10);
  return kId3v2HeaderBytes + size + (footer ? kId3v2HeaderBytes : 0);
}

// How many bytes one trailing tag ending at `end` takes, or 0 when none ends there.
uint64_t TrailingTagLength(ByteSource& source, uint64_t begin, uint64_t end) {
  uint64_t room = end - begin;
  uint8_t b[kApeFooterBytes];
  if (room >= kId3v1Bytes && ReadExactly(source, end - kId3v1Bytes, b, 3) &&
      std::memcmp(b, "TAG", 3) == 0) {
    return kId3v1Bytes;
  }
  if (room >= kApeFooterBytes && ReadExactly(source, end - kApeFooterBytes, b, kApeFooterBytes) &&
      std::memcmp(b, "APETAGEX", 8) == 0) {
    uint32_t flags = LittleEndian32(b + 20);
    // The size counts the items and the footer but not the optional header.
    uint64_t length = uint64_t{LittleEndian32(b + 12)} + ((flags & kApeHasHeader) ? kApeFooterBytes : 0);
    if (!(flags & kApeIsHeader) && length >= kApeFooterBytes && length <= room) return length;
  }
  if (room >= 2 * kId3v2HeaderBytes && ReadExactly(source, end - kId3v2HeaderBytes, b, kId3v2HeaderBytes)) {
    uint64_t length = Id3v2Length(b, "3DI");
    if (length != 0 && length <= room) return length;
  }
  return 0;
}

}  // namespace

AudioSpan FindAudio(ByteSource& source) {
  const uint64_t size = source.Size();
  AudioSpan span;
  uint8_t header[kId3v2HeaderBytes];
  // Several tags may follow one another; each one's size says where it ends.
  while (ReadExactly(source, span.begin, header, sizeof header)) {
    uint64_t length = Id3v2Length(header, "ID3");
    if (length == 0) break;
    span.begin += length;
  }
  if (span.begin >= size) return AudioSpan{size, size};
  span.end = size;
  while (uint64_t length = TrailingTagLength(source, span.begin, span.end)) span.end -= length;
  return span;
}

}  // namespace platform::mp3

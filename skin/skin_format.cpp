#include "skin/skin_format.h"

namespace skin {
namespace {

// A cursor that refuses to step past the end.
struct Reader {
  const uint8_t* p;
  const uint8_t* end;
  bool ok = true;
  bool Take(size_t n) {
    ok = ok && static_cast<size_t>(end - p) >= n;
    return ok;
  }
  uint32_t U(int bytes) {
    if (!Take(bytes)) return 0;
    uint32_t v = 0;
    for (int i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(p[i]) << (8 * i);
    p += bytes;
    return v;
  }
};

}  // namespace

uint32_t Crc32(const uint8_t* bytes, size_t length) {
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < length; ++i) {
    crc ^= bytes[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

ReadResult ReadSkin(const void* image, size_t length, Skin& out) {
  if (!image || length < kHeaderSize) return ReadResult::Short;
  const auto* bytes = static_cast<const uint8_t*>(image);
  for (int i = 0; i < 4; ++i)
    if (bytes[i] != static_cast<uint8_t>(kMagic[i])) return ReadResult::Foreign;
  Reader header{bytes + 4, bytes + kHeaderSize};
  const uint32_t version = header.U(2);
  const uint32_t headerSize = header.U(2);
  const uint32_t bodySize = header.U(4);
  const uint32_t crc = header.U(4);
  if (version != kVersion || headerSize != kHeaderSize) return ReadResult::Version;
  if (length - kHeaderSize < bodySize) return ReadResult::Short;
  const uint8_t* body = bytes + kHeaderSize;
  if (Crc32(body, bodySize) != crc) return ReadResult::Damaged;

  Skin s{};
  Reader r{body, body + bodySize};
  const uint32_t nameLength = r.U(1);
  if (nameLength > kMaxName || !r.Take(nameLength)) return ReadResult::Malformed;
  for (uint32_t i = 0; i < nameLength; ++i) {
    if (r.p[i] < 0x20 || r.p[i] > 0x7E) return ReadResult::Malformed;
    s.name[i] = static_cast<char>(r.p[i]);
  }
  r.p += nameLength;
  const uint32_t colours = r.U(2);
  if (!r.ok || colours < kColourCount) return ReadResult::Malformed;
  for (uint32_t i = 0; i < colours; ++i) {
    const uint32_t c = r.U(4);
    if (!r.ok || c > 0x00FFFFFFu) return ReadResult::Malformed;
    if (i < kColourCount) s.colours[i] = c;
  }
  const uint32_t metrics = r.U(1);
  if (!r.ok || metrics < kMetricCount) return ReadResult::Malformed;
  for (uint32_t i = 0; i < metrics; ++i) {
    const uint32_t m = r.U(1);
    if (i < kMetricCount) s.metrics[i] = static_cast<uint8_t>(m);
  }
  if (!r.ok || r.p != r.end) return ReadResult::Malformed;
  out = s;
  return ReadResult::Ok;
}

}  // namespace skin

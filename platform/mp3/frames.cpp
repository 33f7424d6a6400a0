#include "platform/mp3/frames.h"

#include <algorithm>
#include <cstring>

namespace platform::mp3 {
namespace {

// Layer III bit rates in kbit/s by index; 0 (free format) and 15 are invalid.
constexpr int kBitrateMpeg1[16] = {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0};
constexpr int kBitrateMpeg2[16] = {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0};
constexpr int kSampleRateMpeg1[3] = {44100, 48000, 32000};

int SideInfoBytes(const FrameHeader& h) {
  if (h.version == Version::kMpeg1) return h.channels == 1 ? 17 : 32;
  return h.channels == 1 ? 9 : 17;
}

bool HasTagAt(const uint8_t* frame, size_t size, size_t at, const char* tag) {
  return at + 4 <= size && std::memcmp(frame + at, tag, 4) == 0;
}

}  // namespace

std::optional<FrameHeader> ParseHeader(const uint8_t* p) {
  if (p[0] != 0xFF || (p[1] & 0xE0) != 0xE0) return std::nullopt;
  int version_bits = (p[1] >> 3) & 3;
  int layer_bits = (p[1] >> 1) & 3;
  int bitrate_index = p[2] >> 4;
  int rate_index = (p[2] >> 2) & 3;
  int emphasis = p[3] & 3;
  if (version_bits == 1 || layer_bits != 1 || rate_index == 3 || emphasis == 2) return std::nullopt;
  FrameHeader h;
  h.version = version_bits == 3 ? Version::kMpeg1 : version_bits == 2 ? Version::kMpeg2 : Version::kMpeg25;
  bool mpeg1 = h.version == Version::kMpeg1;
  h.bitrate_kbps = (mpeg1 ? kBitrateMpeg1 : kBitrateMpeg2)[bitrate_index];
  if (h.bitrate_kbps == 0) return std::nullopt;
  h.sample_rate = kSampleRateMpeg1[rate_index] / (mpeg1 ? 1 : h.version == Version::kMpeg2 ? 2 : 4);
  h.padding = (p[2] >> 1) & 1;
  h.crc = !(p[1] & 1);
  h.channels = (p[3] >> 6) == 3 ? 1 : 2;
  h.samples = mpeg1 ? 1152 : 576;
  // samples/8 bytes per kbit/s of bit rate, per second of sample rate.
  h.frame_bytes = (h.samples / 8) * h.bitrate_kbps * 1000 / h.sample_rate + (h.padding ? 1 : 0);
  if (h.frame_bytes < 4 + (h.crc ? 2 : 0) + SideInfoBytes(h)) return std::nullopt;
  return h;
}

bool SameStream(const FrameHeader& a, const FrameHeader& b) {
  return a.version == b.version && a.sample_rate == b.sample_rate && a.channels == b.channels;
}

bool IsInfoFrame(const FrameHeader& header, const uint8_t* frame, size_t size) {
  size_t side = 4 + SideInfoBytes(header);
  // Encoders put the Xing tag right after the side information; some do not
  // count the check word, so both places are looked at. VBRI sits at 36.
  for (size_t at : {side + (header.crc ? 2 : 0), side}) {
    if (HasTagAt(frame, size, at, "Xing") || HasTagAt(frame, size, at, "Info")) return true;
  }
  return HasTagAt(frame, size, 36, "VBRI");
}

FrameReader::FrameReader(ByteSource& source, AudioSpan span, size_t buffer_bytes)
    : source_(source),
      span_(span),
      buffer_(std::max(buffer_bytes, kMinBufferBytes)),
      buffer_offset_(span.begin),
      cursor_(span.begin) {}

// `len` bytes at `offset`, or null when they reach past the audio. Keeps the
// buffer a window on the source: bytes before `offset` are dropped first.
const uint8_t* FrameReader::Bytes(uint64_t offset, size_t len) {
  if (offset < span_.begin || offset > span_.end || len > span_.end - offset || len > buffer_.size()) {
    return nullptr;
  }
  if (offset >= buffer_offset_ && offset + len <= buffer_offset_ + buffer_len_) {
    return buffer_.data() + (offset - buffer_offset_);
  }
  if (failed_) return nullptr;
  if (offset >= buffer_offset_ && offset < buffer_offset_ + buffer_len_) {
    size_t keep = static_cast<size_t>(buffer_offset_ + buffer_len_ - offset);
    std::memmove(buffer_.data(), buffer_.data() + (offset - buffer_offset_), keep);
    buffer_len_ = keep;
  } else {
    buffer_len_ = 0;
  }
  buffer_offset_ = offset;
  size_t want = static_cast<size_t>(std::min<uint64_t>(buffer_.size(), span_.end - offset));
  size_t got = ReadFully(source_, offset + buffer_len_, buffer_.data() + buffer_len_, want - buffer_len_);
  buffer_len_ += got;
  if (buffer_len_ < want) failed_ = true;
  return len <= buffer_len_ ? buffer_.data() : nullptr;
}

bool FrameReader::Emit(const FrameHeader& header, uint64_t offset, Frame* frame) {
  const uint8_t* data = Bytes(offset, header.frame_bytes);
  if (!data) return false;
  frame->header = header;
  frame->offset = offset;
  frame->data = data;
  frame->info = IsInfoFrame(header, data, header.frame_bytes);
  last_ = header;
  cursor_ = offset + header.frame_bytes;
  return true;
}

bool FrameReader::Next(Frame* frame) {
  if (ended_) return false;
  if (last_) {
    // In step: the next frame starts where the last one ended.
    const uint8_t* p = Bytes(cursor_, 4);
    if (!p) return End();
    std::optional<FrameHeader> h = ParseHeader(p);
    if (h && SameStream(*h, *last_)) {
      if (Emit(*h, cursor_, frame)) return true;
      // A frame of the stream cut short by the end of the audio or by a read
      // error is the last one: its bytes are never searched, or a header of
      // another format inside it could pass for a frame.
      return End();
    }
    // Damage or a change of format: search from here, so a real change of
    // format is confirmed at once.
    last_.reset();
  }
  const uint64_t start = cursor_;
  for (uint64_t at = start;; ++at) {
    const uint8_t* p = Bytes(at, 4);
    if (!p) {
      skipped_ += at - start;
      cursor_ = at;
      return End();
    }
    std::optional<FrameHeader> h = ParseHeader(p);
    if (!h) continue;
    uint64_t next = at + h->frame_bytes;
    bool confirmed = next == span_.end;
    if (!confirmed) {
      const uint8_t* both = Bytes(at, h->frame_bytes + 4);
      // Once the source has failed, what lies past its last byte is unknown:
      // the stream ends rather than trust a frame the rest might deny.
      if (!both && failed_) {
        skipped_ += at - start;
        return End();
      }
      if (!both) continue;
      std::optional<FrameHeader> h2 = ParseHeader(both + h->frame_bytes);
      confirmed = h2 && SameStream(*h, *h2);
    }
    if (!confirmed) continue;
    skipped_ += at - start;
    // Only a failed source can refuse a confirmed frame's bytes.
    return Emit(*h, at, frame) || End();
  }
}

bool FrameReader::End() {
  ended_ = true;
  return false;
}

}  // namespace platform::mp3

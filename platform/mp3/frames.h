// MPEG-1, 2 and 2.5 Layer III frames: header parsing and a reader that splits
// the audio part of a file into frames, read in pieces through a small buffer.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "platform/mp3/byte_source.h"
#include "platform/mp3/tags.h"

namespace platform::mp3 {

enum class Version { kMpeg1, kMpeg2, kMpeg25 };

struct FrameHeader {
  Version version = Version::kMpeg1;
  int bitrate_kbps = 0;
  int sample_rate = 0;
  int channels = 0;         // 1 or 2
  bool padding = false;
  bool crc = false;         // a 16-bit check word follows the header
  int frame_bytes = 0;      // header included
  int samples = 0;          // per channel: 1152 or 576
};

// The largest Layer III frame: 160 kbit/s at 8 kHz (or 320 at 32 kHz), padded.
constexpr int kMaxFrameBytes = 1441;

// The header in the four bytes at `p`, if they are a valid Layer III header.
// Free-format bit rates and reserved values are not valid.
std::optional<FrameHeader> ParseHeader(const uint8_t* p);

// Whether two headers can belong to one stream of sound: same version,
// sample rate and channel count.
bool SameStream(const FrameHeader& a, const FrameHeader& b);

// Whether a whole frame is a Xing, Info or VBRI frame: an encoder's table of
// contents that decodes to silence, not sound.
bool IsInfoFrame(const FrameHeader& header, const uint8_t* frame, size_t size);

struct Frame {
  FrameHeader header;
  uint64_t offset = 0;          // in the source
  const uint8_t* data = nullptr;  // frame_bytes bytes, header included
  bool info = false;            // a Xing, Info or VBRI frame
};

// Reads the frames of `span` in order. A frame found by searching is trusted
// only when the next frame's header follows it and matches (or it ends the
// audio exactly); after that each frame follows on from the last. Damage makes
// it search again; a frame cut short by the end of the file or by a read error
// ends the stream, and so does a source that fails while searching.
class FrameReader {
 public:
  static constexpr size_t kMinBufferBytes = 4096;
  FrameReader(ByteSource& source, AudioSpan span, size_t buffer_bytes = 32 * 1024);

  // The next frame, or false at the end. Its bytes stay valid until the next call.
  bool Next(Frame* frame);
  // Bytes passed over while searching for frames.
  uint64_t skipped_bytes() const { return skipped_; }

 private:
  const uint8_t* Bytes(uint64_t offset, size_t len);
  bool Emit(const FrameHeader& header, uint64_t offset, Frame* frame);
  bool End();  // ends the stream for good; returns false

  ByteSource& source_;
  AudioSpan span_;
  std::vector<uint8_t> buffer_;
  uint64_t buffer_offset_ = 0;  // source offset of buffer_[0]
  size_t buffer_len_ = 0;
  uint64_t cursor_ = 0;
  std::optional<FrameHeader> last_;  // set while in step with the stream
  uint64_t skipped_ = 0;
  bool failed_ = false;  // the source stopped giving bytes before the end
  bool ended_ = false;
};

}  // namespace platform::mp3

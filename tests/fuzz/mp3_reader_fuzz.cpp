// Fuzz target of the MP3 reader. The input is a file; a few bytes at its end
// also choose how a second read goes: through a source that hands out random
// small pieces and may fail part way, with a buffer of random size. Besides
// "no crash", it checks what the reader promises: every frame lies inside the
// audio, in order, with the file's own bytes; a frame of the stream cut short
// by the end ends the stream; the pieced read gives the whole read's frames,
// or, when its source failed, a prefix of the frames of the audio it saw.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/mp3/frames.h"
#include "platform/mp3/tags.h"

using namespace platform::mp3;

namespace {

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "broken promise: %s\n", what);
    std::abort();
  }
}

class PiecesSource : public ByteSource {
 public:
  PiecesSource(const std::string& bytes, uint32_t seed, uint64_t fail_at)
      : inner_(bytes), rng_(seed), fail_at_(fail_at) {}
  uint64_t Size() const override { return inner_.Size(); }
  size_t ReadAt(uint64_t offset, uint8_t* out, size_t len) override {
    if (offset >= fail_at_) return 0;
    size_t piece = 1 + rng_() % (rng_() % 2 ? 16 : 5000);
    return inner_.ReadAt(offset, out, std::min<uint64_t>({len, piece, fail_at_ - offset}));
  }

 private:
  MemorySource inner_;
  std::mt19937 rng_;
  uint64_t fail_at_;
};

std::vector<uint64_t> ReadFrames(ByteSource& source, const std::string& bytes, size_t buffer, AudioSpan span) {
  Check(span.begin <= span.end && span.end <= bytes.size(), "the audio lies inside the file");
  FrameReader reader(source, span, buffer);
  std::vector<uint64_t> offsets;
  Frame f;
  uint64_t last_end = span.begin;
  while (reader.Next(&f)) {
    const uint64_t end = f.offset + f.header.frame_bytes;
    Check(f.offset >= last_end && end <= span.end, "each frame lies inside the audio, after the last");
    Check(std::memcmp(f.data, bytes.data() + f.offset, f.header.frame_bytes) == 0, "a frame holds the file's bytes");
    // The reader is in step after a frame: had a header of the same stream
    // followed it with its frame cut short, nothing may come after.
    if (!offsets.empty() && last_end + 4 <= span.end) {
      auto next = ParseHeader(reinterpret_cast<const uint8_t*>(bytes.data()) + last_end);
      auto prev = ParseHeader(reinterpret_cast<const uint8_t*>(bytes.data()) + offsets.back());
      if (next && prev && SameStream(*next, *prev)) {
        Check(last_end + next->frame_bytes <= span.end, "a cut frame of the stream ends it");
      }
    }
    offsets.push_back(f.offset);
    last_end = end;
  }
  Check(!reader.Next(&f), "the end stays the end");
  return offsets;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  FuzzedDataProvider input(data, size);
  // Integers come off the end, so a seed file keeps its start.
  const uint32_t seed = input.ConsumeIntegral<uint32_t>();
  const bool fails = input.ConsumeBool();
  const size_t buffer = input.ConsumeIntegralInRange<size_t>(FrameReader::kMinBufferBytes, 64 * 1024);
  const std::string bytes = input.ConsumeRemainingBytesAsString();

  MemorySource whole_source(bytes);
  const AudioSpan whole_span = FindAudio(whole_source);
  const std::vector<uint64_t> whole = ReadFrames(whole_source, bytes, 32 * 1024, whole_span);

  const uint64_t fail_at = fails ? seed % (bytes.size() + 1) : bytes.size();
  PiecesSource pieces(bytes, seed, fail_at);
  const AudioSpan pieced_span = FindAudio(pieces);
  const std::vector<uint64_t> pieced = ReadFrames(pieces, bytes, buffer, pieced_span);
  if (!fails) {
    Check(pieced_span.begin == whole_span.begin && pieced_span.end == whole_span.end,
          "a read in pieces finds the whole read's tags");
    Check(pieced == whole, "a read in pieces gives the whole read's frames");
  } else {
    // A tag at the end cannot be found when the end cannot be read, so the
    // failed read is held against a whole read of the audio it saw.
    MemorySource again(bytes);
    const std::vector<uint64_t> seen = ReadFrames(again, bytes, 32 * 1024, pieced_span);
    Check(pieced.size() <= seen.size() && std::equal(pieced.begin(), pieced.end(), seen.begin()),
          "a read whose source fails gives a prefix of the frames of the audio it saw");
  }
  return 0;
}

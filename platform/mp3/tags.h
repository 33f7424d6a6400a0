// Where the audio lies in an MP3 file: between the ID3v2 tags at its start and
// the ID3v1, APE and appended ID3v2 tags at its end.
#pragma once
#include <cstdint>

#include "platform/mp3/byte_source.h"

namespace platform::mp3 {

struct AudioSpan {
  uint64_t begin = 0;
  uint64_t end = 0;  // one past the last audio byte; never below begin
};

// Skips leading ID3v2 tags by their declared size, so nothing inside a tag
// (cover art, say) is ever taken for audio, and drops the trailing tags. Reads
// only the few bytes of each tag header or footer.
AudioSpan FindAudio(ByteSource& source);

}  // namespace platform::mp3

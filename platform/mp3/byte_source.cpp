#include "platform/mp3/byte_source.h"

#include <algorithm>
#include <cstring>

namespace platform::mp3 {

size_t ReadFully(ByteSource& source, uint64_t offset, uint8_t* out, size_t len) {
  size_t done = 0;
  while (done < len) {
    size_t got = source.ReadAt(offset + done, out + done, len - done);
    if (got == 0) break;
    done += got;
  }
  return done;
}

size_t MemorySource::ReadAt(uint64_t offset, uint8_t* out, size_t len) {
  if (offset >= bytes_.size()) return 0;
  size_t n = static_cast<size_t>(std::min<uint64_t>(len, bytes_.size() - offset));
  std::memcpy(out, bytes_.data() + offset, n);
  return n;
}

}  // namespace platform::mp3

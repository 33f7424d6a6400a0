// Random-access bytes the MP3 reader works over: a file read in pieces or a
// buffer in memory.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace platform::mp3 {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t Size() const = 0;
  // Copies up to `len` bytes starting at `offset` into `out` and returns how
  // many it copied; 0 means the end or a read error.
  virtual size_t ReadAt(uint64_t offset, uint8_t* out, size_t len) = 0;
};

// Reads until `len` bytes are in or the source gives no more; returns how many.
size_t ReadFully(ByteSource& source, uint64_t offset, uint8_t* out, size_t len);

// A source over bytes the caller keeps alive.
class MemorySource : public ByteSource {
 public:
  explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
  uint64_t Size() const override { return bytes_.size(); }
  size_t ReadAt(uint64_t offset, uint8_t* out, size_t len) override;

 private:
  std::string_view bytes_;
};

}  // namespace platform::mp3

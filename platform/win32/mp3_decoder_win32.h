// Decoding for the MP3 player on Windows: the song file read in pieces for the
// frame reader, and the system's Layer III codec reached through the Audio
// Compression Manager.
#pragma once
#include <windows.h>
#include <mmreg.h>
#include <msacm.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/mp3/byte_source.h"
#include "platform/mp3/frames.h"
#include "platform/win32/handles.h"

namespace platform::win32mp3 {

// The song file, read in pieces by the frame reader.
class FileSource : public mp3::ByteSource {
 public:
  // Paths are GBK bytes, which CreateFileA takes as they are.
  static std::unique_ptr<FileSource> Open(const std::string& path);
  uint64_t Size() const override { return size_; }
  size_t ReadAt(uint64_t offset, uint8_t* out, size_t len) override;

 private:
  FileSource(win32::Handle file, uint64_t size) : file_(std::move(file)), size_(size) {}
  win32::Handle file_;
  uint64_t size_;
};

// 16-bit PCM of the frame's rate and channels.
WAVEFORMATEX PcmFormat(const mp3::FrameHeader& h);

// An ACM stream from Layer III frames to 16-bit PCM of the same rate and channels.
class Decoder {
 public:
  static std::unique_ptr<Decoder> Open(const mp3::FrameHeader& h);
  ~Decoder();
  Decoder(const Decoder&) = delete;
  Decoder& operator=(const Decoder&) = delete;

  // Starts a new pass through the song: the codec forgets what came before.
  void Restart() {
    pending_ = 0;
    start_ = true;
  }

  // Decodes one frame and appends whatever sound the codec gives back.
  // A frame the codec refuses is dropped.
  void Decode(const uint8_t* frame, size_t size, std::vector<uint8_t>* pcm);
  // Sound the codec still holds at the end of a pass.
  void Flush(std::vector<uint8_t>* pcm) { Convert(pcm, ACM_STREAMCONVERTF_END); }

 private:
  static constexpr DWORD kInputBytes = 4 * mp3::kMaxFrameBytes;
  Decoder() = default;

  void Convert(std::vector<uint8_t>* pcm, DWORD flags);

  HACMSTREAM stream_ = nullptr;
  ACMSTREAMHEADER header_{};
  bool prepared_ = false;
  bool start_ = true;
  uint8_t in_[kInputBytes];
  size_t pending_ = 0;
  std::vector<uint8_t> out_;
};

}  // namespace platform::win32mp3

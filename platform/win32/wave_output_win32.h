// Output for the MP3 player on Windows: decoded sound played through waveOut.
#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/mp3/frames.h"

namespace platform::win32mp3 {

// Sound handed to waveOut at once: kBuffers buffers of kBufferMs each. Short,
// so a pause or stop is heard at once; several, so a late wake-up of the
// player's worker thread does not starve the device.
constexpr int kBuffers = 4;
constexpr int kBufferMs = 50;

// A waveOut device with its buffers; it signals `done` whenever a buffer has played.
class Output {
 public:
  static std::unique_ptr<Output> Open(const mp3::FrameHeader& h, HANDLE done);
  ~Output();
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;

  size_t buffer_bytes() const { return buffers_[0].data.size(); }
  void Pause() { waveOutPause(device_); }
  void Resume() { waveOutRestart(device_); }

  // Hands every free buffer to the device, each filled by `fill` (which
  // returns how many bytes it wrote); true while any buffer is still queued.
  template <typename Fill>
  bool Feed(Fill fill) {
    bool queued = false;
    for (Buffer& b : buffers_) {
      if (b.queued && !(b.header.dwFlags & WHDR_DONE)) {
        queued = true;
        continue;
      }
      b.queued = false;
      size_t n = fill(b.data.data(), b.data.size());
      if (n == 0) continue;
      b.header.dwBufferLength = static_cast<DWORD>(n);
      if (waveOutWrite(device_, &b.header, sizeof b.header) == MMSYSERR_NOERROR) b.queued = queued = true;
    }
    return queued;
  }

 private:
  struct Buffer {
    std::vector<uint8_t> data;
    WAVEHDR header{};
    bool prepared = false;
    bool queued = false;
  };
  Output() = default;
  HWAVEOUT device_ = nullptr;
  Buffer buffers_[kBuffers];
};

}  // namespace platform::win32mp3

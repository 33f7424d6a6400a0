#include "platform/win32/wave_output_win32.h"

#include "platform/win32/mp3_decoder_win32.h"

namespace platform::win32mp3 {

std::unique_ptr<Output> Output::Open(const mp3::FrameHeader& h, HANDLE done) {
  WAVEFORMATEX f = PcmFormat(h);
  std::unique_ptr<Output> o(new Output);
  if (waveOutOpen(&o->device_, WAVE_MAPPER, &f, reinterpret_cast<DWORD_PTR>(done), 0, CALLBACK_EVENT) !=
      MMSYSERR_NOERROR) {
    o->device_ = nullptr;
    return nullptr;
  }
  size_t bytes = f.nAvgBytesPerSec / 1000 * kBufferMs / f.nBlockAlign * f.nBlockAlign;
  for (Buffer& b : o->buffers_) {
    b.data.resize(bytes);
    b.header.lpData = reinterpret_cast<LPSTR>(b.data.data());
    b.header.dwBufferLength = static_cast<DWORD>(bytes);
    if (waveOutPrepareHeader(o->device_, &b.header, sizeof b.header) != MMSYSERR_NOERROR) return nullptr;
    b.prepared = true;
  }
  return o;
}

Output::~Output() {
  if (!device_) return;
  // Reset returns every queued buffer, so they can be unprepared and the device closed.
  waveOutReset(device_);
  for (Buffer& b : buffers_) {
    if (b.prepared) waveOutUnprepareHeader(device_, &b.header, sizeof b.header);
  }
  waveOutClose(device_);
}

}  // namespace platform::win32mp3

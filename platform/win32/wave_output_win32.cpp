#include "platform/win32/wave_output_win32.h"

#include "platform/win32/mp3_decoder_win32.h"

#include <algorithm>

namespace platform::win32mp3 {

std::unique_ptr<Output> Output::Open(const mp3::FrameHeader& h, HANDLE done) {
  WAVEFORMATEX f = PcmFormat(h);
  std::unique_ptr<Output> o(new Output);
  if (waveOutOpen(&o->device_, WAVE_MAPPER, &f, reinterpret_cast<DWORD_PTR>(done), 0, CALLBACK_EVENT) !=
      MMSYSERR_NOERROR) {
    o->device_ = nullptr;
    return nullptr;
  }
  o->block_align_ = f.nBlockAlign;
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

std::vector<uint8_t> Output::Halt() {
  waveOutPause(device_);
  MMTIME t{};
  t.wType = TIME_BYTES;
  uint32_t played = written_;  // if the device cannot tell, nothing is played twice
  if (waveOutGetPosition(device_, &t, sizeof t) == MMSYSERR_NOERROR) {
    if (t.wType == TIME_BYTES) played = t.u.cb;
    if (t.wType == TIME_SAMPLES) played = t.u.sample * block_align_;
  }
  // What is still queued, oldest first; its last written_ - played bytes are unheard.
  std::vector<const Buffer*> queued;
  for (const Buffer& b : buffers_) {
    if (b.queued) queued.push_back(&b);
  }
  std::sort(queued.begin(), queued.end(),
            [](const Buffer* a, const Buffer* b) { return static_cast<int32_t>(a->order - b->order) < 0; });
  std::vector<uint8_t> rest;
  for (const Buffer* b : queued) rest.insert(rest.end(), b->data.begin(), b->data.begin() + b->header.dwBufferLength);
  size_t unheard = std::min<size_t>(written_ - played, rest.size());
  rest.erase(rest.begin(), rest.end() - unheard);
  return rest;
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

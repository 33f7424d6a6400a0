// The plainest playback of an MP3 file through the platform's codec and
// sound output, as a reference for the player's own cost:
//   acmplay decode FILE   decodes the whole file and prints
//                         "decoded <seconds of sound> <CPU seconds taken>"
//   acmplay play FILE     decodes the whole file first, prints "ready", then
//                         plays the sound through waveOut in four 50 ms
//                         buffers and prints "done"
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/mp3/frames.h"
#include "platform/mp3/tags.h"
#include "platform/win32/mp3_decoder_win32.h"

namespace mp3 = platform::mp3;
using platform::win32mp3::Decoder;
using platform::win32mp3::FileSource;

namespace {

double CpuSeconds() {
  FILETIME created, ended, kernel, user;
  GetProcessTimes(GetCurrentProcess(), &created, &ended, &kernel, &user);
  auto seconds = [](const FILETIME& t) { return ((uint64_t(t.dwHighDateTime) << 32) | t.dwLowDateTime) / 1e7; };
  return seconds(kernel) + seconds(user);
}

// Decodes every sound frame of the file (one format assumed); false on failure.
bool DecodeAll(const char* path, std::vector<uint8_t>* pcm, mp3::FrameHeader* format) {
  std::unique_ptr<FileSource> file = FileSource::Open(path);
  if (!file) return false;
  mp3::FrameReader reader(*file, mp3::FindAudio(*file));
  std::unique_ptr<Decoder> decoder;
  mp3::Frame f;
  while (reader.Next(&f)) {
    if (f.info) continue;
    if (!decoder) {
      decoder = Decoder::Open(f.header);
      if (!decoder) return false;
      *format = f.header;
    }
    decoder->Decode(f.data, f.header.frame_bytes, pcm);
  }
  if (decoder) decoder->Flush(pcm);
  return decoder != nullptr;
}

bool Play(const std::vector<uint8_t>& pcm, const mp3::FrameHeader& format) {
  WAVEFORMATEX wf = platform::win32mp3::PcmFormat(format);
  HANDLE done = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  HWAVEOUT device;
  if (waveOutOpen(&device, WAVE_MAPPER, &wf, reinterpret_cast<DWORD_PTR>(done), 0, CALLBACK_EVENT)) return false;
  const size_t chunk = wf.nAvgBytesPerSec / 20 / wf.nBlockAlign * wf.nBlockAlign;
  WAVEHDR headers[4] = {};
  size_t next = 0;
  for (;;) {
    bool queued = false;
    for (WAVEHDR& h : headers) {
      if ((h.dwFlags & WHDR_PREPARED) && !(h.dwFlags & WHDR_DONE)) {
        queued = true;
        continue;
      }
      if (h.dwFlags & WHDR_PREPARED) waveOutUnprepareHeader(device, &h, sizeof h);
      if (next >= pcm.size()) continue;
      h = WAVEHDR{};
      h.lpData = reinterpret_cast<LPSTR>(const_cast<uint8_t*>(pcm.data() + next));
      h.dwBufferLength = static_cast<DWORD>(std::min(chunk, pcm.size() - next));
      next += h.dwBufferLength;
      waveOutPrepareHeader(device, &h, sizeof h);
      waveOutWrite(device, &h, sizeof h);
      queued = true;
    }
    if (!queued) break;
    WaitForSingleObject(done, INFINITE);
  }
  waveOutClose(device);
  CloseHandle(done);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: acmplay decode|play FILE\n");
    return 2;
  }
  std::vector<uint8_t> pcm;
  mp3::FrameHeader format{};
  double cpu = CpuSeconds();
  if (!DecodeAll(argv[2], &pcm, &format)) {
    std::fprintf(stderr, "cannot decode %s\n", argv[2]);
    return 1;
  }
  cpu = CpuSeconds() - cpu;
  if (std::strcmp(argv[1], "decode") == 0) {
    std::printf("decoded %.3f %.4f\n", pcm.size() / double(2 * format.channels * format.sample_rate), cpu);
    return 0;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  bool ok = Play(pcm, format);
  std::printf("done\n");
  return ok ? 0 : 1;
}

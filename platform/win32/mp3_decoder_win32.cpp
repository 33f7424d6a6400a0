#include "platform/win32/mp3_decoder_win32.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace platform::win32mp3 {

std::unique_ptr<FileSource> FileSource::Open(const std::string& path) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                         nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  win32::Handle file(h);
  LARGE_INTEGER size;
  // Only a disk file: a device such as CON or a pipe could block the reader for ever.
  if (GetFileType(h) != FILE_TYPE_DISK || !GetFileSizeEx(h, &size)) return nullptr;
  return std::unique_ptr<FileSource>(new FileSource(std::move(file), size.QuadPart));
}

size_t FileSource::ReadAt(uint64_t offset, uint8_t* out, size_t len) {
  LARGE_INTEGER at;
  at.QuadPart = static_cast<LONGLONG>(offset);
  DWORD got = 0;
  if (!SetFilePointerEx(file_.get(), at, nullptr, FILE_BEGIN) ||
      !ReadFile(file_.get(), out, static_cast<DWORD>(std::min<size_t>(len, 1 << 20)), &got, nullptr)) {
    return 0;
  }
  return got;
}

WAVEFORMATEX PcmFormat(const mp3::FrameHeader& h) {
  WAVEFORMATEX f{};
  f.wFormatTag = WAVE_FORMAT_PCM;
  f.nChannels = static_cast<WORD>(h.channels);
  f.nSamplesPerSec = static_cast<DWORD>(h.sample_rate);
  f.wBitsPerSample = 16;
  f.nBlockAlign = static_cast<WORD>(2 * h.channels);
  f.nAvgBytesPerSec = f.nSamplesPerSec * f.nBlockAlign;
  return f;
}

std::unique_ptr<Decoder> Decoder::Open(const mp3::FrameHeader& h) {
  MPEGLAYER3WAVEFORMAT in{};
  in.wfx.wFormatTag = WAVE_FORMAT_MPEGLAYER3;
  in.wfx.nChannels = static_cast<WORD>(h.channels);
  in.wfx.nSamplesPerSec = static_cast<DWORD>(h.sample_rate);
  in.wfx.nAvgBytesPerSec = static_cast<DWORD>(h.bitrate_kbps * 1000 / 8);
  in.wfx.nBlockAlign = 1;
  in.wfx.cbSize = MPEGLAYER3_WFX_EXTRA_BYTES;
  in.wID = MPEGLAYER3_ID_MPEG;
  in.fdwFlags = MPEGLAYER3_FLAG_PADDING_ISO;
  in.nBlockSize = static_cast<WORD>(h.frame_bytes);
  in.nFramesPerBlock = 1;
  WAVEFORMATEX out = PcmFormat(h);
  std::unique_ptr<Decoder> d(new Decoder);
  if (acmStreamOpen(&d->stream_, nullptr, &in.wfx, &out, nullptr, 0, 0, ACM_STREAMOPENF_NONREALTIME) != 0) {
    d->stream_ = nullptr;
    return nullptr;
  }
  DWORD out_bytes = 0;
  if (acmStreamSize(d->stream_, kInputBytes, &out_bytes, ACM_STREAMSIZEF_SOURCE) != 0) return nullptr;
  // Room for at least two frames of sound, whatever the codec estimates.
  d->out_.resize(std::max<DWORD>(out_bytes, 2 * 1152 * 4));
  d->header_.cbStruct = sizeof d->header_;
  d->header_.pbSrc = d->in_;
  d->header_.cbSrcLength = kInputBytes;
  d->header_.pbDst = d->out_.data();
  d->header_.cbDstLength = static_cast<DWORD>(d->out_.size());
  if (acmStreamPrepareHeader(d->stream_, &d->header_, 0) != 0) return nullptr;
  d->prepared_ = true;
  return d;
}

Decoder::~Decoder() {
  if (prepared_) {
    header_.cbSrcLength = kInputBytes;
    header_.cbDstLength = static_cast<DWORD>(out_.size());
    acmStreamUnprepareHeader(stream_, &header_, 0);
  }
  if (stream_) acmStreamClose(stream_, 0);
}

void Decoder::Decode(const uint8_t* frame, size_t size, std::vector<uint8_t>* pcm) {
  if (size > kInputBytes) return;
  if (pending_ + size > kInputBytes) pending_ = 0;  // a codec that keeps refusing input
  std::memcpy(in_ + pending_, frame, size);
  pending_ += size;
  Convert(pcm, 0);
}

void Decoder::Convert(std::vector<uint8_t>* pcm, DWORD flags) {
  if (start_) flags |= ACM_STREAMCONVERTF_START;
  start_ = false;
  header_.cbSrcLength = static_cast<DWORD>(pending_);
  header_.cbDstLength = static_cast<DWORD>(out_.size());
  header_.cbSrcLengthUsed = header_.cbDstLengthUsed = 0;
  if (acmStreamConvert(stream_, &header_, flags) != 0) {
    pending_ = 0;
    return;
  }
  size_t used = std::min<size_t>(header_.cbSrcLengthUsed, pending_);
  std::memmove(in_, in_ + used, pending_ - used);
  pending_ -= used;
  pcm->insert(pcm->end(), out_.begin(), out_.begin() + std::min<size_t>(header_.cbDstLengthUsed, out_.size()));
}

}  // namespace platform::win32mp3

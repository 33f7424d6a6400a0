// Prints how fast the MP3 frame reader gets through a clean stream, a stream
// with damage every few frames, and random bytes, in MB/s and frames/s.
#include <chrono>
#include <cstdio>
#include <random>
#include <string>

#include "platform/mp3/frames.h"
#include "platform/mp3/tags.h"

using namespace platform::mp3;

namespace {

constexpr size_t kStreamBytes = 64u << 20;

std::string MakeFrame(int bitrate_index, bool padding, std::mt19937& rng) {
  const unsigned char header[4] = {0xFF, 0xFB, static_cast<unsigned char>((bitrate_index << 4) | (padding ? 2 : 0)),
                                   0x44};
  std::string frame(reinterpret_cast<const char*>(header), 4);
  frame.resize(ParseHeader(header)->frame_bytes);
  for (size_t i = 4; i < frame.size(); ++i) frame[i] = static_cast<char>(rng() % 0xFF);  // no 0xFF: no sync
  return frame;
}

std::string Stream(bool damaged, std::mt19937& rng) {
  std::string s;
  s.reserve(kStreamBytes + 2048);
  for (int n = 0; s.size() < kStreamBytes; ++n) {
    s += MakeFrame(1 + static_cast<int>(rng() % 14), rng() % 2, rng);
    if (damaged && n % 20 == 19) s.append(100 + rng() % 400, static_cast<char>(rng() % 0xFF));
  }
  return s;
}

void Measure(const char* what, const std::string& bytes, size_t buffer) {
  auto start = std::chrono::steady_clock::now();
  MemorySource source(bytes);
  FrameReader reader(source, FindAudio(source), buffer);
  platform::mp3::Frame frame;
  uint64_t frames = 0;
  while (reader.Next(&frame)) ++frames;
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::printf("%-28s %8.1f MB/s %10.0f frames/s  (%llu frames, %llu bytes skipped)\n", what,
              bytes.size() / seconds / 1e6, frames / seconds, static_cast<unsigned long long>(frames),
              static_cast<unsigned long long>(reader.skipped_bytes()));
}

}  // namespace

int main() {
  std::mt19937 rng(7);
  std::string clean = Stream(false, rng);
  std::string damaged = Stream(true, rng);
  std::string noise(kStreamBytes, '\0');
  for (char& c : noise) c = static_cast<char>(rng());
  Measure("clean, 32 KiB buffer", clean, 32 * 1024);
  Measure("clean, 4 KiB buffer", clean, FrameReader::kMinBufferBytes);
  Measure("damage every 20 frames", damaged, 32 * 1024);
  Measure("random bytes", noise, 32 * 1024);
  return 0;
}

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/mp3/frames.h"
#include "platform/mp3/tags.h"

using namespace platform::mp3;

namespace {

struct Format {
  int version_bits;  // 3 = MPEG-1, 2 = MPEG-2, 0 = MPEG-2.5
  int bitrate_index;
  int rate_index;
  bool mono;
  bool padding = false;
};

std::string Header(const Format& f) {
  std::string h(4, '\0');
  h[0] = '\xFF';
  h[1] = static_cast<char>(0xE0 | (f.version_bits << 3) | (1 << 1) | 1);  // Layer III, no check word
  h[2] = static_cast<char>((f.bitrate_index << 4) | (f.rate_index << 2) | (f.padding ? 2 : 0));
  h[3] = static_cast<char>(f.mono ? 0xC0 : 0x40);
  return h;
}

int FrameBytes(const Format& f) {
  auto h = ParseHeader(reinterpret_cast<const uint8_t*>(Header(f).data()));
  return h ? h->frame_bytes : 0;
}

// A frame of the format: its header, then a byte pattern that holds no 0xFF,
// so no sync can appear inside it.
std::string MakeFrame(const Format& f, char fill = 0x11) {
  std::string frame = Header(f);
  frame.resize(FrameBytes(f), fill);
  return frame;
}

std::string Repeat(const std::string& s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i) out += s;
  return out;
}

std::string SyncSafe(uint32_t n) {
  return {static_cast<char>((n >> 21) & 0x7F), static_cast<char>((n >> 14) & 0x7F),
          static_cast<char>((n >> 7) & 0x7F), static_cast<char>(n & 0x7F)};
}

std::string Id3v2(const std::string& body, int major = 3, int flags = 0) {
  std::string tag = std::string("ID3") + static_cast<char>(major) + '\0' + static_cast<char>(flags) +
                    SyncSafe(static_cast<uint32_t>(body.size())) + body;
  if (flags & 0x10) tag += std::string("3DI") + static_cast<char>(major) + '\0' + static_cast<char>(flags) +
                           SyncSafe(static_cast<uint32_t>(body.size()));
  return tag;
}

std::string Le32(uint32_t n) {
  return {static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16), static_cast<char>(n >> 24)};
}

std::string ApeTag(const std::string& items, bool with_header) {
  auto block = [&](uint32_t flags) {
    return std::string("APETAGEX") + Le32(2000) + Le32(static_cast<uint32_t>(items.size() + 32)) + Le32(1) +
           Le32(flags) + std::string(8, '\0');
  };
  uint32_t has_header = with_header ? 1u << 31 : 0;
  return (with_header ? block(has_header | 1u << 29) : "") + items + block(has_header);
}

std::string Id3v1() { return "TAG" + std::string(125, 'x'); }

const Format kStereo44{3, 9, 0, false};   // MPEG-1 128 kbit/s 44.1 kHz: 417 bytes
const Format kMono22{2, 8, 0, true};      // MPEG-2 64 kbit/s 22.05 kHz: 208 bytes

struct Read {
  std::vector<uint64_t> offsets;
  std::vector<bool> info;
  std::vector<int> rates;
  uint64_t skipped = 0;
};

// Reads every frame, checking that each lies inside the audio, follows the
// previous one and carries the source's own bytes.
Read ReadAll(ByteSource& source, const std::string& bytes, size_t buffer = 32 * 1024) {
  AudioSpan span = FindAudio(source);
  FrameReader reader(source, span, buffer);
  Read r;
  Frame f;
  uint64_t last_end = span.begin;
  while (reader.Next(&f)) {
    EXPECT_GE(f.offset, last_end);
    EXPECT_LE(f.offset + f.header.frame_bytes, span.end);
    EXPECT_EQ(std::memcmp(f.data, bytes.data() + f.offset, f.header.frame_bytes), 0) << "at " << f.offset;
    last_end = f.offset + f.header.frame_bytes;
    r.offsets.push_back(f.offset);
    r.info.push_back(f.info);
    r.rates.push_back(f.header.sample_rate);
    if (r.offsets.size() > bytes.size()) break;  // cannot happen unless the reader loops
  }
  EXPECT_FALSE(reader.Next(&f));  // the end stays the end
  r.skipped = reader.skipped_bytes();
  return r;
}

Read ReadAll(const std::string& bytes, size_t buffer = 32 * 1024) {
  MemorySource source(bytes);
  return ReadAll(source, bytes, buffer);
}

std::vector<uint64_t> Offsets(uint64_t start, int step, int n) {
  std::vector<uint64_t> v;
  for (int i = 0; i < n; ++i) v.push_back(start + uint64_t(step) * i);
  return v;
}

}  // namespace

TEST(Mp3Header, ParsesLayerThreeHeaders) {
  struct Case {
    const char* bytes;
    Version version;
    int kbps, rate, channels, frame_bytes, samples;
  } cases[] = {
      {"\xFF\xFB\x90\x64", Version::kMpeg1, 128, 44100, 2, 417, 1152},  // joint stereo
      {"\xFF\xFB\x92\x64", Version::kMpeg1, 128, 44100, 2, 418, 1152},  // padded
      {"\xFF\xFA\xEA\xC4", Version::kMpeg1, 320, 32000, 1, 1441, 1152},  // with check word, padded
      {"\xFF\xF3\x80\xC4", Version::kMpeg2, 64, 22050, 1, 208, 576},
      {"\xFF\xF3\x14\x44", Version::kMpeg2, 8, 24000, 2, 24, 576},
      {"\xFF\xE3\xE8\xC4", Version::kMpeg25, 160, 8000, 1, 1440, 576},
      {"\xFF\xE3\x90\x44", Version::kMpeg25, 80, 11025, 2, 522, 576},
  };
  for (const Case& c : cases) {
    auto h = ParseHeader(reinterpret_cast<const uint8_t*>(c.bytes));
    ASSERT_TRUE(h) << c.kbps << " kbit/s";
    EXPECT_EQ(h->version, c.version);
    EXPECT_EQ(h->bitrate_kbps, c.kbps);
    EXPECT_EQ(h->sample_rate, c.rate);
    EXPECT_EQ(h->channels, c.channels);
    EXPECT_EQ(h->frame_bytes, c.frame_bytes) << c.kbps << " kbit/s at " << c.rate;
    EXPECT_EQ(h->samples, c.samples);
  }
}

TEST(Mp3Header, RejectsWhatIsNotLayerThree) {
  const char* cases[] = {
      "\xFE\xFB\x90\x64",  // no sync
      "\xFF\xFD\x90\x64",  // Layer II
      "\xFF\xEB\x90\x64",  // reserved version
      "\xFF\xFB\x00\x64",  // free format
      "\xFF\xFB\xF0\x64",  // bit rate index 15
      "\xFF\xFB\x9C\x64",  // reserved sample rate
      "\xFF\xFB\x90\x66",  // reserved emphasis
  };
  for (const char* c : cases) EXPECT_FALSE(ParseHeader(reinterpret_cast<const uint8_t*>(c))) << c;
}

TEST(Mp3Tags, FindsAudioBetweenTags) {
  const std::string audio = Repeat(MakeFrame(kStereo44), 3);
  const std::string ape_items(40, 'i');
  struct Case {
    const char* what;
    std::string before, after;
  } cases[] = {
      {"none", "", ""},
      {"ID3v2.3", Id3v2("cover art"), ""},
      {"ID3v2.4 with footer", Id3v2("body", 4, 0x10), ""},
      {"two ID3v2 tags", Id3v2("a") + Id3v2(std::string(300, 'b')), ""},
      {"ID3v1", "", Id3v1()},
      {"APE without header", "", ApeTag(ape_items, false)},
      {"APE with header, then ID3v1", "", ApeTag(ape_items, true) + Id3v1()},
      {"appended ID3v2", "", Id3v2("late", 4, 0x10)},
      {"all of them", Id3v2("x"), ApeTag(ape_items, true) + Id3v1()},
  };
  for (const Case& c : cases) {
    std::string file = c.before + audio + c.after;
    MemorySource source(file);
    AudioSpan span = FindAudio(source);
    EXPECT_EQ(span.begin, c.before.size()) << c.what;
    EXPECT_EQ(span.end, c.before.size() + audio.size()) << c.what;
  }
}

TEST(Mp3Tags, MalformedTagsNeverLeaveTheFile) {
  const std::string audio = Repeat(MakeFrame(kStereo44), 2);
  // A tag that claims more than the file holds leaves no audio at all.
  std::string oversized = std::string("ID3\x03\x00\x00\x7F\x7F\x7F\x7F", 10) + audio;
  MemorySource a(oversized);
  EXPECT_EQ(FindAudio(a).begin, FindAudio(a).end);
  // A size byte with its top bit set is no ID3v2 header.
  std::string not_sync_safe = std::string("ID3\x03\x00\x00\x00\x00\x80\x00", 10) + audio;
  MemorySource b(not_sync_safe);
  EXPECT_EQ(FindAudio(b).begin, 0u);
  // An APE footer whose size exceeds the audio before it is left alone.
  std::string ape = audio + "APETAGEX" + Le32(2000) + Le32(1u << 30) + Le32(0) + Le32(0) + std::string(8, '\0');
  MemorySource c(ape);
  EXPECT_EQ(FindAudio(c).end, ape.size());
  for (const std::string& tiny : {std::string(), std::string("ID3"), std::string("TAG")}) {
    MemorySource t(tiny);
    AudioSpan span = FindAudio(t);
    EXPECT_LE(span.begin, span.end);
    EXPECT_LE(span.end, tiny.size());
  }
}

TEST(Mp3Reader, ReadsCleanStreamsOfEveryVersion) {
  const Format formats[] = {kStereo44, kMono22, {0, 5, 2, true}, {3, 14, 1, false, true}};
  for (const Format& f : formats) {
    std::string stream = Repeat(MakeFrame(f), 5);
    Read r = ReadAll(stream);
    EXPECT_EQ(r.offsets, Offsets(0, FrameBytes(f), 5)) << f.version_bits;
    EXPECT_EQ(r.skipped, 0u);
  }
  // One frame that ends the file needs no following header to be trusted.
  EXPECT_EQ(ReadAll(MakeFrame(kMono22)).offsets.size(), 1u);
}

TEST(Mp3Reader, FollowsBitRateChangesAndFormatChanges) {
  std::string vbr;
  std::vector<uint64_t> expected;
  for (int i : {9, 14, 1, 5, 11}) {
    expected.push_back(vbr.size());
    vbr += MakeFrame({3, i, 0, false, i % 2 == 1});
  }
  EXPECT_EQ(ReadAll(vbr).offsets, expected);

  // A stream joined from two files of different rate and channels.
  std::string joined = Repeat(MakeFrame(kStereo44), 3) + Repeat(MakeFrame(kMono22), 3);
  Read r = ReadAll(joined);
  EXPECT_EQ(r.rates, (std::vector<int>{44100, 44100, 44100, 22050, 22050, 22050}));
  EXPECT_EQ(r.skipped, 0u);
}

TEST(Mp3Reader, NeverSyncsInsideALeadingTag) {
  // Cover art that happens to be full of valid, chained frame headers.
  std::string art = Repeat(MakeFrame(kMono22, 0x22), 400);
  std::string file = Id3v2(art) + Repeat(MakeFrame(kStereo44), 4) + Id3v1();
  Read r = ReadAll(file);
  EXPECT_EQ(r.offsets, Offsets(10 + art.size(), FrameBytes(kStereo44), 4));
}

TEST(Mp3Reader, MarksXingInfoAndVbriFrames) {
  auto tagged = [](const Format& f, size_t at, const char* tag) {
    std::string frame = MakeFrame(f);
    frame.replace(at, 4, tag);
    return frame;
  };
  struct Case {
    Format format;
    size_t at;
    const char* tag;
  } cases[] = {
      {kStereo44, 36, "Xing"}, {kStereo44, 36, "Info"}, {{3, 9, 0, true}, 21, "Xing"},
      {kMono22, 13, "Info"},   {kStereo44, 36, "VBRI"}, {{2, 8, 0, false}, 21, "Xing"},
  };
  for (const Case& c : cases) {
    std::string stream = tagged(c.format, c.at, c.tag) + Repeat(MakeFrame(c.format), 2);
    EXPECT_EQ(ReadAll(stream).info, (std::vector<bool>{true, false, false})) << c.tag << " at " << c.at;
  }
  // The tag in the wrong place is sound.
  std::string misplaced = tagged(kStereo44, 40, "Xing") + MakeFrame(kStereo44);
  EXPECT_EQ(ReadAll(misplaced).info, (std::vector<bool>{false, false}));
}

TEST(Mp3Reader, SkipsJunkAndUnconfirmedSyncs) {
  const std::string frame = MakeFrame(kStereo44);
  // Junk, then a lone header whose successor does not match, then the stream.
  std::string junk = "junk" + std::string("\xFF\xFB\x90\x64", 4) + std::string(50, '\0');
  Read r = ReadAll(junk + Repeat(frame, 3));
  EXPECT_EQ(r.offsets, Offsets(junk.size(), frame.size(), 3));
  EXPECT_EQ(r.skipped, junk.size());
}

TEST(Mp3Reader, ResyncsAfterDamageAndStopsAtTruncation) {
  const std::string frame = MakeFrame(kStereo44);
  const int n = frame.size();
  std::string damaged = Repeat(frame, 8);
  damaged[2 * n] = 0x00;            // third frame's header
  damaged.insert(5 * n, "garbage");  // between the fifth and sixth
  Read r = ReadAll(damaged);
  const uint64_t m = n;
  EXPECT_EQ(r.offsets, (std::vector<uint64_t>{0, m, 3 * m, 4 * m, 5 * m + 7, 6 * m + 7, 7 * m + 7}));

  std::string cut = Repeat(frame, 4);
  for (size_t keep : {cut.size() - 1, cut.size() - n / 2, cut.size() - n + 3}) {
    EXPECT_EQ(ReadAll(cut.substr(0, keep)).offsets, Offsets(0, n, 3)) << keep;
  }
}

namespace {

// Hands out at most a few bytes per read, and none after `fail_at`.
class TrickleSource : public ByteSource {
 public:
  TrickleSource(const std::string& bytes, size_t step, uint64_t fail_at) : inner_(bytes), step_(step), fail_at_(fail_at) {}
  uint64_t Size() const override { return inner_.Size(); }
  size_t ReadAt(uint64_t offset, uint8_t* out, size_t len) override {
    if (offset >= fail_at_) return 0;
    return inner_.ReadAt(offset, out, std::min<uint64_t>({len, step_, fail_at_ - offset}));
  }

 private:
  MemorySource inner_;
  size_t step_;
  uint64_t fail_at_;
};

// A random stream: frames of several formats, damaged bytes, junk, tags.
std::string RandomStream(std::mt19937& rng) {
  auto pick = [&](int n) { return static_cast<int>(rng() % n); };
  std::string s;
  if (pick(3) == 0) s += Id3v2(std::string(pick(3000), '\xFF'));
  const Format formats[] = {kStereo44, kMono22, {0, 7, 1, false, true}, {3, 14, 2, true}};
  int parts = 1 + pick(40);
  for (int i = 0; i < parts; ++i) {
    if (pick(8) == 0) {
      for (int j = pick(200); j > 0; --j) s += static_cast<char>(rng());
    } else {
      Format f = formats[pick(4)];
      f.bitrate_index = 1 + pick(14);
      s += MakeFrame(f, static_cast<char>(pick(0xFF)));
    }
  }
  for (int flips = pick(6); flips > 0 && !s.empty(); --flips) s[rng() % s.size()] = static_cast<char>(rng());
  if (pick(3) == 0) s += Id3v1();
  if (pick(4) == 0 && !s.empty()) s.resize(rng() % s.size());
  return s;
}

}  // namespace

// Frames whose bytes hold false syncs: random bytes, and now and then a valid
// header of another format.
std::string NoisyStream(std::mt19937& rng, const Format& f, int frames) {
  std::string s;
  for (int i = 0; i < frames; ++i) {
    std::string frame = MakeFrame(f);
    for (size_t j = 4; j < frame.size(); ++j) frame[j] = static_cast<char>(rng());
    for (size_t at = 4; at + 4 <= frame.size(); at += 4 + rng() % 60) frame.replace(at, 4, Header(kMono22));
    s += frame;
  }
  return s;
}

TEST(Mp3Reader, ACutLastFrameEndsTheStream) {
  // A 48 kHz frame, then a header of the same stream whose 960-byte frame runs
  // past the end, and inside that a 22 kHz mono header whose 104-byte frame
  // ends exactly at the end of the file.
  std::string file = MakeFrame({3, 5, 1, false}) + Header({3, 14, 1, false});
  file += MakeFrame({2, 4, 0, true});
  ASSERT_EQ(file.size(), 300u);
  EXPECT_EQ(ReadAll(file).offsets, (std::vector<uint64_t>{0}));

  std::mt19937 rng(11);
  const Format formats[] = {kStereo44, {3, 14, 1, false}, kMono22};
  for (const Format& f : formats) {
    const int n = FrameBytes(f);
    const std::string stream = NoisyStream(rng, f, 4);
    ASSERT_EQ(ReadAll(stream).offsets, Offsets(0, n, 4));
    for (size_t keep = 3 * n; keep < stream.size(); ++keep) {
      std::string cut = stream.substr(0, keep);
      ASSERT_EQ(ReadAll(cut).offsets, Offsets(0, n, 3)) << "cut at " << keep;
      // A read error inside the last frame ends the stream the same way.
      TrickleSource failing(stream, 1 + rng() % 700, keep);
      ASSERT_EQ(ReadAll(failing, stream, FrameReader::kMinBufferBytes).offsets, Offsets(0, n, 3)) << "failed at " << keep;
    }
  }
}

TEST(Mp3Reader, SurvivesRandomBytesAndGivesTheSameFramesAtAnyReadSize) {
  std::mt19937 rng(20240611);
  for (int round = 0; round < 400; ++round) {
    std::string bytes = RandomStream(rng);
    if (round % 4 == 0) {
      bytes.assign(rng() % 20000, '\0');
      for (char& c : bytes) c = static_cast<char>(rng());
    }
    Read whole = ReadAll(bytes);
    TrickleSource trickle(bytes, 1 + rng() % 13, bytes.size());
    Read small = ReadAll(trickle, bytes, FrameReader::kMinBufferBytes);
    EXPECT_EQ(whole.offsets, small.offsets) << "round " << round;
    // A source that stops giving bytes ends the stream early: the frames
    // before are the whole read's, and none come after.
    TrickleSource failing(bytes, 4096, bytes.size() / 2);
    Read cut = ReadAll(failing, bytes, FrameReader::kMinBufferBytes);
    ASSERT_LE(cut.offsets.size(), whole.offsets.size());
    EXPECT_TRUE(std::equal(cut.offsets.begin(), cut.offsets.end(), whole.offsets.begin())) << "round " << round;
  }
}

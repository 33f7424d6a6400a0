// The engine's skin reader over the 33 skins the build makes and over
// damaged, short and foreign images.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "skin/skin_format.h"

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadFile(int number) {
  char name[16];
  std::snprintf(name, sizeof name, "/%02d.she", number);
  std::ifstream in(std::string(ZV_SKIN_DIR) + name, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), {});
}

skin::ReadResult Read(const Bytes& b, skin::Skin* out = nullptr) {
  skin::Skin s;
  // A buffer of exactly the image's size, so any read past it shows.
  std::vector<uint8_t> exact(b);
  const auto r = skin::ReadSkin(exact.empty() ? nullptr : exact.data(), exact.size(), s);
  if (out && r == skin::ReadResult::Ok) *out = s;
  return r;
}

// A well-formed image around `body`.
Bytes Wrap(const Bytes& body, uint16_t version = skin::kVersion) {
  Bytes b{'.', 'S', 'H', 'E', static_cast<uint8_t>(version), static_cast<uint8_t>(version >> 8), 16, 0};
  auto u32 = [&](uint32_t v) {
    for (int i = 0; i < 4; ++i) b.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  u32(static_cast<uint32_t>(body.size()));
  u32(skin::Crc32(body.data(), body.size()));
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

Bytes Body(const std::string& name, int colours, int metrics, uint32_t colour = 0x00123456) {
  Bytes b{static_cast<uint8_t>(name.size())};
  b.insert(b.end(), name.begin(), name.end());
  b.push_back(static_cast<uint8_t>(colours));
  b.push_back(static_cast<uint8_t>(colours >> 8));
  for (int i = 0; i < colours; ++i)
    for (int k = 0; k < 4; ++k) b.push_back(static_cast<uint8_t>(colour >> (8 * k)));
  b.push_back(static_cast<uint8_t>(metrics));
  for (int i = 0; i < metrics; ++i) b.push_back(static_cast<uint8_t>(i + 1));
  return b;
}

TEST(SkinFormat, ReadsEachOfThe33SkinsAsADistinctScheme) {
  std::set<std::string> names;
  std::set<std::vector<uint32_t>> schemes;
  for (int n = 1; n <= 33; ++n) {
    SCOPED_TRACE(n);
    const Bytes image = ReadFile(n);
    ASSERT_GT(image.size(), 16u);
    EXPECT_EQ(std::memcmp(image.data(), ".SHE", 4), 0);
    skin::Skin s{};
    ASSERT_EQ(Read(image, &s), skin::ReadResult::Ok);
    names.insert(s.name);
    schemes.insert(std::vector<uint32_t>(std::begin(s.colours), std::end(s.colours)));
    // Readable push buttons: the text stands out from the face.
    const uint32_t face = s.colours[skin::kButtonBottom], text = s.colours[skin::kButtonText];
    EXPECT_GT(std::abs(static_cast<int>(face & 0xFF) - static_cast<int>(text & 0xFF)), 100);
  }
  EXPECT_EQ(names.size(), 33u);
  EXPECT_EQ(schemes.size(), 33u);
}

TEST(SkinFormat, RefusesEveryTruncationAndEveryFlippedByte) {
  const Bytes image = ReadFile(6);
  ASSERT_EQ(Read(image), skin::ReadResult::Ok);
  for (size_t length = 0; length < image.size(); ++length)
    EXPECT_NE(Read(Bytes(image.begin(), image.begin() + length)), skin::ReadResult::Ok) << "length " << length;
  for (size_t i = 0; i < image.size(); ++i) {
    Bytes damaged = image;
    damaged[i] ^= 0x5A;
    EXPECT_NE(Read(damaged), skin::ReadResult::Ok) << "byte " << i;
  }
}

TEST(SkinFormat, TellsWhyAnImageIsRefused) {
  using R = skin::ReadResult;
  const Bytes good = Body("Test", skin::kColourCount, skin::kMetricCount);
  Bytes extra = good;
  extra.push_back(0);
  const Bytes wrapped = Wrap(good);
  const Bytes header(wrapped.begin(), wrapped.begin() + 16);
  Bytes foreign = Wrap(good);
  foreign[1] = 'Z';
  Bytes longer = Wrap(good);
  longer.push_back(0);  // bytes after the body are not the image's
  const struct {
    const char* what;
    Bytes image;
    R expected;
  } cases[] = {
      {"well formed", Wrap(good), R::Ok},
      {"trailing bytes outside the body", longer, R::Ok},
      {"more colours and metrics than known", Wrap(Body("Test", skin::kColourCount + 3, skin::kMetricCount + 2)), R::Ok},
      {"empty", {}, R::Short},
      {"header only", header, R::Short},
      {"foreign magic", foreign, R::Foreign},
      {"a picture file", Bytes{0x89, 'P', 'N', 'G', 13, 10, 26, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0}, R::Foreign},
      {"later version", Wrap(good, 2), R::Version},
      {"too few colours", Wrap(Body("Test", skin::kColourCount - 1, skin::kMetricCount)), R::Malformed},
      {"too few metrics", Wrap(Body("Test", skin::kColourCount, skin::kMetricCount - 1)), R::Malformed},
      {"colour with a top byte", Wrap(Body("Test", skin::kColourCount, skin::kMetricCount, 0x01000000)), R::Malformed},
      {"name too long", Wrap(Body(std::string(skin::kMaxName + 1, 'n'), skin::kColourCount, skin::kMetricCount)),
       R::Malformed},
      {"name with a control character", Wrap(Body("a\tb", skin::kColourCount, skin::kMetricCount)), R::Malformed},
      {"bytes after the metrics", Wrap(extra), R::Malformed},
  };
  for (const auto& c : cases) EXPECT_EQ(Read(c.image), c.expected) << c.what;
}

TEST(SkinFormat, KeepsTheColoursAndMetricsItRead) {
  skin::Skin s{};
  ASSERT_EQ(Read(Wrap(Body("Name", skin::kColourCount, skin::kMetricCount, 0x00ABCDEF)), &s), skin::ReadResult::Ok);
  EXPECT_STREQ(s.name, "Name");
  EXPECT_EQ(s.colours[skin::kWindowBack], 0x00ABCDEFu);
  EXPECT_EQ(s.metrics[skin::kCaptionGloss], 2);
}

}  // namespace

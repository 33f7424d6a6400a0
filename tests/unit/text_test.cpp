#include "frame/text.h"

#include <gtest/gtest.h>

namespace {

using frame::Text;

// GBK characters whose trail byte is 0x5C, the backslash.
constexpr char kCheng[] = "\xD5\x5C";  // 誠
constexpr char kYun[] = "\xDF\x5C";    // 運
constexpr std::string_view kAbsent{};  // no bytes at all, not even a zero

TEST(Text, LiteralsAreCompiledToGbkBytes) {
  EXPECT_EQ(Text("誠"), kCheng);
  EXPECT_EQ(Text("運"), kYun);
  EXPECT_EQ(Text("信息："), "\xD0\xC5\xCF\xA2\xA3\xBA");
}

TEST(Text, CompareIsBytewiseOnUnsignedBytes) {
  struct Case {
    const char* a;
    const char* b;
    int expected;
  };
  const Case cases[] = {
      {nullptr, "", 0},          // absent equals empty
      {nullptr, nullptr, 0},
      {"", "a", -1},
      {"abc", "abc", 0},
      {"a", "b", -1},
      {"ab", "a", 1},            // a prefix sorts first
      {"A", "a", -1},            // no case folding
      {"\x80", "\x7F", 1},       // high bytes are above ASCII, not negative
      {"\xFF", "\x01", 1},
      {"测试", "测", 1},
      {"测试", "测验", -1},     // 试 CA D4 before 验 D1 E9
      {kCheng, "\xD5\x5D", -1},
  };
  for (const Case& c : cases) {
    const Text a = frame::FromC(c.a), b = frame::FromC(c.b);
    EXPECT_EQ(frame::Compare(a, b), c.expected) << "'" << a << "' vs '" << b << "'";
    EXPECT_EQ(frame::Compare(b, a), -c.expected) << "'" << b << "' vs '" << a << "'";
  }
}

TEST(Text, ConcatJoinsAllPartsAndAbsentOnesAddNothing) {
  EXPECT_EQ(frame::Concat({kAbsent}), "");
  EXPECT_EQ(frame::Concat({"", kAbsent, ""}), "");
  EXPECT_EQ(frame::Concat({"信息", kAbsent, "：", ""}), "信息：");
  EXPECT_EQ(frame::Concat({"C:\\dir", "\\", kCheng, ".mp3"}), "C:\\dir\\\xD5\x5C.mp3");
}

TEST(Text, TextFromBytesStopsAtTheFirstZeroByte) {
  using namespace std::string_view_literals;
  EXPECT_EQ(frame::TextFromBytes("abc\0def"sv), "abc");
  EXPECT_EQ(frame::TextFromBytes("\0abc"sv), "");
  EXPECT_EQ(frame::TextFromBytes("测试"sv), "测试");
  EXPECT_EQ(frame::TextFromBytes(""sv), "");
}

TEST(Text, FolderOfCutsAtTheLastRealBackslash) {
  struct Case {
    std::string path;
    std::string folder;
  };
  const Case cases[] = {
      {"C:\\Prog.exe", "C:"},
      {"C:\\a\\b\\Prog.exe", "C:\\a\\b"},
      {"\\\\server\\share\\Prog.exe", "\\\\server\\share"},
      {"C:\\dir\\", "C:\\dir"},
      {"Prog.exe", ""},
      {"", ""},
      {"C:\\音乐\\Prog.exe", "C:\\音乐"},
      // A trail byte 0x5C is part of its character, never a separator.
      {std::string("C:\\") + kCheng + "\\Prog.exe", std::string("C:\\") + kCheng},
      {std::string("C:\\dir\\") + kCheng + ".exe", "C:\\dir"},
      {std::string("C:\\") + kYun + kCheng, "C:"},
      {std::string("C:\\") + kCheng + "\\" + kYun + ".exe", std::string("C:\\") + kCheng},
      {std::string(kCheng) + kYun, ""},
      // 0x80 and 0xFF are single bytes in code page 936, so the next byte stands alone.
      {"C:\\x\x80\\y.exe", "C:\\x\x80"},
      {"C:\\x\xFF\\y.exe", "C:\\x\xFF"},
      // A lead byte at the very end has no trail to swallow.
      {"C:\\a\\\xD5", "C:\\a"},
  };
  for (const Case& c : cases) EXPECT_EQ(frame::FolderOf(c.path), c.folder) << "path " << c.path;
}

}  // namespace

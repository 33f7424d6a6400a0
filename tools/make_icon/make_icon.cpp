// Writes the programs' icon file from the program picture, at every size
// Windows asks for: 32-bit bitmaps up to 64 pixels, a PNG at 256.
//   make_icon OUT.ico      the icon file, for the resource compiler
//   make_icon --raw SIZE   the picture's pixels at SIZE x SIZE, rows top to
//                          bottom, bytes B G R A (as tests compare them)
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/pictures/program_picture.h"

namespace {

constexpr int kSizes[] = {16, 20, 24, 32, 40, 48, 64, 256};

void Put16(std::string& out, unsigned v) { out += {char(v & 0xFF), char(v >> 8 & 0xFF)}; }
void Put32(std::string& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}
void Put32Big(std::string& out, uint32_t v) { out += {char(v >> 24), char(v >> 16 & 0xFF), char(v >> 8 & 0xFF), char(v & 0xFF)}; }

std::string Bgra(const pictures::Pixels& p, int y) {
  std::string row;
  for (int x = 0; x < p.w; ++x) Put32(row, p.At(x, y));  // little-endian 0xAARRGGBB is B G R A
  return row;
}

// An icon image as a bitmap: the header says twice the height (colour
// rows, then the AND mask), rows run bottom to top.
std::string BitmapImage(const pictures::Pixels& p) {
  const int maskRow = (p.w + 31) / 32 * 4;
  std::string out;
  Put32(out, 40);
  Put32(out, p.w);
  Put32(out, p.h * 2);
  Put16(out, 1);
  Put16(out, 32);
  Put32(out, 0);
  Put32(out, p.w * p.h * 4 + maskRow * p.h);
  for (int i = 0; i < 4; ++i) Put32(out, 0);
  for (int y = p.h; y-- > 0;) out += Bgra(p, y);
  out.append(static_cast<size_t>(maskRow) * p.h, '\0');  // every pixel opaque
  return out;
}

void PngChunk(std::string& out, const char* type, const std::string& data) {
  Put32Big(out, data.size());
  const std::string body = type + data;
  out += body;
  Put32Big(out, crc32(0, reinterpret_cast<const Bytef*>(body.data()), body.size()));
}

std::string PngImage(const pictures::Pixels& p) {
  std::string raw;
  for (int y = 0; y < p.h; ++y) {
    raw += '\0';  // no filter
    for (int x = 0; x < p.w; ++x) {
      const uint32_t c = p.At(x, y);
      raw += {char(c >> 16 & 0xFF), char(c >> 8 & 0xFF), char(c & 0xFF), char(c >> 24)};
    }
  }
  uLongf size = compressBound(raw.size());
  std::string packed(size, '\0');
  if (compress2(reinterpret_cast<Bytef*>(packed.data()), &size, reinterpret_cast<const Bytef*>(raw.data()),
                raw.size(), 9) != Z_OK)
    return {};
  packed.resize(size);
  std::string header;
  Put32Big(header, p.w);
  Put32Big(header, p.h);
  header += {8, 6, 0, 0, 0};  // 8 bits a channel, RGBA
  std::string out = "\x89PNG\r\n\x1a\n";
  PngChunk(out, "IHDR", header);
  PngChunk(out, "IDAT", packed);
  PngChunk(out, "IEND", "");
  return out;
}

std::string IconFile() {
  std::string directory, images;
  const int count = sizeof(kSizes) / sizeof(kSizes[0]);
  Put16(directory, 0);
  Put16(directory, 1);  // an icon
  Put16(directory, count);
  size_t offset = 6 + 16 * count;
  for (int size : kSizes) {
    const pictures::Pixels p = pictures::DrawProgramPicture(size, size);
    const std::string image = size >= 256 ? PngImage(p) : BitmapImage(p);
    directory += {char(size & 0xFF), char(size & 0xFF), 0, 0};  // 256 is written as 0
    Put16(directory, 1);
    Put16(directory, 32);
    Put32(directory, image.size());
    Put32(directory, offset);
    offset += image.size();
    images += image;
  }
  return directory + images;
}

bool Write(FILE* f, const std::string& bytes) { return fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size(); }

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--raw") == 0) {
    const int size = std::atoi(argv[2]);
    const pictures::Pixels p = pictures::DrawProgramPicture(size, size);
    std::string bytes;
    for (int y = 0; y < p.h; ++y) bytes += Bgra(p, y);
    return Write(stdout, bytes) ? 0 : 1;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_icon OUT.ico | make_icon --raw SIZE\n");
    return 2;
  }
  FILE* f = std::fopen(argv[1], "wb");
  if (!f || !Write(f, IconFile()) || std::fclose(f) != 0) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}

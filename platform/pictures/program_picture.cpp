#include "platform/pictures/program_picture.h"

#include <algorithm>

namespace pictures {
namespace {

// The note, in a 48 x 48 design grid.
struct Point {
  double x, y;
};
constexpr Point kFlag[] = {{25, 8}, {37, 16}, {37, 22}, {25, 15}};

bool InPolygon(Point p, const Point* v, int n) {
  bool inside = false;
  for (int i = 0, j = n - 1; i < n; j = i++) {
    if ((v[i].y > p.y) != (v[j].y > p.y) && p.x < (v[j].x - v[i].x) * (p.y - v[i].y) / (v[j].y - v[i].y) + v[i].x)
      inside = !inside;
  }
  return inside;
}

bool InNote(Point p) {
  const double ex = (p.x - 17) / 7, ey = (p.y - 35) / 5;  // the head
  if (ex * ex + ey * ey <= 1) return true;
  if (p.x >= 21 && p.x < 25 && p.y >= 8 && p.y < 35) return true;  // the stem
  return InPolygon(p, kFlag, 4);
}

// The share of the pixel (x, y) of a w x h picture that the note covers,
// sampled on a 4 x 4 grid: 0 to 16.
int Coverage(int x, int y, int w, int h) {
  int hits = 0;
  for (int sy = 0; sy < 4; ++sy)
    for (int sx = 0; sx < 4; ++sx)
      hits += InNote({(x + (sx + 0.5) / 4) * 48 / w, (y + (sy + 0.5) / 4) * 48 / h});
  return hits;
}

uint32_t Mix(int back, int cover) { return static_cast<uint32_t>((back * (16 - cover) + 255 * cover + 8) / 16); }

}  // namespace

Pixels DrawProgramPicture(int w, int h) {
  Pixels p;
  p.w = std::max(w, 0);
  p.h = std::max(h, 0);
  p.argb.resize(static_cast<size_t>(p.w) * p.h);
  for (int y = 0; y < p.h; ++y) {
    const int t = p.h > 1 ? y * 255 / (p.h - 1) : 0;
    const int r = 0x90 - t * 0x60 / 255, g = t * 0x50 / 255, b = 0xFF;
    for (int x = 0; x < p.w; ++x) {
      const int c = Coverage(x, y, p.w, p.h);
      p.argb[static_cast<size_t>(y) * p.w + x] = 0xFF000000u | Mix(r, c) << 16 | Mix(g, c) << 8 | Mix(b, c);
    }
  }
  return p;
}

}  // namespace pictures

// The program picture, drawn into a pixel buffer of any size: the one source
// of the programs' window icons, their picture boxes and their icon resource.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace pictures {

// Rows top to bottom, each pixel 0xAARRGGBB.
struct Pixels {
  int w = 0, h = 0;
  std::vector<uint32_t> argb;
  uint32_t At(int x, int y) const { return argb[static_cast<std::size_t>(y) * w + x]; }
};

// A square of violet fading to blue with a white eighth note, scaled to w x h;
// the note's edges are smoothed. Every pixel is opaque.
Pixels DrawProgramPicture(int w, int h);

}  // namespace pictures

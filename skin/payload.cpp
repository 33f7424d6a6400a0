#include "skin/payload.h"

#include <array>

// payload.S, made by the build: the engine's bytes and each skin between a
// start and an end label, and a table of those labels.
extern "C" const char zv_skin_library[];
extern "C" const char zv_skin_library_end[];
extern "C" const char* const zv_skin_images[];  // start and end of skin 1, then of skin 2, ...

namespace skin {

frame::SkinPayload Payload() {
  static const std::array<std::string_view, 33> images = [] {
    std::array<std::string_view, 33> a;
    for (size_t i = 0; i < a.size(); ++i)
      a[i] = std::string_view(zv_skin_images[2 * i], zv_skin_images[2 * i + 1] - zv_skin_images[2 * i]);
    return a;
  }();
  return {std::string_view(zv_skin_library, zv_skin_library_end - zv_skin_library), images};
}

}  // namespace skin

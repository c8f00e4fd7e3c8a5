#include "resources/icons/tray_icon_art.h"

#include <cstddef>

namespace unw {

IconImage RenderTrayIcon(int set, int element, int size) {
  static const int kSizes[5] = {9, 49, 9, 16, 4};
  IconImage img;
  if (set < 0 || set > 4 || element < 0 || element >= kSizes[set] || size <= 0) return img;
  img.size = size;
  img.pixels.assign(static_cast<std::size_t>(size) * size,
                    0xFF000000u | (set * 0x303030u) | static_cast<uint32_t>(element * 5));
  return img;
}

}  // namespace unw

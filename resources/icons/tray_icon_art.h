// The pictures of the five tray icon sets, drawn by code at any size so they
// stay crisp on high-DPI trays.
#pragma once

#include <cstdint>
#include <vector>

namespace unw {

struct IconImage {
  int size = 0;                  // width and height in pixels
  std::vector<uint32_t> pixels;  // 0xAARRGGBB, straight alpha, rows from the top
};

// Picture `element` of set `set` (0 clock, 1 modem, 2 moon, 3 water tank, 4 traffic
// lights) at `size` x `size` pixels; an empty image when there is no such picture.
IconImage RenderTrayIcon(int set, int element, int size);

}  // namespace unw

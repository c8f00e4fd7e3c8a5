// A rectangle of the screen, in pixels.
#pragma once

namespace unw {

struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const ScreenRect&) const = default;
};

}  // namespace unw

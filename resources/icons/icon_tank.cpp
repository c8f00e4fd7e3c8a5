// Set 3, "Rainwater Tank": a corrugated tank with a conical roof under falling
// rain, cut open to show the water; 0 empty, 1-14 filling step by step, 15
// (the alert) full to the brim and running over.
#include "resources/icons/icon_sets.h"

namespace unw::art {
namespace {

constexpr uint32_t kAir = 0xFFDCE5EC;      // the empty part of the tank
constexpr uint32_t kLid = 0xFF9AA8B6;      // the roof
constexpr uint32_t kSurface = 0xFF8CCBFF;  // the top of the water
constexpr uint32_t kRain = 0xFF3A8EEA;     // falling drops, never exactly kTankWater

// A raindrop whose round bottom has centre (cx, cy) and radius r, pointed upwards.
bool InDrop(double x, double y, double cx, double cy, double r) {
  if (InEllipse(x, y, cx, cy, r, r)) return true;
  const double tip = cy - 2.4 * r;
  if (y < tip || y > cy) return false;
  const double half = r * (y - tip) / (cy - tip);  // widens linearly down to the circle
  return x >= cx - half && x <= cx + half;
}

// A drop of height `len` whose bottom is at (cx, bottom).
void Drop(Canvas& c, double cx, double bottom, double len) {
  const double b = c.Border() * 0.75, r = (len - b) / 3.4, cy = bottom - b - r;
  // A drop too small for a blue core of a pixel would be all outline, lost on a
  // dark taskbar: a streak of whole pixels instead.
  if (r < 1) {
    const double w = std::max(1.0, c.S(0.8));
    c.Rect(cx - w / 2, bottom - len, cx + w / 2, bottom, kRain);
    return;
  }
  c.Fill(cx - r - b, bottom - len - b, cx + r + b, bottom, kInk,
         [&](double x, double y) { return InDrop(x, y, cx, cy, r + b); });
  c.Fill(cx - r, bottom - len, cx + r, bottom, kRain,
         [&](double x, double y) { return InDrop(x, y, cx, cy, r); });
}

}  // namespace

void DrawTank(Canvas& c, int element) {
  const bool alert = element == 15;
  const double n = c.size(), b = c.Border();
  const double x0 = c.S(2), x1 = n - x0, y0 = c.S(6), y1 = n;
  const double ix0 = x0 + b, ix1 = x1 - b, iy0 = y0 + b, iy1 = y1 - b;
  const double ir = std::max(0.0, c.P(1.5) - b);

  // Rain: drops one step lower each picture, over the slopes of the roof.
  const double len = std::max(2.0, c.S(2.2));
  const int columns = n < 24 ? 2 : 3;
  for (int i = 0; i < columns; ++i) {
    const double x =
        columns == 2 ? (i == 0 ? c.S(3.5) + 0.5 : n - c.S(3.5) - 0.5) : c.P(3.5 + i * 4.5);
    const double fall = (columns == 2 ? c.S(4.5) : c.P(i == 1 ? 3.2 : 4.5)) - len;
    const int k = (element + (i == 1 ? 2 : i == 2 ? 1 : 0)) % 3;
    Drop(c, x, len + std::round(fall * k / 2.0), len);
  }

  if (alert) {  // water running over the rim and down both sides
    const double w = std::max(1.0, c.S(1.0));
    c.Rect(x0 - w, y0, x0, n, kRain);
    c.Rect(x1, y0, x1 + w, n, kRain);
  }
  // The conical roof, then the body.
  const double ry = c.S(4), rx0 = c.S(5), rx1 = n - rx0, eave = c.S(1);
  c.Polygon({{eave - b, y0 + b}, {rx0 - b, ry - b}, {rx1 + b, ry - b}, {n - eave + b, y0 + b}},
            kInk);
  c.Polygon({{eave, y0}, {rx0 + b * 0.4, ry}, {rx1 - b * 0.4, ry}, {n - eave, y0}}, kLid);
  c.OutlinedRoundRect(x0, y0, x1, y1, c.P(1.5), kAir, kInk);

  // The water, clipped to the inside of the tank, rising 1/15 of it per picture.
  auto inTank = [&](double x, double y) { return InRoundRect(x, y, ix0, iy0, ix1, iy1, ir); };
  const double surface = iy1 - (iy1 - iy0) * element / 15.0;
  if (element > 0) {
    c.Fill(ix0, surface, ix1, iy1, kTankWater,
           [&](double x, double y) { return y >= surface && inTank(x, y); });
    const double band = std::max(1.0, c.S(0.6));
    c.Fill(ix0, surface, ix1, surface + band, kSurface,
           [&](double x, double y) { return y >= surface && y < surface + band && inTank(x, y); });
  }
  if (alert) {  // brimming over the rim
    const double w = std::max(1.0, c.S(1.0));
    c.Rect(x0 - w, y0, x1 + w, y0 + b, kSurface);
  }

  // Corrugations: a darker line every two units, and the cylinder's shading.
  const double rib = std::max(1.0, c.S(0.5)), pitch = c.S(2);
  for (double y = iy1 - pitch; y > iy0 + rib; y -= pitch) c.Rect(ix0, y, ix1, y + rib, 0x30000000);
  const double sw = std::max(1.0, c.S(1.0));
  c.Rect(ix0, iy0, ix0 + sw, iy1, 0x26000000);
  c.Rect(ix1 - sw, iy0, ix1, iy1, 0x26000000);
  if (n >= 24) c.Rect(ix0 + 2 * sw, iy0, ix0 + 3 * sw, iy1, 0x40FFFFFF);
}

}  // namespace unw::art

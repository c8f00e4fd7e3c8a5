// Up to 40 px the program icon is the tray clock's idle picture, pixel for pixel, so the window's
// caption, the tray and Explorer agree where icons are small. From 48 px on there is room for a
// proper clock face: twelve marks, rounded hands and a rim, with strokes that keep their weight
// as the icon grows instead of thickening like a scaled-up bitmap.
#include "resources/icons/program_icon.h"

#include <algorithm>
#include <cmath>

#include "resources/icons/icon_raster.h"
#include "resources/icons/icon_sets.h"

namespace unw {
namespace {

using art::Pt;

constexpr int kDetailFrom = 48;
constexpr double kHalf = 0.5;
constexpr double kRoot3Half = 0.86602540378443865;  // sin 60 = cos 30
// The hour marks, clockwise from twelve (sin, -cos of 30-degree steps).
constexpr Pt kMarks[12] = {{0, -1}, {kHalf, -kRoot3Half},  {kRoot3Half, -kHalf},
                           {1, 0},  {kRoot3Half, kHalf},   {kHalf, kRoot3Half},
                           {0, 1},  {-kHalf, kRoot3Half},  {-kRoot3Half, kHalf},
                           {-1, 0}, {-kRoot3Half, -kHalf}, {-kHalf, -kRoot3Half}};

constexpr uint32_t kBezel = 0xFFD3DAE2;
constexpr uint32_t kBezelShade = 0xFFB3BDC9;
constexpr uint32_t kFace = 0xFF2A5CA8;
constexpr uint32_t kFaceGlow = 0x12FFFFFF;  // one of three layers of light on the upper face
constexpr uint32_t kMark = 0xFFB8CBE6;
constexpr uint32_t kHand = 0xFFFFFFFF;
constexpr uint32_t kCap = 0xFFFFB300;

// A length in pixels for `share` of the icon, never below `least`.
double Px(const art::Canvas& c, double share, double least) {
  return std::max(least, std::round(c.size() * share));
}

void DrawDetailedClock(art::Canvas& c) {
  const double m = c.size() / 2.0;
  const double ink = Px(c, 1.0 / 40, 2);  // the outline, 2 px at 48 and 64, 6 px at 256
  c.Circle(m, m, m, art::kInk);
  c.Circle(m, m, m - ink, kBezelShade);
  c.Circle(m, m - ink / 2, m - ink - ink / 2, kBezel);  // lit from above: the shade shows below

  const double rim = Px(c, 1.0 / 14, 3);
  const double rf = m - ink - rim;  // the face's radius
  c.Circle(m, m, rf, art::kInk);
  c.Circle(m, m, rf - ink / 2, kFace);
  for (double k : {1.0, 0.85, 0.7})
    c.Ellipse(m, m - rf * 0.38, rf * 0.75 * k, rf * 0.5 * k, kFaceGlow);

  const double outer = rf - Px(c, 1.0 / 40, 1);
  for (int i = 0; i < 12; ++i) {
    const bool quarter = i % 3 == 0;
    const double len = rf * (quarter ? 0.2 : 0.1);
    const double w = quarter ? Px(c, 1.0 / 32, 2) : Px(c, 1.0 / 64, 1);
    const Pt d = kMarks[i];
    c.Bar({m + d.x * outer, m + d.y * outer}, {m + d.x * (outer - len), m + d.y * (outer - len)}, w,
          quarter ? kHand : kMark);
  }

  // Nine o'clock, as the tray clock shows when it rests.
  const Pt centre{m, m};
  c.Line(centre, {m - rf * 0.5, m}, Px(c, 1.0 / 14, 3), kHand);
  c.Line(centre, {m, m - rf * 0.78}, Px(c, 1.0 / 20, 2), kHand);
  c.Circle(m, m, Px(c, 1.0 / 18, 2), kCap);
}

}  // namespace

IconImage RenderProgramIcon(int size) {
  if (size < 16 || size > 256) return {};
  if (size < kDetailFrom) return RenderTrayIcon(0, 0, size);
  art::Canvas canvas(size);
  DrawDetailedClock(canvas);
  return canvas.Finish();
}

}  // namespace unw

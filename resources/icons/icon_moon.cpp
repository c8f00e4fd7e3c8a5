// Set 2, "Phases of the Moon": 0 new, 1-3 waxing crescent, first quarter and
// gibbous (lit on the right), 4 full, 5-7 waning gibbous, last quarter and
// crescent (lit on the left); 8, the alert, a bright full moon with a glow.
#include "resources/icons/icon_sets.h"

namespace unw::art {
namespace {

// Where the terminator crosses each chord, as a share of the half chord, from
// the side that is lit: 1 nothing lit, 0 half, -1 all lit.
constexpr double kTerminator[9] = {1, 0.45, 0, -0.5, -1, -0.5, 0, 0.45, -1};

struct Mare {
  double x, y, r;  // design units from the centre
};
constexpr uint32_t kEarthshine = 0xFF8C96AA;

constexpr Mare kMaria[] = {{-2.2, -2.0, 2.1}, {2.4, -0.6, 1.5}, {-0.6, 2.8, 1.6}, {2.6, 3.2, 0.9}};

}  // namespace

void DrawMoon(Canvas& c, int element) {
  const bool alert = element == 8;
  const uint32_t lit = alert ? 0xFFFFFBE8 : 0xFFEDE8CF;
  const uint32_t mare = alert ? 0xFFF6E3A2 : 0xFFC9C2A4;
  const uint32_t dark = 0xFF3A4458, darkMare = 0xFF323B4D;
  const uint32_t ink = alert ? 0xFF8A5A00 : kInk;

  const double m = c.size() / 2.0;
  const double disc = m - std::max(1.0, c.S(1.0));  // the margin holds the alert's glow
  if (alert) {
    c.Circle(m, m, m, 0x70FFD54F);
    c.Circle(m, m, m - std::max(1.0, c.S(0.5)), 0xA0FFC42E);
  }
  // Earthshine: a pale rim inside the outline keeps the unlit disc in sight on a
  // dark taskbar, as the outline does on a light one.
  c.OutlinedCircle(m, m, disc, kEarthshine, ink);
  const double r = disc - c.Border(), rim = std::max(1.0, c.S(0.6));
  c.Circle(m, m, r - rim, dark);

  // Lit when the point lies on the lit side of the terminator, an ellipse
  // through the poles; waxing moons are lit on the right.
  const double k = kTerminator[element];
  const double side = element >= 5 && element <= 7 ? -1.0 : 1.0;
  auto isLit = [&](double x, double y) {
    const double dy = y - m, h2 = r * r - dy * dy;
    if (h2 <= 0) return false;
    return side * (x - m) > k * std::sqrt(h2);
  };
  auto inDisc = [&](double x, double y) { return InEllipse(x, y, m, m, r, r); };
  c.Fill(m - r, m - r, m + r, m + r, lit,
         [&](double x, double y) { return inDisc(x, y) && isLit(x, y); });
  for (const Mare& s : kMaria) {
    const double cx = m + c.P(s.x), cy = m + c.P(s.y), rr = c.P(s.r);
    auto inMare = [&](double x, double y) {
      return inDisc(x, y) && InEllipse(x, y, cx, cy, rr, rr);
    };
    c.Fill(cx - rr, cy - rr, cx + rr, cy + rr, mare,
           [&](double x, double y) { return inMare(x, y) && isLit(x, y); });
    c.Fill(cx - rr, cy - rr, cx + rr, cy + rr, darkMare, [&](double x, double y) {
      return inMare(x, y) && !isLit(x, y) && InEllipse(x, y, m, m, r - rim, r - rim);
    });
  }
}

}  // namespace unw::art

// Set 4, "Traffic Lights": 0 red (stopped, idle), 1 green (running), 2 amber
// (paused), 3 the alert: a brighter green lamp glowing past the housing.
#include "resources/icons/icon_sets.h"

namespace unw::art {
namespace {

struct Lamp {
  uint32_t off, on, core;  // unlit glass, lit glass, the hot centre of a lit lamp
};
constexpr Lamp kRed = {0xFF5C1D19, 0xFFFF3B30, 0xFFFFB3A8};
constexpr Lamp kAmber = {0xFF5C4214, 0xFFFFB300, 0xFFFFE8A0};
constexpr Lamp kGreen = {0xFF174A25, 0xFF22C55E, 0xFFB4F5C8};
// The alert's rays: a green dark enough for a light taskbar and bright enough for a dark one.
constexpr uint32_t kRay = 0xFF16963A;
constexpr Lamp kAlertGreen = {0xFF174A25, 0xFF66FF78, 0xFFF4FFF4};

}  // namespace

void DrawTraffic(Canvas& c, int element) {
  const bool alert = element == 3;
  // Lamp lit per picture: red, green, amber, green.
  const int litLamp = element == 0 ? 0 : element == 2 ? 1 : 2;
  const Lamp lamps[3] = {kRed, kAmber, alert ? kAlertGreen : kGreen};

  const double b = c.Border();
  const double x0 = c.S(3.5), x1 = c.size() - x0;
  const double lampD = c.S(4.0);
  const double pitch = c.S(5.0);  // lamp to lamp
  const double top = std::round((c.size() - 2 * pitch - lampD) / 2.0);
  const double lx = std::round((c.size() - lampD) / 2.0);
  const double cx = lx + lampD / 2;
  const double ly = top + pitch * 2 + lampD / 2;  // centre of the green lamp

  if (alert) {  // a green glow around the housing and rays beside the green lamp
    c.RoundRect(x0 - c.S(2.5), 0, x1 + c.S(2.5), c.size(), c.P(3.5), 0x3840E060);
    c.RoundRect(x0 - c.S(1.5), c.S(0.5), x1 + c.S(1.5), c.size() - c.S(0.5), c.P(3), 0x5040E060);
    const double w = std::max(1.0, c.S(0.9)), gap = c.S(0.5);
    const double ry = std::round(ly - w) + w / 2;  // on whole pixels: a blurred ray is too faint
    for (double s : {-1.0, 1.0}) {
      const double ex = s < 0 ? x0 - gap : x1 + gap;  // ray ends next to the housing
      const double fx = s < 0 ? 0 : c.size();
      c.Bar({fx, ry}, {ex, ry}, w, kRay);
      if (c.size() >= 24)
        c.Line({ex + s * c.P(0.2), ly - c.P(2.6)}, {fx - s * c.P(0.8), ly - c.P(5.0)}, w, kRay);
    }
  }
  c.OutlinedRoundRect(x0, 0, x1, c.size(), c.P(2.5), alert ? 0xFF2E3A33 : 0xFF2B2F36, kInk);

  for (int i = 0; i < 3; ++i) {
    const double y = top + pitch * i, r = lampD / 2, cy = y + r;
    const bool on = i == litLamp;
    c.Circle(cx, cy, r + (c.size() >= 24 ? b : 0), kInk);
    c.Circle(cx, cy, r, on ? lamps[i].on : lamps[i].off);
    if (on) c.Circle(cx - r * 0.25, cy - r * 0.25, r * 0.45, lamps[i].core);
  }
  // A light edge inside the dark outline, so the housing stands out on a dark taskbar;
  // it runs over the lamps' rings but not their glass.
  const double r = lampD / 2;
  c.Fill(x0 + b, b, x1 - b, c.size() - b, 0xFF8C96A4, [&](double x, double y) {
    for (int i = 0; i < 3; ++i)
      if (InEllipse(x, y, cx, top + pitch * i + r, r, r)) return false;
    return InRoundRect(x, y, x0 + b, b, x1 - b, c.size() - b, c.P(2.5) - b) &&
           !InRoundRect(x, y, x0 + 2 * b, 2 * b, x1 - 2 * b, c.size() - 2 * b, c.P(2.5) - 2 * b);
  });
}

}  // namespace unw::art

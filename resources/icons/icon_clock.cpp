// Set 0, "Classic Clock": a wall clock whose minute hand turns 45 degrees per
// picture (0-7); picture 8, the alert, has a white face and a red bezel.
#include "resources/icons/icon_sets.h"

namespace unw::art {
namespace {

constexpr double kS = 0.70710678118654752;  // sin 45 = cos 45
// Clockwise from twelve, one per picture.
constexpr Pt kMinute[8] = {{0, -1}, {kS, -kS}, {1, 0},  {kS, kS},
                           {0, 1},  {-kS, kS}, {-1, 0}, {-kS, -kS}};
// The hour hand stays at nine o'clock: level, so crisp at 16 px.
constexpr Pt kHour = {-1, 0};

// A width in whole pixels whose parity keeps a stroke through the centre crisp.
double CentredWidth(const Canvas& c, double units) {
  const double w = std::max(1.0, c.S(units));
  const bool evenCentre = c.size() % 2 == 0;
  const bool even = static_cast<int>(w) % 2 == 0;
  return even == evenCentre ? w : w + 1;
}

}  // namespace

void DrawClock(Canvas& c, int element) {
  const bool alert = element == 8;
  const uint32_t bezel = alert ? 0xFFFF3B30 : 0xFFD3DAE2;
  const uint32_t face = alert ? 0xFFFFFFFF : 0xFF2A5CA8;
  const uint32_t hand = alert ? kInk : 0xFFFFFFFF;
  const uint32_t tick = alert ? 0xFF5A6270 : 0xFFB8CBE6;

  const double m = c.size() / 2.0;
  c.OutlinedCircle(m, m, m, bezel, kInk);
  const double rf = m - c.Border() - std::max(1.0, c.S(1.0));  // the face's radius
  if (c.size() >= 30) {  // a thin dark ring between bezel and face
    c.Circle(m, m, rf, kInk);
    c.Circle(m, m, rf - c.Border() / 2, face);
  } else {
    c.Circle(m, m, rf, face);
  }

  // Marks at twelve, three, six and nine, where there is room for them.
  if (c.size() >= 24) {
    const double outer = rf - std::max(1.0, c.S(0.5)), inner = outer - std::max(1.0, c.S(1.5));
    for (const Pt& d : {kMinute[0], kMinute[2], kMinute[4], kMinute[6]})
      c.Bar({m + d.x * outer, m + d.y * outer}, {m + d.x * inner, m + d.y * inner},
            CentredWidth(c, 1.0), tick);
  }

  const Pt centre{m, m};
  const double hw = CentredWidth(c, 1.6), mw = CentredWidth(c, 1.2);
  const double hl = rf * 0.55, ml = rf - std::max(1.0, c.S(1.0));
  const Pt mdir = kMinute[alert ? 0 : element];
  c.Bar(centre, {m + kHour.x * hl, m + kHour.y * hl}, hw, hand);
  c.Bar(centre, {m + mdir.x * ml, m + mdir.y * ml}, mw, hand);
  c.Circle(m, m, std::max(1.0, c.P(1.2)), alert ? 0xFFFF3B30 : 0xFFFFB300);
}

}  // namespace unw::art

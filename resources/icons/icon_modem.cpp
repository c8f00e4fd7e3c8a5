// Set 1, "Computer Modem": an external modem whose status lights (HS AA CD OH
// RD SD TR MR) blink in a 48-step pattern, pictures 0-47; picture 48, the
// alert, has every light lit red.
#include "resources/icons/icon_sets.h"

namespace unw::art {
namespace {

constexpr uint32_t kTop = 0xFFEAE3CF, kFront = 0xFFD2C8AE, kVent = 0xFFB9AF95;
constexpr uint32_t kPanel = 0xFF24272C;
// The feet: a mid grey that shows on a light and on a dark taskbar alike.
constexpr uint32_t kFoot = 0xFF767676;
constexpr uint32_t kGreenOn = 0xFF5CFF5C, kGreenOff = 0xFF2E4630;
constexpr uint32_t kAmberOn = 0xFFFFC21A, kAmberOff = 0xFF4D4128;
// The alert: a red case with every light lit.
constexpr uint32_t kAlarmTop = 0xFFFF9E94, kAlarmFront = 0xFFE5483C, kAlarmVent = 0xFFD9685E;
constexpr uint32_t kAlarmPanel = 0xFF3A0C08, kAlarmOn = 0xFFFFE9A0;

// Data lights, blinking while "online": bit f of each word is picture f; no
// two pictures in a row show the same pair.
constexpr uint32_t kRd = 0b00010001000101000010000100101101;
constexpr uint32_t kSd = 0b01011010101101101010101001100110;

enum Light { kHS, kAA, kCD, kOH, kRD, kSD, kTR, kMR };

// Lights lit in picture `f` (0-47), as a mask over the 8 lights; `shown` of
// them are drawn, the last ones (the narrowest icons drop HS and AA).
uint32_t LitLights(int f, int shown) {
  const int first = 8 - shown;
  if (f < 32) {  // online: steady status, flickering data lights
    uint32_t m = 1u << kHS | 1u << kAA | 1u << kCD | 1u << kOH | 1u << kTR | 1u << kMR;
    if (kRd >> f & 1) m |= 1u << kRD;
    if (kSd >> f & 1) m |= 1u << kSD;
    return m;
  }
  const int g = f - 32, sweep = 2 * shown - 2;  // a light chasing there and back
  if (g < sweep) return 1u << (first + (g < shown ? g : sweep - g));
  return (g - sweep) % 2 == 0 ? 0xFFu : 1u << kMR;  // then all blink together
}

}  // namespace

void DrawModem(Canvas& c, int element) {
  const bool alert = element == 48;
  const double n = c.size(), b = c.Border();

  // The case: a top face in perspective over a front face, on two feet.
  const double top = c.S(3), edge = c.S(6), bottom = c.S(13);
  const double back = c.S(1.2);  // how far the back corners sit in
  const double fw = c.S(2.5), fh = std::max(1.0, c.S(1)), fx = c.S(2);
  c.Rect(fx, bottom - b, fx + fw, bottom + fh, kFoot);
  c.Rect(n - fx - fw, bottom - b, n - fx, bottom + fh, kFoot);
  c.Polygon({{back, top}, {n - back, top}, {n, edge + b}, {0, edge + b}}, kInk);
  c.Polygon({{back + b, top + b}, {n - back - b, top + b}, {n - b, edge}, {b, edge}},
            alert ? kAlarmTop : kTop);
  c.OutlinedRoundRect(0, edge, n, bottom, c.P(1), alert ? kAlarmFront : kFront, kInk);
  if (n >= 24) {  // vents on the top
    const double w = std::max(1.0, c.S(0.5));
    for (int i = 0; i < 4; ++i) {
      const double x = c.S(5 + i * 1.5);
      c.Rect(x, top + 2 * b, x + w, edge - b, alert ? kAlarmVent : kVent);
    }
  }

  // The lights on a dark strip across the front.
  const double lw = std::max(1.0, c.S(0.9)), gap = std::max(1.0, std::round(lw / 2));
  const double lh = std::max(2.0, c.S(1.6)), mv = std::floor(c.u() / 2), mh = std::floor(c.u() / 2);
  const double sx0 = b + mh, sx1 = n - b - mh;  // the strip
  const int shown = 8 * lw + 7 * gap <= sx1 - sx0 - 2 ? 8 : 6;
  const double span = shown * lw + (shown - 1) * gap;
  const double x0 = std::round((n - span) / 2), ly = std::floor((edge + bottom - lh) / 2);
  c.Rect(sx0, ly - mv, sx1, ly + lh + mv, alert ? kAlarmPanel : kPanel);
  const uint32_t lit = alert ? 0xFFu : LitLights(element, shown);
  for (int i = 0; i < shown; ++i) {
    const int light = 8 - shown + i;
    const bool data = light == kRD || light == kSD;
    const bool on = lit >> light & 1;
    uint32_t colour = data ? (on ? kAmberOn : kAmberOff) : (on ? kGreenOn : kGreenOff);
    if (alert) colour = kAlarmOn;
    const double x = x0 + (lw + gap) * i;
    c.Rect(x, ly, x + lw, ly + lh, colour);
  }
}

}  // namespace unw::art

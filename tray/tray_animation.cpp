#include "tray/tray_animation.h"

#include "tray/tray_icon.h"

namespace unw {

namespace {

// The last frame each set animates through; the pictures after it are shown only while
// flashing (the traffic lights' last one too).
constexpr int16_t kLastAnimationFrame[5] = {7, 47, 7, 14, 2};

}  // namespace

int TrayIconElement(int16_t trayIcon, int16_t mode, int16_t frame) {
  if (trayIcon < 0 || trayIcon > 4) return -1;
  const int last = kIconSetSizes[trayIcon] - 1;
  switch (mode) {
    case kPictureIdle:
      return 0;
    case kPictureCurrent:
      return frame >= 0 && frame <= last ? frame : -1;
    case kPictureAlert:
      return last;
    default:
      return -1;
  }
}

bool IsAnimationFrame(int16_t trayIcon, int16_t frame) {
  return trayIcon >= 0 && trayIcon <= 4 && frame >= 0 && frame <= kLastAnimationFrame[trayIcon];
}

int16_t NextTrayIconFrame(int16_t trayIcon, int16_t frame, int16_t& moonTicks, bool paused) {
  switch (trayIcon) {
    case kClassicClock:
    case kComputerModem:
    case kRainwaterTank:
      return frame < kLastAnimationFrame[trayIcon] ? frame + 1 : 0;
    case kPhasesOfTheMoon:
      // Frames 0 to 6 stay three ticks each, the last one a single tick.
      ++moonTicks;
      if (frame >= 7) {
        moonTicks = 0;
        return 0;
      }
      return moonTicks % 3 == 0 ? frame + 1 : frame;
    case kTrafficLights:
      return paused ? 2 : 1;
    default:
      return frame;
  }
}

}  // namespace unw

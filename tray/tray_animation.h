// The tray icon's picture sets and the per-tick frame rule of each.
#pragma once

#include <cstdint>

#include "i18n/texts.h"

namespace unw {

enum TrayIconSet : int16_t {
  kClassicClock = 0,
  kComputerModem = 1,
  kPhasesOfTheMoon = 2,
  kRainwaterTank = 3,
  kTrafficLights = 4,
};

// Number of pictures in each set, by set.
inline constexpr int kIconSetSizes[5] = {9, 49, 9, 16, 4};
// Names the preferences list shows, by set: texts.TC("tray icon", name).
inline constexpr const char* kIconSetNames[5] = {
    NTC("tray icon", "Classic Clock"), NTC("tray icon", "Computer Modem"),
    NTC("tray icon", "Phases of the Moon"), NTC("tray icon", "Rainwater Tank"),
    NTC("tray icon", "Traffic Lights")};

// Picture element that `mode` names for the set `trayIcon` at `frame`, or -1 for none.
int TrayIconElement(int16_t trayIcon, int16_t mode, int16_t frame);
// The frame after `frame` in set `trayIcon`; the moon counts `moonTicks`, the traffic lights
// show amber while `paused` and green otherwise.
int16_t NextTrayIconFrame(int16_t trayIcon, int16_t frame, int16_t& moonTicks, bool paused);
// Whether `frame` is one of the frames set `trayIcon` animates.
bool IsAnimationFrame(int16_t trayIcon, int16_t frame);

}  // namespace unw

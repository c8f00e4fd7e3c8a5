// The drawing of each tray icon set, one function per set, on a fresh canvas.
// Internal to resources/icons: callers use RenderTrayIcon (tray_icon_art.h).
#pragma once

#include <cstdint>

#include "resources/icons/icon_raster.h"

namespace unw::art {

// Shared palette.
inline constexpr uint32_t kInk = 0xFF14161C;  // the dark outline of every picture

void DrawClock(Canvas& c, int element);    // set 0: 0-7 hands, 8 alert
void DrawModem(Canvas& c, int element);    // set 1: 0-47 lights, 48 alert
void DrawMoon(Canvas& c, int element);     // set 2: 0 new .. 4 full .. 7, 8 alert
void DrawTank(Canvas& c, int element);     // set 3: 0 empty .. 15 full (alert)
void DrawTraffic(Canvas& c, int element);  // set 4: 0 red, 1 green, 2 amber, 3 alert

// The colour of the rainwater, exactly as it appears where a pixel is all water.
inline constexpr uint32_t kTankWater = 0xFF2F86E8;

}  // namespace unw::art

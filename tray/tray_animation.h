// The tray icon's pictures: five animated sets, the frame rules per tick,
// and the tooltip store.
#pragma once

#include <cstdint>
#include <string>

namespace unw {

class App;

enum TrayIconSet : int16_t {
  kClassicClock = 0,
  kComputerModem = 1,
  kPhasesOfTheMoon = 2,
  kRainwaterTank = 3,
  kTrafficLights = 4,
};

// Picture modes of GetTrayIconPicture.
inline constexpr int16_t kPictureIdle = 0;
inline constexpr int16_t kPictureCurrent = 2;
inline constexpr int16_t kPictureAlert = 3;

// Number of pictures in each set, by set.
inline constexpr int kIconSetSizes[5] = {9, 49, 9, 16, 4};
// Names the preferences list shows, by set.
inline constexpr const char* kIconSetNames[5] = {
    "Classic Clock", "Computer Modem", "Phases of the Moon", "Rainwater Tank", "Traffic Lights"};

// Picture element that `mode` names for the set `TrayIcon`, or -1 for none.
int TrayIconElement(int16_t trayIcon, int16_t mode, int16_t frame);
// Handle of that picture, or 0 for none (callers then keep the icon they have).
std::uintptr_t GetTrayIconPicture(App& app, int16_t mode);
// Advances the frame, stores `text` as the tooltip with the current picture and publishes.
void RefreshTrayIcon(App& app, const std::string& text);
// The next frame of set `trayIcon` after `frame`; the moon uses and updates `moonTicks`.
int16_t NextTrayIconFrame(int16_t trayIcon, int16_t frame, int16_t& moonTicks,
                          const std::string& text);

}  // namespace unw

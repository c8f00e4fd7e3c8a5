#include "tray/tray_animation.h"

#include "app/app.h"
#include "platform/notification_area.h"
#include "tray/tray_icon.h"
#include "tray/tray_record.h"

namespace unw {

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

std::uintptr_t GetTrayIconPicture(App& app, int16_t mode) {
  const int16_t set = app.settings.TrayIcon;
  const int element = TrayIconElement(set, mode, app.intIconFrame);
  return element < 0 ? 0 : app.sys.tray.IconHandle(set, element);
}

int16_t NextTrayIconFrame(int16_t trayIcon, int16_t frame, int16_t& moonTicks,
                          const std::string& text) {
  switch (trayIcon) {
    case kClassicClock:
      return frame < 7 ? frame + 1 : 0;
    case kComputerModem:
      return frame < 47 ? frame + 1 : 0;
    case kPhasesOfTheMoon:
      // Frames 0 to 6 stay three ticks each, the last one a single tick.
      ++moonTicks;
      if (frame >= 7) {
        moonTicks = 0;
        return 0;
      }
      return moonTicks % 3 == 0 ? frame + 1 : frame;
    case kRainwaterTank:
      return frame < 14 ? frame + 1 : 0;
    case kTrafficLights:
      return text.find("Paused") != std::string::npos ? 2 : 1;
    default:
      return frame;
  }
}

void RefreshTrayIcon(App& app, const std::string& text) {
  app.intIconFrame =
      NextTrayIconFrame(app.settings.TrayIcon, app.intIconFrame, app.intMoonTicks, text);
  app.trayIconData.szTip = FixedField(text, kTipChars);
  if (std::uintptr_t icon = GetTrayIconPicture(app, kPictureCurrent)) app.trayIconData.hIcon = icon;
  ModifyTrayIcon(app);
}

}  // namespace unw

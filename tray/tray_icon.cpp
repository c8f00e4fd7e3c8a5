#include "tray/tray_icon.h"

#include "app/app.h"
#include "tray/tray_record.h"

namespace unw {

void AddTrayIcon(App& app, std::uintptr_t hwnd, std::uintptr_t icon, const std::string& tip) {
  TrayIconData& t = app.trayIconData;
  t.hWnd = hwnd;
  t.uID = 1;
  t.uFlags = 7;
  t.uCallbackMessage = 0x401;
  t.hIcon = icon;
  t.szTip = FixedField(tip, kTipChars);
}

void ModifyTrayIcon(App& /*app*/) {}

void RemoveTrayIcon(App& /*app*/, std::uintptr_t /*hwnd*/) {}

void RefreshTrayIcon(App& app, const std::string& text) {
  app.trayIconData.szTip = FixedField(text, kTipChars);
  ModifyTrayIcon(app);
}

std::uintptr_t GetTrayIconPicture(App& /*app*/, int /*mode*/) {
  return 0;
}

}  // namespace unw

#include "tray/tray_icon.h"

#include "app/app.h"
#include "app/frm_timer.h"
#include "platform/notification_area.h"
#include "tray/tray_record.h"

namespace unw {

namespace {

constexpr const char* kExplorerAdvanced =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\";

std::string WithNul(const std::string& text) {
  return text + '\0';
}

void Send(App& app, uint32_t message) {
  app.sys.tray.NotifyIcon(message, app.trayIconData);
}

}  // namespace

void SelectTrayRecordSize(App& app) {
  if (ShellVersionAtLeast(app, 6))
    app.lngTrayRecordSize = kTrayRecordSizeFull;
  else if (ShellVersionAtLeast(app, 5))
    app.lngTrayRecordSize = kTrayRecordSizeV2;
  else
    app.lngTrayRecordSize = kTrayRecordSizeV1;
}

bool ShellVersionAtLeast(App& app, int16_t major) {
  uint32_t ms = 0;
  if (!app.sys.tray.ShellFileVersionMS(ms)) return false;
  return static_cast<int16_t>(ms >> 16) >= major;
}

bool BalloonTipsAllowedBySystem(App& app) {
  return app.store.ReadDwordValue(kHkeyCurrentUser, kExplorerAdvanced, "EnableBalloonTips", -1) !=
         0;
}

void AddTrayIcon(App& app, std::uintptr_t hwnd, std::uintptr_t icon, const std::string& tip) {
  if (app.lngTrayRecordSize == 0) SelectTrayRecordSize(app);
  TrayIconData& t = app.trayIconData;
  t.cbSize = app.lngTrayRecordSize;
  t.hWnd = hwnd;
  t.uID = 1;
  t.uFlags = 7;
  t.dwState = 2;
  t.hIcon = icon;
  t.uCallbackMessage = kTrayCallbackMessage;
  t.dwInfoFlags = 0;
  t.szInfoTitle = FixedField(std::string(1, '\0'), kInfoTitleChars);
  t.szInfo = FixedField(std::string(1, '\0'), kInfoChars);
  t.szTip = FixedField(WithNul(tip), kTipChars);
  t.uTimeout = 3;
  Send(app, kNimAdd);
  Send(app, kNimSetVersion);
  app.lngPrevWndProc = app.sys.tray.HookWindow(
      hwnd, [&app](std::uintptr_t h, uint32_t m, std::uintptr_t w, std::intptr_t l) {
        return TrayWindowProc(app, h, m, w, l);
      });
}

void RemoveTrayIcon(App& app, std::uintptr_t hwnd) {
  TrayIconData& t = app.trayIconData;
  t.cbSize = app.lngTrayRecordSize;
  t.hWnd = hwnd;
  t.uID = 1;
  Send(app, kNimDelete);
  if (app.lngPrevWndProc != 0) {
    app.sys.tray.UnhookWindow(hwnd, app.lngPrevWndProc);
    app.lngPrevWndProc = 0;
  }
}

void ModifyTrayIcon(App& app) {
  Send(app, kNimModify);
}

void ShowBalloonTip(App& app, std::uintptr_t hwnd, uint32_t infoFlags, const std::string& title,
                    const std::string& text) {
  TrayIconData& t = app.trayIconData;
  t.cbSize = app.lngTrayRecordSize;
  t.hWnd = hwnd;
  t.uID = 1;
  t.uFlags = 31;
  t.dwInfoFlags = infoFlags;
  t.szInfoTitle = FixedField(WithNul(title), kInfoTitleChars);
  t.szInfo = FixedField(WithNul(text), kInfoChars);
  Send(app, kNimModify);
  app.frmTimer().Ctl("tmrBalloonTip").SetEnabled(true);
  app.blnBalloonShowing = true;
}

void ClearBalloonTip(App& app, std::uintptr_t hwnd, std::uintptr_t icon, const std::string& tip) {
  app.frmTimer().Ctl("tmrBalloonTip").SetEnabled(false);
  app.blnBalloonShowing = false;
  TrayIconData& t = app.trayIconData;
  t.cbSize = app.lngTrayRecordSize;
  t.hWnd = hwnd;
  t.uID = 1;
  t.uFlags = 7;
  if (icon) t.hIcon = icon;
  t.szTip = FixedField(WithNul(tip), kTipChars);
  t.dwInfoFlags = 0;
  t.szInfoTitle = FixedField(std::string(1, '\0'), kInfoTitleChars);
  t.szInfo = FixedField(std::string(1, '\0'), kInfoChars);
  Send(app, kNimModify);
}

std::intptr_t TrayWindowProc(App& app, std::uintptr_t hwnd, uint32_t msg, std::uintptr_t wParam,
                             std::intptr_t lParam) {
  FrmTimer& main = app.frmTimer();
  if (hwnd == main.hWnd() && msg == app.sys.tray.TaskbarCreatedMessage() && msg != 0) {
    // Explorer restarted: the icon is gone with the old taskbar.
    Send(app, kNimAdd);
    Send(app, kNimSetVersion);
  }
  if (hwnd != main.hWnd() || msg != kTrayCallbackMessage)
    return app.sys.tray.CallPrevious(app.lngPrevWndProc, hwnd, msg, wParam, lParam);
  const bool alertPending = main.Ctl("tmrPlaySound").enabled();
  switch (lParam) {
    case kWmLButtonUp:
    case kWmLButtonDblClk:
    case kWmRButtonDblClk:
      if (alertPending)
        main.AcknowledgeTrayAlert();
      else
        main.RestoreFromTray();
      break;
    case kWmRButtonUp:
      if (alertPending)
        main.AcknowledgeTrayAlert();
      else
        main.ShowTrayMenu();
      break;
    case kNinBalloonTimeout:
    case kNinBalloonUserClick:
      main.EndBalloonAlert();
      break;
    default:
      break;
  }
  return 0;
}

}  // namespace unw

// What the tray icon's clicks do on the main window.
#include "app/app.h"
#include "app/frm_timer.h"
#include "platform/form_view.h"
#include "tray/tray_animation.h"
#include "tray/tray_icon.h"

namespace unw {

namespace {

// The windows during which the tray only acknowledges alerts.
bool AnotherWindowIsOpen(App& app) {
  for (const char* name :
       {"frmBreakTimeRemaining", "frmAbout", "frmPreferences", "frmUnwindle", "frmRestartTimer"}) {
    if (IsFormLoaded(app, name)) return true;
  }
  return false;
}

}  // namespace

bool IsFormLoaded(App& app, const std::string& name) {
  for (const Form* f : app.ui.forms()) {
    if (f->name() == name) return true;
  }
  return false;
}

void FrmTimer::tmrFlash_Timer() {
  app_.blnFlashOn = !app_.blnFlashOn;
  if (std::uintptr_t icon =
          GetTrayIconPicture(app_, app_.blnFlashOn ? kPictureAlert : kPictureIdle))
    app_.trayIconData.hIcon = icon;
  ModifyTrayIcon(app_);
}

void FrmTimer::RestoreFromTray() {
  if (AnotherWindowIsOpen(app_) || app_.blnExitQuestion) return;
  SetWindowState(WindowState::kNormal);
  app_.sys.windows.SetForegroundWindow(hWnd());
  Show();
}

void FrmTimer::ShowTrayMenu() {
  if (AnotherWindowIsOpen(app_) || app_.blnExitQuestion) return;
  app_.ui.DoEvents();
  app_.sys.windows.SetForegroundWindow(hWnd());
  Ctl("mnuUnwindle").SetDefault(true);
  app_.sys.view.ShowPopupMenu(*this, Ctl("mPopupSys"));
}

// Tray alerts come with the break prompt; until then none is ever pending.
void FrmTimer::AcknowledgeTrayAlert() {}
void FrmTimer::EndBalloonAlert() {}

}  // namespace unw

// What the tray icon's clicks do on the main window.
#include "app/app.h"
#include "app/frm_timer.h"
#include "platform/form_view.h"
#include "tray/tray_animation.h"
#include "tray/tray_icon.h"
#include "tray/tray_record.h"
#include "alerts/sounds.h"
#include "app/product.h"
#include "cycle/break_cycle.h"
#include "cycle/frm_break_time_remaining.h"
#include "cycle/frm_unwindle.h"

namespace unw {

namespace {

constexpr const char* kTrayAlertTip = "KORVANTE Unwindle \r\nClick on the icon below for options.";
constexpr const char* kBalloonText =
    "What do you want to do?\r\nClick on the icon below for options.";

void SetTip(App& app, const std::string& text) {
  app.trayIconData.szTip = FixedField(text + '\0', kTipChars);
}

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

void FrmTimer::Prompt() {
  app_.frmUnwindle().Show(true);
  HandleCustomMessage(app_.lngPromptChoice);
}

void FrmTimer::AlertUser() {
  Settings& s = app_.settings;
  lngSnoozeSeconds = s.SnoozeMinutes * 60 + s.SnoozeSeconds;
  lngBreakSeconds = s.BreakMinutes * 60 + s.BreakSeconds;
  lngSoundTicks = 0;
  HideWindowsForAlert(app_, true);
  PlayAlertSound(app_);
  if (s.AlertMeBy == 0) {
    SetTip(app_, kMainCaption);
    if (std::uintptr_t icon = GetTrayIconPicture(app_, kPictureIdle))
      app_.trayIconData.hIcon = icon;
    ModifyTrayIcon(app_);
    Prompt();
  } else if (s.AlertMeBy == 1) {
    SetTip(app_, kTrayAlertTip);
    if (std::uintptr_t icon = GetTrayIconPicture(app_, kPictureIdle))
      app_.trayIconData.hIcon = icon;
    ModifyTrayIcon(app_);
    const bool balloons = ShellVersionAtLeast(app_, 6) && BalloonTipsAllowedBySystem(app_) &&
                          s.BalloonTipsEnabled == 1;
    if (balloons) {
      static constexpr uint32_t kIcons[] = {kNiifInfo, kNiifWarning, kNiifError};
      ShowBalloonTip(app_, hWnd(), kIcons[SnoozeStep(s.NumberOfSnooze, app_.intSnoozeCount)],
                     kMainCaption, kBalloonText);
    } else {
      Ctl("tmrPlaySound").SetEnabled(true);
      Ctl("tmrFlash").SetEnabled(true);
    }
    if (app_.intSnoozeCount <= s.NumberOfSnooze) ++app_.intSnoozeCount;
  }
}

void FrmTimer::tmrPlaySound_Timer() {
  if (lngSoundTicks >= lngSnoozeSeconds) {
    // Nobody answered for a reminder's length: the whole alert comes again.
    Ctl("tmrPlaySound").SetEnabled(false);
    Ctl("tmrFlash").SetEnabled(false);
    lngSoundTicks = 0;
    AlertUser();
  } else {
    ++lngSoundTicks;
  }
  if (app_.lngAlertSeconds <= lngBreakSeconds) ++app_.lngAlertSeconds;
}

void FrmTimer::EndBalloonAlert() {
  // The shell reports a balloon's end late or twice (it is never told to take
  // one down); only a balloon still showing turns into a pending alert.
  if (!app_.blnBalloonShowing) return;
  ClearBalloonTip(app_, hWnd(), GetTrayIconPicture(app_, kPictureIdle), kTrayAlertTip);
  Ctl("tmrPlaySound").SetEnabled(true);
  Ctl("tmrFlash").SetEnabled(true);
}

void FrmTimer::tmrBalloonTip_Timer() {
  // The shell may never report the balloon's end (Wine does not): end it here.
  EndBalloonAlert();
}

void FrmTimer::AcknowledgeTrayAlert() {
  Ctl("tmrPlaySound").SetEnabled(false);
  Ctl("tmrFlash").SetEnabled(false);
  app_.intIconFrame = 0;
  if (std::uintptr_t icon = GetTrayIconPicture(app_, kPictureCurrent))
    app_.trayIconData.hIcon = icon;
  SetTip(app_, kMainCaption);
  ModifyTrayIcon(app_);
  HideWindowsForAlert(app_, true);
  Prompt();
}

void FrmTimer::EndTrayAlert() {
  Ctl("tmrPlaySound").SetEnabled(false);
  Ctl("tmrFlash").SetEnabled(false);
  if (app_.blnBalloonShowing)
    ClearBalloonTip(app_, hWnd(), GetTrayIconPicture(app_, kPictureIdle), kMainCaption);
}

void FrmTimer::mnuStopBreakPopUp_Click() {
  if (IsFormLoaded(app_, "frmBreakTimeRemaining")) app_.frmBreakTimeRemaining().Unload();
}

void FrmTimer::mPopRestore_Click() {
  Hide();
  SetWindowState(WindowState::kNormal);
  app_.sys.windows.SetForegroundWindow(hWnd());
  Show();
}

void FrmTimer::mPopAbout_Click() {
  cmdAbout_Click();
}

}  // namespace unw

// Carrying out the answers of the break prompts.
#include "cycle/break_cycle.h"

#include "app/app.h"
#include "app/frm_timer.h"
#include "app/product.h"
#include "cycle/frm_break_time_remaining.h"
#include "cycle/frm_restart_timer.h"
#include "settings/number_text.h"
#include "tray/tray_animation.h"
#include "tray/tray_icon.h"

namespace unw {

namespace {

void UnloadIfLoaded(App& app, const char* name) {
  for (Form* f : app.ui.forms()) {
    if (f->name() == name) {
      f->Unload();
      return;
    }
  }
}

void SetTip(App& app, const std::string& text) {
  app.trayIconData.szTip = FixedField(text + '\0', kTipChars);
}

}  // namespace

void HideWindowsForAlert(App& app, bool hide) {
  FrmTimer& main = app.frmTimer();
  if (hide) {
    UnloadIfLoaded(app, "frmAbout");
    UnloadIfLoaded(app, "frmPreferences");
    if (main.loaded()) {
      app.blnMainWasNormal = main.windowState() == WindowState::kNormal;
      main.Hide();
    } else {
      app.blnMainWasNormal = false;
    }
  } else if (app.blnMainWasNormal) {
    main.Show();
  }
}

void FrmTimer::BringBack() {
  SetWindowState(WindowState::kNormal);
  app_.sys.windows.SetForegroundWindow(hWnd());
  Show();
}

void FrmTimer::SetBreakMenu(bool inBreak) {
  for (const char* item :
       {"mnuStart", "mnuPause", "mnuStop", "mnuSep02", "mPopRestore", "mnuUnwindle"})
    Ctl(item).SetVisible(!inBreak);
  Ctl("mnuStopBreakPopUp").SetVisible(inBreak);
}

void FrmTimer::HandleCustomMessage(int intMessageResponse) {
  Settings& s = app_.settings;
  switch (intMessageResponse) {
    case 0: {  // remind later
      HideWindowsForAlert(app_, false);
      lngTotalSeconds = static_cast<int16_t>(s.SnoozeMinutes * 60 + s.SnoozeSeconds);
      lngElapsedSeconds = 0;
      Ctl("lblHours").SetCaption("00");
      Ctl("lblMinutes").SetCaption(TwoDigit(s.SnoozeMinutes));
      Ctl("lblSeconds").SetCaption(TwoDigit(s.SnoozeSeconds));
      if (s.TrayIcon >= 0 && s.TrayIcon < kTrafficLights) app_.intIconFrame = 0;
      if (s.TrayIcon == kTrafficLights) {
        app_.intIconFrame = 1;
        RefreshTrayIcon(app_, WorkStatusText(TimeRemaining(), kStarted));
      }
      if (s.AlertMeBy == 0) ++app_.intSnoozeCount;
      Ctl("tmrMain").SetEnabled(true);
      break;
    }
    case 1: {  // take the break
      // Taking the break answers a tray alert still waiting: without this, its
      // balloon timer or repeat would open a second prompt over the break.
      EndTrayAlert();
      HideWindowsForAlert(app_, true);
      SetBreakMenu(true);
      if (s.TrayIcon >= 0 && s.TrayIcon < kTrafficLights) app_.intIconFrame = 0;
      if (s.TrayIcon == kTrafficLights) app_.intIconFrame = 1;
      app_.frmBreakTimeRemaining().Show(true);
      SetBreakMenu(false);
      LoadWorkInterval();
      lngTotalSeconds = s.Hours * 3600 + s.Minutes * 60 + s.Seconds;
      lngElapsedSeconds = 0;
      ShowInterval();
      if (std::uintptr_t icon = GetTrayIconPicture(app_, kPictureCurrent))
        app_.trayIconData.hIcon = icon;
      SetTip(app_, kMainCaption);
      ModifyTrayIcon(app_);
      app_.intIconFrame = 0;
      app_.intSnoozeCount = 0;
      app_.frmRestartTimer().Show(true);
      if (app_.lngPromptChoice == 3) {
        cmdStart_Click();
      } else {
        cmdStop_Click();
        BringBack();
      }
      break;
    }
    case 2:  // stop
      HideWindowsForAlert(app_, false);
      cmdStop_Click();
      BringBack();
      break;
    case 3:  // restart
      HideWindowsForAlert(app_, false);
      cmdStop_Click();
      cmdStart_Click();
      break;
    default:
      break;
  }
}

}  // namespace unw

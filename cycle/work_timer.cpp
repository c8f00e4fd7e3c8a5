// The work countdown of the main window: Start, Pause, Stop, the tick, and
// the reload of the saved interval.
#include "app/app.h"
#include "app/frm_timer.h"
#include "app/product.h"
#include "settings/number_text.h"
#include "tray/tray_animation.h"
#include "tray/tray_icon.h"

namespace unw {

std::string WorkStatusText(const std::string& time, const char* suffix) {
  std::string s = std::string(kCompanyName) + " - " + kMakerUrl + " \r\nTime Remaining: ";
  s += time;
  s += suffix;
  s += '\0';
  return s;
}

void FrmTimer::SetTimerControls(TimerState s) {
  const bool stopped = s == TimerState::kStopped;
  const bool started = s == TimerState::kStarted;
  const bool paused = s == TimerState::kPaused;
  const char* startText = paused ? "Restart Timer" : "Start Timer";
  const char* stopText = paused ? "Reset Timer" : "Stop Timer";
  Ctl("cmdStart").SetEnabled(!started);
  Ctl("cmdStart").SetToolTip(startText);
  Ctl("mnuStart").SetEnabled(!started);
  Ctl("mnuStart").SetCaption(startText);
  Ctl("cmdPause").SetEnabled(started);
  Ctl("mnuPause").SetEnabled(started);
  Ctl("cmdStop").SetEnabled(!stopped);
  Ctl("cmdStop").SetToolTip(stopText);
  Ctl("mnuStop").SetEnabled(!stopped);
  Ctl("mnuStop").SetCaption(stopText);
  // Pause leaves cmdChange as Start set it.
  if (!paused) Ctl("cmdChange").SetEnabled(stopped);
}

void FrmTimer::ShowInterval() {
  const Settings& s = app_.settings;
  Ctl("lblHours").SetCaption(TwoDigit(s.Hours));
  Ctl("lblMinutes").SetCaption(TwoDigit(s.Minutes));
  Ctl("lblSeconds").SetCaption(TwoDigit(s.Seconds));
}

void FrmTimer::cmdStart_Click() {
  const Settings& s = app_.settings;
  if (!blnPause) {
    lngTotalSeconds = s.Hours * 3600 + s.Minutes * 60 + s.Seconds;
    lngElapsedSeconds = 0;
  }
  std::string status = WorkStatusText(TimeRemaining(), kStarted);
  if (s.TrayIcon >= 0 && s.TrayIcon < kTrafficLights) {
    app_.trayIconData.szTip = FixedField(status, kTipChars);  // the next tick publishes it
  } else if (s.TrayIcon == kTrafficLights) {
    RefreshTrayIcon(app_, status);
  }
  blnPause = false;
  SetTimerControls(TimerState::kStarted);
  Ctl("tmrMain").SetEnabled(true);
}

void FrmTimer::cmdPause_Click() {
  const Settings& s = app_.settings;
  Ctl("tmrMain").SetEnabled(false);
  std::string status = WorkStatusText(TimeRemaining(), kPaused);
  if (s.TrayIcon >= 0 && s.TrayIcon < kTrafficLights) {
    app_.trayIconData.szTip = FixedField(status, kTipChars);
    ModifyTrayIcon(app_);
  } else if (s.TrayIcon == kTrafficLights) {
    RefreshTrayIcon(app_, status);
  }
  SetTimerControls(TimerState::kPaused);
  blnPause = true;
}

void FrmTimer::cmdStop_Click() {
  Ctl("tmrMain").SetEnabled(false);
  blnPause = false;
  app_.intSnoozeCount = 0;
  LoadWorkInterval();
  ShowInterval();
  app_.intIconFrame = 0;
  if (std::uintptr_t icon = GetTrayIconPicture(app_, kPictureCurrent))
    app_.trayIconData.hIcon = icon;
  app_.trayIconData.szTip = FixedField(WorkStatusText(TimeRemaining(), kStopped), kTipChars);
  ModifyTrayIcon(app_);
  SetTimerControls(TimerState::kStopped);
}

void FrmTimer::tmrMain_Timer() {
  if (lngTotalSeconds <= lngElapsedSeconds) {
    Ctl("tmrMain").SetEnabled(false);
    app_.lngAlertSeconds = 0;
    AlertUser();
    return;
  }
  ++lngElapsedSeconds;
  const int32_t r = lngTotalSeconds - lngElapsedSeconds;
  const int32_t h = r / 3600;
  Ctl("lblHours").SetCaption(TwoDigit(h));
  Ctl("lblMinutes").SetCaption(TwoDigit((r - h * 3600) / 60));
  Ctl("lblSeconds").SetCaption(TwoDigit(r % 60));
  RefreshTrayIcon(app_, WorkStatusText(TimeRemaining(), kStarted));
}

std::string FrmTimer::TimeRemaining() const {
  const Control* h = Find("lblHours");
  const Control* m = Find("lblMinutes");
  const Control* s = Find("lblSeconds");
  if (!h || !m || !s) return "00:00:00";
  return h->caption() + ":" + m->caption() + ":" + s->caption();
}

void FrmTimer::LoadWorkInterval() {
  // A stored text that is not a number leaves that working value as it is.
  for (const char* name : {"Hours", "Minutes", "Seconds"})
    app_.store.LoadSetting(*FindSetting(name), app_.settings);
}

void FrmTimer::cmdUnwindle_Click() {
  Ctl("tmrMain").SetEnabled(false);
  HandleCustomMessage(1);
}

}  // namespace unw

// The work countdown's transitions: start, pause, stop, the tick, and the
// interval it counts.
#include "cycle/break_cycle.h"

#include "cycle/awareness.h"

#include "app/app.h"
#include "app/frm_timer.h"
#include "app/product.h"
#include "cycle/frm_break_time_remaining.h"
#include "cycle/frm_restart_timer.h"
#include "cycle/frm_unwindle.h"
#include "tray/tray_animation.h"

namespace unw {

std::string WorkStatusText(const std::string& time, const char* suffix) {
  return std::string(kCompanyName) + " - " + kMakerUrl + " \r\nTime Remaining: " + time + suffix;
}

const char* const kAwayTip = "KORVANTE Unwindle \r\nYou are away; the time counts as a break.";
const char* const kHeldTip =
    "KORVANTE Unwindle \r\nA break is due; it waits until the full-screen program ends.";

std::string BreakStatusText(const std::string& time) {
  return std::string(kCompanyName) + " - " + kMakerUrl + " \r\nBreak Time Remaining: " + time;
}

BreakCycle::BreakCycle(App& app)
    : app_(app),
      frmUnwindle_(std::make_unique<FrmUnwindle>(app)),
      frmBreakTimeRemaining_(std::make_unique<FrmBreakTimeRemaining>(app)),
      frmRestartTimer_(std::make_unique<FrmRestartTimer>(app)) {}

BreakCycle::~BreakCycle() = default;

int32_t BreakCycle::WorkInterval() const {
  const Settings& s = app_.settings;
  return s.Hours * 3600 + static_cast<int16_t>(s.Minutes * 60) + s.Seconds;
}

std::string BreakCycle::WorkStatus(const char* suffix) const {
  return WorkStatusText(work_.Hms(), suffix);
}

void BreakCycle::SetState(CycleState s) {
  if (s != state_) app_.sys.trace.Line("cycle.state", {CycleStateName(s)});
  state_ = s;
  SyncTimers();
  app_.frmTimer().ShowCycle();
}

void BreakCycle::SyncTimers() {
  FrmTimer& main = app_.frmTimer();
  if (!main.loaded()) return;
  // The alert's timers never run beside the work countdown; the exit question holds both.
  main.Ctl("tmrMain").SetEnabled(state_ == CycleState::kCounting && !exitHold_);
  main.Ctl("tmrPlaySound").SetEnabled(state_ == CycleState::kFlashing && !exitHold_);
  main.Ctl("tmrFlash").SetEnabled(state_ == CycleState::kFlashing);
  main.Ctl("tmrBalloonTip").SetEnabled(state_ == CycleState::kBalloon && !exitHold_);
  main.Ctl("tmrAware").SetEnabled(app_.awareness.NeedsPolling() && !exitHold_);
}

void BreakCycle::Begin() {
  snoozeCount_ = 0;
  alertSeconds_ = 0;
  exitHold_ = false;
  state_ = CycleState::kStopped;
  work_.Reset(WorkInterval());
  SyncTimers();
  // The buttons keep their design captions until the first transition.
  app_.frmTimer().ShowTime();
}

void BreakCycle::Start() {
  if (IsAlert(state_)) EndAlert();
  // A paused countdown resumes; anything else counts the work interval afresh.
  if (state_ != CycleState::kPaused) work_.Reset(WorkInterval());
  const std::string status = WorkStatus(kStarted);
  const int16_t set = app_.settings.TrayIcon;
  if (set >= 0 && set < kTrafficLights) {
    app_.tray.SetTip(status);  // the first tick publishes it
  } else if (set == kTrafficLights) {
    app_.tray.RefreshTrayIcon(status);
  }
  SetState(CycleState::kCounting);
}

void BreakCycle::Pause() {
  if (IsAlert(state_)) EndAlert();
  const std::string status = WorkStatus(kPaused);
  const int16_t set = app_.settings.TrayIcon;
  if (set >= 0 && set < kTrafficLights) {
    app_.tray.SetTip(status);
    app_.tray.ModifyTrayIcon();
  } else if (set == kTrafficLights) {
    app_.tray.RefreshTrayIcon(status, /*paused*/ true);
  }
  SetState(CycleState::kPaused);
}

void BreakCycle::Stop() {
  if (IsAlert(state_)) EndAlert();
  snoozeCount_ = 0;
  LoadWorkInterval();
  work_.Reset(WorkInterval());
  TrayIcon& tray = app_.tray;
  tray.SetFrame(0);
  tray.ShowPicture(kPictureCurrent, WorkStatus(kStopped));
  SetState(CycleState::kStopped);
}

void BreakCycle::Tick() {
  if (work_.Done()) {
    alertSeconds_ = 0;
    // A new alert: the main window comes back after it only if it is on the screen now.
    mainWasShown_ = false;
    AlertUser();
    return;
  }
  work_.Tick();
  app_.frmTimer().ShowTime();
  app_.tray.RefreshTrayIcon(app_.awareness.away() ? kAwayTip : WorkStatus(kStarted));
}

void BreakCycle::LoadWorkInterval() {
  // A stored text that is not a number leaves that working value as it is (the next start
  // repairs it).
  for (const char* name : {"Hours", "Minutes", "Seconds"})
    app_.store.LoadSetting(Setting(name), app_.settings, /*repairUnreadable*/ false);
}

void BreakCycle::IntervalChanged() {
  if (IsAlert(state_)) EndAlert();
  if (state_ != CycleState::kStopped) return;
  work_.Reset(WorkInterval());
  app_.frmTimer().ShowTime();
}

void BreakCycle::PreferencesSaved() {
  TrayIcon& tray = app_.tray;
  if (state_ == CycleState::kStopped) {
    // A stopped timer shows the new interval with the new set's idle picture.
    work_.Reset(WorkInterval());
    app_.frmTimer().ShowTime();
    tray.ShowPicture(kPictureIdle, WorkStatus(kStopped));
    return;
  }
  if (IsAlert(state_)) {
    // The alert goes on as it was, in the new set's pictures.
    tray.SetIcon(tray.GetTrayIconPicture(kPictureIdle));
    tray.ModifyTrayIcon();
    return;
  }
  // The countdown goes on; the icon changes set without moving on by a frame.
  if (app_.settings.TrayIcon == kTrafficLights)
    tray.SetFrame(state_ == CycleState::kPaused ? 2 : 1);
  tray.ShowCurrentFrame();
}

void BreakCycle::HoldForExitQuestion(bool on) {
  exitHold_ = on;
  app_.sys.trace.Line("cycle.hold", {"exit", on ? "1" : "0"});
  SyncTimers();
}

void BreakCycle::BringBack() {
  FrmTimer& main = app_.frmTimer();
  main.SetWindowState(WindowState::kNormal);
  app_.sys.windows.SetForegroundWindow(main.hWnd());
  main.Show();
}

}  // namespace unw

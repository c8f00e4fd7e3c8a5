// The time-up alert and its answers: the break prompt, the tray alert with
// its balloon, flashing and repeats, and the break with its break-over prompt.
#include "alerts/sounds.h"
#include "app/app.h"
#include "app/frm_timer.h"
#include "app/product.h"
#include "cycle/awareness.h"
#include "cycle/break_cycle.h"
#include "cycle/frm_break_time_remaining.h"
#include "cycle/frm_restart_timer.h"
#include "cycle/frm_unwindle.h"
#include "tray/tray_animation.h"

namespace unw {

namespace {

constexpr const char* kTrayAlertTip = "KORVANTE Unwindle \r\nClick on the icon below for options.";
constexpr const char* kBalloonText =
    "What do you want to do?\r\nClick on the icon below for options.";

}  // namespace

void BreakCycle::HideWindowsForAlert(bool hide) {
  FrmTimer& main = app_.frmTimer();
  if (hide) {
    for (const char* name : {"frmAbout", "frmPreferences"}) {
      if (Form* f = app_.ui.Find(name)) f->Unload();
    }
    // Hidden already (by the user, or by this alert before): the memory stands.
    if (main.loaded() && main.visible()) {
      mainWasShown_ = main.windowState() == WindowState::kNormal;
      main.Hide();
    }
  } else if (mainWasShown_ && main.loaded() && main.windowState() == WindowState::kNormal) {
    // Minimized since (the user sent it to the tray): it stays where the user put it.
    main.Show();
  }
}

void BreakCycle::AlertUser() {
  const Settings& s = app_.settings;
  TrayIcon& tray = app_.tray;
  if (const char* reason = app_.awareness.HoldReason()) {
    Hold(reason);
    return;
  }
  snoozeSeconds_ = s.SnoozeMinutes * 60 + s.SnoozeSeconds;
  breakSeconds_ = s.BreakMinutes * 60 + s.BreakSeconds;
  soundTicks_ = 0;
  HideWindowsForAlert(true);
  app_.sounds.PlayAlertSound(snoozeCount_);
  if (s.AlertMeBy == 0) {
    tray.ShowPicture(kPictureIdle, kMainCaption);
    SetState(CycleState::kPrompt);
    Prompt(/*byUser*/ false);
  } else if (s.AlertMeBy == 1) {
    tray.ShowPicture(kPictureIdle, kTrayAlertTip);
    if (tray.ShellVersionAtLeast(6) && tray.BalloonTipsAllowedBySystem() &&
        s.BalloonTipsEnabled == 1) {
      static constexpr uint32_t kIcons[] = {kNiifInfo, kNiifWarning, kNiifError};
      tray.ShowBalloonTip(kIcons[SnoozeStep(s.NumberOfSnooze, snoozeCount_)], kMainCaption,
                          kBalloonText);
      SetState(CycleState::kBalloon);
    } else {
      SetState(CycleState::kFlashing);
    }
    if (snoozeCount_ <= s.NumberOfSnooze) ++snoozeCount_;
  } else {
    SetState(CycleState::kTimeUp);
  }
}

void BreakCycle::Hold(const char* reason) {
  app_.sys.trace.Line("aware.held", {reason});
  TrayIcon& tray = app_.tray;
  tray.ShowPicture(kPictureIdle, reason == std::string("away") ? kAwayTip : kHeldTip);
  SetState(CycleState::kHeld);
}

void BreakCycle::ReleaseHeldAlert() {
  if (state_ != CycleState::kHeld) return;
  app_.sys.trace.Line("aware.released", {});
  AlertUser();
}

void BreakCycle::ShowAway() {
  app_.tray.SetTip(kAwayTip);
  app_.tray.ModifyTrayIcon();
}

void BreakCycle::ShowBack() {
  if (state_ != CycleState::kCounting) return;
  app_.tray.SetTip(WorkStatus(kStarted));
  app_.tray.ModifyTrayIcon();
}

void BreakCycle::NaturalBreak() {
  const bool alert = IsAlert(state_);
  if (state_ != CycleState::kCounting && !alert) return;
  if (alert) HideWindowsForAlert(false);
  Stop();
  Start();
  // A prompt still waiting goes: its answer came too late to count.
  if (frmUnwindle_->loaded()) frmUnwindle_->Unload();
}

void BreakCycle::Prompt(bool byUser) {
  const PromptAnswer answer = frmUnwindle_->Ask(byUser);
  alertSeconds_ = 0;
  // Closed on the program's way out, or overtaken: nothing left to answer.
  if (ended_ || state_ != CycleState::kPrompt) return;
  HandleCustomMessage(answer);
}

void BreakCycle::HandleCustomMessage(PromptAnswer answer) {
  const Settings& s = app_.settings;
  switch (answer) {
    case PromptAnswer::kRemindLater:
      HideWindowsForAlert(false);
      work_.Reset(static_cast<int16_t>(s.SnoozeMinutes * 60 + s.SnoozeSeconds));
      app_.tray.RestartFrames();
      if (s.TrayIcon == kTrafficLights) app_.tray.RefreshTrayIcon(WorkStatus(kStarted));
      // Tray alerts count themselves; here each reminder taken counts.
      if (s.AlertMeBy == 0) ++snoozeCount_;
      SetState(CycleState::kCounting);
      break;
    case PromptAnswer::kTakeBreak:
      TakeBreak();
      break;
    case PromptAnswer::kStopTimer:
      HideWindowsForAlert(false);
      Stop();
      BringBack();
      break;
    case PromptAnswer::kRestartTimer:
      HideWindowsForAlert(false);
      Stop();
      Start();
      break;
  }
}

void BreakCycle::BreakNow() {
  if (state_ == CycleState::kOnBreak || state_ == CycleState::kBreakOver) return;
  HandleCustomMessage(PromptAnswer::kTakeBreak);
}

void BreakCycle::TakeBreak() {
  TrayIcon& tray = app_.tray;
  // A tray alert still on is answered by the break: its balloon timer or repeat would
  // otherwise open a prompt over it.
  if (IsAlert(state_)) EndAlert();
  HideWindowsForAlert(true);
  tray.RestartFrames();
  SetState(CycleState::kOnBreak);
  frmBreakTimeRemaining_->Show(true);
  if (ended_) return;
  LoadWorkInterval();
  work_.Reset(WorkInterval());
  SetState(CycleState::kBreakOver);
  // The idle picture while the break-over prompt waits, not the break's last frame.
  tray.SetFrame(0);
  tray.ShowPicture(kPictureCurrent, kMainCaption);
  snoozeCount_ = 0;
  // After a break that ran out, the prompt comes by itself: it does not take the keyboard.
  const PromptAnswer answer = frmRestartTimer_->Ask(!frmBreakTimeRemaining_->ranOut());
  if (ended_ || state_ != CycleState::kBreakOver) return;
  if (answer == PromptAnswer::kRestartTimer) {
    Start();
  } else {
    Stop();
    BringBack();
  }
}

void BreakCycle::StopBreak() {
  if (frmBreakTimeRemaining_->loaded()) frmBreakTimeRemaining_->Unload();
}

void BreakCycle::EndAlert() {
  TrayIcon& tray = app_.tray;
  soundTicks_ = 0;
  alertSeconds_ = 0;
  const std::uintptr_t idle = tray.GetTrayIconPicture(kPictureIdle);
  if (tray.balloonShowing())
    tray.ClearBalloonTip(idle, kMainCaption, /*takeDown*/ true);
  else
    tray.SetIcon(idle);  // not left on the flashing alert picture
}

void BreakCycle::tmrPlaySound_Timer() {
  if (soundTicks_ >= snoozeSeconds_) {
    // Nobody answered for a reminder's length: the whole alert comes again.
    FrmTimer& main = app_.frmTimer();
    main.Ctl("tmrPlaySound").SetEnabled(false);
    main.Ctl("tmrFlash").SetEnabled(false);
    soundTicks_ = 0;
    AlertUser();
  } else {
    ++soundTicks_;
  }
  if (alertSeconds_ <= breakSeconds_) ++alertSeconds_;
}

void BreakCycle::tmrFlash_Timer() {
  app_.tray.FlashStep();
}

void BreakCycle::tmrBalloonTip_Timer() {
  // The shell may never report the balloon's end (Wine does not): end it here.
  EndBalloonAlert();
}

void BreakCycle::EndBalloonAlert() {
  // The shell reports a balloon's end late or twice: only a balloon still showing turns into a
  // waiting alert.
  if (state_ != CycleState::kBalloon) return;
  TrayIcon& tray = app_.tray;
  tray.ClearBalloonTip(tray.GetTrayIconPicture(kPictureIdle), kTrayAlertTip);
  SetState(CycleState::kFlashing);
}

void BreakCycle::AcknowledgeTrayAlert() {
  if (state_ != CycleState::kFlashing) return;
  TrayIcon& tray = app_.tray;
  tray.SetFrame(0);
  tray.ShowPicture(kPictureCurrent, kMainCaption);
  HideWindowsForAlert(true);
  SetState(CycleState::kPrompt);
  Prompt(/*byUser*/ true);
}

}  // namespace unw

// The time-up alert and its answers: the break prompt, the tray alert with its balloon, flashing
// and repeats, and the break with its break-over question.
#include <utility>

#include "alerts/sounds.h"
#include "cycle/break_cycle.h"
#include "platform/event_loop.h"
#include "platform/trace.h"
#include "settings/product.h"
#include "settings/settings.h"
#include "tray/tray_icon.h"

namespace unw {

namespace {

constexpr const char* kTrayAlertTip =
    NT("KORVANTE Unwindle \nClick on the icon below for options.");
constexpr const char* kBalloonText =
    NT("What do you want to do?\nClick on the icon below for options.");

}  // namespace

void BreakCycle::AlertUser() {
  const Settings& s = d_.settings;
  if (const HoldReason reason = CurrentHold(); reason != HoldReason::kNone) {
    Hold(reason);
    return;
  }
  // A new alert, or one that waited: not the tray alert's own repeat.
  if (!IsAlert(state_) || state_ == CycleState::kHeld) {
    Tell({.kind = CycleEventKind::kAlertShown,
          .way = s.AlertMeBy == 0   ? AlertWay::kPrompt
                 : s.AlertMeBy == 1 ? AlertWay::kTray
                                    : AlertWay::kNone});
  }
  holdReason_ = HoldReason::kNone;
  snoozeSeconds_ = s.SnoozeMinutes * 60 + s.SnoozeSeconds;
  breakSeconds_ = s.BreakMinutes * 60 + s.BreakSeconds;
  soundTicks_ = 0;
  d_.view.HideForAlert(std::exchange(newAlert_, false));
  d_.sounds.PlayAlertSound(snoozeCount_);
  if (s.AlertMeBy == 0) {
    d_.tray.ShowIdle(kMainCaption);
    Prompt(/*byUser*/ false);
  } else if (s.AlertMeBy == 1) {
    d_.tray.ShowIdle(d_.texts.T(kTrayAlertTip));
    TrayIcon& tray = d_.tray;
    if (tray.NoticesAllowed() && s.BalloonTipsEnabled == 1) {
      tray.ShowAlertBalloon(SnoozeStep(s.NumberOfSnooze, snoozeCount_), kMainCaption,
                            d_.texts.T(kBalloonText));
      SetState(CycleState::kBalloon);
    } else {
      SetState(CycleState::kFlashing);
    }
    if (snoozeCount_ <= s.NumberOfSnooze) ++snoozeCount_;
  } else {
    SetState(CycleState::kTimeUp);
  }
}

void BreakCycle::Hold(HoldReason reason) {
  if (state_ != CycleState::kHeld) Tell({.kind = CycleEventKind::kAlertHeld, .hold = reason});
  holdReason_ = reason;
  heldProgram_ = reason == HoldReason::kProgram ? awareness_.heldProgram() : "";
  if (reason == HoldReason::kProgram)
    d_.trace.Line("aware.held", {HoldReasonName(reason), heldProgram_});
  else
    d_.trace.Line("aware.held", {HoldReasonName(reason)});
  d_.tray.ShowIdle(HoldTip(d_.texts, reason, heldProgram_));
  SetState(CycleState::kHeld);
}

void BreakCycle::RecheckHold() {
  if (state_ != CycleState::kHeld) return;
  const HoldReason reason = CurrentHold();
  if (reason == HoldReason::kNone) {
    d_.trace.Line("aware.released", {});
    AlertUser();
  } else if (reason != holdReason_ ||
             (reason == HoldReason::kProgram && awareness_.heldProgram() != heldProgram_)) {
    Hold(reason);  // the tray says what it waits for now
  }
}

void BreakCycle::ShowAway() {
  d_.tray.ShowTip(d_.texts.T(kAwayTip));
}

void BreakCycle::ShowBack() {
  if (state_ != CycleState::kCounting) return;
  d_.tray.ShowTip(CountingTip());
}

void BreakCycle::NaturalBreak(AwayKind away, int64_t awayMs) {
  const bool alert = IsAlert(state_);
  if (state_ != CycleState::kCounting && !alert) return;
  Tell({.kind = CycleEventKind::kNaturalBreak, .away = away, .seconds = awayMs / 1000});
  if (alert) ReturnAfterAlert();
  StopCountdown();
  StartCountdown();
  // A prompt still waiting goes: its answer came too late to count.
  d_.view.ClosePrompt();
}

void BreakCycle::Prompt(bool byUser) {
  const Settings& s = d_.settings;
  // The prompt takes the lengths as they are when it opens.
  breakSeconds_ = s.BreakMinutes * 60 + s.BreakSeconds;
  snoozeSeconds_ = s.SnoozeMinutes * 60 + s.SnoozeSeconds;
  soundTicks_ = 0;
  // Left unanswered (or away) for a break's length already: Restart Timer instead of a reminder.
  awaySeconds_ = alertSeconds_;
  offerRestart_ = awaySeconds_ >= breakSeconds_;
  if (offerRestart_) awaySeconds_ = 0;
  SetState(CycleState::kPrompt);
  const uint32_t serial = ++promptSerial_;
  // A timer's handler is never entered again while it waits in a modal loop: a prompt opened in a
  // tick of the repeat, of the look at the user or of the clock would lose that timer for as long
  // as it is open. It opens from the loop once the tick is over.
  if (tmrPlaySound_.ticking() || tmrAware_.ticking() || tmrClock_.ticking()) {
    d_.loop.After(0, [this, byUser, serial] { AskPrompt(byUser, serial); });
    return;
  }
  AskPrompt(byUser, serial);
}

void BreakCycle::AskPrompt(bool byUser, uint32_t serial) {
  if (serial != promptSerial_) return;  // a later prompt took its place
  // Overtaken before it could open (a natural break, a pause, the program's end): nothing to ask.
  const bool open = !ended_ && state_ == CycleState::kPrompt;
  const PromptAnswer answer = open ? d_.view.AskBreakPrompt(byUser) : PromptAnswer::kStopTimer;
  alertSeconds_ = awaySeconds_ = soundTicks_ = 0;
  offerRestart_ = false;
  // Closed on the program's way out, or overtaken: nothing left to answer.
  if (!open || ended_ || state_ != CycleState::kPrompt || serial != promptSerial_) return;
  HandleCustomMessage(answer);
}

void BreakCycle::CountAway() {
  if (offerRestart_) return;
  if (awaySeconds_ >= breakSeconds_) {
    awaySeconds_ = 0;
    offerRestart_ = true;
    ShowState();
  } else {
    ++awaySeconds_;
  }
}

void BreakCycle::RepeatSound() {
  // Nobody is there to hear it (or the user is busy with what holds alerts): it waits.
  if (CurrentHold() != HoldReason::kNone) return;
  if (soundTicks_ >= snoozeSeconds_) {
    soundTicks_ = 0;
    d_.sounds.PlayAlertSound(snoozeCount_);
  } else {
    ++soundTicks_;
  }
}

void BreakCycle::HandleCustomMessage(PromptAnswer answer) {
  const Settings& s = d_.settings;
  switch (answer) {
    case PromptAnswer::kRemindLater:
      Tell({CycleEventKind::kSnoozed});
      d_.view.ReturnAfterAlert();
      work_.Reset(static_cast<int16_t>(s.SnoozeMinutes * 60 + s.SnoozeSeconds));
      d_.tray.CountdownStartsAfresh(CountingTip());
      // Tray alerts count themselves; here each reminder taken counts.
      if (s.AlertMeBy == 0) ++snoozeCount_;
      // No short break in the reminder interval: the long one is due.
      reminderInterval_ = true;
      SetState(CycleState::kCounting);
      break;
    case PromptAnswer::kTakeBreak:
      TakeBreak(BreakSource::kPrompt);
      break;
    case PromptAnswer::kStopTimer:
      Tell({.kind = CycleEventKind::kBreakSkipped, .answer = answer});
      d_.view.ReturnAfterAlert();
      StopCountdown();
      d_.view.BringBack();
      break;
    case PromptAnswer::kRestartTimer:
      Tell({.kind = CycleEventKind::kBreakSkipped, .answer = answer});
      d_.view.ReturnAfterAlert();
      StopCountdown();
      StartCountdown();
      break;
  }
}

void BreakCycle::BreakNow(BreakSource source) {
  if (state_ == CycleState::kOnBreak || state_ == CycleState::kBreakOver) return;
  TakeBreak(source);
}

void BreakCycle::TakeBreak(BreakSource source) {
  const Settings& s = d_.settings;
  // A tray alert still on is answered by the break: its balloon timer or repeat would otherwise
  // open a prompt over it.
  if (IsAlert(state_)) EndAlert();
  d_.view.HideForAlert(false);
  breakTime_.Reset(static_cast<int16_t>(s.BreakMinutes * 60 + s.BreakSeconds));
  breakOn_ = true;
  ranOut_ = false;
  // Where the break shows is taken as it begins: a change in the settings meanwhile waits for
  // the next break.
  screen_ = s.BreakScreen == 1;
  strict_ = screen_ && s.StrictBreaks == 1;
  screenEnd_ = ScreenBreakEnd::kCut;
  d_.tray.CountdownStartsAfresh(BreakStatusText(d_.texts, breakTime_.Ms()));
  Tell({.kind = CycleEventKind::kBreakStarted, .source = source});
  SetState(CycleState::kOnBreak);
  d_.view.RunBreak();
  breakOn_ = false;
  tmrBreak_.Run(false);
  Tell({.kind = CycleEventKind::kBreakEnded, .ranOut = ranOut_, .seconds = breakTime_.elapsed()});
  const bool postponed = screen_ && !ranOut_ && screenEnd_ == ScreenBreakEnd::kPostponed;
  if (screen_)
    ScreenBreakOver(false, ranOut_ ? ScreenBreakEnd::kRanOut : screenEnd_, breakTime_.elapsed());
  screen_ = strict_ = false;
  if (ended_) return;
  if (postponed) {
    // As Remind Later at the prompt: the reminder interval counts, and no question is asked.
    HandleCustomMessage(PromptAnswer::kRemindLater);
    return;
  }
  d_.view.HideForAlert(false);
  LoadWorkInterval();
  work_.Reset(WorkInterval());
  snoozeSeconds_ = s.SnoozeMinutes * 60 + s.SnoozeSeconds;
  soundTicks_ = 0;
  snoozeCount_ = 0;
  // The break's last picture stays while the break-over question waits; the next countdown
  // starts from the first frame, and a Stop shows it.
  d_.tray.ShowPicture(kPictureCurrent, kMainCaption);
  d_.tray.SetFrame(0);
  SetState(CycleState::kBreakOver);
  // A call, a full-screen program...: the announcement waits like its repeats, and comes with the
  // first second free of it. Away (the break's own lock), it is given as it always was.
  if (const HoldReason hold = CurrentHold(); hold == HoldReason::kNone || hold == HoldReason::kAway)
    d_.sounds.AnnounceBreakOver();
  else
    soundTicks_ = snoozeSeconds_;
  // After a break that ran out, the question comes by itself: it does not take the keyboard.
  const PromptAnswer answer = d_.view.AskBreakOver(!ranOut_);
  if (ended_ || state_ != CycleState::kBreakOver) return;
  if (answer == PromptAnswer::kRestartTimer) {
    Start();
  } else {
    Stop();
    d_.view.BringBack();
  }
}

void BreakCycle::tmrBreak_Timer() {
  if (breakTime_.Done()) {
    ranOut_ = true;
    StopBreak();
    return;
  }
  breakTime_.Tick();
  // A click on "Stop Break" waiting now is handled before the display moves on.
  d_.loop.ProcessPendingEvents();
  if (!breakOn_ || ended_) return;  // stopped just now: a closed break stays closed
  ShowState();
  d_.tray.CountdownTicked(BreakStatusText(d_.texts, breakTime_.Ms()));
}

void BreakCycle::StopBreak() {
  if (!breakOn_) return;
  // A strict break ends by running out (or the user's time away), or with the program.
  if (strict_ && !ranOut_) {
    d_.trace.Line("breakscreen.refused", {"stop"});
    return;
  }
  breakOn_ = false;
  tmrBreak_.Run(false);
  d_.view.HideForAlert(false);
  d_.view.CloseBreak();
}

void BreakCycle::PostponeBreak() {
  if (!breakOn_ || !Snapshot().postponeAllowed) return;
  screenEnd_ = ScreenBreakEnd::kPostponed;
  StopBreak();
}

void BreakCycle::SkipBreak() {
  if (!breakOn_ || !screen_ || strict_) return;
  screenEnd_ = ScreenBreakEnd::kSkipped;
  StopBreak();
}

void BreakCycle::BreakAwayEnded(int64_t awayMs) {
  // A lock lets the break count down meanwhile; a sleep stops its timer, so the time away says
  // what the countdown could not.
  if (!breakOn_ || !screen_ || awayMs < breakTime_.remaining() * 1000LL) return;
  d_.trace.Line("breakscreen.away", {std::to_string(awayMs / 1000)});
  ranOut_ = true;
  StopBreak();
}

void BreakCycle::ScreenBreakOver(bool shortBreak, ScreenBreakEnd how, int32_t seconds) {
  d_.trace.Line("breakscreen.end",
                {shortBreak ? "short" : "long", ScreenBreakEndName(how), std::to_string(seconds)});
  Tell({.kind = CycleEventKind::kScreenBreakEnded, .screenEnd = how, .seconds = seconds});
}

void BreakCycle::ReturnAfterAlert() {
  if (!newAlert_) d_.view.ReturnAfterAlert();
}

void BreakCycle::EndAlert() {
  soundTicks_ = 0;
  alertSeconds_ = 0;
  d_.tray.AlertOver(kMainCaption);
}

void BreakCycle::tmrPlaySound_Timer() {
  switch (state_) {
    case CycleState::kFlashing:
      if (soundTicks_ >= snoozeSeconds_) {
        // Nobody answered for a reminder's length: the whole alert comes again.
        tmrPlaySound_.Run(false);
        tmrFlash_.Run(false);
        soundTicks_ = 0;
        AlertUser();
      } else {
        ++soundTicks_;
      }
      if (alertSeconds_ <= breakSeconds_) ++alertSeconds_;
      break;
    case CycleState::kPrompt:
      CountAway();
      RepeatSound();
      break;
    case CycleState::kBreakOver:
      RepeatSound();
      break;
    default:
      break;
  }
}

void BreakCycle::tmrFlash_Timer() {
  d_.tray.FlashStep();
}

void BreakCycle::tmrBalloonTip_Timer() {
  // The shell may never report the balloon's end (Wine does not): end it here.
  EndBalloonAlert();
}

void BreakCycle::EndBalloonAlert() {
  // The shell reports a balloon's end late or twice: only a balloon still showing turns into a
  // waiting alert.
  if (state_ != CycleState::kBalloon) return;
  d_.tray.BalloonOver(d_.texts.T(kTrayAlertTip));
  SetState(CycleState::kFlashing);
}

void BreakCycle::AcknowledgeTrayAlert() {
  if (state_ != CycleState::kFlashing) return;
  // The exit question or a settings window is open: the prompt would unload what was typed there,
  // or come over the question. The alert waits for it, as one that falls due then does.
  if (exitHold_ || preferencesHold_) {
    Hold(exitHold_ ? HoldReason::kExitQuestion : HoldReason::kPreferences);
    return;
  }
  d_.tray.ShowFirstFrame(kMainCaption);
  d_.view.HideForAlert(false);
  Prompt(/*byUser*/ true);
}

}  // namespace unw

// Control over time: a pause that ends by the clock, and working hours outside which a counting
// timer rests. Both look at the wall clock (Calendar) once a minute at most while they matter, at
// the moment due, and whenever the clock may have jumped; nothing ticks while the timer rests.
#include <algorithm>

#include "cycle/break_cycle.h"
#include "platform/calendar.h"
#include "platform/trace.h"
#include "settings/settings.h"
#include "settings/settings_store.h"
#include "tray/tray_icon.h"

namespace unw {

namespace {

// The longest the clock goes unwatched while it matters: a change of the clock, or of daylight
// saving, is seen within it.
constexpr int64_t kClockWatchMs = 60000;

const char* PauseName(const TimedPause& p) {
  return p.untilTomorrow ? "tomorrow" : nullptr;
}

}  // namespace

bool BreakCycle::WorkingHoursOn() const {
  return d_.settings.WorkingHoursEnabled == 1;
}

WorkingHours BreakCycle::Hours() const {
  return ReadWorkingHours(d_.settings.WorkingHours).hours;
}

std::optional<int64_t> BreakCycle::NextWorkStart() {
  return unw::NextWorkStart(Hours(), d_.calendar, d_.calendar.UtcMs());
}

void BreakCycle::StorePausedUntil(const std::string& text) {
  d_.settings.PausedUntil = StoredText(text);
  // Kept where a restart, a log-off or a crash finds it; a store that refuses costs only that.
  d_.store.WriteSettingValue(Setting(&Settings::PausedUntil).name, text);
}

void BreakCycle::Launch(bool startTimer) {
  const int64_t now = d_.calendar.UtcMs();
  if (const auto end = ReadPausedUntil(d_.settings.PausedUntil, now)) {
    // The pause the program was in when it last ended goes on; it began before this run, so its
    // end finds the work period to start afresh.
    pauseStartUtc_ = 0;
    pauseEndUtc_ = *end;
    d_.trace.Line("cycle.pause", {FormatPausedUntil(*end), "restored"});
    d_.tray.CountdownPaused(PausedTip(d_.texts, d_.calendar, now, *end));
    SetState(CycleState::kPausedUntil);
    return;
  }
  // A stored end in the past (or one the program cannot read) is simply over.
  if (d_.settings.PausedUntil.find_first_not_of(' ') != std::string::npos) StorePausedUntil("");
  if (startTimer) Start();
}

void BreakCycle::PauseFor(const TimedPause& pause) {
  if (state_ == CycleState::kStopped || state_ == CycleState::kOnBreak ||
      state_ == CycleState::kBreakOver)
    return;
  const int64_t now = d_.calendar.UtcMs();
  const WorkingHours hours = Hours();
  const int64_t end = unw::PauseEnd(pause, WorkingHoursOn() ? &hours : nullptr, d_.calendar, now);
  Tell({.kind = CycleEventKind::kWorkPausedUntil, .seconds = (end - now) / 1000});
  if (IsAlert(state_)) {
    ReturnAfterAlert();
    EndAlert();
  }
  // A prompt still waiting goes, as for a natural break: the pause answers it.
  const bool prompt = state_ == CycleState::kPrompt;
  if (state_ == CycleState::kResting) work_.Reset(WorkInterval());
  pauseStartUtc_ = now;
  pauseEndUtc_ = end;
  StorePausedUntil(FormatPausedUntil(end));
  const char* name = PauseName(pause);
  d_.trace.Line("cycle.pause",
                {FormatPausedUntil(end), name ? name : std::to_string(pause.minutes)});
  d_.tray.CountdownPaused(PausedTip(d_.texts, d_.calendar, now, end));
  SetState(CycleState::kPausedUntil);
  if (prompt) d_.view.ClosePrompt();
}

void BreakCycle::Resume() {
  if (state_ == CycleState::kPausedUntil || state_ == CycleState::kPaused) Start();
}

void BreakCycle::EndTimedPause(const char* how) {
  const int64_t now = d_.calendar.UtcMs();
  const int64_t breakMs = (d_.settings.BreakMinutes * 60 + d_.settings.BreakSeconds) * 1000LL;
  // A pause as long as a break was one.
  const bool wasBreak = pauseStartUtc_ == 0 || now - pauseStartUtc_ >= breakMs;
  d_.trace.Line("cycle.pause.end", {how, wasBreak ? "break" : "continue"});
  Tell({wasBreak ? CycleEventKind::kWorkStarted : CycleEventKind::kWorkResumed});
  if (wasBreak) {
    // A new work period, as after a natural break: no reminder given in it yet.
    work_.Reset(WorkInterval());
    snoozeCount_ = 0;
  }
  CountOnOrRest(now);
}

bool BreakCycle::OutsideWorkingHours(int64_t utcMs) {
  return WorkingHoursOn() && !WithinWorkingHours(Hours(), d_.calendar, utcMs);
}

void BreakCycle::CountOnOrRest(int64_t utcMs) {
  if (OutsideWorkingHours(utcMs)) {
    Rest();
    return;
  }
  d_.tray.CountdownGoesOn(CountingTip());
  SetState(CycleState::kCounting);
}

void BreakCycle::Rest() {
  Tell({CycleEventKind::kWorkResting});
  if (IsAlert(state_)) {
    // The alert is over: the main window comes back if the alert took it off the screen.
    ReturnAfterAlert();
    EndAlert();
  }
  const bool prompt = state_ == CycleState::kPrompt;
  // The rest is a break: the next working period starts from its full interval with no reminder
  // given in it yet.
  work_.Reset(WorkInterval());
  snoozeCount_ = 0;
  const auto start = NextWorkStart();
  d_.trace.Line("cycle.hours", {"rest", start ? FormatPausedUntil(*start) : ""});
  d_.tray.ShowFirstFrame(OutsideHoursTip(d_.texts, d_.calendar, d_.calendar.UtcMs(), start));
  SetState(CycleState::kResting);
  // No alert outside working hours: a prompt still open goes unanswered.
  if (prompt) d_.view.ClosePrompt();
}

void BreakCycle::Wake() {
  d_.trace.Line("cycle.hours", {"work"});
  Tell({CycleEventKind::kWorkStarted});
  work_.Reset(WorkInterval());
  d_.tray.CountdownStartsAfresh(CountingTip());
  SetState(CycleState::kCounting);
}

void BreakCycle::RecheckClock() {
  if (ended_) return;
  const int64_t now = d_.calendar.UtcMs();
  if (state_ == CycleState::kPausedUntil && now >= pauseEndUtc_) EndTimedPause("time");
  if (WorkingHoursOn()) {
    const bool within = WithinWorkingHours(Hours(), d_.calendar, now);
    const bool working = state_ == CycleState::kCounting || IsAlert(state_);
    if (!within && working)
      Rest();
    else if (within && state_ == CycleState::kResting)
      Wake();
  } else if (state_ == CycleState::kResting) {
    Wake();  // working hours were turned off
  }
  ShowClockTip();
  ArmClock();
}

void BreakCycle::RetellTip() {
  switch (state_) {
    case CycleState::kStopped:
      d_.tray.ShowTip(WorkStatus(WorkTip::kStopped));
      break;
    case CycleState::kPaused:
      d_.tray.ShowTip(WorkStatus(WorkTip::kPaused));
      break;
    case CycleState::kCounting:
      d_.tray.ShowTip(awareness_.away() ? d_.texts.T(kAwayTip) : CountingTip());
      break;
    case CycleState::kPausedUntil:
    case CycleState::kResting:
      ShowClockTip();
      break;
    case CycleState::kOnBreak:
      d_.tray.ShowTip(BreakStatusText(d_.texts, breakTime_.Ms()));
      break;
    case CycleState::kHeld:
      d_.tray.ShowTip(HoldTip(d_.texts, holdReason_, heldProgram_));
      break;
    default:
      break;  // an alert: its own texts, said when it comes
  }
}

void BreakCycle::ShowClockTip() {
  const int64_t now = d_.calendar.UtcMs();
  if (state_ == CycleState::kPausedUntil)
    d_.tray.ShowTip(PausedTip(d_.texts, d_.calendar, now, pauseEndUtc_));
  else if (state_ == CycleState::kResting)
    d_.tray.ShowTip(OutsideHoursTip(d_.texts, d_.calendar, now, NextWorkStart()));
}

void BreakCycle::ArmClock() {
  tmrClock_.Run(false);
  if (ended_) return;
  const int64_t now = d_.calendar.UtcMs();
  const bool counts = state_ == CycleState::kCounting || IsAlert(state_);
  // The next moment that matters: the end of a timed pause, the start of working hours for a
  // resting timer, their end for a counting one.
  std::optional<int64_t> due;
  if (state_ == CycleState::kPausedUntil) {
    due = pauseEndUtc_;
  } else if (WorkingHoursOn() && (state_ == CycleState::kResting || counts)) {
    const WorkingHours hours = Hours();
    due = state_ == CycleState::kResting ? unw::NextWorkStart(hours, d_.calendar, now)
                                         : WorkEnd(hours, d_.calendar, now);
    // No day set, or hours that run on: the clock is watched for changes all the same.
    if (!due) due = now + kClockWatchMs;
  }
  if (!due) return;
  const int64_t wait = std::clamp<int64_t>(due.value_or(now) - now, 1, kClockWatchMs);
  tmrClock_.SetInterval(static_cast<uint32_t>(wait));
  tmrClock_.Run(true);
}

}  // namespace unw

// Short breaks between the long ones, and the heads-up before a break of either kind.
//
// The work countdown stays the long break's clock. Short breaks keep a clock of their own in
// seconds of counting, moved on by the work countdown's tick (no timer of their own): a short
// break falls due every ShortBreakMinutes of counting since the last break of either kind, never
// when the long break comes soon, never while anything else of the cycle is under way, and the
// work countdown goes on under it.
#include <string>

#include "alerts/sounds.h"
#include "cycle/break_cycle.h"
#include "platform/presence.h"
#include "platform/trace.h"
#include "settings/settings.h"

namespace unw {

namespace {

// Later on a short break puts it off by two minutes of work, at most twice in a row; Later on a
// short break's heads-up by five.
constexpr int32_t kShortLaterSeconds = 120;
constexpr int kShortLatersInARow = 2;
constexpr int32_t kShortHeadsUpLaterSeconds = 300;

const char* HeadsUpName(HeadsUpKind k) {
  return k == HeadsUpKind::kShort ? "short" : "long";
}

}  // namespace

bool BreakCycle::ShortBreaksOn() const {
  return d_.settings.ShortBreaks == 1;
}

int32_t BreakCycle::ShortInterval() const {
  return d_.settings.ShortBreakMinutes * 60;
}

int32_t BreakCycle::ShortLength() const {
  return d_.settings.ShortBreakSeconds;
}

void BreakCycle::ShortClockAnew() {
  shortCounted_ = 0;
  shortDue_ = ShortInterval();
  shortLaters_ = 0;
  shortHeld_ = false;
  shortHeadsUpGiven_ = false;
}

void BreakCycle::NewWorkPeriod() {
  ShortClockAnew();
  shortDropped_ = false;
  reminderInterval_ = false;
  shortIdle_ = false;
  longHeadsUpGiven_ = false;
}

int32_t BreakCycle::NextShortBreak() const {
  if (!ShortBreaksOn() || shortOn_ || state_ != CycleState::kCounting || reminderInterval_ ||
      shortDropped_)
    return -1;
  return shortDue_ > shortCounted_ ? shortDue_ - shortCounted_ : 0;
}

std::string BreakCycle::CountingTip() const {
  std::string tip = WorkStatus(WorkTip::kStarted);
  if (shortOn_)
    tip += "\n" + d_.texts.T("Short break: {time} left.",
                             {{"time", MinutesSeconds(shortBreak_.remaining())}});
  else if (const int32_t next = NextShortBreak(); next >= 0)
    tip += "\n" + d_.texts.T("Next short break in {time}.", {{"time", MinutesSeconds(next)}});
  return tip;
}

void BreakCycle::HearForShortBreaks(const CycleEvent& e) {
  switch (e.kind) {
    case CycleEventKind::kWorkStarted:   // a new work period from its full interval
    case CycleEventKind::kNaturalBreak:  // away as long as a break: both clocks start anew
    case CycleEventKind::kBreakSkipped:  // Restart Timer starts a new period; Stop Timer stops
    case CycleEventKind::kBreakStarted:
      if (shortOn_) EndShortBreak(ShortBreakEnd::kCut);
      CloseHeadsUp();
      NewWorkPeriod();
      break;
    case CycleEventKind::kWorkPaused:  // the clock stands where it was, as the countdown does
    case CycleEventKind::kWorkPausedUntil:
    case CycleEventKind::kWorkResting:
    case CycleEventKind::kWorkStopped:
    case CycleEventKind::kAlertShown:
    case CycleEventKind::kAlertHeld:
    case CycleEventKind::kSnoozed:
    case CycleEventKind::kProgramEnded:
      if (shortOn_) EndShortBreak(ShortBreakEnd::kCut);
      CloseHeadsUp();
      break;
    default:
      break;
  }
}

bool BreakCycle::ShortBreakFits(int32_t workLeft) const {
  // The long break comes soon (within half a short interval, or before this one would end): it
  // stands in for the short one.
  return workLeft > ShortInterval() / 2 && workLeft > ShortLength();
}

void BreakCycle::ShortBreakTick() {
  if (shortOn_) {
    if (shortBreak_.Done())
      EndShortBreak(ShortBreakEnd::kRanOut);
    else
      shortBreak_.Tick();
    return;
  }
  if (state_ != CycleState::kCounting) return;
  if (ShortBreaksOn() && !reminderInterval_ && !shortDropped_) CountShortClock();
  if (!shortOn_) HeadsUpTick();
}

void BreakCycle::CountShortClock() {
  // It stands at the due moment while the short break waits.
  if (shortCounted_ < shortDue_) ++shortCounted_;
  // No input for a short break's length counts as one; the clock starts anew when input comes.
  if (d_.settings.IdleCountsAsBreak == 1) {
    if (d_.presence.IdleMs() >= ShortLength() * 1000LL) {
      shortIdle_ = true;
    } else if (shortIdle_) {
      shortIdle_ = false;
      d_.trace.Line("shortbreak.away", {"idle"});
      ShortClockAnew();
      return;
    }
  }
  if (shortCounted_ < shortDue_ || shortIdle_ || awareness_.away()) return;
  if (!ShortBreakFits(work_.remaining())) {
    shortDropped_ = true;
    d_.trace.Line("shortbreak.due", {"longsoon"});
    return;
  }
  if (const HoldReason hold = CurrentHold(); hold != HoldReason::kNone) {
    if (!shortHeld_) d_.trace.Line("shortbreak.due", {"held", HoldReasonName(hold)});
    shortHeld_ = true;
    return;
  }
  StartShortBreak("due");
}

void BreakCycle::StartShortBreak(const char* why) {
  CloseHeadsUp();
  shortHeld_ = false;
  d_.trace.Line("shortbreak.due", {why});
  shortOn_ = true;
  shortScreen_ = d_.settings.ShortBreakScreen == 1;
  shortStrict_ = shortScreen_ && d_.settings.StrictBreaks == 1;
  shortBreak_.Reset(ShortLength());
  d_.trace.Line("shortbreak.show", {std::to_string(ShortLength())});
  Tell({.kind = CycleEventKind::kShortBreakStarted, .seconds = ShortLength()});
  if (d_.settings.ShortBreakSound == 1) d_.sounds.PlayShortBreakSound(true);
  SyncTimers();
}

void BreakCycle::EndShortBreak(ShortBreakEnd how) {
  if (!shortOn_) return;
  shortOn_ = false;
  const int32_t lasted = shortBreak_.elapsed();
  d_.trace.Line("shortbreak.end", {ShortBreakEndName(how), std::to_string(lasted)});
  Tell({.kind = CycleEventKind::kShortBreakEnded, .shortEnd = how, .seconds = lasted});
  if (shortScreen_) {
    const ScreenBreakEnd screenEnd = how == ShortBreakEnd::kLater     ? ScreenBreakEnd::kPostponed
                                     : how == ShortBreakEnd::kSkipped ? ScreenBreakEnd::kSkipped
                                     : how == ShortBreakEnd::kCut     ? ScreenBreakEnd::kCut
                                                                      : ScreenBreakEnd::kRanOut;
    ScreenBreakOver(true, screenEnd, lasted);
  }
  shortScreen_ = shortStrict_ = false;
  if (how == ShortBreakEnd::kRanOut && d_.settings.ShortBreakSound == 1)
    d_.sounds.PlayShortBreakSound(false);
  if (how == ShortBreakEnd::kLater) {
    ++shortLaters_;
    shortDue_ = shortCounted_ + kShortLaterSeconds;
    shortHeadsUpGiven_ = false;
  } else {
    // Over, however it ended (a pause under it stood for it): the next one a whole interval on.
    ShortClockAnew();
  }
  SyncTimers();
}

void BreakCycle::HeadsUpTick() {
  const int32_t lead = d_.settings.HeadsUpSeconds;
  if (lead <= 0) return;
  const int32_t longLeft = work_.remaining();
  const int32_t shortLeft = shortDue_ - shortCounted_;
  if (headsUp_ != HeadsUpKind::kNone) {
    // It counts down with what it announces, and goes when that comes.
    if ((headsUp_ == HeadsUpKind::kLong ? longLeft : shortLeft) <= 0) CloseHeadsUp();
    return;
  }
  // The long break's first; a period no longer than the heads-up gets none.
  const bool longSoon =
      !longHeadsUpGiven_ && longLeft > 0 && longLeft <= lead && work_.total() > lead;
  // The short break's, when it will be given.
  const bool shortSoon = !longSoon && NextShortBreak() > 0 && !shortHeadsUpGiven_ &&
                         shortLeft <= lead && ShortInterval() > lead &&
                         ShortBreakFits(longLeft - shortLeft);
  if (!longSoon && !shortSoon) return;
  // What would hold the break holds its heads-up; it comes once nothing does, if still in time.
  if (awareness_.away() || shortIdle_ || CurrentHold() != HoldReason::kNone) return;
  headsUp_ = longSoon ? HeadsUpKind::kLong : HeadsUpKind::kShort;
  (longSoon ? longHeadsUpGiven_ : shortHeadsUpGiven_) = true;
  d_.trace.Line("headsup.show",
                {HeadsUpName(headsUp_), std::to_string(longSoon ? longLeft : shortLeft)});
}

void BreakCycle::CloseHeadsUp() {
  headsUp_ = HeadsUpKind::kNone;
}

bool BreakCycle::ShortBreakNow() {
  if (state_ == CycleState::kOnBreak || state_ == CycleState::kBreakOver || IsAlert(state_))
    return false;
  if (!shortOn_) StartShortBreak("now");
  ShowState();
  return true;
}

void BreakCycle::ShortBreakLater() {
  if (!shortOn_ || shortLaters_ >= kShortLatersInARow || shortStrict_) return;
  EndShortBreak(ShortBreakEnd::kLater);
  ShowState();
}

void BreakCycle::ShortBreakSkip() {
  if (!shortOn_ || shortStrict_) return;
  EndShortBreak(ShortBreakEnd::kSkipped);
  ShowState();
}

void BreakCycle::HeadsUpLater() {
  const Settings& s = d_.settings;
  const HeadsUpKind kind = headsUp_;
  if (kind == HeadsUpKind::kShort) {
    shortDue_ += kShortHeadsUpLaterSeconds;
    shortHeadsUpGiven_ = false;
  } else if (kind == HeadsUpKind::kLong) {
    if (SnoozeStep(s.NumberOfSnooze, snoozeCount_) == 2) return;  // no reminder left
    // A reminder given ahead: the long break comes a reminder's length later.
    Tell({CycleEventKind::kSnoozed});
    ++snoozeCount_;
    work_.Reset(work_.remaining() + s.SnoozeMinutes * 60 + s.SnoozeSeconds);
    longHeadsUpGiven_ = false;
  } else {
    return;
  }
  d_.trace.Line("headsup.later", {HeadsUpName(kind)});
  CloseHeadsUp();
  ShowState();
}

void BreakCycle::HeadsUpClose() {
  if (headsUp_ == HeadsUpKind::kNone) return;
  CloseHeadsUp();
  ShowState();
}

void BreakCycle::ShortBreaksChanged() {
  if (!ShortBreaksOn()) {
    if (shortOn_) EndShortBreak(ShortBreakEnd::kCut);
    if (headsUp_ == HeadsUpKind::kShort) CloseHeadsUp();
  }
  if (d_.settings.HeadsUpSeconds == 0) CloseHeadsUp();
  // The next short break comes a whole new interval from now.
  ShortClockAnew();
  ShowState();
}

void BreakCycle::ShortAwayEnded(int64_t awayMs) {
  if (!ShortBreaksOn() || awayMs < ShortLength() * 1000LL) return;
  if (shortOn_) {
    EndShortBreak(ShortBreakEnd::kAway);
  } else if (state_ == CycleState::kCounting) {
    d_.trace.Line("shortbreak.away", {std::to_string(awayMs / 1000)});
    ShortClockAnew();
  }
}

}  // namespace unw

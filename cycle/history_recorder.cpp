#include "cycle/history_recorder.h"

#include <algorithm>

#include "history/journal.h"
#include "settings/settings.h"

namespace unw {

namespace {

// The cycle's reasons grow with the program (calls, Do Not Disturb...): one the journal has no word
// for is still a hold, and the time it holds is still no work.
HoldWhy HoldWhyOf(HoldReason reason) {
  switch (reason) {
    case HoldReason::kAway:
      return HoldWhy::kAway;
    case HoldReason::kFullScreen:
      return HoldWhy::kFullScreen;
    case HoldReason::kExitQuestion:
      return HoldWhy::kExitQuestion;
    case HoldReason::kPreferences:
      return HoldWhy::kPreferences;
    case HoldReason::kCall:
      return HoldWhy::kCall;
    case HoldReason::kDoNotDisturb:
      return HoldWhy::kDoNotDisturb;
    case HoldReason::kProgram:
      return HoldWhy::kProgram;
    default:
      return HoldWhy::kOther;
  }
}

AlertedBy AlertedByOf(AlertWay way) {
  switch (way) {
    case AlertWay::kPrompt:
      return AlertedBy::kPrompt;
    case AlertWay::kTray:
      return AlertedBy::kTray;
    case AlertWay::kNone:
      break;
  }
  return AlertedBy::kNone;
}

ScreenEnd ScreenEndOf(ScreenBreakEnd how) {
  switch (how) {
    case ScreenBreakEnd::kRanOut:
      break;
    case ScreenBreakEnd::kPostponed:
      return ScreenEnd::kPostponed;
    case ScreenBreakEnd::kSkipped:
      return ScreenEnd::kSkipped;
    case ScreenBreakEnd::kCut:
      return ScreenEnd::kCut;
  }
  return ScreenEnd::kRanOut;
}

BreakFrom BreakFromOf(BreakSource source) {
  switch (source) {
    case BreakSource::kPrompt:
      break;
    case BreakSource::kTrayMenu:
      return BreakFrom::kTray;
    case BreakSource::kMainWindow:
      return BreakFrom::kMain;
    case BreakSource::kCommandLine:
      return BreakFrom::kCommand;
  }
  return BreakFrom::kPrompt;
}

AwayWhy AwayWhyOf(AwayKind away) {
  switch (away) {
    case AwayKind::kSleep:
      break;
    case AwayKind::kLock:
      return AwayWhy::kLock;
    case AwayKind::kSwitched:
      return AwayWhy::kSwitched;
    case AwayKind::kIdle:
      return AwayWhy::kIdle;
  }
  return AwayWhy::kSleep;
}

ShortEnd ShortEndOf(ShortBreakEnd end) {
  switch (end) {
    case ShortBreakEnd::kRanOut:
      break;
    case ShortBreakEnd::kSkipped:
      return ShortEnd::kSkipped;
    case ShortBreakEnd::kLater:
      return ShortEnd::kLater;
    case ShortBreakEnd::kAway:
      return ShortEnd::kAway;
    case ShortBreakEnd::kCut:
      return ShortEnd::kCut;
  }
  return ShortEnd::kRanOut;
}

// Seconds as the journal keeps them: never negative, never past what its field holds.
int32_t Seconds(int64_t s) {
  return static_cast<int32_t>(std::clamp<int64_t>(s, 0, 999999999));
}

}  // namespace

std::optional<Event> HistoryEventOf(const CycleEvent& e) {
  switch (e.kind) {
    case CycleEventKind::kProgramStarted:
      return ProgramStarted();
    case CycleEventKind::kProgramEnded:
      return ProgramEnded();
    case CycleEventKind::kWorkStarted:
      return WorkStarted();
    case CycleEventKind::kWorkResumed:
      return WorkResumed();
    case CycleEventKind::kWorkPaused:
    case CycleEventKind::kWorkPausedUntil:  // with how long it is meant to last
      return WorkPaused(Seconds(e.seconds));
    case CycleEventKind::kWorkResting:  // outside working hours nothing counts
      return WorkStopped();
    case CycleEventKind::kWorkStopped:
      return WorkStopped();
    case CycleEventKind::kAlertShown:
      return AlertShown(AlertedByOf(e.way));
    case CycleEventKind::kAlertHeld:
      return AlertHeld(HoldWhyOf(e.hold));
    case CycleEventKind::kSnoozed:
      return Snoozed();
    case CycleEventKind::kBreakSkipped:
      return BreakSkipped(e.answer == PromptAnswer::kRestartTimer ? SkipAnswer::kRestart
                                                                  : SkipAnswer::kStop);
    case CycleEventKind::kBreakStarted:
      return BreakStarted(BreakFromOf(e.source));
    case CycleEventKind::kBreakEnded:
      return BreakEnded(e.ranOut ? BreakEnd::kRanOut : BreakEnd::kCutShort, Seconds(e.seconds));
    case CycleEventKind::kNaturalBreak:
      return NaturalBreak(AwayWhyOf(e.away), Seconds(e.seconds));
    case CycleEventKind::kShortBreakStarted:
      return ShortBreakStarted(Seconds(e.seconds));
    case CycleEventKind::kShortBreakEnded:
      return ShortBreakEnded(ShortEndOf(e.shortEnd), Seconds(e.seconds));
    case CycleEventKind::kScreenBreakEnded:
      return ScreenBreakEnded(ScreenEndOf(e.screenEnd), Seconds(e.seconds));
    case CycleEventKind::kTick:
      break;
  }
  return std::nullopt;
}

void HistoryRecorder::OnCycleEvent(const CycleEvent& event) {
  if (settings_.KeepHistory != 1) return;
  if (event.kind == CycleEventKind::kTick) {
    // Every second is more than the journal needs; it writes a mark only every few minutes.
    journal_.Mark();
    return;
  }
  if (std::optional<Event> e = HistoryEventOf(event)) journal_.Record(*e);
}

}  // namespace unw

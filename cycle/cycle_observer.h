// What happens in the break cycle, told to whoever keeps count (the history of the day). The
// cycle tells each thing once, in the words a person would count it in: a restart at a prompt is
// a skipped break, not a stop and a start.
#pragma once

#include <cstdint>

#include "cycle/cycle_state.h"

namespace unw {

enum class CycleEventKind {
  kProgramStarted,  // the cycle began at start-up
  kProgramEnded,    // the program ends (also at a shutdown or log-off)
  kWorkStarted,     // a work period began from its full interval (Start; Restart after a break)
  kWorkResumed,     // a paused work period goes on
  kWorkPaused,
  kWorkPausedUntil,    // a timed pause began: `seconds` long
  kWorkResting,        // working hours ended: the countdown rests until they start again
  kWorkStopped,        // Stop; Stop Timer after a break
  kAlertShown,         // the time is up and the alert came: `way`
  kAlertHeld,          // the time is up and the alert waits: `hold`
  kSnoozed,            // Remind Later at the prompt
  kBreakSkipped,       // Restart Timer or Stop Timer at the prompt: `answer`
  kBreakStarted,       // `source`
  kBreakEnded,         // ran out, or cut short (`ranOut`), after `seconds`
  kNaturalBreak,       // time away as long as a break counted as one: `away`, `seconds`
  kTick,               // a second of the work countdown (for those who mark time)
  kShortBreakStarted,  // a short break began: `seconds` long
  kShortBreakEnded,    // a short break ended (`shortEnd`) after `seconds`
  kScreenBreakEnded,   // the break just ended was on the break screen: `screenEnd`, `seconds`
};

// Where a break was asked for.
enum class BreakSource { kPrompt, kTrayMenu, kMainWindow, kCommandLine };
// How the alert came.
enum class AlertWay { kPrompt, kTray, kNone };
// How a short break ended: it ran its length, the user skipped it or put it off (Later), the user
// was away for it, or the work countdown stopped counting under it (a pause, a stop, a long break).
enum class ShortBreakEnd { kRanOut, kSkipped, kLater, kAway, kCut };

// The trace's and the history's word for how a short break ended.
inline const char* ShortBreakEndName(ShortBreakEnd e) {
  switch (e) {
    case ShortBreakEnd::kRanOut:
      return "ranout";
    case ShortBreakEnd::kSkipped:
      return "skipped";
    case ShortBreakEnd::kLater:
      return "later";
    case ShortBreakEnd::kAway:
      return "away";
    case ShortBreakEnd::kCut:
      return "cut";
  }
  return "?";
}

// How a break on the break screen ended: it ran its length (or the user was away for it), its
// Postpone or Skip was pressed, or something else ended it (Stop Break in the tray, a pause).
enum class ScreenBreakEnd { kRanOut, kPostponed, kSkipped, kCut };

// The trace's word for how a break on the break screen ended.
inline const char* ScreenBreakEndName(ScreenBreakEnd e) {
  switch (e) {
    case ScreenBreakEnd::kRanOut:
      return "ranout";
    case ScreenBreakEnd::kPostponed:
      return "postponed";
    case ScreenBreakEnd::kSkipped:
      return "skipped";
    case ScreenBreakEnd::kCut:
      return "cut";
  }
  return "?";
}

// Why the user was away.
enum class AwayKind { kSleep, kLock, kSwitched, kIdle };

struct CycleEvent {
  CycleEventKind kind;
  AlertWay way = AlertWay::kNone;
  HoldReason hold = HoldReason::kNone;
  PromptAnswer answer = PromptAnswer::kStopTimer;
  BreakSource source = BreakSource::kPrompt;
  AwayKind away = AwayKind::kSleep;
  bool ranOut = false;
  ShortBreakEnd shortEnd = ShortBreakEnd::kRanOut;
  ScreenBreakEnd screenEnd = ScreenBreakEnd::kRanOut;
  int64_t seconds = 0;
};

class CycleObserver {
 public:
  virtual ~CycleObserver() = default;
  virtual void OnCycleEvent(const CycleEvent& event) = 0;
};

}  // namespace unw

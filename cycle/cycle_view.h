// What the break cycle wants of its windows, in its own words. The windows live above the cycle
// (app/) and implement this; the cycle hands them a snapshot after every change and asks them its
// questions, each of which waits in a modal loop while the program goes on.
#pragma once

#include <cstdint>

#include "cycle/countdown.h"
#include "cycle/cycle_state.h"

namespace unw {

// The break a heads-up announces.
enum class HeadsUpKind { kNone, kLong, kShort };

// Where the cycle stands, as its windows show it.
struct CycleSnapshot {
  CycleState state = CycleState::kStopped;
  Countdown work;                       // the work countdown (or the reminder interval)
  Countdown breakTime;                  // the break's countdown, while the break runs
  int16_t reminders = 0;                // reminders given since the work timer last stopped
  int32_t alertSeconds = 0;             // seconds since the work countdown ran out
  HoldReason hold = HoldReason::kNone;  // why the due alert waits (kHeld)
  // The break prompt: its status icon (SnoozeStep: 0 information, 1 exclamation, 2 stop, -1 none)
  // and whether Restart Timer stands where Remind Later was (the alert went unanswered for a
  // break's length).
  int promptStep = -1;
  bool offerRestart = false;
  // Short breaks: one runs (frmShortBreak shows it) and its countdown; whether Later may put it
  // off once more; seconds of counting until the next one, -1 when none is coming.
  bool shortBreakOn = false;
  Countdown shortBreak;
  bool shortLaterAllowed = false;
  int32_t nextShortBreak = -1;
  // The heads-up before a break (frmHeadsUp): which kind comes, in how many seconds, and whether
  // its Later button may be used.
  HeadsUpKind headsUp = HeadsUpKind::kNone;
  int32_t headsUpSeconds = 0;
  bool headsUpLaterAllowed = false;
  // The break that runs (the long one, else a short one) shows on the break screen; strict, it
  // offers no way out; whether its Postpone may be used now (the long break's reminders are under
  // their limit, a short break's Later is left).
  bool onScreen = false;
  bool strict = false;
  bool postponeAllowed = false;
};

class CycleView {
 public:
  virtual ~CycleView() = default;
  // Shows where the cycle stands: after every transition and every tick of a countdown.
  virtual void Show(const CycleSnapshot& snapshot) = 0;
  // The screen is cleared for an alert or a break: the about box, the preferences dialog and the
  // Statistics window close, the main window hides. A `newAlert` forgets whether an earlier alert
  // took the main window off the screen.
  virtual void HideForAlert(bool newAlert) = 0;
  // The alert is over: the main window comes back if the alert took it off the screen.
  virtual void ReturnAfterAlert() = 0;
  // The timer stopped at a question: the main window comes to the front in its normal state.
  virtual void BringBack() = 0;
  // The break prompt, modal; its answer (closing it answers Stop Timer). Without `activate` it
  // comes up on top without taking the keyboard.
  virtual PromptAnswer AskBreakPrompt(bool activate) = 0;
  // The break window, modal until CloseBreak (the user stops the break through the cycle); it comes
  // up on top without taking the keyboard.
  virtual void RunBreak() = 0;
  // The break-over question, modal; its answer (closing it answers Stop Timer).
  virtual PromptAnswer AskBreakOver(bool activate) = 0;
  // Closes an open break prompt without an answer, and the break window.
  virtual void ClosePrompt() = 0;
  virtual void CloseBreak() = 0;
};

}  // namespace unw

// What the person and the machine are doing, and what it means for the cycle: a due alert waits
// while the user is away, a full-screen program is in front, a call is on, the system is set not
// to disturb or a program the user named runs; sleep, lock and idle time as long as a break count
// as one.
#pragma once

#include <cstdint>
#include <set>
#include <string>

#include "cycle/cycle_observer.h"
#include "cycle/cycle_state.h"
#include "platform/presence.h"

namespace unw {

class BreakCycle;
class Trace;
struct Settings;

class Awareness {
 public:
  Awareness(const Settings& settings, Presence& presence, Trace& trace, BreakCycle& cycle)
      : settings_(settings), presence_(presence), trace_(trace), cycle_(cycle) {}

  // From the start of the main window on: the platform's away and back go here.
  void Begin();
  // Why an alert that falls due now must wait, or kNone. Asks the system only what the settings
  // hold alerts for, and only when asked: while an alert is due, held or open.
  HoldReason WhyHold();
  // The program that held the alert at the last WhyHold that said kProgram.
  const std::string& heldProgram() const { return heldProgram_; }
  // The user is away (asleep, locked, switched away, or idle as long as a break).
  bool away() const { return !reasons_.empty() || idleAway_; }
  // Whether the once-a-second look (tmrAware) is needed now.
  bool NeedsPolling() const;
  // Once a second while needed: a held alert comes once nothing holds it any more; idle time is
  // noticed; input while the system still says the user is away (once the absence has settled a
  // few seconds) means the user is back.
  void tmrAware_Timer();

 private:
  void Away(AwayReason reason);
  void Back(AwayReason reason);
  // The user is back after `awayMs`: as long as a break, that was one.
  void Returned(int64_t awayMs);
  int64_t BreakMs() const;

  const Settings& settings_;
  Presence& presence_;
  Trace& trace_;
  BreakCycle& cycle_;
  std::set<AwayReason> reasons_;          // why the user is away now
  int64_t awaySince_ = 0;                 // WallMs when the first reason began
  AwayKind awayKind_ = AwayKind::kSleep;  // what the first reason was
  bool partOfBreak_ = false;              // away since a break began (the break's own lock)
  bool idleAway_ = false;                 // no input for a break's length
  int64_t lastIdleMs_ = 0;
  std::string heldProgram_;
};

}  // namespace unw

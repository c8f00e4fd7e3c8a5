#include "cycle/awareness.h"

#include "cycle/break_cycle.h"
#include "platform/trace.h"
#include "settings/program_list.h"
#include "settings/settings.h"

namespace unw {

namespace {

// Input this soon after the user went away is the end of what sent them away (the keys that
// locked the screen, the lid closing), not a return.
constexpr int64_t kSettleMs = 5000;

// While the break cycle counts or alerts; a stopped or paused timer and a break have nothing to
// count idle time against.
bool Working(CycleState s) {
  return s == CycleState::kCounting || IsAlert(s);
}

}  // namespace

void Awareness::Begin() {
  presence_.Subscribe([this](bool away, AwayReason reason) {
    away ? Away(reason) : Back(reason);
    cycle_.Sync();
    // Back from a sleep the clock has moved on: a pause may be over, working hours begun.
    cycle_.RecheckClock();
  });
}

int64_t Awareness::BreakMs() const {
  return (settings_.BreakMinutes * 60 + settings_.BreakSeconds) * 1000LL;
}

HoldReason Awareness::WhyHold() {
  if (away()) return HoldReason::kAway;
  if (settings_.HoldDuringFullScreen == 1 && presence_.FullScreenInFront())
    return HoldReason::kFullScreen;
  if (settings_.HoldDuringCalls == 1 && presence_.CallOn()) return HoldReason::kCall;
  if (settings_.HoldDuringDoNotDisturb == 1 && presence_.DoNotDisturb())
    return HoldReason::kDoNotDisturb;
  // The process list is not asked for when there is nothing to look for in it.
  if (const auto names = SplitProgramList(settings_.HoldForPrograms); !names.empty()) {
    heldProgram_ = presence_.FirstRunning(names);
    if (!heldProgram_.empty()) return HoldReason::kProgram;
  }
  return HoldReason::kNone;
}

bool Awareness::NeedsPolling() const {
  const CycleState s = cycle_.state();
  // Away by what the system said: input tells of a return whose notice never came.
  return s == CycleState::kHeld || !reasons_.empty() ||
         (settings_.IdleCountsAsBreak == 1 && Working(s));
}

void Awareness::Away(AwayReason reason) {
  if (settings_.SleepCountsAsBreak != 1) return;
  if (reasons_.empty() && !idleAway_) {
    awaySince_ = presence_.WallMs();
    awayKind_ = reason == AwayReason::kSleep  ? AwayKind::kSleep
                : reason == AwayReason::kLock ? AwayKind::kLock
                                              : AwayKind::kSwitched;
    // The lock a break asks for belongs to the break.
    const CycleState s = cycle_.state();
    partOfBreak_ = s == CycleState::kOnBreak || s == CycleState::kBreakOver;
  }
  if (reasons_.insert(reason).second) trace_.Line("aware.away", {AwayReasonName(reason)});
}

void Awareness::Back(AwayReason reason) {
  // Back from what never began (a resume without its suspend) is nothing.
  if (reasons_.erase(reason) == 0) return;
  if (!reasons_.empty()) return;  // still locked after the resume, say
  const int64_t awayMs = presence_.WallMs() - awaySince_;
  trace_.Line("aware.back", {AwayReasonName(reason), std::to_string(awayMs)});
  if (partOfBreak_) {
    cycle_.BreakAwayEnded(awayMs);
    return;
  }
  Returned(awayMs);
}

void Awareness::Returned(int64_t awayMs) {
  cycle_.ShortAwayEnded(awayMs);
  if (awayMs >= BreakMs() && Working(cycle_.state())) {
    trace_.Line("aware.break", {std::to_string(awayMs)});
    cycle_.NaturalBreak(awayKind_, awayMs);
  } else if (cycle_.state() == CycleState::kHeld) {
    cycle_.RecheckHold();
  } else if (!away()) {
    cycle_.ShowBack();
  }
}

void Awareness::tmrAware_Timer() {
  if (!reasons_.empty()) {
    // A resume or an unlock whose notice was lost must not keep the user away for ever: input
    // after the moment the user went away says they are back.
    const int64_t lastInput = presence_.WallMs() - presence_.IdleMs();
    if (lastInput > awaySince_ + kSettleMs) {
      reasons_.clear();
      const int64_t awayMs = lastInput - awaySince_;
      trace_.Line("aware.back", {"input", std::to_string(awayMs)});
      if (!partOfBreak_) Returned(awayMs);
      cycle_.Sync();
    }
  }
  if (settings_.IdleCountsAsBreak == 1 && Working(cycle_.state())) {
    const int64_t idle = presence_.IdleMs();
    if (!idleAway_ && reasons_.empty() && idle >= BreakMs()) {
      idleAway_ = true;
      awayKind_ = AwayKind::kIdle;
      awaySince_ = presence_.WallMs() - idle;
      trace_.Line("aware.away", {"idle"});
      cycle_.ShowAway();
    } else if (idleAway_ && idle < lastIdleMs_) {
      // Input again: the time without any was a break.
      idleAway_ = false;
      const int64_t awayMs = presence_.WallMs() - idle - awaySince_;
      trace_.Line("aware.back", {"idle", std::to_string(awayMs)});
      Returned(awayMs);
    }
    lastIdleMs_ = idle;
  } else {
    idleAway_ = false;
  }
  if (cycle_.state() == CycleState::kHeld) cycle_.RecheckHold();
}

}  // namespace unw

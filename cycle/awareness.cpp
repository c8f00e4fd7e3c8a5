#include "cycle/awareness.h"

#include "app/app.h"
#include "cycle/break_cycle.h"

namespace unw {

namespace {

// While the break cycle counts or alerts; a stopped or paused timer and a break have nothing to
// count idle time against.
bool Working(CycleState s) {
  return s == CycleState::kCounting || IsAlert(s);
}

}  // namespace

void Awareness::Begin() {
  app_.sys.presence.Subscribe([this](bool away, AwayReason reason) {
    away ? Away(reason) : Back(reason);
    app_.cycle.Sync();
  });
}

int64_t Awareness::BreakMs() const {
  const Settings& s = app_.settings;
  return (s.BreakMinutes * 60 + s.BreakSeconds) * 1000LL;
}

const char* Awareness::HoldReason() {
  if (away()) return "away";
  if (app_.settings.HoldDuringFullScreen == 1 && app_.sys.presence.FullScreenInFront())
    return "fullscreen";
  return nullptr;
}

bool Awareness::NeedsPolling() const {
  const CycleState s = app_.cycle.state();
  return s == CycleState::kHeld || (app_.settings.IdleCountsAsBreak == 1 && Working(s));
}

void Awareness::Away(AwayReason reason) {
  if (app_.settings.SleepCountsAsBreak != 1) return;
  if (reasons_.empty() && !idleAway_) {
    awaySince_ = app_.sys.presence.WallMs();
    // The lock a break asks for belongs to the break.
    const CycleState s = app_.cycle.state();
    partOfBreak_ = s == CycleState::kOnBreak || s == CycleState::kBreakOver;
  }
  if (reasons_.insert(reason).second) app_.sys.trace.Line("aware.away", {AwayReasonName(reason)});
}

void Awareness::Back(AwayReason reason) {
  // Back from what never began (a resume without its suspend) is nothing.
  if (reasons_.erase(reason) == 0) return;
  if (!reasons_.empty()) return;  // still locked after the resume, say
  const int64_t awayMs = app_.sys.presence.WallMs() - awaySince_;
  app_.sys.trace.Line("aware.back", {AwayReasonName(reason), std::to_string(awayMs)});
  if (partOfBreak_) return;
  Returned(awayMs);
}

void Awareness::Returned(int64_t awayMs) {
  if (awayMs >= BreakMs() && Working(app_.cycle.state())) {
    app_.sys.trace.Line("aware.break", {std::to_string(awayMs)});
    app_.cycle.NaturalBreak();
  } else if (app_.cycle.state() == CycleState::kHeld && !HoldReason()) {
    app_.cycle.ReleaseHeldAlert();
  } else if (!away()) {
    app_.cycle.ShowBack();
  }
}

void Awareness::tmrAware_Timer() {
  if (app_.settings.IdleCountsAsBreak == 1 && Working(app_.cycle.state())) {
    const int64_t idle = app_.sys.presence.IdleMs();
    if (!idleAway_ && reasons_.empty() && idle >= BreakMs()) {
      idleAway_ = true;
      awaySince_ = app_.sys.presence.WallMs() - idle;
      app_.sys.trace.Line("aware.away", {"idle"});
      app_.cycle.ShowAway();
    } else if (idleAway_ && idle < lastIdleMs_) {
      // Input again: the time without any was a break.
      idleAway_ = false;
      const int64_t awayMs = app_.sys.presence.WallMs() - idle - awaySince_;
      app_.sys.trace.Line("aware.back", {"idle", std::to_string(awayMs)});
      Returned(awayMs);
    }
    lastIdleMs_ = idle;
  } else {
    idleAway_ = false;
  }
  if (app_.cycle.state() == CycleState::kHeld && !HoldReason()) app_.cycle.ReleaseHeldAlert();
}

}  // namespace unw

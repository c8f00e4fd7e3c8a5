// The message loop and its clock: timers, nested (modal) loops and the
// "process pending events" step.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace unw {

// Something the event loop fires every interval while it runs: a window's timer control, or a
// timer the break cycle keeps for itself.
class TimerTarget {
 public:
  virtual ~TimerTarget() = default;
  // Who keeps the timer (a window's design name, or "BreakCycle") and its name: the trace's words.
  virtual std::string TimerOwner() const = 0;
  virtual std::string TimerName() const = 0;
  // Called by the event loop when the timer is due. A handler that is still running (it opened a
  // modal window) is never entered again: that tick is skipped.
  void Tick() {
    if (ticking_) return;
    ticking_ = true;
    struct Reset {
      bool& flag;
      ~Reset() { flag = false; }
    } reset{ticking_};
    OnTick();
  }
  bool ticking() const { return ticking_; }

 protected:
  virtual void OnTick() = 0;

 private:
  bool ticking_ = false;
};

class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // Milliseconds on a monotonic clock since the program started.
  virtual int64_t NowMs() = 0;
  // Fires `timer` every `intervalMs` from now on, each tick due one interval
  // after the previous deadline (a late tick does not shift the next).
  virtual void StartTimer(TimerTarget& timer, uint32_t intervalMs) = 0;
  // Stops a timer; harmless when it is not running.
  virtual void StopTimer(TimerTarget& timer) = 0;
  // Runs `action` once, `ms` from now on the timers' clock (the fake's virtual clock), from
  // whichever loop dispatches then, nested ones included.
  virtual void After(uint32_t ms, std::function<void()> action) = 0;
  // Dispatches events until `done` answers true (a modal show waits here).
  virtual void RunUntil(const std::function<bool()>& done) = 0;
  // Dispatches the events that are already due, then returns.
  virtual void ProcessPendingEvents() = 0;
};

}  // namespace unw

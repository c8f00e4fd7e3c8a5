// The message loop and its clock: timers, nested (modal) loops and the
// "process pending events" step.
#pragma once

#include <cstdint>
#include <functional>

namespace unw {

class Control;

class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // Milliseconds on a monotonic clock since the program started.
  virtual int64_t NowMs() = 0;
  // Fires `timer` every `intervalMs` from now on, each tick due one interval
  // after the previous deadline (a late tick does not shift the next).
  virtual void StartTimer(Control& timer, uint32_t intervalMs) = 0;
  // Stops a timer; harmless when it is not running.
  virtual void StopTimer(Control& timer) = 0;
  // Runs `action` once, `ms` from now on the timers' clock (the fake's virtual clock), from
  // whichever loop dispatches then, nested ones included.
  virtual void After(uint32_t ms, std::function<void()> action) = 0;
  // Dispatches events until `done` answers true (a modal show waits here).
  virtual void RunUntil(const std::function<bool()>& done) = 0;
  // Dispatches the events that are already due, then returns.
  virtual void ProcessPendingEvents() = 0;
};

}  // namespace unw

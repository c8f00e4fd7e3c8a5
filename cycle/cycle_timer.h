// A timer the break cycle keeps for itself: the event loop fires it, the cycle decides when it
// runs. Like a window's timer it is never re-entered while its handler waits in a modal window.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "platform/event_loop.h"

namespace unw {

class CycleTimer : public TimerTarget {
 public:
  CycleTimer(EventLoop& loop, std::string name, uint32_t intervalMs, std::function<void()> onTick)
      : loop_(loop), name_(std::move(name)), interval_(intervalMs), onTick_(std::move(onTick)) {}
  ~CycleTimer() override { Run(false); }
  CycleTimer(const CycleTimer&) = delete;
  CycleTimer& operator=(const CycleTimer&) = delete;

  // Starts it, its first tick one interval from now, unless it runs already; or stops it.
  void Run(bool on) {
    if (on == running_) return;
    running_ = on;
    on ? loop_.StartTimer(*this, interval_) : loop_.StopTimer(*this);
  }
  // The interval of the next start.
  void SetInterval(uint32_t ms) { interval_ = ms > 0 ? ms : 1; }
  bool running() const { return running_; }

  std::string TimerOwner() const override { return "BreakCycle"; }
  std::string TimerName() const override { return name_; }

 protected:
  void OnTick() override {
    if (running_) onTick_();
  }

 private:
  EventLoop& loop_;
  std::string name_;
  uint32_t interval_;
  std::function<void()> onTick_;
  bool running_ = false;
};

}  // namespace unw

// The Qt event loop and the core's timers. Each running timer keeps a deadline on a monotonic
// clock; one precise QTimer is armed for the earliest of them, so a late delivery never shifts
// later ticks, and the core's timers fire from whichever loop runs: the program's, a modal form's,
// a message box's or a menu's.
#pragma once

#include <QElapsedTimer>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <map>

#include "platform/event_loop.h"
#include "platform/trace.h"

namespace unw {

class QtEventLoop : public EventLoop {
 public:
  explicit QtEventLoop(Trace& trace);
  ~QtEventLoop() override;
  QtEventLoop(const QtEventLoop&) = delete;
  QtEventLoop& operator=(const QtEventLoop&) = delete;

  int64_t NowMs() override { return clock_.elapsed(); }
  void StartTimer(TimerTarget& timer, uint32_t intervalMs) override;
  void StopTimer(TimerTarget& timer) override;
  void After(uint32_t ms, std::function<void()> action) override;
  void RunUntil(const std::function<bool()>& done) override;
  void ProcessPendingEvents() override;

  // Whether `timer` runs now (for the tests).
  bool Running(const TimerTarget& timer) const { return ids_.count(&timer) != 0; }

 private:
  struct Timer {
    TimerTarget* target;
    int64_t deadline;
    uint32_t interval;
  };
  // Fires what is due, each entry at most once, then arms the QTimer for the next deadline.
  void FireDue();
  void Fire(uint64_t id, int64_t now);
  void Arm();

  Trace& trace_;
  QElapsedTimer clock_;
  QTimer wake_;
  // A fresh id per start, so a timer stopped and started again by a handler is a new entry.
  uint64_t nextId_ = 1;
  std::map<uint64_t, Timer> timers_;
  std::map<const TimerTarget*, uint64_t> ids_;
  std::map<uint64_t, std::pair<int64_t, std::function<void()>>> once_;
};

}  // namespace unw

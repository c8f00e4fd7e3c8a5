// A virtual clock and event queue. The program runs on its own thread and
// hands control back to the test whenever it has nothing due before the
// time the test asked for, even from inside a nested modal loop, so a test
// can look at an open prompt, click, and go on.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <queue>
#include <string>
#include <thread>
#include <vector>

#include "platform/event_loop.h"
#include "platform/trace.h"

namespace unw {

class FakeEventLoop : public EventLoop {
 public:
  FakeEventLoop() = default;
  ~FakeEventLoop() override;

  int64_t NowMs() override { return now_; }
  void StartTimer(TimerTarget& timer, uint32_t intervalMs) override;
  void StopTimer(TimerTarget& timer) override;
  void After(uint32_t ms, std::function<void()> action) override;
  void RunUntil(const std::function<bool()>& done) override;
  void ProcessPendingEvents() override;

  // Test side. Runs `program` on the program thread, up to the current time.
  void Launch(std::function<void()> program);
  // Lets the program run until `ms` more virtual milliseconds have passed.
  void Advance(int64_t ms);
  // Queues `action` to run on the program thread at the current time, then runs it.
  void Do(std::function<void()> action);
  // The machine sleeps for `ms`: time passes and no timer fires; each comes back on its next
  // deadline after the sleep, the missed ones skipped (as the real timers do).
  void Sleep(int64_t ms);
  // Queues `action` at an absolute virtual time (it runs during a later Advance).
  void At(int64_t timeMs, std::function<void()> action);
  bool finished() const { return finished_; }
  // Nested loops running now (0 at rest, 1 in the main loop).
  int depth() const { return depth_; }
  // Timers currently scheduled.
  size_t timerCount() const { return timers_.size(); }
  bool IsTimerRunning(const TimerTarget& t) const { return timers_.count(&t) > 0; }
  // Whether the timer of that owner and name runs (see TimerTarget).
  bool IsTimerRunning(const std::string& owner, const std::string& name) const;
  // Deepest nesting seen so far.
  int maxDepth() const { return maxDepth_; }
  void SetTrace(Trace* trace) { trace_ = trace; }
  // Ends the program thread wherever it waits.
  void Shutdown();

 private:
  struct Event {
    int64_t time;
    uint64_t seq;
    const TimerTarget* timer;  // null for an action
    uint64_t generation;
    std::function<void()> action;
    bool operator>(const Event& o) const { return time != o.time ? time > o.time : seq > o.seq; }
  };
  struct TimerState {
    int64_t deadline;
    uint32_t interval;
    uint64_t generation;
    TimerTarget* target;
  };
  struct Stop {};

  void Push(int64_t time, const TimerTarget* timer, uint64_t gen, std::function<void()> action);
  bool RunOneDue(int64_t until);
  void Park();
  void HandToProgram();

  int64_t now_ = 0;
  int64_t target_ = 0;
  uint64_t seq_ = 0;
  uint64_t generation_ = 0;
  std::priority_queue<Event, std::vector<Event>, std::greater<Event>> queue_;
  std::map<const TimerTarget*, TimerState> timers_;
  int depth_ = 0;
  Trace* trace_ = nullptr;
  int maxDepth_ = 0;

  std::mutex mutex_;
  std::condition_variable cv_;
  bool programTurn_ = false;
  bool stopping_ = false;
  bool finished_ = false;
  bool launched_ = false;
  std::exception_ptr error_;
  std::unique_ptr<std::thread> thread_;
};

}  // namespace unw

#include "backends/fake/fake_event_loop.h"

#include <algorithm>
#include <thread>

namespace unw {

FakeEventLoop::~FakeEventLoop() {
  Shutdown();
}

void FakeEventLoop::Push(int64_t time, const TimerTarget* timer, uint64_t gen,
                         std::function<void()> action) {
  queue_.push(Event{time, seq_++, timer, gen, std::move(action)});
}

void FakeEventLoop::StartTimer(TimerTarget& timer, uint32_t intervalMs) {
  if (trace_)
    trace_->Line("timer.start",
                 {timer.TimerOwner(), timer.TimerName(), std::to_string(intervalMs)});
  TimerState st{now_ + intervalMs, intervalMs, ++generation_, &timer};
  timers_[&timer] = st;
  Push(st.deadline, &timer, st.generation, nullptr);
}

void FakeEventLoop::StopTimer(TimerTarget& timer) {
  if (timers_.erase(&timer) && trace_)
    trace_->Line("timer.stop", {timer.TimerOwner(), timer.TimerName()});
}

bool FakeEventLoop::IsTimerRunning(const std::string& owner, const std::string& name) const {
  for (const auto& [target, state] : timers_) {
    if (target->TimerOwner() == owner && target->TimerName() == name) return true;
  }
  return false;
}

void FakeEventLoop::After(uint32_t ms, std::function<void()> action) {
  Push(now_ + ms, nullptr, 0, std::move(action));
}

bool FakeEventLoop::RunOneDue(int64_t until) {
  if (queue_.empty() || queue_.top().time > until) return false;
  Event ev = queue_.top();
  queue_.pop();
  if (ev.time > now_) now_ = ev.time;
  if (!ev.timer) {
    ev.action();
    return true;
  }
  auto it = timers_.find(ev.timer);
  if (it == timers_.end() || it->second.generation != ev.generation) return true;  // stopped
  // The next tick is due one interval after this deadline, however late this one runs.
  it->second.deadline += it->second.interval;
  Push(it->second.deadline, ev.timer, ev.generation, nullptr);
  it->second.target->Tick();
  return true;
}

void FakeEventLoop::RunUntil(const std::function<bool()>& done) {
  ++depth_;
  if (depth_ > maxDepth_) maxDepth_ = depth_;
  struct Leave {
    int& d;
    ~Leave() { --d; }
  } leave{depth_};
  while (!done()) {
    if (!RunOneDue(target_)) Park();
  }
}

void FakeEventLoop::ProcessPendingEvents() {
  while (RunOneDue(now_)) {
  }
}

void FakeEventLoop::Park() {
  now_ = target_;
  std::unique_lock<std::mutex> lock(mutex_);
  programTurn_ = false;
  cv_.notify_all();
  cv_.wait(lock, [this] { return programTurn_ || stopping_; });
  if (stopping_) throw Stop{};
}

void FakeEventLoop::HandToProgram() {
  std::unique_lock<std::mutex> lock(mutex_);
  programTurn_ = true;
  cv_.notify_all();
  cv_.wait(lock, [this] { return !programTurn_; });
  if (error_) {
    auto e = error_;
    error_ = nullptr;
    std::rethrow_exception(e);
  }
}

void FakeEventLoop::Launch(std::function<void()> program) {
  launched_ = true;
  target_ = now_;
  thread_ = std::make_unique<std::thread>([this, program = std::move(program)] {
    {
      std::unique_lock<std::mutex> lock(mutex_);
      cv_.wait(lock, [this] { return programTurn_ || stopping_; });
      if (stopping_) return;
    }
    try {
      program();
    } catch (const Stop&) {
      return;
    } catch (...) {
      std::lock_guard<std::mutex> lock(mutex_);
      error_ = std::current_exception();
    }
    std::lock_guard<std::mutex> lock(mutex_);
    finished_ = true;
    programTurn_ = false;
    cv_.notify_all();
  });
  HandToProgram();
}

void FakeEventLoop::Advance(int64_t ms) {
  target_ = now_ + ms;
  if (!launched_ || finished_) {
    // Nothing runs any more; time passes all the same.
    while (RunOneDue(target_)) {
    }
    now_ = target_;
    return;
  }
  HandToProgram();
  if (finished_ && now_ < target_) now_ = target_;
}

void FakeEventLoop::Do(std::function<void()> action) {
  Push(now_, nullptr, 0, std::move(action));
  Advance(0);
}

void FakeEventLoop::Sleep(int64_t ms) {
  // Actions due meanwhile run after the sleep, as messages queued for a sleeping program do.
  now_ += ms;
  target_ = std::max(target_, now_);
  for (auto& [target, t] : timers_) {
    if (t.deadline > now_) continue;
    const int64_t missed = (now_ - t.deadline) / t.interval + 1;
    t.deadline += missed * t.interval;
    t.generation = ++generation_;
    Push(t.deadline, target, t.generation, nullptr);
  }
}

void FakeEventLoop::At(int64_t timeMs, std::function<void()> action) {
  Push(timeMs < now_ ? now_ : timeMs, nullptr, 0, std::move(action));
}

void FakeEventLoop::Shutdown() {
  if (!thread_) return;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    stopping_ = true;
    cv_.notify_all();
  }
  thread_->join();
  thread_.reset();
}

}  // namespace unw

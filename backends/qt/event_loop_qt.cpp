#include "backends/qt/event_loop_qt.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <algorithm>
#include <limits>
#include <vector>

namespace unw {

QtEventLoop::QtEventLoop(Trace& trace) : trace_(trace) {
  clock_.start();
  wake_.setSingleShot(true);
  wake_.setTimerType(Qt::PreciseTimer);
  QObject::connect(&wake_, &QTimer::timeout, [this] { FireDue(); });
}

QtEventLoop::~QtEventLoop() {
  wake_.stop();
}

void QtEventLoop::Arm() {
  int64_t next = std::numeric_limits<int64_t>::max();
  for (const auto& [id, t] : timers_) next = std::min(next, t.deadline);
  for (const auto& [id, once] : once_) next = std::min(next, once.first);
  if (next == std::numeric_limits<int64_t>::max()) {
    wake_.stop();
    return;
  }
  const int64_t wait = std::clamp<int64_t>(next - NowMs(), 0, std::numeric_limits<int>::max());
  wake_.start(static_cast<int>(wait));
}

void QtEventLoop::StartTimer(TimerTarget& timer, uint32_t intervalMs) {
  trace_.Line("timer.start", {timer.TimerOwner(), timer.TimerName(), std::to_string(intervalMs)});
  if (auto old = ids_.find(&timer); old != ids_.end()) timers_.erase(old->second);
  if (intervalMs == 0) intervalMs = 1;
  const uint64_t id = nextId_++;
  timers_[id] = Timer{&timer, NowMs() + intervalMs, intervalMs};
  ids_[&timer] = id;
  Arm();
}

void QtEventLoop::StopTimer(TimerTarget& timer) {
  auto it = ids_.find(&timer);
  if (it == ids_.end()) return;
  timers_.erase(it->second);
  ids_.erase(it);
  trace_.Line("timer.stop", {timer.TimerOwner(), timer.TimerName()});
  Arm();
}

void QtEventLoop::After(uint32_t ms, std::function<void()> action) {
  once_[nextId_++] = {NowMs() + ms, std::move(action)};
  Arm();
}

void QtEventLoop::Fire(uint64_t id, int64_t now) {
  if (auto once = once_.find(id); once != once_.end()) {
    if (now < once->second.first) return;
    auto action = std::move(once->second.second);
    once_.erase(once);
    Arm();
    action();
    return;
  }
  auto it = timers_.find(id);
  if (it == timers_.end() || now < it->second.deadline) return;  // stopped, or fired meanwhile
  Timer& t = it->second;
  // The next tick is due one interval after this deadline however late this one is; whole
  // intervals missed (a sleep, a long handler) are skipped, never bunched.
  t.deadline += t.interval;
  if (t.deadline <= now) t.deadline += ((now - t.deadline) / t.interval + 1) * t.interval;
  TimerTarget* target = t.target;
  // Armed before the handler runs: it may open a modal loop, in which the other timers go on.
  Arm();
  // The handler may stop, restart or replace this timer: `t` is not touched after this.
  target->Tick();
}

void QtEventLoop::FireDue() {
  const int64_t now = NowMs();
  std::vector<uint64_t> due;
  for (const auto& [id, t] : timers_) {
    if (t.deadline <= now) due.push_back(id);
  }
  for (const auto& [id, once] : once_) {
    if (once.first <= now) due.push_back(id);
  }
  // In order of their deadlines' ids; an entry a nested loop fired meanwhile is no longer due.
  for (uint64_t id : due) Fire(id, now);
  Arm();
}

void QtEventLoop::RunUntil(const std::function<bool()>& done) {
  while (!done()) {
    if (QCoreApplication::closingDown()) return;
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
  }
}

void QtEventLoop::ProcessPendingEvents() {
  QCoreApplication::processEvents(QEventLoop::AllEvents);
  FireDue();
}

}  // namespace unw

// The Win32 message loop and the core's timers. Each running timer keeps a
// monotonic deadline and a Win32 timer on a message-only window that is
// re-armed for the time left, so late deliveries never shift later ticks.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <map>

#include "platform/event_loop.h"
#include "platform/trace.h"
#include "backends/win32/clock_win32.h"

namespace unw {

// EventLoop service: GetMessage loops and drift-free deadline timers.
class Win32EventLoop : public EventLoop {
 public:
  Win32EventLoop(const Win32Clock& clock, Trace& trace);
  ~Win32EventLoop() override;
  Win32EventLoop(const Win32EventLoop&) = delete;
  Win32EventLoop& operator=(const Win32EventLoop&) = delete;

  int64_t NowMs() override { return clock_.NowMs(); }
  void StartTimer(TimerTarget& timer, uint32_t intervalMs) override;
  void StopTimer(TimerTarget& timer) override;
  void After(uint32_t ms, std::function<void()> action) override;
  void RunUntil(const std::function<bool()>& done) override;
  void ProcessPendingEvents() override;

  // Keyboard translation (accelerators, tab moves) offered each message
  // before it is dispatched; true means it was handled.
  void SetPreTranslate(std::function<bool(MSG&)> filter) { preTranslate_ = std::move(filter); }

 private:
  struct Timer {
    TimerTarget* target;
    int64_t deadline;
    uint32_t interval;
  };
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void Dispatch(MSG& msg);
  // Ticks the timer with this id if due, else re-arms it for the time left.
  void Fire(UINT_PTR id);
  void Arm(UINT_PTR id, int64_t deadline);
  void FireDue();

  const Win32Clock& clock_;
  Trace& trace_;
  HWND hwnd_ = nullptr;
  std::function<bool(MSG&)> preTranslate_;
  // A fresh id per start, so a WM_TIMER of a stopped or restarted timer that
  // is already queued finds nothing and vanishes.
  UINT_PTR nextId_ = 1;
  std::map<UINT_PTR, Timer> timers_;
  std::map<const TimerTarget*, UINT_PTR> ids_;
  // Actions due once (After), by timer id, with their deadlines.
  std::map<UINT_PTR, std::pair<int64_t, std::function<void()>>> once_;
};

}  // namespace unw

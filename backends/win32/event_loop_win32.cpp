#include "backends/win32/event_loop_win32.h"

#include <vector>

#include "backends/win32/window_life.h"

namespace unw {

namespace {

constexpr wchar_t kTimerWindowClass[] = L"UnwindleTimers";

}  // namespace

Win32EventLoop::Win32EventLoop(const Win32Clock& clock, Trace& trace)
    : clock_(clock), trace_(trace) {
  HINSTANCE inst = GetModuleHandleW(nullptr);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WndProc;
  wc.hInstance = inst;
  wc.lpszClassName = kTimerWindowClass;
  RegisterClassExW(&wc);
  // Message-only: it receives timers but is never shown nor enumerated.
  win32::CreatingWindow creating(this);
  hwnd_ =
      CreateWindowExW(0, kTimerWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, inst, this);
}

Win32EventLoop::~Win32EventLoop() {
  if (hwnd_) win32::DestroyOwnWindow(hwnd_);
}

LRESULT CALLBACK Win32EventLoop::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    // Only the loop's own creation binds it: a forged one would stop every timer.
    void* created = win32::CreatedObject(hwnd, lParam);
    if (!created) return FALSE;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
    return DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  if (win32::ForgedLifeMessage(msg)) return 0;
  auto* self = reinterpret_cast<Win32EventLoop*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_TIMER && self) {
    self->Fire(wParam);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

void Win32EventLoop::Arm(UINT_PTR id, int64_t deadline) {
  int64_t wait = deadline - NowMs();
  if (wait < 1) wait = 1;
  SetTimer(hwnd_, id, static_cast<UINT>(wait), nullptr);
}

void Win32EventLoop::StartTimer(TimerTarget& timer, uint32_t intervalMs) {
  trace_.Line("timer.start", {timer.TimerOwner(), timer.TimerName(), std::to_string(intervalMs)});
  if (auto old = ids_.find(&timer); old != ids_.end()) {
    KillTimer(hwnd_, old->second);
    timers_.erase(old->second);
  }
  if (intervalMs == 0) intervalMs = 1;
  const UINT_PTR id = nextId_++;
  const int64_t deadline = NowMs() + intervalMs;
  timers_[id] = Timer{&timer, deadline, intervalMs};
  ids_[&timer] = id;
  Arm(id, deadline);
}

void Win32EventLoop::StopTimer(TimerTarget& timer) {
  auto it = ids_.find(&timer);
  if (it == ids_.end()) return;
  KillTimer(hwnd_, it->second);
  timers_.erase(it->second);
  ids_.erase(it);
  trace_.Line("timer.stop", {timer.TimerOwner(), timer.TimerName()});
}

void Win32EventLoop::After(uint32_t ms, std::function<void()> action) {
  const UINT_PTR id = nextId_++;
  const int64_t deadline = NowMs() + ms;
  once_[id] = {deadline, std::move(action)};
  Arm(id, deadline);
}

void Win32EventLoop::Fire(UINT_PTR id) {
  if (auto once = once_.find(id); once != once_.end()) {
    if (NowMs() < once->second.first) {
      Arm(id, once->second.first);
      return;
    }
    KillTimer(hwnd_, id);
    auto action = std::move(once->second.second);
    once_.erase(once);
    action();
    return;
  }
  auto it = timers_.find(id);
  if (it == timers_.end()) {
    KillTimer(hwnd_, id);  // stopped: a stray delivery of an old id
    return;
  }
  Timer& t = it->second;
  const int64_t now = NowMs();
  if (now < t.deadline) {
    // Win32 timers may come a little early; wait for the deadline itself.
    Arm(id, t.deadline);
    return;
  }
  // The next tick is due one interval after this deadline however late this
  // one is; when whole intervals were missed they are skipped, never bunched.
  t.deadline += t.interval;
  if (t.deadline <= now) t.deadline += ((now - t.deadline) / t.interval + 1) * t.interval;
  Arm(id, t.deadline);
  // The handler may stop, restart or replace this timer: `t` is not touched after this.
  TimerTarget* target = t.target;
  target->Tick();
}

void Win32EventLoop::FireDue() {
  const int64_t now = NowMs();
  std::vector<UINT_PTR> due;
  for (const auto& [id, t] : timers_) {
    if (t.deadline <= now) due.push_back(id);
  }
  for (const auto& [id, once] : once_) {
    if (once.first <= now) due.push_back(id);
  }
  for (UINT_PTR id : due) Fire(id);
}

void Win32EventLoop::Dispatch(MSG& msg) {
  if (preTranslate_ && preTranslate_(msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

void Win32EventLoop::RunUntil(const std::function<bool()>& done) {
  MSG msg;
  while (!done()) {
    BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      // Leave every nested loop: each level re-posts the quit for the one outside.
      PostQuitMessage(got == 0 ? static_cast<int>(msg.wParam) : 0);
      return;
    }
    Dispatch(msg);
  }
}

void Win32EventLoop::ProcessPendingEvents() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    Dispatch(msg);
  }
  FireDue();
}

}  // namespace unw

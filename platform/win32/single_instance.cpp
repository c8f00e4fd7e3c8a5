#include "platform/win32/single_instance.h"

namespace unw::win32 {

namespace {

// "Local\": one program per session, so that each user of a shared machine has their own.
constexpr char kMutexName[] = "Local\\KORVANTE.Unwindle";
// How long a second start waits for a first one that owns the mutex but has no window yet.
constexpr DWORD kWaitForFirstMs = 10000;
constexpr DWORD kPollMs = 100;
// Posted to itself on WM_CLOSE: the exit then runs from the program's loop, not inside the
// caller's SendMessage.
constexpr UINT kExitNow = WM_APP + 1;

UINT ActivateMessage() {
  static const UINT message = RegisterWindowMessageA(kActivateMessageName);
  return message;
}

}  // namespace

SingleInstance::~SingleInstance() {
  if (owned_) ReleaseMutex(mutex_.get());
}

bool SingleInstance::Claim() {
  mutex_ = ScopedHandle(CreateMutexA(nullptr, FALSE, kMutexName));
  // Without the mutex two programs may run; that is better than none.
  if (!mutex_.get()) return true;
  // Ownership, not the mutex's existence, decides: a handle that outlived its program (a start
  // that is itself giving up, a crash) must not keep a new program from starting.
  const ULONGLONG deadline = GetTickCount64() + kWaitForFirstMs;
  DWORD wait = WaitForSingleObject(mutex_.get(), 0);
  for (;;) {
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
      owned_ = true;
      return true;
    }
    if (HWND first = FindWindowA(kInstanceWindowClass, nullptr)) {
      // The first program may take the foreground only if we, started by the user, allow it.
      DWORD pid = 0;
      GetWindowThreadProcessId(first, &pid);
      AllowSetForegroundWindow(pid);
      PostMessageA(first, ActivateMessage(), 0, 0);
      return false;
    }
    if (GetTickCount64() >= deadline) return false;
    // The first program is still starting (its window comes) or ending (its mutex goes).
    wait = WaitForSingleObject(mutex_.get(), kPollMs);
  }
}

InstanceWindow::InstanceWindow(Trace& trace, std::function<bool()> activate,
                               std::function<bool()> exit)
    : trace_(trace), activate_(std::move(activate)), exit_(std::move(exit)) {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = WndProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kInstanceWindowClass;
  RegisterClassExA(&wc);
  // A hidden top-level window rather than a message-only one: FindWindow (and the installer's
  // FindWindow) only see top-level windows.
  hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW, kInstanceWindowClass, "Unwindle", WS_POPUP, 0, 0, 0, 0,
                          nullptr, nullptr, GetModuleHandleA(nullptr), this);
  trace_.Line("instance.listen", {hwnd_ ? "1" : "0"});
}

InstanceWindow::~InstanceWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
  UnregisterClassA(kInstanceWindowClass, GetModuleHandleA(nullptr));
}

LRESULT CALLBACK InstanceWindow::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* created = reinterpret_cast<CREATESTRUCTA*>(lParam)->lpCreateParams;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
  }
  auto* self = reinterpret_cast<InstanceWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
  if (msg == ActivateMessage()) {
    self->trace_.Line("instance.activate", {self->activate_() ? "1" : "0"});
    return 0;
  }
  switch (msg) {
    case WM_CLOSE:
      // Never DefWindowProc's DestroyWindow: the window lives as long as the program.
      PostMessageA(hwnd, kExitNow, 0, 0);
      return 0;
    case kExitNow:
      self->trace_.Line("instance.exit", {self->exit_() ? "1" : "0"});
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

}  // namespace unw::win32

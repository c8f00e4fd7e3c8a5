#include "backends/win32/single_instance.h"

#include <string>
#include <string_view>
#include <utility>

#include "backends/win32/wide_text.h"

namespace unw::win32 {

namespace {

// How long a second start waits for a first one that owns the mutex but has no window yet.
constexpr DWORD kWaitForFirstMs = 10000;
constexpr DWORD kPollMs = 100;
// Posted to itself on WM_CLOSE: the exit then runs from the program's loop, not inside the
// caller's SendMessage.
constexpr UINT kExitNow = WM_APP + 1;
// Posted to itself after answering a command: what the command then does.
constexpr UINT kRunLater = WM_APP + 2;
// Looks for the moment the program is ready for the command it was started with.
constexpr UINT_PTR kStartTimer = 1;
constexpr UINT kStartPollMs = 250;
constexpr DWORD kStartPatienceMs = 60000;
// How long the answer waits for the sender's window to take it.
constexpr UINT kAnswerTimeoutMs = 2000;

UINT ActivateMessage() {
  static const UINT message = RegisterWindowMessageA(kActivateMessageName);
  return message;
}

}  // namespace

SingleInstance::~SingleInstance() {
  if (owned_) ReleaseMutex(mutex_.get());
}

bool SingleInstance::Claim(bool bringForward) {
  mutex_ = ScopedHandle(CreateMutexA(nullptr, FALSE, kInstanceMutexName));
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
      if (!bringForward) return false;
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
                               std::function<bool()> exit, CommandHandler command)
    : trace_(trace),
      activate_(std::move(activate)),
      exit_(std::move(exit)),
      command_(std::move(command)) {
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
    case WM_COPYDATA:
      return self->Receive(reinterpret_cast<HWND>(wParam),
                           reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case kRunLater:
      if (!self->later_.empty()) {
        // Taken off first: what it runs may bring the next command in.
        const std::function<void()> then = std::move(self->later_.front());
        self->later_.pop_front();
        then();
      }
      return 0;
    case WM_TIMER:
      if (wParam == kStartTimer) self->RunStartCommand();
      return 0;
    case WM_NCDESTROY:
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

namespace {

bool IsReplyWindow(HWND hwnd) {
  wchar_t name[32] = {};
  return hwnd && IsWindow(hwnd) && GetClassNameW(hwnd, name, 32) > 0 &&
         Utf8(name) == kReplyWindowClass;
}

std::string Code(const Reply& reply) {
  return std::to_string(reply.code);
}

}  // namespace

void InstanceWindow::RunWhenReady(const Command& command, std::function<bool()> ready) {
  startCommand_ = command;
  ready_ = std::move(ready);
  startDeadline_ = GetTickCount64() + kStartPatienceMs;
  if (hwnd_) SetTimer(hwnd_, kStartTimer, kStartPollMs, nullptr);
}

void InstanceWindow::RunStartCommand() {
  if (!startCommand_ || answering_) return;
  const bool ready = ready_ && ready_();
  if (!ready && GetTickCount64() < startDeadline_) return;
  const Command command = *std::exchange(startCommand_, std::nullopt);
  KillTimer(hwnd_, kStartTimer);
  if (!ready || !command_) {
    trace_.Line("instance.command", {"start", EncodeCommand(command), "dropped"});
    return;
  }
  answering_ = true;
  const Reply reply = command_(command);
  answering_ = false;
  trace_.Line("instance.command", {"start", EncodeCommand(command), Code(reply), reply.line});
  Later(reply);
}

void InstanceWindow::Later(const Reply& reply) {
  if (!reply.then) return;
  later_.push_back(reply.then);
  PostMessageW(hwnd_, kRunLater, 0, 0);
}

LRESULT InstanceWindow::Receive(HWND from, const COPYDATASTRUCT* data) {
  // Someone else's data, or a command nobody waits for: not ours to answer.
  if (!data || data->dwData != kCommandTag || !IsReplyWindow(from)) return FALSE;
  if (answering_) {
    Answer(from, {kExitRefused, "Unwindle is busy with another command.", nullptr});
    return TRUE;
  }
  // The command the program was started with comes first.
  RunStartCommand();
  // DecodeCommand looks at the size before it reads a byte: the system copied that many for us.
  const std::string_view bytes =
      data->lpData ? std::string_view(static_cast<const char*>(data->lpData), data->cbData)
                   : std::string_view();
  const CommandLine line = DecodeCommand(bytes);
  Reply reply{kExitBadUsage, line.error, nullptr};
  if (line.kind == CommandLine::Kind::kCommand) {
    answering_ = true;
    reply = command_ ? command_(line.command)
                     : Reply{kExitRefused, "Unwindle takes no commands.", nullptr};
    answering_ = false;
  }
  const bool good = line.kind == CommandLine::Kind::kCommand;
  trace_.Line("instance.command",
              {"sent", good ? EncodeCommand(line.command) : "?", Code(reply), reply.line});
  Answer(from, reply);
  Later(reply);
  return TRUE;
}

void InstanceWindow::Answer(HWND to, const Reply& reply) {
  const std::string text = EncodeReply(reply.code, reply.line);
  COPYDATASTRUCT data = {kReplyTag, static_cast<DWORD>(text.size()),
                         const_cast<char*>(text.data())};
  DWORD_PTR result = 0;
  // SMTO_BLOCK: no other sent message (another command) is handled while the sender takes it; a
  // sender that does not take it within the time loses its answer, and the program goes on.
  SendMessageTimeoutW(to, WM_COPYDATA, reinterpret_cast<WPARAM>(hwnd_),
                      reinterpret_cast<LPARAM>(&data), SMTO_BLOCK | SMTO_ABORTIFHUNG,
                      kAnswerTimeoutMs, &result);
}

}  // namespace unw::win32

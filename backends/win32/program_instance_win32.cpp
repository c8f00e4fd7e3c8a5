#include "backends/win32/program_instance_win32.h"

#include <shellapi.h>

#include <deque>
#include <string>
#include <string_view>
#include <utility>

#include "backends/win32/pool_work.h"
#include "backends/win32/wide_text.h"
#include "backends/win32/window_life.h"

namespace unw::win32 {

namespace {

// How long a second start waits for a first one that owns the mutex but has no window yet.
constexpr DWORD kWaitForFirstMs = 10000;
constexpr DWORD kPollMs = 100;
// Posted to itself on WM_CLOSE: the exit then runs from the program's loop, not inside the
// caller's SendMessage.
constexpr UINT kExitNow = WM_APP + 1;
// What the program's window returns for a command it took: its answer follows as a message of its
// own. (TRUE alone: answered, or not, within the call.)
constexpr LRESULT kAnswerFollows = 2;
// Posted to itself when a command is queued: commands are carried out from the program's loop,
// one a message, in the order they came.
constexpr UINT kServeNext = WM_APP + 2;
// How long the answer waits for the sender's window to take it.
constexpr UINT kAnswerTimeoutMs = 2000;

UINT ActivateMessage() {
  static const UINT message = RegisterWindowMessageA(kActivateMessageName);
  return message;
}

bool IsReplyWindow(HWND hwnd) {
  wchar_t name[32] = {};
  return hwnd && IsWindow(hwnd) && GetClassNameW(hwnd, name, 32) > 0 &&
         Utf8(name) == kReplyWindowClass;
}

}  // namespace

// The hidden window through which a second start, the installer and the command line reach the
// program. Activation and exit run from the program's own message loop. A command is taken at once
// (queued, whatever arrives meanwhile) and carried out from the loop in order of arrival; its
// answer goes back to the sender's window from a thread of the pool, so that no sender, however
// slow to take it, holds the program up.
class InstanceWindow {
 public:
  InstanceWindow(InstanceRequests& requests, Trace& trace) : requests_(requests), trace_(trace) {
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = WndProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = kInstanceWindowClass;
    RegisterClassExA(&wc);
    // A hidden top-level window rather than a message-only one: FindWindow (and the installer's
    // FindWindow) only see top-level windows.
    {
      CreatingWindow creating(this);
      hwnd_ = CreateWindowExA(WS_EX_TOOLWINDOW, kInstanceWindowClass, "Unwindle", WS_POPUP, 0, 0, 0,
                              0, nullptr, nullptr, GetModuleHandleA(nullptr), this);
    }
    trace.Line("instance.listen", {hwnd_ ? "1" : "0"});
  }
  ~InstanceWindow() {
    if (hwnd_) DestroyOwnWindow(hwnd_);
    UnregisterClassA(kInstanceWindowClass, GetModuleHandleA(nullptr));
  }
  InstanceWindow(const InstanceWindow&) = delete;
  InstanceWindow& operator=(const InstanceWindow&) = delete;

  HWND hwnd() const { return hwnd_; }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
      // Only the program's own creation binds the window: a forged one would leave the command
      // line without an answer, or write through the sender's pointer.
      void* created = CreatedObject(hwnd, lParam);
      if (!created) return FALSE;
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
      return DefWindowProcA(hwnd, msg, wParam, lParam);
    }
    // Likewise only the program's own DestroyWindow lets go of it.
    if (ForgedLifeMessage(msg)) return 0;
    auto* self = reinterpret_cast<InstanceWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (!self) return DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == ActivateMessage()) {
      self->requests_.Activate();
      return 0;
    }
    switch (msg) {
      case WM_CLOSE:
        // Never DefWindowProc's DestroyWindow: the window lives as long as the program.
        PostMessageA(hwnd, kExitNow, 0, 0);
        return 0;
      case kExitNow:
        self->requests_.Exit();
        return 0;
      case kServeNext:
        self->ServeNext();
        return 0;
      case WM_COPYDATA:
        return self->Receive(reinterpret_cast<HWND>(wParam),
                             reinterpret_cast<const COPYDATASTRUCT*>(lParam));
      case WM_NCDESTROY:
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
        break;
      default:
        break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
  }

  // A WM_COPYDATA: kAnswerFollows when it was a command, now queued; FALSE when it was none.
  LRESULT Receive(HWND from, const COPYDATASTRUCT* data) {
    // Someone else's data, or a command nobody waits for: not ours to answer.
    if (!data) return FALSE;
    // Larger than any command: the system has copied it into the program, which keeps none of it.
    if (data->cbData > kMaxCopyDataBytes) {
      trace_.Line("instance.refused", {std::to_string(data->cbData)});
      return FALSE;
    }
    if (data->dwData != kCommandTag || !IsReplyWindow(from)) return FALSE;
    // The system copied cbData bytes for us; the core looks at the size before it reads a byte.
    std::string bytes;
    if (data->lpData) bytes.assign(static_cast<const char*>(data->lpData), data->cbData);
    queue_.push_back({from, std::move(bytes)});
    if (queue_.size() == 1) PostMessageA(hwnd_, kServeNext, 0, 0);
    return kAnswerFollows;
  }

  // Carries out the command that came first and sends its answer on its way; the next one waits
  // for the next message, so that the program's own timers and windows go on between commands.
  void ServeNext() {
    // A command's work that runs a loop of its own sees this message again: the first one
    // carries on once its command is done.
    if (serving_ || queue_.empty()) return;
    serving_ = true;
    const std::string answer = requests_.Answer(queue_.front().bytes);
    const HWND to = queue_.front().from;
    queue_.pop_front();
    serving_ = false;
    if (!queue_.empty()) PostMessageA(hwnd_, kServeNext, 0, 0);
    if (!IsWindow(to)) return;  // gone while it waited
    // A window on another thread may take its time: the pool's thread waits for it, not ours.
    const bool sent = RunOnPool([to, self = hwnd_, answer] {
      COPYDATASTRUCT reply = {kReplyTag, static_cast<DWORD>(answer.size()),
                              const_cast<char*>(answer.data())};
      DWORD_PTR result = 0;
      SendMessageTimeoutW(to, WM_COPYDATA, reinterpret_cast<WPARAM>(self),
                          reinterpret_cast<LPARAM>(&reply), SMTO_ABORTIFHUNG, kAnswerTimeoutMs,
                          &result);
    });
    if (!sent) trace_.Line("instance.unanswered", {});
  }

  struct Queued {
    HWND from;
    std::string bytes;
  };
  std::deque<Queued> queue_;
  bool serving_ = false;

  InstanceRequests& requests_;
  Trace& trace_;
  HWND hwnd_ = nullptr;
};

Win32ProgramInstance::Win32ProgramInstance() = default;

Win32ProgramInstance::~Win32ProgramInstance() {
  window_.reset();
  if (owned_) ReleaseMutex(mutex_.get());
}

bool Win32ProgramInstance::Claim(bool bringForward) {
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

void Win32ProgramInstance::Serve(InstanceRequests& requests, Trace& trace) {
  window_ = std::make_unique<InstanceWindow>(requests, trace);
}

void Win32ProgramInstance::StopServing() {
  window_.reset();
}

HWND Win32ProgramInstance::hwnd() const {
  return window_ ? window_->hwnd() : nullptr;
}

namespace {

// Where the answer lands: only from the window the command went to, only once.
struct Mailbox {
  HWND from = nullptr;
  const std::function<bool(std::string_view)>* isAnswer = nullptr;
  std::optional<std::string> answer;
};

LRESULT CALLBACK ReplyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_COPYDATA) return DefWindowProcW(hwnd, msg, wParam, lParam);
  auto* box = reinterpret_cast<Mailbox*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (!box || box->answer || !data || data->dwData != kReplyTag ||
      reinterpret_cast<HWND>(wParam) != box->from || !data->lpData ||
      data->cbData > kMaxCopyDataBytes)
    return FALSE;
  const std::string_view bytes(static_cast<const char*>(data->lpData), data->cbData);
  if (box->isAnswer && *box->isAnswer && !(*box->isAnswer)(bytes)) return FALSE;
  box->answer = std::string(bytes);
  return TRUE;
}

}  // namespace

HWND FindRunningProgram(DWORD waitMs) {
  const std::wstring cls = Wide(kInstanceWindowClass);
  for (const ULONGLONG deadline = GetTickCount64() + waitMs;;) {
    if (HWND hwnd = FindWindowW(cls.c_str(), nullptr)) return hwnd;
    // No window: a program may be starting (it owns the mutex); or none runs, or one crashed
    // and left the mutex abandoned, which we then own for a moment and let go.
    ScopedHandle mutex(OpenMutexW(SYNCHRONIZE, FALSE, Wide(kInstanceMutexName).c_str()));
    if (!mutex.get()) return nullptr;
    const DWORD wait = WaitForSingleObject(mutex.get(), 0);
    if (wait == WAIT_OBJECT_0 || wait == WAIT_ABANDONED) {
      ReleaseMutex(mutex.get());
      return nullptr;
    }
    if (GetTickCount64() >= deadline) return nullptr;
    ::Sleep(kPollMs);
  }
}

std::optional<std::string> Exchange(HWND target, ULONG_PTR tag, std::string_view bytes,
                                    DWORD timeoutMs,
                                    const std::function<bool(std::string_view)>& isAnswer) {
  const std::wstring cls = Wide(kReplyWindowClass);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = ReplyProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = cls.c_str();
  RegisterClassExW(&wc);  // fails harmlessly when this process registered it before
  // A message-only window: the program reaches it by its handle, nobody else needs to find it.
  ScopedWindow window(CreateWindowExW(0, cls.c_str(), L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      GetModuleHandleW(nullptr), nullptr));
  if (!window.get()) return std::nullopt;
  Mailbox box{target, &isAnswer, std::nullopt};
  SetWindowLongPtrW(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&box));
  COPYDATASTRUCT data = {tag, static_cast<DWORD>(bytes.size()), const_cast<char*>(bytes.data())};
  DWORD_PTR result = 0;
  const ULONGLONG deadline = GetTickCount64() + timeoutMs;
  // Not SMTO_BLOCK: the answer is a message sent to us, while we wait here or afterwards. Not
  // SMTO_ABORTIFHUNG either: a program that has not looked at its messages for five seconds is
  // more often starting on a busy machine than hung, and the timeout bounds the wait for both.
  const bool taken =
      SendMessageTimeoutW(target, WM_COPYDATA, reinterpret_cast<WPARAM>(window.get()),
                          reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, timeoutMs, &result) != 0 &&
      result == static_cast<DWORD_PTR>(kAnswerFollows);
  // Taken: the answer comes once the commands before it are done.
  while (taken && !box.answer) {
    const ULONGLONG now = GetTickCount64();
    if (now >= deadline) break;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now),
                              QS_SENDMESSAGE);
    MSG m;
    // Handles the messages sent to this thread (the answer among them); nothing else is taken.
    PeekMessageW(&m, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
  SetWindowLongPtrW(window.get(), GWLP_USERDATA, 0);
  return box.answer;
}

Delivered Win32ProgramInstance::Send(std::string_view command, Patience patience,
                                     const std::function<bool(std::string_view)>& isAnswer) {
  HWND program = FindRunningProgram(static_cast<DWORD>(patience.findMs));
  if (!program) return {Delivery::kNotRunning, ""};
  if (auto answer =
          Exchange(program, kCommandTag, command, static_cast<DWORD>(patience.answerMs), isAnswer))
    return {Delivery::kAnswered, std::move(*answer)};
  // It may have ended meanwhile.
  if (!IsWindow(program)) return {Delivery::kNotRunning, ""};
  return {Delivery::kNoAnswer, ""};
}

namespace {

class Win32StartedProgram : public StartedProgram {
 public:
  explicit Win32StartedProgram(HANDLE process) : process_(process) {}
  std::optional<uint32_t> ExitCode() override {
    DWORD code = 0;
    if (GetExitCodeProcess(process_.get(), &code) && code != STILL_ACTIVE) return code;
    return std::nullopt;
  }

 private:
  ScopedHandle process_;
};

}  // namespace

Started Win32ProgramInstance::Start(std::string_view arguments) {
  const std::wstring exe = Beside(L"unwindle.exe");
  std::wstring line = L"\"" + exe + L"\" " + Wide(arguments);
  // Its own folder as the working directory: a program that runs for hours must not keep the
  // caller's folder in use.
  const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  Started started;
  started.path = Utf8(exe);
  if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &si, &pi)) {
    started.error = GetLastError();
    return started;
  }
  CloseHandle(pi.hThread);
  started.program = std::make_unique<Win32StartedProgram>(pi.hProcess);
  return started;
}

int64_t Win32ProgramInstance::NowMs() {
  return static_cast<int64_t>(GetTickCount64());
}

void Win32ProgramInstance::Sleep(int ms) {
  ::Sleep(static_cast<DWORD>(ms));
}

namespace {

// To a console as characters whatever its code page; to a file or a pipe as UTF-8 with the line
// ends of Windows (a text that has them already keeps them).
void Print(DWORD stream, std::string_view text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i)
    out += text[i] == '\n' && (i == 0 || text[i - 1] != '\r') ? std::string("\r\n")
                                                              : std::string(1, text[i]);
  HANDLE h = GetStdHandle(stream);
  DWORD mode = 0, written = 0;
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
  if (GetConsoleMode(h, &mode)) {
    const std::wstring wide = Wide(out);
    WriteConsoleW(h, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  } else {
    WriteFile(h, out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
  }
}

}  // namespace

void Win32Console::Out(std::string_view text) {
  if (kind_ == Kind::kConsoleProgram) return Print(STD_OUTPUT_HANDLE, text);
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD written = 0;
  if (out && out != INVALID_HANDLE_VALUE)
    WriteFile(out, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

void Win32Console::Err(std::string_view text) {
  if (kind_ == Kind::kConsoleProgram) Print(STD_ERROR_HANDLE, text);
}

std::vector<std::string> CommandArguments() {
  int count = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> args;
  for (int i = 1; argv && i < count; ++i) args.push_back(Utf8(argv[i]));
  if (argv) LocalFree(argv);
  return args;
}

std::wstring Beside(const std::wstring& file) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return file;
    if (n < path.size()) {
      path.resize(n);
      break;
    }
    path.resize(path.size() * 2);
  }
  return path.substr(0, path.find_last_of(L"\\/") + 1) + file;
}

}  // namespace unw::win32

#include "backends/win32/command_client.h"

#include <shellapi.h>

#include "platform/trace.h"
#include "backends/win32/calendar_win32.h"
#include "backends/win32/scoped.h"
#include "backends/win32/single_instance.h"
#include "backends/win32/storage_win32.h"
#include "backends/win32/wide_text.h"

namespace unw::win32 {

namespace {

constexpr DWORD kFindWaitMs = 10000;
// The program answers from inside the call: only a program that is hung takes long.
constexpr DWORD kAnswerWaitMs = 15000;
constexpr DWORD kPollMs = 100;

// Where the answer lands: only from the window the command went to, only once.
struct Mailbox {
  HWND from = nullptr;
  std::optional<Reply> reply;
};

LRESULT CALLBACK ReplyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg != WM_COPYDATA) return DefWindowProcW(hwnd, msg, wParam, lParam);
  auto* box = reinterpret_cast<Mailbox*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
  if (!box || box->reply || !data || data->dwData != kReplyTag ||
      reinterpret_cast<HWND>(wParam) != box->from || !data->lpData)
    return FALSE;
  box->reply = DecodeReply(std::string_view(static_cast<const char*>(data->lpData), data->cbData));
  return box->reply ? TRUE : FALSE;
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
    Sleep(kPollMs);
  }
}

std::optional<Reply> Exchange(HWND target, ULONG_PTR tag, std::string_view bytes, DWORD timeoutMs) {
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
  Mailbox box{target, std::nullopt};
  SetWindowLongPtrW(window.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&box));
  COPYDATASTRUCT data = {tag, static_cast<DWORD>(bytes.size()), const_cast<char*>(bytes.data())};
  DWORD_PTR result = 0;
  // Not SMTO_BLOCK: the answer is a message sent to us while we wait.
  SendMessageTimeoutW(target, WM_COPYDATA, reinterpret_cast<WPARAM>(window.get()),
                      reinterpret_cast<LPARAM>(&data), SMTO_ABORTIFHUNG, timeoutMs, &result);
  SetWindowLongPtrW(window.get(), GWLP_USERDATA, 0);
  return box.reply;
}

Reply SendCommand(const Command& command) {
  HWND program = FindRunningProgram(kFindWaitMs);
  if (!program) return {kExitNotRunning, kNotRunningLine, nullptr};
  if (auto reply = Exchange(program, kCommandTag, EncodeCommand(command), kAnswerWaitMs))
    return *reply;
  // It may have ended meanwhile.
  if (!IsWindow(program)) return {kExitNotRunning, kNotRunningLine, nullptr};
  return {kExitRefused, "Unwindle did not answer.", nullptr};
}

Reply HistoryReply(const Command& command) {
  Trace quiet(nullptr, "");
  Win32Storage storage(quiet);
  Win32Calendar calendar;
  return HistoryAnswer(storage, calendar, command);
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

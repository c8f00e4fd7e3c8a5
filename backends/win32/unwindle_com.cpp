// unwindle.com: the command line of the running Unwindle, for consoles, scripts and hotkey tools.
// Windows starts a GUI program from a console without waiting for it and without its output; this
// console program, beside unwindle.exe, is what a console runs for "unwindle" (.com comes before
// .exe). It sends the command, waits for the answer, prints its one line and ends with its code.
#include <windows.h>

#include <string>

#include "app/command_line.h"
#include "backends/win32/command_client.h"
#include "backends/win32/scoped.h"
#include "backends/win32/single_instance.h"
#include "backends/win32/wide_text.h"

namespace {

using namespace unw;

// How long /start waits for the program it started to answer: its splash alone takes five seconds.
constexpr ULONGLONG kStartPatienceMs = 30000;
constexpr DWORD kPollMs = 250;

// To a console as characters whatever its code page; to a file or a pipe as UTF-8 with the line
// ends of Windows (a text that has them already keeps them).
void Print(DWORD stream, const std::string& text) {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i)
    out += text[i] == '\n' && (i == 0 || text[i - 1] != '\r') ? std::string("\r\n")
                                                              : std::string(1, text[i]);
  HANDLE h = GetStdHandle(stream);
  DWORD mode = 0, written = 0;
  if (h == nullptr || h == INVALID_HANDLE_VALUE) return;
  if (GetConsoleMode(h, &mode)) {
    const std::wstring wide = win32::Wide(out);
    WriteConsoleW(h, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  } else {
    WriteFile(h, out.data(), static_cast<DWORD>(out.size()), &written, nullptr);
  }
}

// Starts unwindle.exe from this program's folder with `arguments` and no window of ours.
bool StartProgram(const std::wstring& arguments, win32::ScopedHandle& process) {
  const std::wstring exe = win32::Beside(L"unwindle.exe");
  std::wstring line = L"\"" + exe + L"\" " + arguments;
  // Its own folder as the working directory: a program that runs for hours must not keep the
  // caller's folder in use.
  const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\'));
  STARTUPINFOW si = {};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi = {};
  if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                      &si, &pi))
    return false;
  CloseHandle(pi.hThread);
  process.reset(pi.hProcess);
  return true;
}

// /start with no program running: starts it with /start (it starts the timer once it is up) and
// answers with where it stands then.
Reply StartAndAsk() {
  win32::ScopedHandle process;
  if (!StartProgram(L"/start", process)) {
    const DWORD error = GetLastError();
    return {kExitNotRunning,
            "Unwindle could not be started: " + win32::Utf8(win32::Beside(L"unwindle.exe")) +
                " (error " + std::to_string(error) + ").",
            nullptr};
  }
  const std::string status = EncodeCommand({Verb::kStatus, std::nullopt});
  Reply last{kExitRefused, "Unwindle did not answer in time.", nullptr};
  for (const ULONGLONG deadline = GetTickCount64() + kStartPatienceMs; GetTickCount64() < deadline;
       Sleep(kPollMs)) {
    DWORD code = 0;
    if (GetExitCodeProcess(process.get(), &code) && code != STILL_ACTIVE)
      return {kExitNotRunning,
              "Unwindle ended as it started (exit code " + std::to_string(code) + ").", nullptr};
    HWND program = win32::FindRunningProgram(0);
    if (!program) continue;
    // Refused while it is still starting; answered once its start command has been carried out.
    if (auto reply = win32::Exchange(program, win32::kCommandTag, status, kStartPatienceMs)) {
      if (reply->code == kExitDone) return *reply;
      last = *reply;
    }
  }
  return last;
}

}  // namespace

int main() {
  const CommandLine line = ParseCommandLine(win32::CommandArguments());
  switch (line.kind) {
    case CommandLine::Kind::kNone: {
      // "unwindle" typed in a console: the program, as from the Start menu.
      win32::ScopedHandle process;
      if (StartProgram(L"", process)) return kExitDone;
      Print(STD_ERROR_HANDLE, "Unwindle could not be started.\n");
      return kExitNotRunning;
    }
    case CommandLine::Kind::kBad:
      Print(STD_ERROR_HANDLE, line.error + "\n" + kUsage);
      return kExitBadUsage;
    case CommandLine::Kind::kCommand:
      break;
  }
  if (line.command.verb == Verb::kHelp) {
    Print(STD_OUTPUT_HANDLE, kUsage);
    return kExitDone;
  }
  const bool history = line.command.verb == Verb::kHistory;
  Reply reply = history ? win32::HistoryReply(line.command) : win32::SendCommand(line.command);
  if (history && reply.code == kExitDone) {
    Print(STD_OUTPUT_HANDLE, reply.line);  // the CSV, its lines ended already
    return kExitDone;
  }
  if (reply.code == kExitNotRunning && line.command.verb == Verb::kStart) reply = StartAndAsk();
  Print(reply.code == kExitDone ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE, reply.line + "\n");
  return reply.code;
}

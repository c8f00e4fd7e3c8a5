// The sending side of the command line: finds the session's running program, hands it a command
// through its instance window (single_instance.h) and waits for the answer. Used by unwindle.com
// and by unwindle.exe started with arguments.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/command_line.h"

namespace unw::win32 {

// The running program's instance window, waiting up to `waitMs` for a program that is starting
// (it holds the session's mutex but has no window yet); null when none runs.
HWND FindRunningProgram(DWORD waitMs);
// Sends `bytes` with the tag `tag` to `target` by WM_COPYDATA from a reply window of this thread,
// and returns the answer that `target` sends back to it before the call returns; none when none
// that reads as an answer comes within `timeoutMs`.
std::optional<Reply> Exchange(HWND target, ULONG_PTR tag, std::string_view bytes, DWORD timeoutMs);
// Carries `command` to the running program: its answer; "Unwindle is not running." (3) when none
// runs, a refusal (4) when it gives no answer.
Reply SendCommand(const Command& command);

// /history, answered without the running program: the CSV of the journal read as it stands, as the
// reply's line (lines ended by CR LF), or why it cannot be read (4).
Reply HistoryReply(const Command& command);

// This process's arguments after its name, as UTF-8.
std::vector<std::string> CommandArguments();
// The full path of `file` in this program's folder.
std::wstring Beside(const std::wstring& file);

}  // namespace unw::win32

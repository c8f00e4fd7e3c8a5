// One program per user session, on Windows. The first start owns a named mutex of the session and
// keeps a hidden "instance window" that others reach it through:
// - a second start posts it the registered message "Unwindle.Activate" and ends (exit code 0);
//   the program then brings its main window back as a click on the tray icon does;
// - the installer and the uninstaller send it WM_CLOSE: the program ends as when another program
//   asks it to close (no question, the tray icon removed), once its start-up is over;
// - the command line (unwindle.com, or unwindle.exe with arguments) sends it a command by
//   WM_COPYDATA from a window of its own, of class "Unwindle.Reply", whose handle is the message's
//   wParam; before it returns, the program answers with a WM_COPYDATA to that window. Both carry
//   UTF-8 text, told apart from other data by their dwData tags.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/program_instance.h"
#include "backends/win32/scoped.h"

namespace unw::win32 {

// The instance window's class; its caption is the product name.
inline constexpr char kInstanceWindowClass[] = "Unwindle.Instance";
// The registered message a second start posts to the instance window.
inline constexpr char kActivateMessageName[] = "Unwindle.Activate";
// "Local\": one program per session, so that each user of a shared machine has their own.
inline constexpr char kInstanceMutexName[] = "Local\\KORVANTE.Unwindle";
// The command line's window that the answer goes to.
inline constexpr char kReplyWindowClass[] = "Unwindle.Reply";
// The dwData of a command ("UNWC") and of an answer ("UNWR").
inline constexpr ULONG_PTR kCommandTag = 0x554E5743;
inline constexpr ULONG_PTR kReplyTag = 0x554E5752;
// The most either carries: many times the longest command or answer the command line makes.
// Anything larger is refused before a byte of it is read.
inline constexpr DWORD kMaxCopyDataBytes = 4096;

class InstanceWindow;

// The session's program (its claim, held from Claim to destruction, and its instance window, made
// by Serve on the thread that then runs the program's loop), and the way other copies reach it.
class Win32ProgramInstance : public ProgramInstance {
 public:
  Win32ProgramInstance();
  ~Win32ProgramInstance() override;
  Win32ProgramInstance(const Win32ProgramInstance&) = delete;
  Win32ProgramInstance& operator=(const Win32ProgramInstance&) = delete;

  bool Claim(bool bringForward) override;
  void Serve(InstanceRequests& requests, Trace& trace) override;
  void StopServing() override;
  Delivered Send(std::string_view command, Patience patience,
                 const std::function<bool(std::string_view)>& isAnswer) override;
  Started Start(std::string_view arguments) override;
  int64_t NowMs() override;
  void Sleep(int ms) override;

  // The instance window while it serves (null otherwise).
  HWND hwnd() const;

 private:
  ScopedHandle mutex_;
  bool owned_ = false;
  std::unique_ptr<InstanceWindow> window_;
};

// Where a command line prints. unwindle.com writes to a console as characters whatever its code
// page, and to a file or a pipe as UTF-8 with the line ends of Windows; unwindle.exe, a program
// without a console, writes its output as it is only where the caller gave it one, and no errors.
class Win32Console : public Console {
 public:
  enum class Kind { kConsoleProgram, kWindowsProgram };
  explicit Win32Console(Kind kind) : kind_(kind) {}
  void Out(std::string_view text) override;
  void Err(std::string_view text) override;

 private:
  Kind kind_;
};

// The running program's instance window, waiting up to `waitMs` for a program that is starting
// (it holds the session's mutex but has no window yet); null when none runs.
HWND FindRunningProgram(DWORD waitMs);
// Sends `bytes` with the tag `tag` to `target` by WM_COPYDATA from a reply window of this thread,
// and returns the first answer that `target` sends back to it before the call returns and that
// `isAnswer` takes (any, when it is empty); none when none comes within `timeoutMs`.
std::optional<std::string> Exchange(HWND target, ULONG_PTR tag, std::string_view bytes,
                                    DWORD timeoutMs,
                                    const std::function<bool(std::string_view)>& isAnswer);

// This process's arguments after its name, as UTF-8.
std::vector<std::string> CommandArguments();
// The full path of `file` in this program's folder.
std::wstring Beside(const std::wstring& file);

}  // namespace unw::win32

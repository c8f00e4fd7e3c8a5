// One program per user session. The first start owns a named mutex of the session and keeps a
// hidden "instance window" that others reach it through:
// - a second start posts it the registered message "Unwindle.Activate" and ends (exit code 0);
//   the program then brings its main window back as a click on the tray icon does;
// - the installer and the uninstaller send it WM_CLOSE: the program ends as when another program
//   asks it to close (no question, the tray icon removed), once its start-up is over;
// - the command line (unwindle.com, or unwindle.exe with arguments) sends it a command by
//   WM_COPYDATA from a window of its own, of class "Unwindle.Reply", whose handle is the message's
//   wParam; before it returns, the program answers with a WM_COPYDATA to that window. Both carry
//   UTF-8 text (app/command_line.h), told apart from other data by their dwData tags.
#pragma once

#include <windows.h>

#include <cstdint>
#include <deque>
#include <functional>
#include <optional>

#include "app/command_line.h"
#include "platform/trace.h"
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

// The session's claim on being the program, held from construction to destruction.
class SingleInstance {
 public:
  SingleInstance() = default;
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when this process is the session's program: no other holds the mutex, or the one that
  // held it ended without letting go (a crash). Otherwise returns false once the running program's
  // window is there (waiting a few seconds for a program still starting or ending), having asked
  // it to show its main window when `bringForward`.
  bool Claim(bool bringForward = true);

 private:
  ScopedHandle mutex_;
  bool owned_ = false;
};

// The hidden window through which a second start, the installer and the command line reach the
// program. Activation and exit run from the program's own message loop; a handler returns false
// when the program cannot follow it now (its start-up is not over), and the request is dropped.
// A command is answered at once, from inside the sender's call: `command` says what the program
// does with it (its Reply's `then` runs afterwards, from the program's loop). Whatever arrives is
// checked before anything reads it, and the answer waits for the sender a bounded time only.
class InstanceWindow {
 public:
  using CommandHandler = std::function<Reply(const Command&)>;
  InstanceWindow(Trace& trace, std::function<bool()> activate, std::function<bool()> exit,
                 CommandHandler command = {});
  ~InstanceWindow();
  InstanceWindow(const InstanceWindow&) = delete;
  InstanceWindow& operator=(const InstanceWindow&) = delete;

  HWND hwnd() const { return hwnd_; }
  // The command this program was started with: carried out once `ready` says the program takes
  // input (its start-up is over), before any command that arrives from outside; dropped when
  // that does not happen within a minute.
  void RunWhenReady(const Command& command, std::function<bool()> ready);

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // A WM_COPYDATA: TRUE when it was a command and was answered.
  LRESULT Receive(HWND from, const COPYDATASTRUCT* data);
  void Answer(HWND to, const Reply& reply);
  // Carries the start-up command out if the program is ready for it.
  void RunStartCommand();
  // Hands `reply`'s follow-up to the program's loop.
  void Later(const Reply& reply);

  Trace& trace_;
  std::function<bool()> activate_;
  std::function<bool()> exit_;
  CommandHandler command_;
  std::optional<Command> startCommand_;
  std::function<bool()> ready_;
  ULONGLONG startDeadline_ = 0;
  std::deque<std::function<void()>> later_;
  bool answering_ = false;  // a command is being carried out: one arriving meanwhile is refused
  HWND hwnd_ = nullptr;
};

}  // namespace unw::win32

// One program per user session. The first start owns a named mutex of the session and keeps a
// hidden "instance window" that others reach it through:
// - a second start posts it the registered message "Unwindle.Activate" and ends (exit code 0);
//   the program then brings its main window back as a click on the tray icon does;
// - the installer and the uninstaller send it WM_CLOSE: the program ends as when another program
//   asks it to close (no question, the tray icon removed), once its start-up is over.
#pragma once

#include <windows.h>

#include <functional>

#include "platform/trace.h"
#include "platform/win32/scoped.h"

namespace unw::win32 {

// The instance window's class; its caption is the product name.
inline constexpr char kInstanceWindowClass[] = "Unwindle.Instance";
// The registered message a second start posts to the instance window.
inline constexpr char kActivateMessageName[] = "Unwindle.Activate";

// The session's claim on being the program, held from construction to destruction.
class SingleInstance {
 public:
  SingleInstance() = default;
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True when this process is the session's program: no other holds the mutex, or the one that
  // held it ended without letting go (a crash). Otherwise asks the running program to show its
  // main window (waiting a few seconds for a program still starting or ending) and returns false.
  bool Claim();

 private:
  ScopedHandle mutex_;
  bool owned_ = false;
};

// The hidden window through which a second start and the installer reach the program. Each
// request runs from the program's own message loop; a handler returns false when the program
// cannot follow it now (its start-up is not over), and the request is dropped.
class InstanceWindow {
 public:
  InstanceWindow(Trace& trace, std::function<bool()> activate, std::function<bool()> exit);
  ~InstanceWindow();
  InstanceWindow(const InstanceWindow&) = delete;
  InstanceWindow& operator=(const InstanceWindow&) = delete;

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  Trace& trace_;
  std::function<bool()> activate_;
  std::function<bool()> exit_;
  HWND hwnd_ = nullptr;
};

}  // namespace unw::win32

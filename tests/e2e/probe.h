// What the end-to-end drivers do to a running unwindle.exe from the outside: start it, find its
// windows and controls by their UnwindleName, read and press them, and read the registry and the
// diagnostic trace it shares with us (same Wine prefix).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Both poll every 25 ms, the last time at or after the end, so that what holds just then counts.
// WaitFor: until `cond` holds. HoldsFor: whether it holds all along (for what must not happen).
// Meanwhile the driver's own windows get their messages.
bool WaitFor(int timeout_ms, const std::function<bool()>& cond);
bool HoldsFor(int duration_ms, const std::function<bool()>& cond);

std::string ToWindowsPath(const std::string& path);  // "/tmp/x" -> "Z:\tmp\x"
std::wstring Wide(const std::string& utf8);
std::string Quote(const std::string& s);  // for messages: in quotes, line ends as \r \n
std::string Lower(std::string s);         // Windows paths compare so (ASCII is enough for ours)
// A file another program may still be writing; empty when it cannot be read.
std::string ReadAll(const std::string& path);

// WM_GETTEXT, sent with a timeout so that a hung program cannot hang the driver.
std::string TextOf(HWND hwnd);
std::string ClassOf(HWND hwnd);
std::vector<HWND> Children(HWND hwnd);  // all descendants
// Top-level windows of one process (every process's when `pid` is 0), hidden ones included.
std::vector<HWND> TopLevelWindows(DWORD pid);
// By UnwindleName: a top-level window of the process (of any when `pid` is 0); a descendant.
HWND FindForm(DWORD pid, const std::string& name);
HWND FindControl(HWND top, const std::string& name);
HWND FindMessageBox(DWORD pid);                        // a visible one
std::string MessageBoxText(HWND box);                  // its longest static text
bool ClickButton(HWND button, int timeout_ms = 3000);  // BM_CLICK, sent
// Presses a named control or menu item through the registered message "UnwindleInvoke": sent,
// true once pressed; or posted, for a press that opens a modal box and so would not return.
bool Invoke(HWND form, const std::string& control, bool wait = true);
// Where the icons of Wine's notification area (the window "Wine System Tray") are on the screen.
std::vector<RECT> TrayIcons();
// "HH:MM:SS" from the main window's lblHours/lblMinutes/lblSeconds ("?" for a missing label).
std::string DisplayedTime(HWND frm_timer);
int SecondsOf(const std::string& hhmmss);  // -1 when it does not parse

// HKEY_CURRENT_USER.
struct RegValue {
  bool present = false;
  DWORD type = 0;
  std::string data;  // as stored, NULs included
  std::string text;  // up to the first NUL
};
RegValue ReadValue(const std::string& key, const std::string& name);
int ValueCount(const std::string& key);  // -1: no such key
bool WriteText(const std::string& key, const std::string& name, const std::string& text);
void DeleteValue(const std::string& key, const std::string& name);
void DeleteKeyTree(const std::string& key);

struct TraceLine {
  int64_t ms = 0;
  std::string event;
  std::vector<std::string> fields;  // unescaped
};
// The lines written in full so far.
std::vector<TraceLine> ReadTrace(const std::string& path);
// Lines with that event whose first fields are `fields`.
std::vector<TraceLine> Matching(const std::vector<TraceLine>& lines, const std::string& event,
                                const std::vector<std::string>& fields = {});

// A program we started, or one we attached to by its window.
class Process {
 public:
  Process() = default;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process();

  // Runs `command` (the program's path in quotes, then any arguments), with UNWINDLE_TRACE set to
  // `trace` when it is not empty.
  bool Start(const std::string& command, const std::string& trace, std::string* error);
  bool Attach(HWND hwnd);
  DWORD pid() const { return pid_; }
  bool Running() const;
  bool WaitExit(int timeout_ms, DWORD* exit_code = nullptr);
  void Kill();  // the last resort

 private:
  HANDLE handle_ = nullptr;
  DWORD pid_ = 0;
};

}  // namespace e2e

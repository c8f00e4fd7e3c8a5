// What the end-to-end driver does to a running unwindle.exe from the outside: start it, find its
// windows and controls by their UnwindleName, read texts and states, press controls, and read the
// registry and the diagnostic trace it shares with us (same Wine prefix).
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace e2e {

// Milliseconds of a monotonic clock.
int64_t NowMs();

// Polls `cond` every 25 ms until it holds or `timeout_ms` has passed; the last poll happens at or
// after the deadline, so a condition that holds at the deadline counts. Returns whether it held.
bool WaitFor(int timeout_ms, const std::function<bool()>& cond);

// True when `cond` holds at every poll for `duration_ms` (the opposite of WaitFor, for checks that
// something does NOT happen). Stops early and returns false at the first poll where it fails.
bool HoldsFor(int duration_ms, const std::function<bool()>& cond);

// "/tmp/x" -> "Z:\tmp\x"; Windows paths are returned unchanged.
std::string ToWindowsPath(const std::string& path);

// The design name a window carries in its "UnwindleName" property ("" when none).
std::string NameOf(HWND hwnd);
// WM_GETTEXT, sent with a timeout so a hung program cannot hang the driver.
std::string TextOf(HWND hwnd);
std::string ClassOf(HWND hwnd);

// Top-level windows of one process (hidden ones included), in Z order.
std::vector<HWND> TopLevelWindows(DWORD pid);
// A top-level window of the process whose UnwindleName is `name`; nullptr when none.
HWND FindForm(DWORD pid, const std::string& name);
// Any process's top-level window with that UnwindleName (for attaching to a running program).
HWND FindFormAnyProcess(const std::string& name);
// A descendant of `top` whose UnwindleName is `name`; nullptr when none.
HWND FindControl(HWND top, const std::string& name);
// A visible message box ("#32770") of the process; nullptr when none.
HWND FindMessageBox(DWORD pid);
// The message box's text: the longest text among its static children.
std::string MessageBoxText(HWND box);

// Waits until neither `top` nor any of its descendants has anything left to paint and the program
// has been back in its message loop since (Wine puts what was painted on the screen before it
// waits for messages): then a screenshot shows the whole window. False after `timeout_ms`.
bool WaitPainted(HWND top, int timeout_ms);

// Presses a button with BM_CLICK (sent, so it returns after the handler ran).
bool ClickButton(HWND button, int timeout_ms = 3000);
// WM_SETTEXT, as pasting into a text box would: the program sees the change.
bool SetText(HWND hwnd, const std::string& text);
// Posts a key press and release to the window that has the keyboard focus in `top`'s thread (or
// to `top`), so that it goes through the program's message loop like typed keys.
bool PostKey(HWND top, WORD vk);

// Wine's notification area when no desktop tray docks it: a top-level window "Wine System Tray"
// with one child window per icon. nullptr when there is none.
HWND WineTrayWindow();
// The screen rectangle of the first visible icon in it; false when there is none.
bool WineTrayIconRect(RECT* rect);

// Asks the program to press a named control or menu item through the registered message
// "UnwindleInvoke". Sent: returns true when the program answered 1 (pressed). Use InvokePost when
// the press opens a modal box (the send would not return until it closes).
bool Invoke(HWND form, const std::string& control, int timeout_ms = 3000);
bool InvokePost(HWND form, const std::string& control);

// The countdown as the main window shows it, "HH:MM:SS" from lblHours/lblMinutes/lblSeconds;
// "?" for a label that is missing.
std::string DisplayedTime(HWND frm_timer);
// Seconds of a "HH:MM:SS" text; -1 when it does not parse.
int SecondsOf(const std::string& hhmmss);

// Registry (HKEY_CURRENT_USER).
struct RegValue {
  bool present = false;
  DWORD type = 0;
  std::string text;  // the data up to its first NUL
  DWORD size = 0;    // bytes stored, the terminating NUL included
};
RegValue ReadValue(const std::string& key, const std::string& name);
bool WriteText(const std::string& key, const std::string& name, const std::string& text);
// UTF-8 to the system's wide characters.
std::wstring Wide(const std::string& utf8);
bool DeleteValue(const std::string& key, const std::string& name);
bool DeleteKeyTree(const std::string& key);

// One line of the diagnostic trace.
struct TraceLine {
  int64_t ms = 0;
  std::string event;
  std::vector<std::string> fields;  // unescaped
  std::string raw;
};
// The whole trace file (empty when it cannot be read). The program keeps it open for appending.
std::vector<TraceLine> ReadTrace(const std::string& path);
// Lines with that event whose first fields equal `fields`.
std::vector<TraceLine> Matching(const std::vector<TraceLine>& lines, const std::string& event,
                                const std::vector<std::string>& fields = {});

// What a WAV file holds, as far as the checks need it.
struct WavSummary {
  bool exists = false;
  // The ALSA file plugin writes the header's sizes when the device closes, so a file still being
  // written reports incomplete.
  bool complete = false;
  std::string error;  // why the data could not be read, if it could not
  int format = 0;     // 1 PCM, 3 float
  int channels = 0;
  int rate = 0;
  int bits = 0;
  double seconds = 0;        // length of the data
  double peak = 0;           // largest magnitude, 0..1 of full scale
  double rms = 0;            // 0..1 of full scale
  double sound_seconds = 0;  // from the first to the last sample above 2% of full scale
};
WavSummary ReadWav(const std::string& path);

// A child process: unwindle.exe started by us, or one we attached to by its window.
class Process {
 public:
  Process() = default;
  ~Process();
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;

  // Starts `exe` with UNWINDLE_TRACE = `trace_path` (none when empty) in the exe's folder.
  bool Start(const std::string& exe, const std::string& trace_path, std::string* error);
  // Opens the process that owns `hwnd`.
  bool Attach(HWND hwnd);

  DWORD pid() const { return pid_; }
  bool Running() const;
  // Waits for the end; true when it ended, with its exit code.
  bool WaitExit(int timeout_ms, DWORD* exit_code);
  // TerminateProcess on our own child (the last resort after a failed clean exit).
  void Kill();

 private:
  HANDLE handle_ = nullptr;
  DWORD pid_ = 0;
};

}  // namespace e2e

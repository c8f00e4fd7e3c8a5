// The end-to-end checks as tables of steps: a step does something to the running program (or
// nothing) and then waits until what it expects holds. Expectations and actions are small shared
// pieces, so a group of checks reads like the timeline a user would live.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "probe.h"

namespace e2e {

inline constexpr const char* kSettingsKey = "Software\\KORVANTE\\Unwindle";
inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

struct Options {
  std::string exe;
  std::string trace_dir;
  std::string shot_dir;
  std::string wav;
  std::string only;
};

class Report {
 public:
  bool Check(const std::string& name, bool ok, const std::string& detail = {});
  static void Note(const std::string& text);
  int passed() const { return passed_; }
  int failed() const { return failed_; }

 private:
  int passed_ = 0;
  int failed_ = 0;
};

// A window of the driver's own, on a thread of its own: the program the user types into, or a
// full-screen one (a film, a presentation) in front of everything.
class OwnWindow {
 public:
  ~OwnWindow() { Close(); }
  // Opens it in front, with the keyboard; true once it has it.
  bool Open(bool fullScreen);
  void Close();
  HWND hwnd() const { return hwnd_; }

 private:
  HANDLE thread_ = nullptr;
  HWND hwnd_ = nullptr;
  bool fullScreen_ = false;
  HANDLE ready_ = nullptr;
};

// One run of the program, from a clean settings key (plus planted values) to its exit.
class Session {
 public:
  Session(Report& report, const Options& options, std::string label);
  ~Session();  // exits the program (File > Exit, Yes) if it still runs

  // Deletes the settings key and the Run entry, writes `planted`, starts the program and waits for
  // its main window, noting the splash on the way. Reports "<label>.launch" only when that fails.
  bool Launch(const std::vector<std::pair<std::string, std::string>>& planted);

  const Options& options() const { return options_; }
  const std::string& label() const { return label_; }
  Process& process() { return process_; }
  HWND main() const { return main_; }
  // A visible top-level window of the program with that name, or nullptr.
  HWND Form(const std::string& name) const;
  HWND Ctl(const std::string& form, const std::string& name) const;
  std::string Display() const { return DisplayedTime(main_); }
  std::vector<TraceLine> Trace() const { return ReadTrace(trace_); }
  bool tracing() const { return !trace_.empty(); }
  // The open message box of the program, or nullptr.
  HWND Box() const { return FindMessageBox(process_.pid()); }

  // What Launch saw: milliseconds from the process start to the first poll that found the splash
  // visible (-1 when never) and to the main window's appearance; the splash's product name.
  int64_t splash_ms = -1, main_ms = -1;
  // When the last step's action was done.
  int64_t acted_ms = 0;
  // The driver's own window, when a step opened one.
  OwnWindow own;
  bool splash_with_main = false;
  std::string splash_product;

 private:
  Report& report_;
  const Options& options_;
  std::string label_;
  Process process_;
  HWND main_ = nullptr;
  std::string trace_;
};

// What must hold: the empty text when it does, else what was seen (and what was expected).
using Expect = std::function<std::string(Session&)>;
// Something the user (or the system) does; false when it could not be done.
using Action = std::function<bool(Session&)>;

struct Step {
  std::string check;  // the check's name; empty for a step that only acts
  Action act;         // may be empty
  Expect expect;      // waited for, up to `ms`; may be empty
  int ms = 3000;
  bool holds = false;  // the expectation must hold for the whole `ms` instead
  bool vital = false;  // the group stops when this check fails
};

// Runs `steps` in a fresh session with `planted` settings.
void RunSteps(Report& r, const Options& o, const std::string& label,
              const std::vector<std::pair<std::string, std::string>>& planted,
              const std::vector<Step>& steps);

// --- Expectations.
Expect All(std::vector<Expect> all);
Expect Shows(const std::string& hhmmss);  // the main window's time
Expect ShowsBelow(int seconds);           // counting: below that many seconds
Expect Visible(const std::string& form, bool visible = true);
Expect Iconic(bool iconic);    // the main window minimized
Expect Topmost(bool topmost);  // the main window above other windows
Expect Text(const std::string& form, const std::string& control, const std::string& text);
Expect Enabled(const std::string& form, const std::string& control, bool enabled);
Expect Shown(const std::string& form, const std::string& control, bool shown);
Expect Stored(const std::string& name, const std::string& text);  // REG_SZ with one NUL
Expect RunEntry(bool present);         // the startup entry names this program
Expect Asks(const std::string& text);  // a message box with that text is open
Expect NoBox();
Expect Ended(DWORD exitCode);
// The trace has `count` lines (at least that many unless `exactly`) of that event whose first
// fields are `fields`.
Expect Traced(const std::string& event, const std::vector<std::string>& fields, size_t count = 1,
              bool exactly = false);
// The display goes down by `seconds` from what it shows when first asked.
Expect CountsDown(int seconds);
// What the display shows when first asked, it goes on showing.
Expect StandsStill();
// The break cycle reached these states, in this order (not necessarily one after the other).
Expect States(const std::vector<std::string>& states);
// The driver's own window has the keyboard.
Expect OwnWindowInFront();

// --- Actions.
Action Press(const std::string& form, const std::string& control);        // BM_CLICK, sent
Action Invoke(const std::string& form, const std::string& control);       // a named control or item
Action InvokeLater(const std::string& form, const std::string& control);  // posted: it may ask
Action CloseBox(const std::string& form);                                 // WM_CLOSE
Action Answer(int id);                                                    // IDYES, IDNO, IDOK
Action Type(const std::string& form, const std::string& control, const std::string& text);
Action Key(const std::string& form, WORD vk);
Action TrayClick();  // a real click on the icon in Wine's tray window (xdotool)
Action Shot(const std::string& form, const std::string& name);  // a screenshot of the window
Action Then(std::vector<Action> all);
Action OpenOwnWindow(bool fullScreen);
Action CloseOwnWindow();
// Posts a system notification (sleep, resume, lock, unlock) to the program's presence window.
Action Notify(UINT msg, WPARAM wParam);
Action PressKey(const std::string& name);  // a real key press (xdotool), wherever the keyboard is

// Asks run.sh, outside Wine, for what only the X side can do: `line` is "shot X Y W H", "click X
// Y" or "key NAME" (a real key press on whatever window has the focus). Returns once it is done.
bool Request(const Options& options, const std::string& name, const std::string& line);

std::string Quote(const std::string& s);

}  // namespace e2e

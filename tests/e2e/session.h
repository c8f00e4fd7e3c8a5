// The end-to-end checks as tables of steps: a step does something to the running program (or
// nothing) and then waits until what it expects holds. Expectations and actions are small shared
// pieces, so a group of checks reads like the timeline a user would live.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "probe.h"

namespace e2e {

inline constexpr const char* kSettingsKey = "Software\\KORVANTE\\Unwindle";
inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kCaption = "KORVANTE Unwindle";

struct Options {
  std::string exe, setup, trace_dir, wav, only;
  std::string shot_dir;  // where run.sh carries out our requests (Request)
};

class Report {
 public:
  bool Check(const std::string& name, bool ok, const std::string& detail = {});
  static void Note(const std::string& text);
  int passed = 0, failed = 0;
};

using Planted = std::vector<std::pair<std::string, std::string>>;
// "Hours=0 Seconds=5" (no spaces in the values), plus `more`.
Planted Settings(const std::string& spaced, Planted more = {});

// A window of the driver's own in front, with the keyboard: the program the user types into, or a
// full-screen one (a film, a presentation) above everything.
class OwnWindow {
 public:
  ~OwnWindow() { Close(); }
  bool Open(bool fullScreen);  // true once it has the keyboard
  void Close();
  HWND hwnd = nullptr;
};

// One run of the program (or several, one after the other), each from a clean settings key.
class Session {
 public:
  Session(Report& r, const Options& o, std::string name) : report(r), options(o), label(name) {}
  ~Session();  // File > Exit, Yes, if the program still runs

  // Deletes the settings and the startup entry, writes `planted`, starts `program` and waits for
  // its main window, noting the splash on the way. Empty when it came, else why not.
  std::string Launch(const Planted& planted, const std::string& program);
  // frmTimer (even hidden), or a visible top-level window of the program with that name.
  HWND Form(const std::string& name) const;
  HWND Ctl(const std::string& form, const std::string& name) const;
  std::string Display() const { return DisplayedTime(main); }
  std::vector<TraceLine> Trace() const { return ReadTrace(trace); }
  HWND Box() const { return FindMessageBox(process.pid()); }  // an open message box

  Report& report;
  const Options& options;
  const std::string label;  // names the trace file and the steps that have no check
  std::string exe, trace;   // of the program started last
  Process process;
  HWND main = nullptr;
  // What Launch saw: milliseconds from the start to the first poll that found the splash (-1:
  // never) and to frmTimer's showing; the splash's product name; whether frmTimer came beside it.
  int64_t splash_ms = -1, main_ms = -1;
  std::string splash_product;
  bool splash_with_main = false;
  std::string error;  // why the last action failed, when that is more than a missing window
  OwnWindow own;
};

// What must hold: the empty text when it does, else what was seen (and what was expected).
using Expect = std::function<std::string(Session&)>;
// Something the user (or the system) does; false when it could not be done.
using Action = std::function<bool(Session&)>;

struct Step {
  std::string check;   // the check's name; a step without one reports only its failure
  Action act = {};     // may be empty; when it fails, the group stops
  Expect expect = {};  // waited for, up to `ms`; may be empty
  int ms = 3000;
  bool holds = false;  // the expectation must hold for the whole `ms` instead
  bool vital = false;  // the group stops when this check fails
};

// Runs `steps` on the program started with `planted` settings; without them, a step starts it.
void RunSteps(Report& r, const Options& o, const std::string& label, const Planted& planted,
              const std::vector<Step>& steps);
void RunSteps(Report& r, const Options& o, const std::string& label,
              const std::vector<Step>& steps);

struct Group {
  const char* name;
  void (*run)(Report&, const Options&);
};
// The checks of a driver: `args` are "EXE [--setup FILE] [--trace-dir DIR] [--shot-dir DIR]
// [--wav FILE] [--only GROUP]". Prints "PASS name" or "FAIL name: detail" for each, then "N
// passed, M failed"; 0 only when every check passed, 2 for wrong arguments.
int RunGroups(const std::vector<Group>& groups, const std::vector<std::string>& args);

// --- Expectations.
Expect All(std::vector<Expect> all);
// Judged by `ok`, from what it says: true when it holds, else `seen` says what was seen.
Expect Holds(std::function<bool(Session&, std::string& seen)> ok);
Expect That(std::function<bool()> ok, const std::string& otherwise);  // a fixed message
Expect Shows(const std::string& hhmmss);                              // the main window's time
Expect ShowsBelow(int seconds);  // counting: below that many seconds
Expect ShowsAtLeast(int seconds);
Expect CountsDown(int seconds);  // by that much from what it shows when first asked
Expect StandsStill();            // what it shows when first asked
Expect Visible(const std::string& form, bool visible = true);
Expect Iconic(bool iconic);    // the main window minimized
Expect Topmost(bool topmost);  // the main window above other windows
Expect Text(const std::string& form, const std::string& control, const std::string& text);
Expect Enabled(const std::string& form, const std::string& control, bool enabled);
Expect Shown(const std::string& form, const std::string& control, bool shown);
Expect Stored(const std::string& name, const std::string& text);  // REG_SZ with one NUL
Expect RunEntry(bool present);         // the startup entry names the program started last
Expect Asks(const std::string& text);  // a message box with that text is open
Expect NoBox();
Expect Ended(int exitCode = -1);  // -1: with any code
// The trace has `count` lines (at least that many unless `exactly`) of that event whose first
// fields are `fields`.
Expect Traced(const std::string& event, const std::vector<std::string>& fields, size_t count = 1,
              bool exactly = false);
// The break cycle reached these states, in this order (not necessarily one after the other).
Expect States(const std::vector<std::string>& states);
Expect InFront(bool own);  // the driver's own window, or the program's main window, is in front

// --- Actions.
Action Start(const std::string& program, Planted planted = {});           // Launch
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
// Y" or "key NAME". Returns once it is done.
bool Request(const Options& options, const std::string& name, const std::string& line);

}  // namespace e2e

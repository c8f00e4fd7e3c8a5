// End-to-end driver: runs under Wine next to the real unwindle.exe, starts it, drives its windows
// from the outside and checks what it does in its windows, the registry and the trace.
//
//   unwindle_e2e_driver test PATH\unwindle.exe [--trace-dir DIR] [--shot-dir DIR] [--only GROUP]
//       runs the checks: one line "PASS name" or "FAIL name: detail" per check, then
//       "N passed, M failed"; the exit code is 0 only when every check passed.
//   unwindle_e2e_driver wait-window [SECONDS]   waits until a main window (frmTimer) is visible
//   unwindle_e2e_driver show                    prints what the running program's main window shows
//   unwindle_e2e_driver wait-countdown N [SECONDS]  waits until the countdown has moved by N
//   seconds unwindle_e2e_driver exit [SECONDS]          File > Exit, answers Yes, waits for the end
//   unwindle_e2e_driver plant [--clean] NAME=VALUE...   writes settings before a start
//
// Paths may be given as Unix paths ("/tmp/x" becomes "Z:\tmp\x").

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "probe.h"

namespace e2e {
namespace {

constexpr const char* kSettingsKey = "Software\\KORVANTE\\Unwindle";
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kCaption = "KORVANTE Unwindle";
constexpr const char* kExitQuestion = "Are you sure you want to exit?";

// The start waits for the five-second splash: allow for it and a cold Wine.
constexpr int kWindowTimeoutMs = 25000;
// One tick is due 1000 ms after the previous one; allow scheduling slack under load.
constexpr int kTickTimeoutMs = 1500;

struct Options {
  std::string exe;
  std::string trace_dir;
  std::string shot_dir;
  std::string only;
};

class Report {
 public:
  bool Check(const std::string& name, bool ok, const std::string& detail = {}) {
    if (ok) {
      ++passed_;
      std::printf("PASS %s\n", name.c_str());
    } else {
      ++failed_;
      std::printf("FAIL %s: %s\n", name.c_str(), detail.empty() ? "failed" : detail.c_str());
    }
    std::fflush(stdout);
    return ok;
  }
  static void Note(const std::string& text) {
    std::printf("# %s\n", text.c_str());
    std::fflush(stdout);
  }
  int passed() const { return passed_; }
  int failed() const { return failed_; }

 private:
  int passed_ = 0;
  int failed_ = 0;
};

std::string Quote(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      out += c;
    }
  }
  return out + "\"";
}

std::string Seen(const RegValue& v) {
  if (!v.present) return "missing";
  std::string out = Quote(v.text);
  if (v.type != REG_SZ) out += " (type " + std::to_string(v.type) + ")";
  if (v.size != v.text.size() + 1) out += " (" + std::to_string(v.size) + " bytes stored)";
  return out;
}

// A REG_SZ value holding exactly `text` and its one terminating NUL.
bool IsText(const RegValue& v, const std::string& text) {
  return v.present && v.type == REG_SZ && v.text == text && v.size == text.size() + 1;
}

std::string FullPath(const std::string& path) {
  char buf[MAX_PATH * 2];
  DWORD n = GetFullPathNameA(path.c_str(), sizeof buf, buf, nullptr);
  return (n > 0 && n < sizeof buf) ? std::string(buf, n) : path;
}

// Windows paths compare without regard to case (ASCII is enough for ours).
std::string Lower(std::string s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

// The settings every first start writes, in the program's loading order.
const std::vector<std::pair<std::string, std::string>>& Defaults() {
  static const std::vector<std::pair<std::string, std::string>> defaults = {
      {"Hours", "1"},
      {"Minutes", "0"},
      {"Seconds", "0"},
      {"BreakMinutes", "10"},
      {"BreakSeconds", "0"},
      {"SnoozeMinutes", "10"},
      {"SnoozeSeconds", "0"},
      {"NumberOfSnooze", "3"},
      {"AlertMeBy", "0"},
      {"AudioType", "2"},
      {"SelectedSound", "1"},
      {"CustomSound", " "},
      {"TrayIcon", "0"},
      {"LockWorkstationOnBreak", "0"},
      {"ActivateScreenSaver", "0"},
      {"StartTimerOnLaunch", "1"},
      {"BalloonTipsEnabled", "1"},
      {"AlwaysOnTop", "1"},
      {"HideWhenMinimized", "1"},
      {"LaunchMinimized", "0"},
      {"LaunchOnStartup", "1"},
  };
  return defaults;
}

// One run of the program, from a clean settings key (plus planted values) to its exit.
class Session {
 public:
  Session(Report& report, const Options& options, std::string label)
      : report_(report), options_(options), label_(std::move(label)) {}

  ~Session() {
    if (!process_.Running()) return;
    std::string detail;
    if (!ExitWithYes(&detail)) {
      Report::Note(label_ + ": clean exit failed (" + detail + "), terminating the process");
      process_.Kill();
    }
  }

  // Deletes the settings key and the Run entry, writes `planted`, starts the program and waits for
  // its main window. Reports "<label>.launch" only when that fails.
  bool Launch(const std::vector<std::pair<std::string, std::string>>& planted) {
    DeleteKeyTree(kSettingsKey);
    DeleteValue(kRunKey, "Unwindle");
    for (const auto& [name, text] : planted) WriteText(kSettingsKey, name, text);

    trace_ =
        options_.trace_dir.empty() ? std::string() : options_.trace_dir + "\\" + label_ + ".trace";
    if (!trace_.empty()) DeleteFileA(trace_.c_str());
    std::string error;
    const int64_t t0 = NowMs();
    if (!process_.Start(options_.exe, trace_, &error)) {
      return report_.Check(label_ + ".launch", false, error);
    }
    bool shown = WaitFor(kWindowTimeoutMs, [&] {
      form_ = FindForm(process_.pid(), "frmTimer");
      return (form_ != nullptr && IsWindowVisible(form_)) || !process_.Running();
    });
    if (!shown || !process_.Running()) {
      DWORD code = 0;
      std::string detail =
          process_.WaitExit(0, &code)
              ? "the program ended (exit code " + std::to_string(code) + ") before showing frmTimer"
              : std::string("no visible top-level window named frmTimer after ") +
                    std::to_string(kWindowTimeoutMs) + " ms" +
                    (form_ ? " (it exists but is hidden)" : "");
      return report_.Check(label_ + ".launch", false, detail);
    }
    Report::Note(label_ + ": frmTimer visible " + std::to_string(NowMs() - t0) +
                 " ms after the start");
    return true;
  }

  HWND form() const { return form_; }
  Process& process() { return process_; }
  const std::string& trace() const { return trace_; }
  HWND Ctl(const std::string& name) const { return FindControl(form_, name); }
  std::string Display() const { return DisplayedTime(form_); }

  // File > Exit, which asks; returns the message box (nullptr after `timeout_ms`).
  HWND AskExit(int timeout_ms = 5000) {
    if (!InvokePost(form_, "mnuExit")) return nullptr;
    HWND box = nullptr;
    WaitFor(timeout_ms, [&] { return (box = FindMessageBox(process_.pid())) != nullptr; });
    return box;
  }

  bool ExitWithYes(std::string* detail) {
    HWND box = AskExit();
    if (box == nullptr) {
      *detail = "no message box after mnuExit";
      return false;
    }
    HWND yes = GetDlgItem(box, IDYES);
    if (yes == nullptr) {
      *detail = "the message box has no button with id 6";
      return false;
    }
    ClickButton(yes, 1000);  // may not return cleanly: the program ends
    if (!process_.WaitExit(10000, &exit_code_)) {
      *detail = "still running 10 s after Yes";
      return false;
    }
    return true;
  }
  DWORD exit_code() const { return exit_code_; }

 private:
  Report& report_;
  const Options& options_;
  std::string label_;
  Process process_;
  HWND form_ = nullptr;
  std::string trace_;
  DWORD exit_code_ = 0;
};

// Waits until the display shows a time below `below`; returns what it showed last.
std::string WaitBelow(Session& s, int below, int timeout_ms, bool* reached) {
  std::string shown;
  *reached = WaitFor(timeout_ms, [&] {
    shown = s.Display();
    int secs = SecondsOf(shown);
    return secs >= 0 && secs < below;
  });
  return shown;
}

void TakeScreenshot(const Options& options, HWND form) {
  if (options.shot_dir.empty()) return;
  RECT r{};
  GetWindowRect(form, &r);
  const std::string request = options.shot_dir + "\\main-window.request";
  const std::string done = options.shot_dir + "\\main-window.done";
  DeleteFileA(done.c_str());
  FILE* f = std::fopen(request.c_str(), "w");
  if (f == nullptr) return;
  std::fprintf(f, "%ld %ld %ld %ld\n", r.left, r.top, r.right - r.left, r.bottom - r.top);
  std::fclose(f);
  if (!WaitFor(10000,
               [&] { return GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; })) {
    Report::Note("nobody took the screenshot (no " + done + ")");
  }
  DeleteFileA(request.c_str());
  DeleteFileA(done.c_str());
}

// First start on a clean account, the window options, the exit question answered No, the close box
// with HideWhenMinimized 1, and the exit answered Yes: all on one run of the program.
void FirstStartOptionsCloseExit(Report& r, const Options& o) {
  Session s(r, o, "first_start");
  if (!s.Launch({})) return;

  // --- First start: defaults and the Run entry.
  {
    std::string bad;
    for (const auto& [name, text] : Defaults()) {
      RegValue v = ReadValue(kSettingsKey, name);
      if (!IsText(v, text))
        bad += " " + name + ": expected " + Quote(text) + ", got " + Seen(v) + ";";
    }
    r.Check("first_start.defaults", bad.empty(), "HKCU\\" + std::string(kSettingsKey) + bad);
  }
  const std::string run_expected = "\"" + FullPath(o.exe) + "\"";
  {
    RegValue v = ReadValue(kRunKey, "Unwindle");
    r.Check("first_start.run_entry",
            v.present && v.type == REG_SZ && v.size == v.text.size() + 1 &&
                Lower(v.text) == Lower(run_expected),
            "Run\\Unwindle: expected " + Quote(run_expected) + ", got " + Seen(v));
  }
  r.Check("first_start.caption", TextOf(s.form()) == kCaption,
          "expected " + Quote(kCaption) + ", got " + Quote(TextOf(s.form())));
  {
    // StartTimerOnLaunch 1 with the default hour: the countdown runs from 01:00:00.
    bool reached = false;
    std::string shown = WaitBelow(s, 3600, 2 * kTickTimeoutMs, &reached);
    r.Check("first_start.countdown_running", reached && SecondsOf(shown) >= 3590,
            "expected the display to count down from 01:00:00, it shows " + Quote(shown));
  }
  TakeScreenshot(o, s.form());

  // --- Window options. The program answers the invoke before it clicks, so each check waits for
  // the whole expected state.
  {
    auto topmost = [&] { return (GetWindowLongA(s.form(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; };
    r.Check("options.always_on_top_initial", topmost(),
            "AlwaysOnTop 1 but frmTimer is not WS_EX_TOPMOST");
    for (const bool on : {false, true}) {
      const std::string want = on ? "1" : "0";
      bool pressed = Invoke(s.form(), "mnuAlwaysOnTop");
      bool settled = WaitFor(2000, [&] {
        return IsText(ReadValue(kSettingsKey, "AlwaysOnTop"), want) && topmost() == on;
      });
      r.Check(on ? "options.always_on_top_on" : "options.always_on_top_off", pressed && settled,
              std::string("invoke ") + (pressed ? "ok" : "not answered 1") + ", AlwaysOnTop " +
                  Seen(ReadValue(kSettingsKey, "AlwaysOnTop")) + " (expected " + Quote(want) +
                  "), topmost " + (topmost() ? "yes" : "no") + " (expected " + (on ? "yes" : "no") +
                  ")");
    }
  }
  for (const bool on : {false, true}) {
    const std::string want = on ? "1" : "0";
    auto run_ok = [&] {
      RegValue run = ReadValue(kRunKey, "Unwindle");
      return on ? run.present && run.type == REG_SZ && Lower(run.text) == Lower(run_expected)
                : !run.present;
    };
    bool pressed = Invoke(s.form(), "mnuLaunchOnStartup");
    bool settled = WaitFor(
        2000, [&] { return run_ok() && IsText(ReadValue(kSettingsKey, "LaunchOnStartup"), want); });
    r.Check(
        on ? "options.launch_on_startup_on" : "options.launch_on_startup_off", pressed && settled,
        std::string("invoke ") + (pressed ? "ok" : "not answered 1") + ", Run\\Unwindle " +
            Seen(ReadValue(kRunKey, "Unwindle")) + " (expected " +
            (on ? Quote(run_expected) : std::string("missing")) + "), LaunchOnStartup " +
            Seen(ReadValue(kSettingsKey, "LaunchOnStartup")) + " (expected " + Quote(want) + ")");
  }

  // --- Exit, answered No.
  {
    HWND box = s.AskExit();
    std::string text = box ? MessageBoxText(box) : std::string();
    std::string title = box ? TextOf(box) : std::string();
    HWND yes = box ? GetDlgItem(box, IDYES) : nullptr;
    HWND no = box ? GetDlgItem(box, IDNO) : nullptr;
    std::string yes_text = yes ? TextOf(yes) : std::string();
    std::string no_text = no ? TextOf(no) : std::string();
    r.Check(
        "exit.question",
        box && text == kExitQuestion && title == kCaption && yes_text == "&Yes" && no_text == "&No",
        box ? "text " + Quote(text) + ", title " + Quote(title) + ", buttons 6 " + Quote(yes_text) +
                  " / 7 " + Quote(no_text) + "; expected " + Quote(kExitQuestion) + ", " +
                  Quote(kCaption) + ", \"&Yes\" / \"&No\""
            : std::string("no message box of the program within 5 s after mnuExit"));
    if (box) {
      // While the question is up the countdown stands still.
      std::string asked = s.Display();
      bool still = HoldsFor(kTickTimeoutMs, [&] { return s.Display() == asked; });
      r.Check("exit.question_stops_countdown", still,
              "the display changed from " + Quote(asked) + " to " + Quote(s.Display()) +
                  " while the question was open");
      ClickButton(no);
      bool gone = WaitFor(3000, [&] { return FindMessageBox(s.process().pid()) == nullptr; });
      int before = SecondsOf(s.Display());
      bool r1 = false, r2 = false;
      std::string first = WaitBelow(s, before, kTickTimeoutMs + 500, &r1);
      std::string second = WaitBelow(s, SecondsOf(first), kTickTimeoutMs, &r2);
      r.Check("exit.no_keeps_counting", gone && s.process().Running() && r1 && r2,
              std::string(gone ? "" : "the box did not close; ") +
                  (s.process().Running() ? "" : "the program ended; ") +
                  "after No the display went " + Quote(first) + " then " + Quote(second) +
                  " (expected it to keep decreasing)");
    }
  }

  // --- Close box with HideWhenMinimized 1: hidden, still running, still counting.
  {
    PostMessageA(s.form(), WM_CLOSE, 0, 0);
    const int64_t t0 = NowMs();
    bool hidden = WaitFor(5000, [&] { return !IsWindowVisible(s.form()); });
    if (hidden) Report::Note("hidden " + std::to_string(NowMs() - t0) + " ms after WM_CLOSE");
    r.Check("close_box.hides", hidden && IsWindow(s.form()) && IsIconic(s.form()),
            std::string("after WM_CLOSE frmTimer is ") +
                (IsWindow(s.form()) ? (IsWindowVisible(s.form()) ? "still visible" : "hidden")
                                    : "destroyed") +
                (IsIconic(s.form()) ? ", minimized" : ", not minimized") +
                " (expected minimized and hidden, not destroyed)");
    int before = SecondsOf(s.Display());
    bool counting = false;
    std::string later = WaitBelow(s, before, 2 * kTickTimeoutMs, &counting);
    r.Check("close_box.keeps_running", s.process().Running() && counting,
            std::string(s.process().Running() ? "running" : "the program ended") + ", display " +
                std::to_string(before) + " s then " + Quote(later));
  }

  // --- Exit, answered Yes (from the hidden window).
  {
    std::string detail;
    bool ended = s.ExitWithYes(&detail);
    r.Check("exit.yes_ends", ended && s.exit_code() == 0,
            ended ? "exit code " + std::to_string(s.exit_code()) + " (expected 0)" : detail);
    if (!s.trace().empty()) {
      auto lines = ReadTrace(s.trace());
      bool unload = !Matching(lines, "window.unload", {"frmTimer"}).empty();
      r.Check("exit.trace_unload", unload,
              "no \"window.unload\tfrmTimer\" line among " + std::to_string(lines.size()) +
                  " lines of " + s.trace());
      auto answers = Matching(lines, "msgbox", {kExitQuestion, kCaption});
      r.Check("exit.trace_answers", answers.size() >= 2,
              "expected two msgbox lines for the exit question (No, then Yes), found " +
                  std::to_string(answers.size()));
    }
  }
}

// Start, Pause, Start, Stop on a planted 5-second interval, then the close box with
// HideWhenMinimized 0.
void CountdownAndMinimize(Report& r, const Options& o) {
  Session s(r, o, "countdown");
  if (!s.Launch({{"Hours", "0"},
                 {"Minutes", "0"},
                 {"Seconds", "5"},
                 {"StartTimerOnLaunch", "0"},
                 {"HideWhenMinimized", "0"}})) {
    return;
  }
  HWND start = s.Ctl("cmdStart"), pause = s.Ctl("cmdPause"), stop = s.Ctl("cmdStop");
  if (!r.Check("countdown.controls", start && pause && stop,
               std::string("missing:") + (start ? "" : " cmdStart") + (pause ? "" : " cmdPause") +
                   (stop ? "" : " cmdStop"))) {
    return;
  }
  auto state = [&] {
    return "cmdStart " + Quote(TextOf(start)) +
           (IsWindowEnabled(start) ? " enabled" : " disabled") + ", cmdPause " +
           Quote(TextOf(pause)) + (IsWindowEnabled(pause) ? " enabled" : " disabled") +
           ", cmdStop " + Quote(TextOf(stop)) + (IsWindowEnabled(stop) ? " enabled" : " disabled");
  };
  auto stopped_state = [&] {
    return TextOf(start) == "Start Timer" && IsWindowEnabled(start) && !IsWindowEnabled(pause) &&
           TextOf(stop) == "Stop Timer" && !IsWindowEnabled(stop);
  };

  r.Check("countdown.initial", s.Display() == "00:00:05" && stopped_state(),
          "display " + Quote(s.Display()) + " (expected \"00:00:05\"); " + state() +
              " (expected \"Start Timer\" enabled, pause disabled, \"Stop Timer\" disabled)");
  {
    bool still = HoldsFor(kTickTimeoutMs, [&] { return s.Display() == "00:00:05"; });
    r.Check("countdown.not_started_on_launch", still,
            "StartTimerOnLaunch 0 but the display changed to " + Quote(s.Display()));
  }

  // Start: 00:00:04 about a second later, then 00:00:03.
  ClickButton(start);
  const int64_t t0 = NowMs();
  bool ticked = WaitFor(kTickTimeoutMs, [&] { return s.Display() == "00:00:04"; });
  const int64_t first_tick = NowMs() - t0;
  r.Check("countdown.start",
          ticked && !IsWindowEnabled(start) && IsWindowEnabled(pause) && IsWindowEnabled(stop),
          "display " + Quote(s.Display()) + " " + std::to_string(first_tick) +
              " ms after cmdStart (expected \"00:00:04\" within " + std::to_string(kTickTimeoutMs) +
              " ms); " + state() + " (expected start disabled, pause and stop enabled)");
  if (ticked) Report::Note("first tick seen " + std::to_string(first_tick) + " ms after cmdStart");
  {
    bool next = WaitFor(kTickTimeoutMs, [&] { return s.Display() == "00:00:03"; });
    r.Check(
        "countdown.keeps_decreasing", next,
        "display " + Quote(s.Display()) + " (expected \"00:00:03\" a second after \"00:00:04\")");
  }

  // Pause: the tooltips say Restart / Reset, and the display is frozen.
  ClickButton(pause);
  {
    auto paused_state = [&] {
      return TextOf(start) == "Restart Timer" && IsWindowEnabled(start) &&
             !IsWindowEnabled(pause) && TextOf(stop) == "Reset Timer" && IsWindowEnabled(stop);
    };
    bool texts = WaitFor(1000, paused_state);
    r.Check(
        "countdown.pause_texts", texts,
        state() + " (expected \"Restart Timer\" enabled, pause disabled, \"Reset Timer\" enabled)");
  }
  const std::string paused_at = s.Display();
  {
    bool frozen = HoldsFor(kTickTimeoutMs, [&] { return s.Display() == paused_at; });
    r.Check("countdown.pause_freezes", frozen,
            "paused at " + Quote(paused_at) + ", then the display showed " + Quote(s.Display()));
  }

  // Start again: resumes from where it stood, not from the interval.
  {
    const int paused_secs = SecondsOf(paused_at);
    ClickButton(start);
    std::string shown;
    bool resumed = WaitFor(kTickTimeoutMs, [&] {
      shown = s.Display();
      return SecondsOf(shown) == paused_secs - 1;
    });
    r.Check("countdown.resume", resumed && !IsWindowEnabled(start) && IsWindowEnabled(pause),
            "paused at " + Quote(paused_at) + ", after cmdStart the display showed " +
                Quote(shown) + " (expected one second less); " + state());
  }

  // Stop: the saved interval again, and it stays there.
  {
    ClickButton(stop);
    bool shows = WaitFor(1000, [&] { return s.Display() == "00:00:05"; });
    bool stays = shows && HoldsFor(kTickTimeoutMs, [&] { return s.Display() == "00:00:05"; });
    r.Check("countdown.stop", shows && stays && stopped_state(),
            "display " + Quote(s.Display()) + " (expected \"00:00:05\" and no more ticks); " +
                state() +
                " (expected \"Start Timer\" enabled, pause disabled, \"Stop Timer\" disabled)");
  }
  if (!s.trace().empty()) {
    auto lines = ReadTrace(s.trace());
    size_t starts = Matching(lines, "timer.start", {"frmTimer", "tmrMain", "1000"}).size();
    size_t stops = Matching(lines, "timer.stop", {"frmTimer", "tmrMain"}).size();
    r.Check(
        "countdown.trace_timer", starts == 2 && stops == 2,
        "expected 2 \"timer.start frmTimer tmrMain 1000\" and 2 \"timer.stop frmTimer tmrMain\" "
        "lines (Start, Pause, Start, Stop), found " +
            std::to_string(starts) + " and " + std::to_string(stops));
  }

  // Close box with HideWhenMinimized 0: minimized, still shown, still running.
  {
    PostMessageA(s.form(), WM_CLOSE, 0, 0);
    bool iconic = WaitFor(5000, [&] { return IsIconic(s.form()) != FALSE; });
    bool visible = iconic && HoldsFor(500, [&] { return IsWindowVisible(s.form()) != FALSE; });
    r.Check("close_box.iconic_visible", iconic && visible && s.process().Running(),
            std::string("after WM_CLOSE frmTimer is ") +
                (IsIconic(s.form()) ? "iconic" : "not iconic") + ", " +
                (IsWindowVisible(s.form()) ? "visible" : "hidden") + ", program " +
                (s.process().Running() ? "running" : "ended") +
                " (expected iconic, visible, running)");
  }
}

int RunTests(const Options& o) {
  Report r;
  if (GetFileAttributesA(o.exe.c_str()) == INVALID_FILE_ATTRIBUTES) {
    r.Check("setup.exe_exists", false, o.exe + " not found");
  } else {
    struct Group {
      const char* name;
      void (*run)(Report&, const Options&);
    };
    const Group groups[] = {{"first_start", FirstStartOptionsCloseExit},
                            {"countdown", CountdownAndMinimize}};
    for (const auto& g : groups) {
      if (!o.only.empty() && o.only != g.name) continue;
      g.run(r, o);
    }
  }
  // Leave no settings behind for whoever uses this prefix next.
  DeleteKeyTree(kSettingsKey);
  DeleteValue(kRunKey, "Unwindle");
  std::printf("%d passed, %d failed\n", r.passed(), r.failed());
  std::fflush(stdout);
  return r.failed() == 0 && r.passed() > 0 ? 0 : 1;
}

HWND WaitMainWindow(int timeout_ms) {
  HWND form = nullptr;
  WaitFor(timeout_ms, [&] {
    form = FindFormAnyProcess("frmTimer");
    return form != nullptr && IsWindowVisible(form);
  });
  return form != nullptr && IsWindowVisible(form) ? form : nullptr;
}

int Show() {
  HWND form = FindFormAnyProcess("frmTimer");
  if (form == nullptr) {
    std::printf("no window named frmTimer\n");
    return 1;
  }
  RECT rc{};
  GetWindowRect(form, &rc);
  std::printf("frmTimer (window %lu) %s, caption %s, %s%s, at %ld,%ld size %ldx%ld\n",
              static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(form)),
              IsWindowVisible(form) ? "visible" : "hidden", Quote(TextOf(form)).c_str(),
              IsIconic(form) ? "minimized" : "normal",
              (GetWindowLongA(form, GWL_EXSTYLE) & WS_EX_TOPMOST) ? ", topmost" : "", rc.left,
              rc.top, rc.right - rc.left, rc.bottom - rc.top);
  std::printf("time remaining %s\n", DisplayedTime(form).c_str());
  for (const char* name : {"fraTimeRemaining", "cmdStart", "cmdPause", "cmdStop"}) {
    HWND c = FindControl(form, name);
    if (c == nullptr) {
      std::printf("%s: missing\n", name);
    } else {
      std::printf("%s: %s, %s\n", name, Quote(TextOf(c)).c_str(),
                  IsWindowEnabled(c) ? "enabled" : "disabled");
    }
  }
  std::fflush(stdout);
  return 0;
}

int WaitCountdown(int by, int timeout_ms) {
  HWND form = FindFormAnyProcess("frmTimer");
  if (form == nullptr) {
    std::printf("no window named frmTimer\n");
    return 1;
  }
  const std::string first = DisplayedTime(form);
  std::string now = first;
  bool moved = WaitFor(timeout_ms, [&] {
    now = DisplayedTime(form);
    return SecondsOf(first) >= 0 && SecondsOf(now) >= 0 && SecondsOf(first) - SecondsOf(now) >= by;
  });
  std::printf("countdown %s -> %s%s\n", first.c_str(), now.c_str(),
              moved ? "" : " (did not move enough)");
  return moved ? 0 : 1;
}

int Exit(int timeout_ms) {
  HWND form = FindFormAnyProcess("frmTimer");
  Process p;
  if (form == nullptr || !p.Attach(form)) {
    std::printf("no running program with a frmTimer window\n");
    return 1;
  }
  if (!InvokePost(form, "mnuExit")) {
    std::printf("could not post the exit command\n");
    return 1;
  }
  HWND box = nullptr;
  if (!WaitFor(timeout_ms, [&] { return (box = FindMessageBox(p.pid())) != nullptr; })) {
    std::printf("no exit question appeared\n");
    return 1;
  }
  std::printf("asked %s; answering Yes\n", Quote(MessageBoxText(box)).c_str());
  ClickButton(GetDlgItem(box, IDYES), 1000);
  DWORD code = 0;
  if (!p.WaitExit(timeout_ms, &code)) {
    std::printf("the program is still running\n");
    return 1;
  }
  std::printf("the program ended with exit code %lu\n", code);
  return 0;
}

int Plant(int argc, char** argv) {
  int i = 0;
  if (i < argc && std::strcmp(argv[i], "--clean") == 0) {
    DeleteKeyTree(kSettingsKey);
    ++i;
  }
  for (; i < argc; ++i) {
    std::string arg = argv[i];
    size_t eq = arg.find('=');
    if (eq == std::string::npos ||
        !WriteText(kSettingsKey, arg.substr(0, eq), arg.substr(eq + 1))) {
      std::fprintf(stderr, "cannot write %s\n", arg.c_str());
      return 1;
    }
  }
  return 0;
}

int Usage() {
  std::fprintf(stderr,
               "usage: unwindle_e2e_driver test EXE [--trace-dir DIR] [--shot-dir DIR] "
               "[--only first_start|countdown]\n"
               "       unwindle_e2e_driver wait-window [SECONDS] | show | exit [SECONDS]\n"
               "       unwindle_e2e_driver wait-countdown N [SECONDS]\n"
               "       unwindle_e2e_driver plant [--clean] NAME=VALUE...\n");
  return 2;
}

}  // namespace
}  // namespace e2e

int main(int argc, char** argv) {
  using namespace e2e;
  if (argc < 2) return Usage();
  const std::string cmd = argv[1];
  auto seconds_arg = [&](int fallback) { return argc > 2 ? std::atoi(argv[2]) : fallback; };
  if (cmd == "test") {
    Options o;
    for (int i = 2; i < argc; ++i) {
      std::string a = argv[i];
      auto next = [&]() -> std::string { return i + 1 < argc ? argv[++i] : std::string(); };
      if (a == "--trace-dir") {
        o.trace_dir = ToWindowsPath(next());
      } else if (a == "--shot-dir") {
        o.shot_dir = ToWindowsPath(next());
      } else if (a == "--only") {
        o.only = next();
      } else if (o.exe.empty()) {
        o.exe = ToWindowsPath(a);
      } else {
        return Usage();
      }
    }
    if (o.exe.empty()) return Usage();
    return RunTests(o);
  }
  if (cmd == "wait-window") {
    HWND form = WaitMainWindow(seconds_arg(30) * 1000);
    std::printf(form ? "frmTimer is visible\n" : "no visible frmTimer\n");
    return form ? 0 : 1;
  }
  if (cmd == "show") return Show();
  if (cmd == "exit") return Exit(seconds_arg(10) * 1000);
  if (cmd == "wait-countdown" && argc > 2) {
    return WaitCountdown(std::atoi(argv[2]), (argc > 3 ? std::atoi(argv[3]) : 15) * 1000);
  }
  if (cmd == "plant") return Plant(argc - 2, argv + 2);
  return Usage();
}

// End-to-end driver: runs under Wine next to the real unwindle.exe, starts it, drives its windows
// from the outside and checks what it does in its windows, the registry and the trace.
//
//   unwindle_e2e_driver test PATH\unwindle.exe [--trace-dir DIR] [--shot-dir DIR] [--wav FILE]
//                       [--only GROUP]
//       runs the checks: one line "PASS name" or "FAIL name: detail" per check, then
//       "N passed, M failed"; the exit code is 0 only when every check passed.
//       --shot-dir: where run.sh carries out our requests (screenshots, real mouse clicks);
//       --wav: the WAV file that each sound played lands in (run.sh sets ALSA up so).
//   unwindle_e2e_driver wait-window [SECONDS]   waits until a main window (frmTimer) is visible
//   unwindle_e2e_driver show                    prints what the running program's main window shows
//   unwindle_e2e_driver wait-countdown N [SECONDS]  waits until the countdown has moved by N
//   seconds unwindle_e2e_driver exit [SECONDS]          File > Exit, answers Yes, waits for the end
//   unwindle_e2e_driver plant [--clean] NAME=VALUE...   writes settings before a start
//
// Paths may be given as Unix paths ("/tmp/x" becomes "Z:\tmp\x").

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "probe.h"
#include "stored_defaults.h"

namespace e2e {
namespace {

constexpr const char* kSettingsKey = "Software\\KORVANTE\\Unwindle";
constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr const char* kCaption = "KORVANTE Unwindle";
constexpr const char* kExitQuestion = "Are you sure you want to exit?";
constexpr const char* kPromptCaption = "KORVANTE Unwindle - https://korvante.example/unwindle";
// Tray tooltips: the work countdown's (then "HH:MM:SS - Started"), the break's (then "MM:SS"),
// and the one of a tray alert.
constexpr const char* kWorkTipPrefix =
    "KORVANTE - https://korvante.example/unwindle \r\nTime Remaining: ";
constexpr const char* kBreakTipPrefix =
    "KORVANTE - https://korvante.example/unwindle \r\nBreak Time Remaining: ";
constexpr const char* kTrayAlertTip = "KORVANTE Unwindle \r\nClick on the icon below for options.";
// The tray record size of the full layout on x64 (shell32 version 6).
constexpr const char* kTrayRecordSize = "520";

// The start waits for the five-second splash: allow for it and a cold Wine.
constexpr int kWindowTimeoutMs = 25000;
// One tick is due 1000 ms after the previous one; allow scheduling slack under load.
constexpr int kTickTimeoutMs = 1500;

struct Options {
  std::string exe;
  std::string trace_dir;
  std::string shot_dir;
  std::string wav;
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

  // Called once, at the first poll that sees the splash window visible.
  void OnSplash(std::function<void(HWND)> seen) { on_splash_ = std::move(seen); }

  // Deletes the settings key and the Run entry, writes `planted`, starts the program and waits for
  // its main window, watching the splash on the way. Reports "<label>.launch" only when that fails.
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
      const bool main_visible = form_ != nullptr && IsWindowVisible(form_);
      HWND splash = FindForm(process_.pid(), "frmSplash");
      if (splash != nullptr && IsWindowVisible(splash)) {
        if (main_visible) splash_with_main_ = true;
        if (splash_first_ms_ < 0) {
          splash_first_ms_ = NowMs() - t0;
          splash_product_ = TextOf(FindControl(splash, "lblProductName"));
          if (on_splash_) on_splash_(splash);
        }
        splash_last_ms_ = NowMs() - t0;
      }
      return main_visible || !process_.Running();
    });
    main_ms_ = NowMs() - t0;
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
  std::vector<TraceLine> Trace() const { return ReadTrace(trace_); }
  HWND Ctl(const std::string& name) const { return FindControl(form_, name); }
  std::string Display() const { return DisplayedTime(form_); }

  // What Launch saw: milliseconds from the process start to the first and last poll that found the
  // splash visible (-1 when never), and to the main window's appearance.
  int64_t splash_first_ms() const { return splash_first_ms_; }
  int64_t splash_last_ms() const { return splash_last_ms_; }
  int64_t main_ms() const { return main_ms_; }
  bool splash_with_main() const { return splash_with_main_; }
  const std::string& splash_product() const { return splash_product_; }

  // A visible top-level window of the program with that name, waited for; nullptr after
  // `timeout_ms`.
  HWND WaitForm(const std::string& name, int timeout_ms) {
    HWND found = nullptr;
    WaitFor(timeout_ms, [&] {
      found = FindForm(process_.pid(), name);
      return found != nullptr && IsWindowVisible(found);
    });
    return found != nullptr && IsWindowVisible(found) ? found : nullptr;
  }

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
  std::function<void(HWND)> on_splash_;
  int64_t splash_first_ms_ = -1;
  int64_t splash_last_ms_ = -1;
  int64_t main_ms_ = -1;
  bool splash_with_main_ = false;
  std::string splash_product_;
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

// Asks run.sh, outside Wine, for what only the X side can do: `line` is "shot X Y W H" (a
// screenshot of that screen rectangle, saved as NAME.png) or "click X Y" (a real left click).
// Returns once it is done.
bool Request(const Options& options, const std::string& name, const std::string& line) {
  if (options.shot_dir.empty()) return false;
  const std::string base = options.shot_dir + "\\" + name;
  const std::string partial = base + ".partial", request = base + ".request", done = base + ".done";
  DeleteFileA(done.c_str());
  FILE* f = std::fopen(partial.c_str(), "w");
  if (f == nullptr) return false;
  std::fprintf(f, "%s\n", line.c_str());
  std::fclose(f);
  // Renamed into place, so that the watcher never reads half a line.
  if (!MoveFileExA(partial.c_str(), request.c_str(), MOVEFILE_REPLACE_EXISTING)) return false;
  const bool answered =
      WaitFor(10000, [&] { return GetFileAttributesA(done.c_str()) != INVALID_FILE_ATTRIBUTES; });
  if (!answered) Report::Note("nobody answered " + request + " (\"" + line + "\")");
  DeleteFileA(request.c_str());
  DeleteFileA(done.c_str());
  return answered;
}

void TakeScreenshot(const Options& options, HWND window, const std::string& name) {
  if (options.shot_dir.empty()) return;
  // A window that has just appeared may not have painted all of itself yet.
  if (!WaitPainted(window, 2000)) Report::Note(name + ": the window was still painting");
  RECT r{};
  if (!GetWindowRect(window, &r)) return;
  char line[96];
  std::snprintf(line, sizeof line, "shot %ld %ld %ld %ld", r.left, r.top, r.right - r.left,
                r.bottom - r.top);
  Request(options, name, line);
}

// A real left click on the middle of our icon in Wine's tray window (xdotool, through run.sh),
// as a user would make it. `where` tells what was clicked.
bool ClickTrayIcon(const Options& options, std::string* where) {
  RECT r{};
  if (!WineTrayIconRect(&r)) {
    *where = WineTrayWindow() ? "no icon in the \"Wine System Tray\" window"
                              : "no \"Wine System Tray\" window";
    return false;
  }
  const long x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
  *where = "clicked the tray icon at " + std::to_string(x) + "," + std::to_string(y);
  if (!Request(options, "tray-click", "click " + std::to_string(x) + " " + std::to_string(y))) {
    *where += " (the click was not made: no run.sh to make it)";
    return false;
  }
  return true;
}

// The work countdown's tooltips as the trace shows them published, "... - Started" ones only.
struct Tip {
  int64_t ms;
  int seconds;
};
std::vector<Tip> StartedTips(const std::vector<TraceLine>& lines) {
  const std::string prefix = kWorkTipPrefix, suffix = " - Started";
  std::vector<Tip> tips;
  for (const auto& l : Matching(lines, "tray.modify")) {
    if (l.fields.size() < 4) continue;
    const std::string& tip = l.fields[3];
    if (tip.size() != prefix.size() + 8 + suffix.size() || tip.compare(0, prefix.size(), prefix) ||
        tip.compare(prefix.size() + 8, std::string::npos, suffix)) {
      continue;
    }
    tips.push_back({l.ms, SecondsOf(tip.substr(prefix.size(), 8))});
  }
  return tips;
}

std::string Fixed(double v, int decimals = 2) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

// First start on a clean account (splash, defaults, tray icon), the window options, the exit
// question answered No, the close box with HideWhenMinimized 1 and the tray icon's click that
// brings the window back, and the exit answered Yes: all on one run of the program.
void FirstStartOptionsCloseExit(Report& r, const Options& o) {
  Session s(r, o, "first_start");
  s.OnSplash([&](HWND splash) { TakeScreenshot(o, splash, "splash"); });
  if (!s.Launch({})) return;

  // --- The splash comes first, alone, and the main window follows it about five seconds after
  // the start.
  {
    const int64_t first = s.splash_first_ms(), last = s.splash_last_ms();
    r.Check(
        "splash.first", first >= 0 && !s.splash_with_main() && s.splash_product() == "Unwindle 1.0",
        first < 0
            ? std::string("no visible frmSplash was seen before frmTimer appeared")
            : "frmSplash seen from " + std::to_string(first) + " to " + std::to_string(last) +
                  " ms" + (s.splash_with_main() ? ", at times together with frmTimer" : "") +
                  ", lblProductName " + Quote(s.splash_product()) + " (expected \"Unwindle 1.0\")");
    r.Check("splash.main_after_five_seconds", s.main_ms() >= 4500 && s.main_ms() <= 8000,
            "frmTimer visible " + std::to_string(s.main_ms()) +
                " ms after the process started (expected 4500 to 8000)");
  }

  // --- First start: defaults and the Run entry.
  {
    std::string bad;
    for (const auto& [name, text] : unw::kStoredDefaults) {
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
  TakeScreenshot(o, s.form(), "main-window");

  // --- The tray icon: in Wine's own tray window, added with the x64 record size.
  {
    RECT icon{};
    HWND tray = WineTrayWindow();
    r.Check("tray.icon_shown", tray && IsWindowVisible(tray) && WineTrayIconRect(&icon),
            tray ? "the \"Wine System Tray\" window has no visible icon"
                 : "no \"Wine System Tray\" window");
    auto lines = s.Trace();
    std::vector<TraceLine> calls;
    for (const auto& l : lines) {
      if (l.event.rfind("tray.", 0) == 0) calls.push_back(l);
    }
    const std::string stopped = std::string(kWorkTipPrefix) + "01:00:00 - Stopped";
    const bool ok = calls.size() >= 2 && calls[0].event == "tray.add" &&
                    calls[0].fields.size() >= 4 && calls[0].fields[0] == kTrayRecordSize &&
                    calls[0].fields[3] == stopped && calls[1].event == "tray.setversion" &&
                    !calls[1].fields.empty() && calls[1].fields[0] == kTrayRecordSize;
    std::string seen;
    for (size_t i = 0; i < calls.size() && i < 2; ++i) {
      seen += (i ? ", then " : "") + calls[i].event + " cbSize " +
              (calls[i].fields.empty() ? "?" : calls[i].fields[0]) +
              (calls[i].fields.size() >= 4 ? " tip " + Quote(calls[i].fields[3]) : "");
    }
    r.Check("tray.trace_add_setversion", ok,
            "expected tray.add cbSize 520 tip " + Quote(stopped) +
                ", then tray.setversion cbSize 520; the trace shows " +
                (seen.empty() ? std::string("no tray calls") : seen));
  }

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

  // --- The tooltip has followed the countdown one second at a time, from 00:59:59 (the exit
  // question paused it, without skipping a second), and shows what the window shows.
  if (!s.trace().empty()) {
    auto tips = StartedTips(s.Trace());
    const int shown = SecondsOf(s.Display());
    std::string bad;
    int on_time = 0;
    for (size_t i = 0; i < tips.size(); ++i) {
      if (i == 0 ? tips[i].seconds != 3599 : tips[i].seconds != tips[i - 1].seconds - 1) {
        bad += " tip " + std::to_string(i + 1) + " says " + std::to_string(tips[i].seconds) + " s;";
      }
      if (i > 0 && tips[i].ms - tips[i - 1].ms >= 700 && tips[i].ms - tips[i - 1].ms <= 1300)
        ++on_time;
    }
    const int last = tips.empty() ? -1 : tips.back().seconds;
    r.Check("tray.tooltip_follows_countdown",
            tips.size() >= 4 && bad.empty() && on_time >= 2 && std::abs(last - shown) <= 1,
            std::to_string(tips.size()) + " \"Time Remaining: ... - Started\" tooltips, " +
                std::to_string(on_time) + " of them a second after the one before;" + bad +
                " the last says " + std::to_string(last) + " s, the window shows " +
                std::to_string(shown) +
                " s (expected at least 4, from 3599 s down by one each, mostly a second apart, "
                "the last within a second of the window)");
  }

  // --- A real click on the tray icon brings the hidden window back.
  {
    std::string where;
    const bool clicked = ClickTrayIcon(o, &where);
    bool back =
        clicked && WaitFor(3000, [&] { return IsWindowVisible(s.form()) && !IsIconic(s.form()); });
    r.Check("tray.click_restores", back,
            where + "; frmTimer is " + (IsWindowVisible(s.form()) ? "visible" : "hidden") +
                (IsIconic(s.form()) ? ", minimized" : ", normal") +
                " (expected visible and normal within 3 s)");
    // Hidden again, for the exit from the tray below.
    if (back) {
      PostMessageA(s.form(), WM_CLOSE, 0, 0);
      if (!WaitFor(5000, [&] { return !IsWindowVisible(s.form()); }))
        Report::Note("frmTimer did not hide again after WM_CLOSE");
    }
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

// Names of the windows' buttons, for the details: text, shown or hidden.
std::string Buttons(HWND form, const std::vector<std::string>& names) {
  std::string out;
  for (const auto& n : names) {
    HWND b = FindControl(form, n);
    out += (out.empty() ? "" : ", ") + n + " " +
           (b ? Quote(TextOf(b)) + (IsWindowVisible(b) ? "" : " hidden") : std::string("missing"));
  }
  return out;
}

bool ButtonShows(HWND form, const std::string& name, const std::string& text) {
  HWND b = FindControl(form, name);
  return b && IsWindowVisible(b) && TextOf(b) == text;
}

// The whole break cycle with the prompt (AlertMeBy 0) on a 3-second interval: time-up, Remind
// Later for 2 seconds, the prompt again, a 2-second break, the break-over prompt, Restart Timer.
void BreakCycle(Report& r, const Options& o) {
  Session s(r, o, "break");
  if (!s.Launch({{"Hours", "0"},
                 {"Minutes", "0"},
                 {"Seconds", "3"},
                 {"SnoozeMinutes", "0"},
                 {"SnoozeSeconds", "2"},
                 {"BreakMinutes", "0"},
                 {"BreakSeconds", "2"}})) {
    return;
  }
  // --- Time-up: on the tick after 00:00:00, that is 4 s after the start, the alert sound and then
  // the prompt, with the main window out of the way.
  HWND prompt = s.WaitForm("frmUnwindle", 8000);
  {
    auto lines = s.Trace();
    auto starts = Matching(lines, "timer.start", {"frmTimer", "tmrMain"});
    auto shows = Matching(lines, "window.show", {"frmUnwindle"});
    auto sounds = Matching(lines, "sound.play");
    const int64_t after = !starts.empty() && !shows.empty() ? shows[0].ms - starts[0].ms : -1;
    const bool sound_first = !sounds.empty() && !shows.empty() && sounds[0].ms <= shows[0].ms &&
                             sounds[0].fields.size() >= 3 && sounds[0].fields[0] == "CHIMES" &&
                             sounds[0].fields[2] == "1";
    r.Check("break.prompt_on_time",
            prompt && after >= 3800 && after <= 4600 && sound_first && !IsWindowVisible(s.form()),
            std::string(prompt ? "frmUnwindle shown " : "no visible frmUnwindle within 8 s; ") +
                (after >= 0 ? std::to_string(after) + " ms after tmrMain started"
                            : std::string("no timer.start/window.show lines")) +
                " (expected 3800 to 4600); " +
                (sound_first      ? "CHIMES played before it"
                 : sounds.empty() ? "no sound.play line"
                                  : "first sound " + Quote(sounds[0].raw) +
                                        " (expected CHIMES ... 1 before the prompt)") +
                "; frmTimer " + (IsWindowVisible(s.form()) ? "visible" : "hidden") +
                " (expected hidden)");
  }
  if (!prompt) return;
  {
    const std::string caption = TextOf(prompt);
    const std::string label = TextOf(FindControl(prompt, "lblUnwindle"));
    const std::string first_line = "Please unwindle now to rest your eyes and body.";
    HWND restart = FindControl(prompt, "cmdRestartTimer");
    const bool ok = caption == kPromptCaption && label.rfind(first_line, 0) == 0 &&
                    ButtonShows(prompt, "cmdRemindLater", "&Remind Later") &&
                    ButtonShows(prompt, "cmdUnwindle", "&Unwindle") &&
                    ButtonShows(prompt, "cmdStopTimer", "&Stop Timer") && restart &&
                    !IsWindowVisible(restart) && TextOf(restart) == "&Restart Timer";
    r.Check(
        "break.prompt_texts", ok,
        "caption " + Quote(caption) + ", lblUnwindle " + Quote(label) + ", " +
            Buttons(prompt, {"cmdRemindLater", "cmdUnwindle", "cmdStopTimer", "cmdRestartTimer"}) +
            "; expected " + Quote(kPromptCaption) + ", a message starting " + Quote(first_line) +
            ", \"&Remind Later\", \"&Unwindle\", \"&Stop Timer\", \"&Restart Timer\" hidden");
  }
  TakeScreenshot(o, prompt, "break-prompt");

  // --- Remind Later: the main window comes back counting down the reminder, and the prompt
  // returns when it runs out (2 + 1 s).
  const int64_t reminded = NowMs();
  ClickButton(FindControl(prompt, "cmdRemindLater"));
  {
    bool rearmed = WaitFor(1500, [&] { return s.Display() == "00:00:02"; });
    const bool gone = !IsWindow(prompt) || !IsWindowVisible(prompt);
    r.Check("break.remind_later_rearms", rearmed && gone && IsWindowVisible(s.form()),
            std::string(gone ? "" : "the prompt stayed open; ") + "frmTimer " +
                (IsWindowVisible(s.form()) ? "visible" : "hidden") + ", showing " +
                Quote(s.Display()) + " (expected visible, showing \"00:00:02\")");
  }
  prompt = s.WaitForm("frmUnwindle", 6000);
  {
    const int64_t after = NowMs() - reminded;
    r.Check("break.remind_later_returns", prompt && after >= 2500 && after <= 4000,
            prompt ? "the prompt came back " + std::to_string(after) +
                         " ms after Remind Later (expected 2500 to 4000)"
                   : std::string("no prompt within 6 s after Remind Later"));
  }
  if (!prompt) return;

  // --- Unwindle: the break window counts 00:02 down and closes on its third tick, and the
  // break-over prompt follows.
  ClickButton(FindControl(prompt, "cmdUnwindle"));
  HWND brk = s.WaitForm("frmBreakTimeRemaining", 3000);
  {
    const std::string shown =
        brk ? TextOf(FindControl(brk, "lblMinutes")) + ":" + TextOf(FindControl(brk, "lblSeconds"))
            : std::string();
    HWND stop = brk ? FindControl(brk, "cmdStopTimer") : nullptr;
    const std::string stop_text = stop ? TextOf(stop) : std::string();
    r.Check("break.countdown_window", brk && shown == "00:02" && stop_text == "Stop Break",
            brk ? "frmBreakTimeRemaining shows " + Quote(shown) + ", cmdStopTimer " +
                      Quote(stop_text) + " (expected \"00:02\" and \"Stop Break\")"
                : std::string("no visible frmBreakTimeRemaining within 3 s after Unwindle"));
    if (brk) TakeScreenshot(o, brk, "break-countdown");
  }
  if (!brk) return;
  HWND over = s.WaitForm("frmRestartTimer", 6000);
  {
    auto lines = s.Trace();
    auto shown = Matching(lines, "window.show", {"frmBreakTimeRemaining"});
    auto unloaded = Matching(lines, "window.unload", {"frmBreakTimeRemaining"});
    const int64_t lasted = !shown.empty() && !unloaded.empty() ? unloaded[0].ms - shown[0].ms : -1;
    std::string tips;
    for (const auto& l : Matching(lines, "tray.modify")) {
      const std::string prefix = kBreakTipPrefix;
      if (l.fields.size() >= 4 && l.fields[3].rfind(prefix, 0) == 0)
        tips += " " + l.fields[3].substr(prefix.size());
    }
    r.Check("break.countdown_ends",
            over && lasted >= 2800 && lasted <= 3700 && tips == " 00:01 00:00",
            "frmBreakTimeRemaining " +
                (lasted >= 0 ? "closed " + std::to_string(lasted) + " ms after it showed"
                             : std::string("has no window.show/window.unload lines")) +
                " (expected 2800 to 3700), tray tooltips \"Break Time Remaining:" + tips +
                "\" (expected 00:01 00:00), " +
                (over ? "frmRestartTimer followed" : "no frmRestartTimer within 6 s"));
  }
  if (!over) return;
  {
    const std::string label = TextOf(FindControl(over, "lblUnwindle"));
    const std::string expected = "Your break is now over.\r\n\r\nWhat do you want to do?";
    const bool ok = label == expected && ButtonShows(over, "cmdRestartTimer", "&Restart Timer") &&
                    ButtonShows(over, "cmdStopTimer", "&Stop Timer");
    r.Check("break.over_prompt", ok,
            "lblUnwindle " + Quote(label) + ", " +
                Buttons(over, {"cmdRestartTimer", "cmdStopTimer"}) + "; expected " +
                Quote(expected) + ", \"&Restart Timer\", \"&Stop Timer\"");
    TakeScreenshot(o, over, "break-over");
  }

  // --- Restart Timer: the work countdown runs again from the full interval, the window hidden.
  {
    const std::string before = s.Display();
    ClickButton(FindControl(over, "cmdRestartTimer"));
    bool ticking = WaitFor(kTickTimeoutMs + 500, [&] { return s.Display() == "00:00:02"; });
    const bool gone = !IsWindow(over) || !IsWindowVisible(over);
    r.Check("break.restart", before == "00:00:03" && ticking && gone && !IsWindowVisible(s.form()),
            "display " + Quote(before) + " before Restart Timer, then " + Quote(s.Display()) +
                (gone ? "" : "; the prompt stayed open") + "; frmTimer " +
                (IsWindowVisible(s.form()) ? "visible" : "hidden") +
                " (expected \"00:00:03\", then \"00:00:02\" within a tick, frmTimer hidden)");
  }
  // Stopped, so that no new prompt is up when the session exits.
  Invoke(s.form(), "cmdStop");
}

// The tray alert without balloons (AlertMeBy 1, BalloonTipsEnabled 0): the icon flashes, and a
// real click on it opens the prompt.
void TrayAlert(Report& r, const Options& o) {
  Session s(r, o, "tray_alert");
  if (!s.Launch({{"Hours", "0"},
                 {"Minutes", "0"},
                 {"Seconds", "2"},
                 {"AlertMeBy", "1"},
                 {"BalloonTipsEnabled", "0"},
                 {"SnoozeMinutes", "0"},
                 {"SnoozeSeconds", "30"}})) {
    return;
  }
  // Flashing: after the alert's own tooltip, the flash timer swaps the icon every caret blink.
  std::vector<TraceLine> flashes;
  WaitFor(8000, [&] {
    auto lines = s.Trace();
    auto flash_on = Matching(lines, "timer.start", {"frmTimer", "tmrFlash"});
    flashes.clear();
    if (flash_on.empty()) return false;
    for (const auto& l : Matching(lines, "tray.modify")) {
      if (l.ms >= flash_on[0].ms && l.fields.size() >= 4 && l.fields[3] == kTrayAlertTip) {
        flashes.push_back(l);
      }
    }
    // The alert publishes its own tooltip just before it starts the flash timer; a line in the
    // same millisecond is that one.
    if (!flashes.empty() && flashes[0].ms == flash_on[0].ms) flashes.erase(flashes.begin());
    return flashes.size() >= 4;
  });
  {
    std::string icons;
    bool alternates = flashes.size() >= 4;
    for (size_t i = 0; i < flashes.size() && i < 6; ++i) {
      icons += " " + flashes[i].fields[2] + " at " + std::to_string(flashes[i].ms);
      if (i >= 1) {
        const int64_t gap = flashes[i].ms - flashes[i - 1].ms;
        if (flashes[i].fields[2] == flashes[i - 1].fields[2] || gap < 350 || gap > 750)
          alternates = false;
      }
      if (i >= 2 && flashes[i].fields[2] != flashes[i - 2].fields[2]) alternates = false;
    }
    const bool no_prompt = FindForm(s.process().pid(), "frmUnwindle") == nullptr;
    r.Check("tray_alert.flashes", alternates && no_prompt,
            "hIcon of the flashing tray.modify lines (ms):" +
                (icons.empty() ? std::string(" none") : icons) +
                " (expected at least 4, two icons taking turns every 500 ms)" +
                (no_prompt ? "" : "; frmUnwindle opened without a click"));
  }
  std::string where;
  const bool clicked = ClickTrayIcon(o, &where);
  HWND prompt = clicked ? s.WaitForm("frmUnwindle", 3000) : nullptr;
  r.Check("tray_alert.click_opens_prompt", prompt && TextOf(prompt) == kPromptCaption,
          where + "; " +
              (prompt ? "frmUnwindle caption " + Quote(TextOf(prompt))
                      : std::string("no visible frmUnwindle within 3 s")));
  if (prompt) ClickButton(FindControl(prompt, "cmdStopTimer"));
}

// The preferences dialog and the about box, each opened from the main window's menu.
void Dialogs(Report& r, const Options& o) {
  Session s(r, o, "dialogs");
  if (!s.Launch({{"StartTimerOnLaunch", "0"}})) return;

  // --- Preferences: a break of 7:75 is saved as typed, the seconds kept within 59.
  InvokePost(s.form(), "mnuPreferences");
  HWND prefs = s.WaitForm("frmPreferences", 5000);
  HWND save = prefs ? FindControl(prefs, "cmdSave") : nullptr;
  {
    const std::string caption = prefs ? TextOf(prefs) : std::string();
    const std::string minutes = TextOf(FindControl(prefs, "txtBreakMinutes"));
    const bool ok = prefs && caption == "KORVANTE Unwindle - Preferences" && save &&
                    !IsWindowEnabled(save) && minutes == "10";
    r.Check("preferences.opens", ok,
            prefs ? "caption " + Quote(caption) + ", txtBreakMinutes " + Quote(minutes) +
                        ", cmdSave " +
                        (save ? (IsWindowEnabled(save) ? "enabled" : "disabled") : "missing") +
                        " (expected \"KORVANTE Unwindle - Preferences\", \"10\", disabled)"
                  : std::string("no visible frmPreferences within 5 s after mnuPreferences"));
  }
  if (!prefs || !save) return;
  TakeScreenshot(o, prefs, "preferences");
  {
    const bool typed = SetText(FindControl(prefs, "txtBreakMinutes"), "7") &&
                       SetText(FindControl(prefs, "txtBreakSeconds"), "75");
    const bool enabled = WaitFor(1000, [&] { return IsWindowEnabled(save) != FALSE; });
    ClickButton(save);
    bool saved = WaitFor(2000, [&] {
      return IsText(ReadValue(kSettingsKey, "BreakMinutes"), "7") &&
             IsText(ReadValue(kSettingsKey, "BreakSeconds"), "59");
    });
    r.Check("preferences.save_writes_registry", typed && enabled && saved && !IsWindowEnabled(save),
            std::string(typed ? "" : "WM_SETTEXT failed; ") + "cmdSave " +
                (enabled ? "enabled" : "still disabled") + " after the change; BreakMinutes " +
                Seen(ReadValue(kSettingsKey, "BreakMinutes")) + ", BreakSeconds " +
                Seen(ReadValue(kSettingsKey, "BreakSeconds")) +
                " (expected \"7\" and \"59\"); cmdSave " +
                (IsWindowEnabled(save) ? "enabled" : "disabled") +
                " after Save (expected disabled)");
  }
  {
    ClickButton(FindControl(prefs, "cmdExit"), 1000);
    bool closed = WaitFor(3000, [&] { return !IsWindow(prefs) || !IsWindowVisible(prefs); });
    HWND box = FindMessageBox(s.process().pid());
    r.Check("preferences.close", closed && !box,
            box ? "a message box asked " + Quote(MessageBoxText(box)) + " after Close"
                : std::string("frmPreferences still open 3 s after Close"));
    if (box) ClickButton(GetDlgItem(box, IDNO), 1000);
  }

  // --- About: caption and product name; Esc closes it.
  InvokePost(s.form(), "mnuAbout");
  HWND about = s.WaitForm("frmAbout", 5000);
  {
    const std::string caption = about ? TextOf(about) : std::string();
    const std::string product = TextOf(FindControl(about, "lblProductName"));
    const bool ok = about && caption == "About Korvante Unwindle" && product == "Unwindle 1.0" &&
                    ButtonShows(about, "cmdOK", "&Ok");
    r.Check("about.opens", ok,
            about ? "caption " + Quote(caption) + ", lblProductName " + Quote(product) + ", " +
                        Buttons(about, {"cmdOK"}) +
                        " (expected \"About Korvante Unwindle\", \"Unwindle 1.0\", \"&Ok\")"
                  : std::string("no visible frmAbout within 5 s after mnuAbout"));
  }
  if (!about) return;
  TakeScreenshot(o, about, "about");
  {
    PostKey(about, VK_ESCAPE);
    bool closed = WaitFor(3000, [&] { return !IsWindow(about) || !IsWindowVisible(about); });
    r.Check("about.escape_closes", closed, "frmAbout still open 3 s after Esc");
  }
}

// The alert sound as it reaches the sound device: one run per clip of a different encoding, each
// up to its first alert. ALSA writes what Wine plays into the file --wav, anew with each sound;
// each clip's capture is kept beside it as sound_NAME.wav.
struct Clip {
  const char* name;   // resource name, as the trace shows it
  const char* index;  // SelectedSound
  double seconds;     // length of the stored clip
  const char* check;
};
constexpr Clip kClips[] = {{"CHIMES", "1", 1.7, "sound.chimes_8bit_pcm"},
                           {"OWL", "8", 2.3, "sound.owl_16bit_pcm"},
                           {"RUBBERDUCK", "10", 0.5, "sound.rubberduck_alaw"},
                           {"LIFE", "6", 5.8, "sound.life_mp3"}};

void PlayClip(Report& r, const Options& o, const Clip& clip) {
  const std::string label = "sound_" + Lower(clip.name);
  DeleteFileA(o.wav.c_str());
  Session s(r, o, label);
  // No repeat within the run: the next sound would start the file again.
  if (!s.Launch({{"Hours", "0"},
                 {"Minutes", "0"},
                 {"Seconds", "1"},
                 {"AlertMeBy", "1"},
                 {"BalloonTipsEnabled", "0"},
                 {"SnoozeMinutes", "0"},
                 {"SnoozeSeconds", "59"},
                 {"AudioType", "2"},
                 {"SelectedSound", clip.index}})) {
    return;
  }
  std::vector<TraceLine> plays;
  WaitFor(5000, [&] { return !(plays = Matching(s.Trace(), "sound.play")).empty(); });
  const bool played = !plays.empty() && plays[0].fields.size() >= 3 &&
                      plays[0].fields[0] == clip.name && plays[0].fields[1] == "270343" &&
                      plays[0].fields[2] == "1";
  // The null device takes the sound faster than real time; the file is complete when the
  // device closes at the end of the clip.
  WavSummary w;
  const bool written = !plays.empty() && WaitFor(15000, [&] {
    w = ReadWav(o.wav);
    return w.complete;
  });
  if (written) {
    const std::string kept = o.wav.substr(0, o.wav.find_last_of('\\') + 1) + label + ".wav";
    CopyFileA(o.wav.c_str(), kept.c_str(), FALSE);
  }
  const double tolerance = std::max(0.15, 0.15 * clip.seconds);
  const bool audible = written && w.error.empty() && w.peak >= 0.1 && w.rms >= 0.01 &&
                       std::fabs(w.seconds - clip.seconds) <= tolerance &&
                       w.sound_seconds >= 0.5 * clip.seconds;
  std::string detail =
      plays.empty() ? "no sound.play line within 5 s"
                    : "trace " + Quote(plays[0].raw) +
                          (played ? "" : " (expected " + std::string(clip.name) + " 270343 1)");
  if (!plays.empty()) {
    detail += "; ";
    if (!written) {
      detail += w.exists ? o.wav + " was not completed within 15 s"
                         : "nothing reached " + o.wav + " within 15 s";
    } else if (!w.error.empty()) {
      detail += w.error;
    } else {
      detail += "WAV " + std::to_string(w.rate) + " Hz " + std::to_string(w.bits) + "-bit " +
                std::to_string(w.channels) + " ch: " + Fixed(w.seconds) + " s, sound over " +
                Fixed(w.sound_seconds) + " s, peak " + Fixed(w.peak) + ", RMS " + Fixed(w.rms, 3);
    }
    detail += " (expected " + Fixed(clip.seconds, 1) + " s +- " + Fixed(tolerance) +
              " of audible sound: peak >= 0.10, RMS >= 0.010)";
  }
  if (played && audible) Report::Note(label + ": " + detail);
  r.Check(clip.check, played && audible, detail);
}

void Sounds(Report& r, const Options& o) {
  if (o.wav.empty()) {
    Report::Note("sounds: not checked (no --wav; run.sh captures the sound)");
    return;
  }
  for (const Clip& clip : kClips) PlayClip(r, o, clip);
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
                            {"countdown", CountdownAndMinimize},
                            {"break", BreakCycle},
                            {"tray_alert", TrayAlert},
                            {"dialogs", Dialogs},
                            {"sounds", Sounds}};
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
               "[--wav FILE]\n"
               "           [--only first_start|countdown|break|tray_alert|dialogs|sounds]\n"
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
      } else if (a == "--wav") {
        o.wav = ToWindowsPath(next());
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

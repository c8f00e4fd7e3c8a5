// End-to-end driver (usage at the end): the real unwindle.exe under Wine, its windows, registry,
// trace and the sound that reaches the --wav file (run.sh sets ALSA up so); then (`release`) its
// icon, one program per session, the installer and the uninstaller.

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <tuple>

#include "break_screen_checks.h"
#include "command_line_checks.h"
#include "history_checks.h"
#include "hold_checks.h"
#include "backends/win32/program_instance_win32.h"
#include "session.h"
#include "stored_defaults.h"
#include "theme_checks.h"

namespace e2e {
namespace {

constexpr const char* kExitQuestion = "Are you sure you want to exit?";
constexpr const char* kPromptCaption = "KORVANTE Unwindle - https://korvante.example/unwindle";
constexpr const char* kWorkTip =
    "KORVANTE - https://korvante.example/unwindle \r\nTime Remaining: ";
constexpr const char* kBreakTip =
    "KORVANTE - https://korvante.example/unwindle \r\nBreak Time Remaining: ";
constexpr const char* kTrayAlertTip = "KORVANTE Unwindle \r\nClick on the icon below for options.";
// One tick is due 1000 ms after the previous one; allow scheduling slack under load.
constexpr int kTick = 1500;

// The display, judged against what it showed when first asked.
Expect Displays(std::function<bool(const std::string&, const std::string&)> ok, std::string want) {
  auto first = std::make_shared<std::string>();
  return [=](Session& s) {
    const std::string shown = s.Display();
    if (first->empty()) *first = shown;
    return ok(shown, *first) ? ""
                             : Expected("the display", Quote(shown),
                                        want + (shown == *first ? "" : ", first " + Quote(*first)));
  };
}

Expect Shows(const std::string& hhmmss) {
  return Displays([=](auto& shown, auto&) { return shown == hhmmss; }, Quote(hhmmss));
}

Expect ShowsWithin(int least, int most) {
  return Displays([=](auto& t, auto&) { return SecondsOf(t) >= least && SecondsOf(t) <= most; },
                  std::to_string(least) + " to " + std::to_string(most) + " s");
}

Expect CountsDown(int seconds) {
  return Displays([=](auto& t, auto& first) { return SecondsOf(t) == SecondsOf(first) - seconds; },
                  std::to_string(seconds) + " s below the first");
}

Expect StandsStill() {
  return Displays([](auto& shown, auto& first) { return shown == first; }, "no change");
}

// From the first trace line that starts with `from` to the `nth` that starts with `to`, in ms.
Expect Between(std::vector<std::string> from, std::vector<std::string> to, int least, int most,
               size_t nth = 1) {
  return [=](Session& s) {
    const auto lines = s.Trace();
    const auto a = Matching(lines, from[0], {from.begin() + 1, from.end()});
    const auto b = Matching(lines, to[0], {to.begin() + 1, to.end()});
    const int64_t ms = a.empty() || b.size() < nth ? -1 : b[nth - 1].ms - a[0].ms;
    std::string what = "from";
    for (const auto& f : from) what += " " + f;
    for (const auto& f : to) what += (&f == &to[0] ? " to " : " ") + f;
    return ms >= least && ms <= most
               ? ""
               : Expected(what, std::to_string(ms) + " ms",
                          std::to_string(least) + " to " + std::to_string(most));
  };
}

// An invoke that the program must refuse (answer 0), as a click would be.
Action Refused(const std::string& form, const std::string& control) {
  return [=](Session& s) {
    s.error = form + "." + control + " was pressed";
    return s.Form(form) != nullptr && !Invoke(s.Form(form), control);
  };
}

// The program answers a message at once: it is not held up.
const Expect kAnswers = Holds([](Session& s, std::string& seen) {
  DWORD_PTR result = 0;
  const ULONGLONG t0 = GetTickCount64();
  const bool answered =
      SendMessageTimeoutA(s.main, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &result) != 0;
  const ULONGLONG ms = GetTickCount64() - t0;
  seen =
      answered ? "frmTimer answered in " + std::to_string(ms) + " ms" : "frmTimer did not answer";
  return answered && ms < 1000 && s.process.Running();
});

// Real input (xdotool): a key to whichever window has the keyboard; a click on the tray icon.
Action PressKey(const std::string& name) {
  return [name](Session& s) { return Request(s.options, "key", "key " + name); };
}

Action TrayClick() {
  return [](Session& s) {
    const std::vector<RECT> icons = TrayIcons();
    s.error = "no icon in the \"Wine System Tray\" window";
    return !icons.empty() &&
           Request(s.options, "tray-click",
                   "click " + std::to_string((icons[0].left + icons[0].right) / 2) + " " +
                       std::to_string((icons[0].top + icons[0].bottom) / 2));
  };
}

Action Notify(UINT msg, WPARAM wParam) {
  return [=](Session&) {
    HWND presence = FindWindowA("Unwindle.Presence", nullptr);
    return presence && PostMessageW(presence, msg, wParam, 0);
  };
}

// A window of the driver's own: the program the user types into, a full-screen one (a film, a
// presentation: no frame, the whole screen), or a program maximized (a title bar, the whole
// screen).
enum class Own { kNone, kTyping, kFullScreen, kMaximized };

// Opens (or, with kNone, closes) a window of the driver's own in front, with the keyboard.
Action OwnWindow(Own kind) {
  return [=](Session& s) {
    if (s.own) DestroyWindow(s.own);
    s.own = nullptr;
    if (kind == Own::kNone) return true;
    const bool full = kind == Own::kFullScreen;
    const int w = full ? GetSystemMetrics(SM_CXSCREEN) : 400,
              h = full ? GetSystemMetrics(SM_CYSCREEN) : 300;
    s.own = CreateWindowExW(full ? WS_EX_TOPMOST : 0, full ? L"STATIC" : L"EDIT", L"Own",
                            (full ? WS_POPUP : WS_OVERLAPPEDWINDOW) | WS_VISIBLE, 0, 0, w, h, 0, 0,
                            0, 0);
    if (kind == Own::kMaximized) ShowWindow(s.own, SW_MAXIMIZE);
    // In front, and still in front a moment later: a window of the program that was just shown
    // may take the foreground after ours did.
    bool settled = false;
    for (int tries = 0; tries < 5 && !settled; ++tries) {
      SetForegroundWindow(s.own);
      settled = WaitFor(3000, [&] { return GetForegroundWindow() == s.own; }) &&
                Poll(
                    500, [&] { return GetForegroundWindow() == s.own; }, false);
    }
    return settled;
  };
}

Expect Buttons(const char* start, bool startOn, bool pauseOn, const char* stop, bool stopOn) {
  return All({Texts("frmTimer", {{"cmdStart", start}, {"cmdStop", stop}}),
              Is("frmTimer", "cmdStart", "enabled", startOn),
              Is("frmTimer", "cmdPause", "enabled", pauseOn),
              Is("frmTimer", "cmdStop", "enabled", stopOn)});
}
const Expect kStoppedButtons = Buttons("Start Timer", true, false, "Stop Timer", false);
const Expect kStartedButtons = Buttons("Start Timer", false, true, "Stop Timer", true);
const Expect kPausedButtons = Buttons("Restart Timer", true, false, "Reset Timer", true);

// The icon added with the full record and the stopped tooltip, then the callback version.
const Expect kTrayAdded = Holds([](Session& s, std::string& seen) {
  std::vector<TraceLine> calls;
  for (auto l : s.Trace()) {
    l.fields.resize(std::max<size_t>(l.fields.size(), 4));  // missing fields compare as empty
    if (l.event.rfind("tray.", 0) == 0 && calls.size() < 2) calls.push_back(l);
  }
  seen = "the trace shows";
  for (const auto& c : calls) seen += " " + c.event + " " + c.fields[0] + " " + Quote(c.fields[3]);
  seen += " (expected tray.add 520 with the stopped tooltip, then tray.setversion 520)";
  return calls.size() == 2 && calls[0].event == "tray.add" && calls[0].fields[0] == "520" &&
         calls[0].fields[3] == std::string(kWorkTip) + "01:00:00 - Stopped" &&
         calls[1].event == "tray.setversion" && calls[1].fields[0] == "520";
});

// The work countdown's "... - Started" tooltips went down a second at a time, mostly a second
// apart, and the last one says what the window shows.
const Expect kTooltipFollows = Holds([](Session& s, std::string& seen) {
  const std::string prefix = kWorkTip, suffix = " - Started";
  int previous = -1, count = 0, onTime = 0, last = -1;
  int64_t previousMs = 0;
  bool steps = true;
  for (const auto& l : Matching(s.Trace(), "tray.modify")) {
    const std::string& tip = l.fields.size() >= 4 ? l.fields[3] : "";
    if (tip.size() != prefix.size() + 8 + suffix.size() || tip.rfind(prefix, 0) != 0 ||
        tip.compare(prefix.size() + 8, std::string::npos, suffix))
      continue;
    last = SecondsOf(tip.substr(prefix.size(), 8));
    steps &= previous < 0 ? last == 3599 : last == previous - 1;
    onTime += previous >= 0 && std::abs(l.ms - previousMs - 1000) <= 300;
    previous = last;
    previousMs = l.ms;
    ++count;
  }
  const int shown = SecondsOf(s.Display());
  seen = std::to_string(count) + " tooltips, " + std::to_string(onTime) + " a second apart, " +
         (steps ? "each" : "not each") + " a second below the one before from 3599 s; the last " +
         std::to_string(last) + " s, the window " + std::to_string(shown) + " s";
  return count >= 4 && steps && onTime >= 2 && std::abs(last - shown) <= 1;
});

const Expect kExitBox = All({Asks(kExitQuestion), Holds([](Session& s, std::string& seen) {
                               HWND box = s.Box();
                               seen = Quote(TextOf(box)) + " with " +
                                      Quote(TextOf(GetDlgItem(box, IDYES))) + " and " +
                                      Quote(TextOf(GetDlgItem(box, IDNO)));
                               return seen == Quote(kCaption) + " with \"&Yes\" and \"&No\"";
                             })});

// First start on a clean account, the window options, the exit question answered No, the close
// box that hides into the tray and the icon's click that brings the window back, then Yes.
void FirstStart(Report& r, const Options& o) {
  std::vector<Expect> defaults;
  for (const auto& [name, text] : unw::kStoredDefaults) defaults.push_back(Stored(name, text));
  const std::vector<Step> steps = {
      {"splash.first", Holds([](Session& s, std::string& seen) {
         seen = "frmSplash first seen at " + std::to_string(s.splash_ms) + " ms, lblProductName " +
                Quote(s.splash_product) + (s.splash_with_main ? ", together with frmTimer" : "");
         return s.splash_ms >= 0 && !s.splash_with_main && s.splash_product == "Unwindle 1.0";
       })},
      {"splash.main_after_five_seconds", Holds([](Session& s, std::string& seen) {
         seen = "frmTimer visible " + std::to_string(s.main_ms) + " ms after the start";
         return s.main_ms >= 4500 && s.main_ms <= 8000;
       })},
      {"first_start.defaults", All(defaults)},
      {"first_start.run_entry", RunEntry(true)},
      {"first_start.caption", Texts("frmTimer", {{"", kCaption}})},
      {"first_start.countdown_running", ShowsWithin(0, 3599)},
      {"tray.icon_shown", Shot("frmTimer", "main-window"),
       That([] { return !TrayIcons().empty(); }, "no icon in Wine's tray")},
      {"tray.trace_add_setversion", kTrayAdded},
      {"options.always_on_top_initial", Is("frmTimer", "", "topmost", true)},
      {"options.always_on_top_off", Menu("mnuAlwaysOnTop"),
       All({Stored("AlwaysOnTop", "0"), Is("frmTimer", "", "topmost", false)})},
      {"options.always_on_top_on", Menu("mnuAlwaysOnTop"),
       All({Stored("AlwaysOnTop", "1"), Is("frmTimer", "", "topmost", true)})},
      {"options.launch_on_startup_off", Menu("mnuLaunchOnStartup"),
       All({Stored("LaunchOnStartup", "0"), RunEntry(false)})},
      {"options.launch_on_startup_on", Menu("mnuLaunchOnStartup"),
       All({Stored("LaunchOnStartup", "1"), RunEntry(true)})},
      {"exit.question", Menu("mnuExit", true), kExitBox, 5000, false, true},
      {"exit.question_stops_countdown", StandsStill(), kTick, true},
      {"exit.no_keeps_counting", Answer(IDNO), All({Asks(""), CountsDown(2)}), 2 * kTick},
      {"close_box.hides", CloseBox("frmTimer"),
       All({Visible("frmTimer", false), Is("frmTimer", "", "minimized", true)}), 5000},
      {"close_box.keeps_running", CountsDown(1), kTick},
      {"tray.tooltip_follows_countdown", kTooltipFollows},
      {"tray.click_restores", TrayClick(),
       All({Visible("frmTimer"), Is("frmTimer", "", "minimized", false)})},
      {"", CloseBox("frmTimer"), Visible("frmTimer", false), 5000},
      // In the tray: its menu's Exit (File > Exit is not on the screen).
      {"exit.hidden_menu_bar_refused", Refused("frmTimer", "mnuExit"),
       Traced("invoke.refused", {"frmTimer", "mnuExit", "hidden"})},
      {"", Menu("mPopExit", true), Asks(kExitQuestion)},
      {"exit.yes_ends", Answer(IDYES), Ended(0), 10000},
      {"exit.trace_unload", Traced("window.unload", {"frmTimer"})},
      {"exit.trace_answers", Traced("msgbox", {kExitQuestion, kCaption}, 2)},
  };
  RunSteps(r, o, "first_start", Planted{}, steps);
}

// Start, Pause, Start, Stop on a 5-second interval, then a close box that only minimizes.
void Countdown(Report& r, const Options& o) {
  const std::vector<Step> steps = {
      {"countdown.initial", All({Shows("00:00:05"), kStoppedButtons}), 3000, false, true},
      {"countdown.not_started_on_launch", Shows("00:00:05"), kTick, true},
      {"countdown.start", Press("frmTimer", "cmdStart"), All({Shows("00:00:04"), kStartedButtons}),
       kTick},
      {"countdown.keeps_decreasing", Shows("00:00:03"), kTick},
      {"countdown.pause_texts", Press("frmTimer", "cmdPause"), kPausedButtons},
      {"countdown.pause_freezes", StandsStill(), kTick, true},
      {"countdown.resume", Press("frmTimer", "cmdStart"), All({CountsDown(1), kStartedButtons}),
       kTick},
      {"countdown.stop", Press("frmTimer", "cmdStop"), All({Shows("00:00:05"), kStoppedButtons})},
      {"countdown.stop_stays", Shows("00:00:05"), kTick, true},
      {"countdown.trace_timer",
       All({Traced("timer.start", {"BreakCycle", "tmrMain", "1000"}, 2, true),
            Traced("timer.stop", {"BreakCycle", "tmrMain"}, 2, true)})},
      {"close_box.iconic_visible", CloseBox("frmTimer"),
       All({Is("frmTimer", "", "minimized", true), Visible("frmTimer")}), 5000},
  };
  RunSteps(r, o, "countdown",
           Settings("Hours=0 Minutes=0 Seconds=5 StartTimerOnLaunch=0 HideWhenMinimized=0"), steps);
}

// The 2-second break lasted three ticks, with the tray counting it down.
const Expect kBreakTips = Holds([](Session& s, std::string& seen) {
  seen = "the break's tooltips";
  for (const auto& l : Matching(s.Trace(), "tray.modify"))
    if (l.fields.size() >= 4 && l.fields[3].rfind(kBreakTip, 0) == 0)
      seen += " " + l.fields[3].substr(std::strlen(kBreakTip));
  return seen == "the break's tooltips 00:01 00:00";
});

// The break cycle with the prompt on a 3-second interval: time-up, Remind Later for 2 seconds, the
// prompt again, a 2-second break, the break-over prompt, Restart Timer.
void BreakCycle(Report& r, const Options& o) {
  const std::vector<Step> steps = {
      {"", Visible("frmUnwindle"), 8000},
      // On the tick after 00:00:00, after the alert sound.
      {"break.prompt_on_time",
       All({Between({"timer.start", "BreakCycle", "tmrMain"}, {"window.show", "frmUnwindle"}, 3800,
                    4600),
            Between({"sound.play", "CHIMES"}, {"window.show", "frmUnwindle"}, 0, 60000),
            Visible("frmTimer", false)})},
      {"break.prompt_texts", Shot("frmUnwindle", "break-prompt"),
       All({Texts("frmUnwindle",
                  {{"", kPromptCaption},
                   {"lblUnwindle",
                    "Please unwindle now to rest your eyes and body.\r\n"
                    "Long sessions on the computer takes a toll on your body over time.\r\n"
                    "A short period of rest every while can reduce repetitive-stress "
                    "injuries.\r\n\r\nWhat do you want to do?"},
                   {"cmdRemindLater", "&Remind Later"},
                   {"cmdUnwindle", "&Unwindle"},
                   {"cmdStopTimer", "&Stop Timer"},
                   {"cmdRestartTimer", "&Restart Timer"}}),
            Is("frmUnwindle", "cmdRestartTimer", "shown", false)})},
      {"break.remind_later_rearms", Press("frmUnwindle", "cmdRemindLater"),
       All({Shows("00:00:02"), Visible("frmUnwindle", false), Visible("frmTimer")}), kTick},
      // A reminder and a tick after it closed.
      {"break.remind_later_returns",
       All({Visible("frmUnwindle"), Between({"window.unload", "frmUnwindle"},
                                            {"window.show", "frmUnwindle"}, 2500, 4000, 2)}),
       6000},
      {"break.countdown_window", Press("frmUnwindle", "cmdUnwindle"),
       Texts("frmBreakTimeRemaining",
             {{"lblMinutes", "00"}, {"lblSeconds", "02"}, {"cmdStopTimer", "Stop Break"}}),
       3000, false, true},
      {"", Shot("frmBreakTimeRemaining", "break-countdown"), Visible("frmRestartTimer"), 6000},
      {"break.countdown_ends", All({Between({"window.show", "frmBreakTimeRemaining"},
                                            {"window.unload", "frmBreakTimeRemaining"}, 2800, 3700),
                                    kBreakTips})},
      {"break.over_prompt", Shot("frmRestartTimer", "break-over"),
       All({Texts("frmRestartTimer",
                  {{"lblUnwindle", "Your break is now over.\r\n\r\nWhat do you want to do?"},
                   {"cmdRestartTimer", "&Restart Timer"},
                   {"cmdStopTimer", "&Stop Timer"}}),
            Shows("00:00:03")})},
      {"break.restart", Press("frmRestartTimer", "cmdRestartTimer"),
       All({Shows("00:00:02"), Visible("frmRestartTimer", false), Visible("frmTimer", false)}),
       2 * kTick},
      {"break.cycle_states", Holds([](Session& s, std::string& seen) {
         // In this order, not necessarily one after the other.
         const std::vector<std::string> want = {"counting", "prompt",    "counting", "prompt",
                                                "break",    "breakover", "counting"};
         size_t next = 0;
         seen = "the cycle went";
         for (const auto& l : Matching(s.Trace(), "cycle.state")) {
           if (l.fields.empty()) continue;
           seen += " " + l.fields[0];
           if (next < want.size() && l.fields[0] == want[next]) ++next;
         }
         return next == want.size();
       })},
      {"", Menu("mnuStop")},  // no new prompt up when the session exits (from the tray menu)
  };
  RunSteps(r, o, "break",
           Settings("Hours=0 Minutes=0 Seconds=3 SnoozeMinutes=0 SnoozeSeconds=2 BreakMinutes=0 "
                    "BreakSeconds=2"),
           steps);
}

// Automation presses only what a person could: the main window's Stop (and the tray menu's) under
// the open prompt is refused and changes nothing; the prompt's Unwindle then starts the break.
void Refusals(Report& r, const Options& o) {
  const std::vector<Step> steps = {
      {"", Visible("frmUnwindle"), 8000, false, true},
      {"invoke.stop_under_prompt_refused",
       Then({Refused("frmTimer", "cmdStop"), Refused("frmTimer", "mnuStop")}),
       All({Traced("invoke.refused", {"frmTimer", "cmdStop"}),
            Traced("invoke.refused", {"frmTimer", "mnuStop", "blocked"}), Visible("frmUnwindle"),
            Traced("cycle.state", {"stopped"}, 0, true)})},
      {"invoke.prompt_unwindle_starts_break", Press("frmUnwindle", "cmdUnwindle"),
       All({Visible("frmBreakTimeRemaining"), Visible("frmUnwindle", false),
            Traced("cycle.state", {"break"})}),
       5000},
      {"", Press("frmBreakTimeRemaining", "cmdStopTimer"), Visible("frmRestartTimer"), 5000},
      {"", Press("frmRestartTimer", "cmdStopTimer"), Visible("frmRestartTimer", false)},
  };
  RunSteps(r, o, "invoke", Settings("Hours=0 Minutes=0 Seconds=2 BreakMinutes=5"), steps);
}

// The sound file chooser opens whatever CustomSound holds: with 10,000 characters, at the default
// folder; cancelled, the program goes on.
HWND Chooser(Session& s) {
  for (HWND h : Windows(s.process.pid()))
    if (ClassOf(h) == "#32770" && IsWindowVisible(h) &&
        TextOf(h) == "KORVANTE Unwindle - Select Sound File")
      return h;
  return nullptr;
}

void LongSoundPath(Report& r, const Options& o) {
  const std::string stored = "C:\\" + std::string(9987, 'a') + "\\bell.wav";
  const std::vector<Step> steps = {
      {"", Menu("mnuPreferences", true), Visible("frmPreferences"), 5000, false, true},
      {"chooser.long_stored_path_opens",
       [](Session& s) { return Invoke(s.Form("frmPreferences"), "cmdBrowseCustomSound", false); },
       All({Holds([](Session& s, std::string& seen) {
              seen = "no chooser on the screen";
              return Chooser(s) != nullptr;
            }),
            Traced("files.open", {"", ""})}),
       10000, false, true},
      {"chooser.cancelled_program_lives",
       [](Session& s) { return PostMessageA(Chooser(s), WM_COMMAND, IDCANCEL, 0) != 0; },
       All({Traced("files.close", {""}), Visible("frmPreferences"), kAnswers,
            Holds([](Session& s, std::string& seen) {
              seen = "the chooser is still open";
              return Chooser(s) == nullptr;
            })}),
       5000},
      {"", Press("frmPreferences", "cmdExit"), Visible("frmPreferences", false)},
  };
  RunSteps(r, o, "chooser", Settings("StartTimerOnLaunch=0", {{"CustomSound", stored}}), steps);
}

// The flashing icon: after the alert's own tooltip, two pictures taking turns every caret blink.
const Expect kFlashes = Holds([](Session& s, std::string& seen) {
  const auto lines = s.Trace(), on = Matching(lines, "timer.start", {"BreakCycle", "tmrFlash"});
  std::vector<TraceLine> flashes;
  for (const auto& l : Matching(lines, "tray.modify"))
    if (!on.empty() && l.ms > on[0].ms && l.fields.size() >= 4 && l.fields[3] == kTrayAlertTip)
      flashes.push_back(l);
  bool alternates = flashes.size() >= 4;
  seen = "hIcon of the flashing tray.modify lines:";
  for (size_t i = 0; i < flashes.size() && i < 6; ++i) {
    seen += " " + flashes[i].fields[2] + " at " + std::to_string(flashes[i].ms);
    const int64_t gap = i ? flashes[i].ms - flashes[i - 1].ms : 500;
    alternates &= (i == 0 || flashes[i].fields[2] != flashes[i - 1].fields[2]) && gap >= 350 &&
                  gap <= 750 && (i < 2 || flashes[i].fields[2] == flashes[i - 2].fields[2]);
  }
  return alternates && !s.Form("frmUnwindle");
});

// The tray alert without balloons: the icon flashes, and a real click on it opens the prompt.
void TrayAlert(Report& r, const Options& o) {
  RunSteps(
      r, o, "tray_alert",
      Settings("Hours=0 Minutes=0 Seconds=2 AlertMeBy=1 BalloonTipsEnabled=0 SnoozeMinutes=0 "
               "SnoozeSeconds=30"),
      {{"tray_alert.flashes", kFlashes, 8000},
       {"tray_alert.click_opens_prompt", TrayClick(), Texts("frmUnwindle", {{"", kPromptCaption}})},
       {"", Press("frmUnwindle", "cmdStopTimer")}});
}

// The preferences dialog and the about box, each opened from the main window's menu.
void Dialogs(Report& r, const Options& o) {
  const std::vector<Step> steps = {
      {"preferences.opens", Menu("mnuPreferences", true),
       All({Texts("frmPreferences",
                  {{"", "KORVANTE Unwindle - Preferences"}, {"txtBreakMinutes", "10"}}),
            Is("frmPreferences", "cmdSave", "enabled", false)}),
       5000, false, true},
      {"preferences.edit_enables_save",
       Then({Shot("frmPreferences", "preferences"), Type("frmPreferences", "txtBreakMinutes", "7"),
             Type("frmPreferences", "txtBreakSeconds", "75")}),
       Is("frmPreferences", "cmdSave", "enabled", true)},
      {"preferences.save_writes_registry", Press("frmPreferences", "cmdSave"),
       All({Stored("BreakMinutes", "7"), Stored("BreakSeconds", "59"),
            Is("frmPreferences", "cmdSave", "enabled", false)})},
      {"preferences.close", Press("frmPreferences", "cmdExit"),
       All({Visible("frmPreferences", false), Asks("")})},
      {"about.opens", Menu("mnuAbout", true),
       Texts(
           "frmAbout",
           {{"", "About Korvante Unwindle"}, {"lblProductName", "Unwindle 1.0"}, {"cmdOK", "&Ok"}}),
       5000, false, true},
      {"about.escape_closes", Then({Shot("frmAbout", "about"), Key("frmAbout", VK_ESCAPE)}),
       Visible("frmAbout", false)},
  };
  RunSteps(r, o, "dialogs", Settings("StartTimerOnLaunch=0"), steps);
}

// Minding the user: a time-up under a full-screen window waits until it closes, one under a
// maximized program does not; a prompt that comes by itself does not take the keyboard from the
// window the user types into.
void FullScreenAndKeyboard(Report& r, const Options& o) {
  const std::vector<Step> steps = {
      {"", OwnWindow(Own::kFullScreen), Traced("aware.held", {"fullscreen"}), 12000},
      {"aware.fullscreen_holds_the_prompt",
       All({Visible("frmUnwindle", false), Traced("sound.play", {}, 0, true)}), 2000, true},
      {"aware.prompt_after_fullscreen", OwnWindow(Own::kNone),
       All({Visible("frmUnwindle"), Traced("aware.released", {})})},
      {"", Press("frmUnwindle", "cmdRemindLater"), Visible("frmUnwindle", false)},
      {"aware.maximized_window_does_not_hold", OwnWindow(Own::kMaximized),
       All({Visible("frmUnwindle"), Traced("aware.held", {"fullscreen"}, 1, true)}), 12000},
      {"", Then({OwnWindow(Own::kNone), Press("frmUnwindle", "cmdRemindLater")}),
       Visible("frmUnwindle", false)},
      {"aware.prompt_leaves_the_keyboard", OwnWindow(Own::kTyping),
       All({Visible("frmUnwindle"), InFront(true)}), 12000},
      {"aware.enter_answers_nothing", PressKey("Return"),
       All({Visible("frmUnwindle"), InFront(true)}), 1500, true},
      {"", Then({OwnWindow(Own::kNone), Press("frmUnwindle", "cmdStopTimer")})},
  };
  RunSteps(r, o, "aware_screen",
           Settings("Hours=0 Minutes=0 Seconds=8 SnoozeMinutes=0 SnoozeSeconds=5"), steps);
}

// The exit question keeps a held alert waiting even when the user comes back meanwhile; the alert
// comes once the question is answered No.
void ExitQuestionOverALock(Report& r, const Options& o) {
  const std::vector<Step> steps = {
      {"", Notify(WM_WTSSESSION_CHANGE, 7 /* WTS_SESSION_LOCK */), Traced("aware.held", {"away"}),
       12000},
      {"", Menu("mnuExit", true), Asks(kExitQuestion), 5000},
      {"aware.exit_question_holds_through_unlock",
       Notify(WM_WTSSESSION_CHANGE, 8 /* WTS_SESSION_UNLOCK */),
       All({Asks(kExitQuestion), Visible("frmUnwindle", false), Visible("frmTimer"),
            Traced("sound.play", {}, 0, true)}),
       3000, true},
      {"aware.alert_after_the_exit_question", Answer(IDNO),
       All({Visible("frmUnwindle"), Traced("aware.released", {})}), 4000},
      {"", Press("frmUnwindle", "cmdStopTimer")},
  };
  RunSteps(r, o, "aware_exit", Settings("Hours=0 Minutes=0 Seconds=4"), steps);
}

// A time-up while the preferences dialog is open waits for the dialog and keeps what was typed in
// it; the alert comes once it closes.
void PreferencesAtTimeUp(Report& r, const Options& o) {
  const std::vector<Step> steps = {
      {"", Menu("mnuPreferences", true), Visible("frmPreferences"), 5000},
      {"", Type("frmPreferences", "txtBreakMinutes", "7"),
       Is("frmPreferences", "cmdSave", "enabled", true)},
      {"preferences.time_up_waits_for_the_dialog", Traced("aware.held", {"preferences"}), 12000},
      {"preferences.typed_value_kept",
       All({Visible("frmUnwindle", false), Texts("frmPreferences", {{"txtBreakMinutes", "7"}})}),
       2000, true},
      {"", Press("frmPreferences", "cmdSave"), Stored("BreakMinutes", "7")},
      {"preferences.alert_after_the_dialog", Press("frmPreferences", "cmdExit"),
       All({Visible("frmPreferences", false), Visible("frmUnwindle")}), 3000},
      {"", Press("frmUnwindle", "cmdStopTimer")},
  };
  RunSteps(r, o, "prefs_timeup", Settings("Hours=0 Minutes=0 Seconds=8"), steps);
}

// A timed pause by its menu item (the tray menu's design names), kept over a restart of the
// program, ended by Resume.
void TimedPause(Report& r, const Options& o) {
  const std::string kPausedTip = "KORVANTE Unwindle \r\nPaused until ";
  auto restored = Holds([](Session& s, std::string& seen) {
    const auto lines = Matching(s.Trace(), "cycle.pause");
    seen = std::to_string(lines.size()) + " cycle.pause lines";
    return lines.size() == 1 && lines[0].fields.size() >= 2 && lines[0].fields[1] == "restored";
  });
  auto storedEnd = Holds([](Session&, std::string& seen) {
    const RegValue v = ReadValue(kSettingsKey, "PausedUntil");
    seen = "PausedUntil " + Seen(v);
    return v.present && v.text.size() == 20 && v.text.back() == 'Z';
  });
  const std::vector<Step> steps = {
      {"time.pause_for_by_its_menu_item", Menu("mnuPause30"),
       All({TipReads(kPausedTip, "."), Traced("cycle.state", {"pauseduntil"}), storedEnd})},
      {"time.pause_stands_still", StandsStill(), kTick, true},
      {"", Menu("mPopExit", true), Asks(kExitQuestion)},
      {"", Answer(IDYES), Ended(0), 10000},
      {"time.pause_outlives_a_restart",
       [](Session& s) { return (s.error = s.Launch({}, s.options.exe, false)).empty(); },
       All({restored, TipReads(kPausedTip, "."), storedEnd}), 5000},
      {"time.resume_by_its_menu_item", Menu("mnuResume"),
       All({Traced("cycle.pause.end", {"start", "continue"}), Stored("PausedUntil", " "),
            CountsDown(1)}),
       2 * kTick},
  };
  RunSteps(r, o, "time_pause", Settings("Hours=1 Minutes=0 Seconds=0"), steps);
}

// The program in German, chosen by the setting: the main window and the tray's tooltip say what the
// German catalogue (po/de.po) says, /status keeps its English words; Windows Default brings English
// back at once.
void Language(Report& r, const Options& o) {
  auto ran = std::make_shared<Console>();
  const std::vector<Step> steps = {
      {"language.chosen", Shot("frmTimer", "main-window-de"),
       All({Traced("language", {"de"}),
            Texts("frmTimer", {{"fraTimeRemaining", "Verbleibende Zeit bis zur Pause (HH:MM:SS)"}}),
            TipReads("", "\r\nVerbleibende Zeit: 01:00:00 - Beendet")})},
      // For scripts: the same words in every language.
      {"language.status_stays_english", RunCommand(ran, "/status"),
       Printed(ran, 0, "stopped 01:00:00\r\n")},
      {"language.preferences_in_german", Menu("mnuPreferences", true),
       Texts("frmPreferences", {{"", "KORVANTE Unwindle - Einstellungen"},
                                {"fraMainTimer", "&Haupttimer (HH:MM:SS)"}}),
       5000},
      {"language.preferences_close",
       Then({Shot("frmPreferences", "preferences-de"), Key("frmPreferences", VK_ESCAPE)}),
       Visible("frmPreferences", false)},
      {"language.windows_default", Menu("mnuLanguage0"),
       All({Stored("Language", " "), Traced("language", {"en"}),
            TipReads("", "\r\nTime Remaining: 01:00:00 - Stopped")})},
  };
  RunSteps(r, o, "language",
           Settings("Language=de Hours=1 Minutes=0 Seconds=0 StartTimerOnLaunch=0"), steps);
  // Chinese, drawn with the CJK fonts linked into Wine's faces (tools/wine-env.sh): the main
  // window and the preferences dialog, grown where the texts need it, in screenshots.
  const std::vector<Step> chinese = {
      {"language.chinese", Shot("frmTimer", "main-window-zh-CN"), Traced("language", {"zh-CN"})},
      {"language.chinese_dialog", Menu("mnuPreferences", true), Visible("frmPreferences"), 5000,
       false, true},
      {"", Shot("frmPreferences", "preferences-zh-CN"), Visible("frmPreferences")},
  };
  RunSteps(r, o, "language", Settings("Language=zh-CN StartTimerOnLaunch=0"), chinese);
}

// Run with Wine's user interface in German (make e2e's German run): with Language empty the program
// follows Windows and speaks German; /status keeps its English words.
void WineGerman(Report& r, const Options& o) {
  auto ran = std::make_shared<Console>();
  const std::vector<Step> steps = {
      {"wine_german.follows_windows", Shot("frmTimer", "main-window-wine-german"),
       All({Traced("language.preferred", {"de-DE"}), Traced("language", {"de"}),
            Texts("frmTimer", {{"fraTimeRemaining", "Verbleibende Zeit bis zur Pause (HH:MM:SS)"}}),
            TipReads("", "\r\nVerbleibende Zeit: 01:00:00 - Beendet")})},
      {"wine_german.status_stays_english", RunCommand(ran, "/status"),
       Printed(ran, 0, "stopped 01:00:00\r\n")},
  };
  RunSteps(r, o, "wine_german", Settings("Hours=1 Minutes=0 Seconds=0 StartTimerOnLaunch=0"),
           steps);
}

// Working hours that leave out the present: a started countdown rests at its full interval and
// says when reminders start; /status says it too.
void OutsideWorkingHours(Report& r, const Options& o) {
  static const char* const kDays[] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};
  static const char* const kNames[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                       "Friday", "Saturday", "Sunday"};
  SYSTEMTIME now{};
  GetLocalTime(&now);
  // The one working day is three days on: never today, and named whatever the hour.
  const int day = ((now.wDayOfWeek + 6) % 7 + 3) % 7;
  std::string week;
  for (int d = 0; d < 7; ++d)
    week += std::string(kDays[d]) + "=" + (d == day ? "09:00-17:00" : "") + (d < 6 ? ";" : "");
  auto ran = std::make_shared<Console>();
  const std::vector<Step> steps = {
      {"hours.rest_outside_working_hours",
       All({Traced("cycle.state", {"resting"}), Shows("01:00:00"),
            TipReads("KORVANTE Unwindle \r\nOutside working hours; reminders start at ",
                     std::string(" on ") + kNames[day] + ".")}),
       5000},
      {"hours.countdown_rests", StandsStill(), 2 * kTick, true},
      {"hours.status_says_until_when", RunCommand(ran, "/status"),
       Printed(ran, 0, std::string("outside working hours until ") + kNames[day] + " 09:00\r\n")},
  };
  RunSteps(r, o, "hours",
           Settings("Hours=1 Minutes=0 Seconds=0 StartTimerOnLaunch=1 WorkingHoursEnabled=1",
                    {{"WorkingHours", week}}),
           steps);
}

// The Short Breaks dialog from the Options menu: it shows the stored values with each box usable
// only while its check box is ticked, refuses a number out of range naming the field, stores
// what it holds, and Esc leaves it storing nothing.
void ShortBreaksDialog(Report& r, const Options& o) {
  const std::string d = "frmShortBreaks";
  const std::vector<Step> steps = {
      {"short.dialog_opens_with_the_stored_values", Menu("mnuShortBreaks", true),
       All({Texts(d, {{"", "KORVANTE Unwindle - Short Breaks"},
                      {"txtShortBreakMinutes", "20"},
                      {"txtShortBreakSeconds", "20"}}),
            Is(d, "txtShortBreakMinutes", "enabled", false),
            Is(d, "txtHeadsUpSeconds", "enabled", false)}),
       5000, false, true},
      {"short.boxes_follow_their_check_box",
       Then({Shot(d, "short-breaks"), Press(d, "chkShortBreaks")}),
       All({Is(d, "txtShortBreakMinutes", "enabled"), Is(d, "txtShortBreakSeconds", "enabled"),
            Is(d, "txtHeadsUpSeconds", "enabled", false)})},
      {"short.dialog_refuses_a_number_out_of_range",
       Then({Type(d, "txtShortBreakMinutes", "0"), PressLater(d, "cmdSave")}),
       Asks("Short break every: enter a whole number of minutes from ", true), 5000},
      {"short.refused_stores_nothing", Answer(IDOK),
       All({Asks(""), Visible(d), Stored("ShortBreaks", "0"), Stored("ShortBreakMinutes", "20")})},
      {"short.dialog_stores_its_values",
       Then({Type(d, "txtShortBreakMinutes", "15"), Type(d, "txtShortBreakSeconds", "30"),
             Press(d, "chkShortBreakSound"), Press(d, "chkHeadsUp"),
             Type(d, "txtHeadsUpSeconds", "10"), Press(d, "cmdSave")}),
       All({Visible(d, false), Stored("ShortBreaks", "1"), Stored("ShortBreakMinutes", "15"),
            Stored("ShortBreakSeconds", "30"), Stored("ShortBreakSound", "0"),
            Stored("HeadsUpSeconds", "10")})},
      {"short.dialog_reopens_with_what_was_stored", Menu("mnuShortBreaks", true),
       Texts(d, {{"txtShortBreakMinutes", "15"}, {"txtHeadsUpSeconds", "10"}}), 5000, false, true},
      {"short.escape_stores_nothing", Then({Press(d, "chkShortBreaks"), Key(d, VK_ESCAPE)}),
       All({Visible(d, false), Stored("ShortBreaks", "1")})},
  };
  RunSteps(r, o, "short_breaks", Settings("StartTimerOnLaunch=0"), steps);
}

// The short break's window a minute after the start, and the heads-up 5 s before the break
// prompt: each comes up on top while the keyboard stays in the window the user types into, counts
// down, and goes by itself.
void ShortBreakWindows(Report& r, const Options& o) {
  const std::string w = "frmShortBreak", h = "frmHeadsUp";
  const std::vector<Step> shortBreak = {
      {"", OwnWindow(Own::kTyping), InFront(true)},
      {"", Visible(w), 70000, false, true},
      {"short.window_a_minute_after_start_keyboard_stays", Shot(w, "short-break"),
       All({Between({"timer.start", "BreakCycle", "tmrMain"}, {"window.show", w}, 58000, 63000),
            InFront(true), Is(w, "", "topmost"),
            Texts(w, {{"lblShortBreakText", "Look away from the screen for a moment."},
                      {"cmdShortBreakLater", "&Later"},
                      {"cmdShortBreakSkip", "S&kip"}})})},
      {"short.window_counts_down", Texts(w, {{"lblShortBreakTime", "0:02"}}), 5000},
      {"short.window_closes_by_itself",
       All({Visible(w, false), Traced("shortbreak.end", {"ranout"}), InFront(true)}), 5000},
      {"", OwnWindow(Own::kNone)},
  };
  RunSteps(r, o, "short_windows",
           Settings("Hours=1 Minutes=0 Seconds=0 StartTimerOnLaunch=1 ShortBreaks=1 "
                    "ShortBreakMinutes=1 ShortBreakSeconds=5 BreakIdeas=0"),
           shortBreak);
  const std::vector<Step> headsUp = {
      {"", OwnWindow(Own::kTyping), InFront(true)},
      {"", Visible(h), 15000, false, true},
      {"headsup.window_keyboard_stays", Shot(h, "heads-up"),
       All({InFront(true), Is(h, "", "topmost"),
            Texts(h, {{"cmdHeadsUpLater", "In &5 Minutes"}})})},
      {"headsup.counts_down_to_one_second", Texts(h, {{"lblHeadsUp", "A break in 1 second."}}),
       6000},
      {"headsup.five_seconds_before_the_prompt",
       All({Visible("frmUnwindle"), Visible(h, false), Traced("headsup.show", {"long", "5"}),
            Between({"window.show", h}, {"window.show", "frmUnwindle"}, 4000, 7000)}),
       5000},
      {"", Then({OwnWindow(Own::kNone), Press("frmUnwindle", "cmdStopTimer")})},
  };
  RunSteps(r, o, "heads_up",
           Settings("Hours=0 Minutes=0 Seconds=12 StartTimerOnLaunch=1 HeadsUpSeconds=5"), headsUp);
}

// The entries of a list box, in order.
Expect Listed(const std::string& form, const std::string& list, std::vector<std::string> want) {
  return Holds([=](Session& s, std::string& seen) {
    HWND h = s.Ctl(form, list);
    const LRESULT n = h ? SendMessageW(h, LB_GETCOUNT, 0, 0) : LB_ERR;
    std::vector<std::string> items;
    for (LRESULT i = 0; i < n && n != LB_ERR; ++i) {
      std::wstring item(static_cast<size_t>(SendMessageW(h, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
      item.resize(static_cast<size_t>(
          SendMessageW(h, LB_GETTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
      std::string utf8(item.size() * 3, '\0');
      utf8.resize(static_cast<size_t>(
          WideCharToMultiByte(CP_UTF8, 0, item.c_str(), static_cast<int>(item.size()), utf8.data(),
                              static_cast<int>(utf8.size()), nullptr, nullptr)));
      items.push_back(utf8);
      seen += (seen.empty() ? "" : ", ") + Quote(utf8);
    }
    seen = form + "." + list + " lists " + (seen.empty() ? "nothing" : seen);
    return items == want;
  });
}

// The ideas dialog from the Options menu: it lists the stored ideas, refuses an empty one with a
// message, adds and stores one; then the short break's window shows one of the stored ideas in
// place of its fixed line.
void BreakIdeasChecks(Report& r, const Options& o) {
  const std::string d = "frmBreakIdeas", w = "frmShortBreak";
  // One long enough to take two lines of the short break's window.
  const std::string stored =
                        "Stand up, walk to the nearest window and look at the farthest thing "
                        "you can see for a while.",
                    added = "Look out of the window.";
  const std::vector<Step> steps = {
      {"ideas.dialog_lists_the_stored_ideas", Menu("mnuBreakIdeas", true),
       All({Texts(d, {{"", "KORVANTE Unwindle - Break Ideas"}, {"cmdAdd", "&Add"}}),
            Listed(d, "lstIdeas", {stored})}),
       5000, false, true},
      {"ideas.dialog_refuses_an_empty_idea",
       Then({Type(d, "txtIdea", "  "), PressLater(d, "cmdAdd")}), Asks("Type an idea first", true),
       5000},
      {"ideas.refused_adds_nothing", Answer(IDOK),
       All({Asks(""), Visible(d), Listed(d, "lstIdeas", {stored})})},
      {"ideas.dialog_adds_an_idea", Then({Type(d, "txtIdea", added), Press(d, "cmdAdd")}),
       All({Listed(d, "lstIdeas", {stored, added}), Texts(d, {{"txtIdea", ""}})})},
      {"ideas.dialog_stores_the_list", Then({Shot(d, "break-ideas"), Press(d, "cmdSave")}),
       All({Visible(d, false), Stored("CustomIdeas", stored + "\n" + added)})},
      {"", Visible(w), 70000, false, true},
      {"ideas.short_break_shows_a_stored_idea", Shot(w, "short-break-idea"),
       Holds([=](Session& s, std::string& seen) {
         seen = Quote(TextOf(s.Ctl(w, "lblShortBreakText")));
         return seen == Quote(stored) || seen == Quote(added);
       })},
  };
  RunSteps(r, o, "ideas",
           Settings("Hours=1 Minutes=0 Seconds=0 StartTimerOnLaunch=1 ShortBreaks=1 "
                    "ShortBreakMinutes=1 ShortBreakSeconds=5",
                    {{"CustomIdeas", stored}}),
           steps);
}

// Sleep and lock as long as a break count as one: posted suspend/resume and lock/unlock with the
// break's length (3 s) between them start the countdown again from the full minute.
void SleepAndLock(Report& r, const Options& o) {
  const std::vector<Step> steps = {
      {"", ShowsWithin(0, 56), 5000},
      {"", Notify(WM_POWERBROADCAST, PBT_APMSUSPEND), Visible("frmTimer"), 4000, true},
      {"aware.sleep_counts_as_break", Notify(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC),
       All({ShowsWithin(58, 60), Traced("aware.break", {})})},
      {"", ShowsWithin(0, 56), 5000},
      {"", Notify(WM_WTSSESSION_CHANGE, 7 /* WTS_SESSION_LOCK */), Visible("frmTimer"), 4000, true},
      {"aware.lock_counts_as_break", Notify(WM_WTSSESSION_CHANGE, 8 /* WTS_SESSION_UNLOCK */),
       All({ShowsWithin(58, 60), Traced("aware.break", {}, 2)})},
  };
  RunSteps(r, o, "aware_sleep",
           Settings("Hours=0 Minutes=1 Seconds=0 BreakMinutes=0 BreakSeconds=3"), steps);
}

// The program played `played` (`flags`), and `seconds` of audible sound reached the sound device
// (kept as `keep`). ALSA writes the clip's own rate and 8- or 16-bit PCM after a 44-byte header
// whose sizes it fills in when the device closes.
Expect Captured(const std::string& played, const char* flags, double seconds,
                const std::string& keep) {
  return Holds([=](Session& s, std::string& seen) {
    const std::string& wav = s.options.wav;
    const std::string d = ReadAll(wav);
    uint32_t h[11] = {};  // the header, as 32-bit words
    std::memcpy(h, d.data(), std::min(d.size(), sizeof h));
    const unsigned format = h[5] & 0xFFFF, channels = h[5] >> 16, bits = h[8] >> 16;
    seen = Matching(s.Trace(), "sound.play", {played, flags, "1"}).empty()
               ? "no \"sound.play " + played + " " + flags + " 1\" line"
           : d.size() <= sizeof h || h[1] != d.size() - 8 || h[10] + sizeof h > d.size()
               ? wav + " not (yet) complete"
           : d.compare(0, 4, "RIFF") || d.compare(8, 8, "WAVEfmt ") || d.compare(36, 4, "data") ||
                   format != 1 || (bits != 8 && bits != 16) || channels < 1 || h[6] < 1
               ? "format " + std::to_string(format) + ", " + std::to_string(bits) + " bits, " +
                     std::to_string(channels) + " channels: not read here"
               : "";
    if (!seen.empty()) return false;
    CopyFileA(wav.c_str(), (wav.substr(0, wav.find_last_of('\\') + 1) + keep).c_str(), FALSE);
    const size_t frames = h[10] / (bits / 8 * channels);
    const auto* p = reinterpret_cast<const unsigned char*>(d.data() + sizeof h);
    double sum = 0, peak = 0;
    size_t first = frames, last = 0;  // samples above 2% of full scale
    for (size_t i = 0; i < frames; ++i) {
      double loudest = 0;
      for (unsigned c = 0; c < channels; ++c, p += bits / 8) {
        const double v = bits == 8 ? (p[0] - 128) / 128.0 : int16_t(p[0] | p[1] << 8) / 32768.0;
        sum += v * v;
        loudest = std::max(loudest, std::fabs(v));
      }
      peak = std::max(peak, loudest);
      if (loudest > 0.02) first = std::min(first, i), last = i;
    }
    const double length = static_cast<double>(frames) / h[6],
                 tolerance = std::max(0.15, 0.15 * seconds);
    const double rms = frames ? std::sqrt(sum / frames / channels) : 0;
    const double sound = first < frames ? static_cast<double>(last - first + 1) / h[6] : 0;
    char text[200];
    std::snprintf(text, sizeof text,
                  "WAV %u Hz %u-bit: %.2f s, sound over %.2f s, peak %.2f, RMS %.3f (expected %.1f "
                  "s +- %.2f of audible sound)",
                  h[6], bits, length, sound, peak, rms, seconds, tolerance);
    Report::Note(played + ": " + (seen = text));
    return peak >= 0.1 && rms >= 0.01 && std::fabs(length - seconds) <= tolerance &&
           sound >= 0.5 * seconds;
  });
}

// The alert sound: one run per clip of another encoding, to its first alert (a tray alert with a
// long reminder: no second sound starts the --wav file anew). A custom sound that cannot play gives
// the beep and the prompt; one beyond the 8-bit code page (the program's chimes) plays.
void Sounds(Report& r, const Options& o) {
  // A short break's soft cues are wave resources of the program (packed), beside the catalogue's.
  {
    HMODULE program = LoadLibraryExA(o.exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    bool both = program != nullptr;
    std::string seen;
    for (const char* name : {"SHORTSTART", "SHORTEND"}) {
      const std::string wave = Resource(program, name, "WAVE");
      const bool ok =
          wave.size() > 44 && wave.compare(0, 4, "RIFF") == 0 && wave.compare(8, 4, "WAVE") == 0;
      both = both && ok;
      seen += std::string(name) + (ok ? " is a wave of " + std::to_string(wave.size()) + " bytes; "
                                      : " is no wave resource; ");
    }
    if (program) FreeLibrary(program);
    r.Check("sound.short_break_cues_built_in", both, seen);
  }
  // A device is never opened, a missing file not played: the prompt comes on time with the beep,
  // and the program answers.
  for (const auto& [kind, path, why] : {std::tuple{"device", "\\\\.\\COM1", "device"},
                                        {"missing", "C:\\nowhere\\missing.wav", "unreadable"}})
    RunSteps(r, o, std::string("sound_custom_") + kind,
             Settings("Hours=0 Minutes=0 Seconds=2 AudioType=3", {{"CustomSound", path}}),
             {{std::string("sound.custom_") + kind + "_beeps_on_time",
               All({Visible("frmUnwindle"),
                    Between({"timer.start", "BreakCycle", "tmrMain"},
                            {"window.show", "frmUnwindle"}, 2800, 3600),
                    Traced("sound.unplayable", {path, why}), Traced("sound.beep", {"64"}),
                    Traced("sound.play", {path}, 0, true)}),
               10000},
              {std::string("sound.custom_") + kind + "_program_answers", kAnswers},
              {"", Press("frmUnwindle", "cmdStopTimer"), Visible("frmUnwindle", false)}});
  if (o.wav.empty() || o.dir.empty())
    return Report::Note("sounds: not checked (no --wav or --results; run.sh gives both)");
  const std::string alert =
      "Hours=0 Minutes=0 Seconds=1 AlertMeBy=1 BalloonTipsEnabled=0 "
      "SnoozeMinutes=0 SnoozeSeconds=59 ";
  // The resource's name as the trace shows it (its wave, unpacked, plays from memory),
  // SelectedSound, the length of the clip, the check.
  const std::tuple<const char*, const char*, double, const char*> clips[] = {
      {"CHIMES", "1", 1.7, "sound.chimes_8bit_pcm"},
      {"OWL", "8", 2.3, "sound.owl_16bit_pcm"},
      {"RUBBERDUCK", "10", 0.5, "sound.rubberduck_alaw"},
      {"LIFE", "6", 5.8, "sound.life_mp3"}};
  const std::string file = o.dir + "\\Übung\\ベル.wav";
  HMODULE program = LoadLibraryExA(o.exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  const std::string chimes = Resource(program, "CHIMES", "WAVE");
  CreateDirectoryW(Wide(o.dir + "\\Übung").c_str(), nullptr);
  FILE* f = _wfopen(Wide(file).c_str(), L"wb");
  const bool written = f && !chimes.empty() && fwrite(chimes.data(), chimes.size(), 1, f) == 1;
  if (f) std::fclose(f);
  FreeLibrary(program);
  if (r.Check("sound.custom_unicode_written", written, "cannot write " + file)) {
    DeleteFileA(o.wav.c_str());
    RunSteps(r, o, "sound_custom_unicode", Settings(alert + "AudioType=3", {{"CustomSound", file}}),
             {{"sound.custom_unicode_path_plays",
               Captured(file, "8199", std::get<2>(clips[0]), "sound_custom_unicode.wav"), 20000}});
  }
  for (const auto& [name, index, seconds, check] : clips) {
    DeleteFileA(o.wav.c_str());
    const std::string label = "sound_" + Lower(name);
    RunSteps(r, o, label, Settings(alert + "AudioType=2 SelectedSound=" + index),
             {{check, Captured(name, "8199", seconds, label + ".wav"), 20000}});
  }
}

// ---- What a Windows user gets: the program's icon, one program per session, the installer and
// the uninstaller (`release`, after the checks above, in the same prefix).

constexpr char kUninstallKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Unwindle";

Expect Gone(const std::string& path) {
  return That([=] { return GetFileAttributesW(Wide(path).c_str()) == INVALID_FILE_ATTRIBUTES; },
              path + " is there");
}

// Every setting the program stores on its first start, and nothing else.
const Expect kAllSettings = Holds([](Session&, std::string& seen) {
  seen = std::to_string(ValueCount(kSettingsKey)) + " values under HKCU\\" + kSettingsKey;
  return ValueCount(kSettingsKey) == static_cast<int>(unw::kStoredDefaults.size());
});

bool RunToEnd(Session& s, const std::string& command) {
  Process p;
  DWORD code = 1;
  if (!p.Start(command, "", &s.error)) return false;
  const bool ended = p.WaitExit(120000, &code);
  if (!ended) p.Kill();
  s.error = command + (ended ? " exited with " + std::to_string(code) : " still runs after 120 s");
  return ended && code == 0;
}

// What the installer and the uninstaller do to a running program: WM_CLOSE to its instance window.
Action ExitRequest() {
  return [](Session& s) {
    HWND instance = FindWindowA(unw::win32::kInstanceWindowClass, nullptr);
    DWORD_PTR result = 0;
    if (instance) SendMessageTimeoutA(instance, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, 2000, &result);
    s.error = "no window of class " + std::string(unw::win32::kInstanceWindowClass);
    return instance != nullptr;
  };
}

// The width of the icon's colour bitmap (0 when it has none); its alpha channel, rows from the top.
int IconWidth(HICON icon, std::vector<BYTE>* alpha = nullptr) {
  ICONINFO info{};
  BITMAP bm{};
  if (icon == nullptr || !GetIconInfo(icon, &info)) return 0;
  int width = GetObjectA(info.hbmColor, sizeof bm, &bm) == sizeof bm ? bm.bmWidth : 0;
  BITMAPINFO bi{{sizeof bi.bmiHeader, bm.bmWidth, -bm.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
  std::vector<uint32_t> px(alpha ? static_cast<size_t>(width) * bm.bmHeight : 0);
  HDC dc = GetDC(nullptr);
  if (alpha &&
      GetDIBits(dc, info.hbmColor, 0, bm.bmHeight, px.data(), &bi, DIB_RGB_COLORS) != bm.bmHeight)
    width = 0;
  ReleaseDC(nullptr, dc);
  for (uint32_t p : px) alpha->push_back(static_cast<BYTE>(p >> 24));
  DeleteObject(info.hbmColor);
  DeleteObject(info.hbmMask);
  return width;
}

void Icon(Report& r, const Options& o) {
  HMODULE m = LoadLibraryExA(o.exe.c_str(), nullptr,
                             LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
  if (!r.Check("icon.readable", m != nullptr,
               "LoadLibraryEx(" + o.exe + "), error " + std::to_string(GetLastError())))
    return;
  std::string first;
  auto name = [](HMODULE, LPCSTR, LPSTR name, LONG_PTR lp) -> BOOL {
    // A name given as a number stays a number; a text must be copied before the call returns.
    *reinterpret_cast<std::string*>(lp) =
        IS_INTRESOURCE(name) ? "#" + std::to_string(reinterpret_cast<ULONG_PTR>(name)) : name;
    return FALSE;
  };
  EnumResourceNamesA(m, RT_GROUP_ICON, name, reinterpret_cast<LONG_PTR>(&first));
  const std::string group = first.empty() ? "" : Resource(m, first.c_str(), RT_GROUP_ICON);
  // Every size, each 32-bit, in the executable's first icon group. Each image decodes at its size
  // with alpha: transparent corners, an opaque middle and soft edges; the 256 px one is a PNG.
  std::vector<int> sizes;
  std::string seen, bad;
  for (size_t at = 6; at + 14 <= group.size(); at += 14) {  // GRPICONDIRENTRY
    const auto byte = [&](size_t i) { return static_cast<uint8_t>(group[at + i]); };
    const int size = byte(0) ? byte(0) : 256, bits = byte(6) | byte(7) << 8;
    const std::string data = Resource(m, MAKEINTRESOURCEA(byte(12) | byte(13) << 8), RT_ICON);
    const std::string px = " " + std::to_string(size);
    const bool png = data.compare(0, 4, "\x89PNG") == 0;
    sizes.push_back(bits == 32 && byte(0) == byte(1) ? size : -size);  // negative: not as asked
    seen += px + "x" + std::to_string(byte(1) ? byte(1) : 256) + "/" + std::to_string(bits) + "bit";
    if (png != (size == 256)) bad += px + (png ? " is PNG;" : " is no PNG;");
    std::vector<BYTE> a;
    HICON icon = CreateIconFromResourceEx(reinterpret_cast<BYTE*>(const_cast<char*>(data.data())),
                                          static_cast<DWORD>(data.size()), TRUE, 0x00030000, size,
                                          size, LR_DEFAULTCOLOR);
    const size_t n = size, width = IconWidth(icon, &a);
    if (width != n)
      bad += px + " does not decode (width " + std::to_string(width) + ");";
    else if (a[0] != 0 || a[n * n - 1] != 0 || a[n * (n / 2) + n / 2] != 255 ||
             std::none_of(a.begin(), a.end(), [](BYTE v) { return v > 0 && v < 255; }))
      bad += px + " has no alpha channel;";
    DestroyIcon(icon);
  }
  FreeLibrary(m);
  std::sort(sizes.begin(), sizes.end());
  r.Check("icon.group_sizes", sizes == std::vector<int>{16, 20, 24, 32, 40, 48, 64, 256},
          first.empty() ? "no icon group" : "first group " + first + " holds" + seen);
  r.Check("icon.images_decode", !sizes.empty() && bad.empty(), bad);

  // What the shell asks for: the number of icons, and the first at the large and small sizes.
  const UINT count = ExtractIconExA(o.exe.c_str(), -1, nullptr, nullptr, 0);
  HICON big = nullptr, little = nullptr;
  ExtractIconExA(o.exe.c_str(), 0, &big, &little, 1);
  const int bw = IconWidth(big), lw = IconWidth(little);
  const int want_big = GetSystemMetrics(SM_CXICON), want_little = GetSystemMetrics(SM_CXSMICON);
  r.Check("icon.extract", count == 1 && bw == want_big && lw == want_little,
          Expected("ExtractIconEx: icons, large, small",
                   std::to_string(count) + ", " + std::to_string(bw) + ", " + std::to_string(lw),
                   "1, " + std::to_string(want_big) + ", " + std::to_string(want_little)));
  DestroyIcon(big);
  DestroyIcon(little);
}

// One program per session: a second start brings the first one's window back and ends.
void Instance(Report& r, const Options& o) {
  auto second = std::make_shared<Process>();
  const std::string trace = o.dir.empty() ? "" : o.dir + "\\instance-second.trace";
  const std::vector<Step> steps = {
      {"instance.first_starts", Start(o.exe)},
      // The close box sends it to the tray (HideWhenMinimized is on by default).
      {"", CloseBox("frmTimer"), Visible("frmTimer", false), 5000},
      {"instance.second_start_exits",
       [=](Session& s) {
         DeleteFileA(trace.c_str());
         return second->Start("\"" + o.exe + "\"", trace, &s.error);
       },
       Holds([=](Session&, std::string& seen) {
         DWORD code = 1;
         const bool ended = second->WaitExit(0, &code), quiet = ReadTrace(trace).empty();
         seen = !ended ? "the second start still runs"
                       : "exit code " + std::to_string(code) +
                             (quiet ? "" : ", and it started a program (its trace has lines)");
         return ended && code == 0 && quiet;
       }),
       15000},
      {"instance.first_window_comes_back",
       All({Visible("frmTimer"), Is("frmTimer", "", "minimized", false), InFront(false),
            Texts("frmTimer", {{"", kCaption}})}),
       5000},
      {"instance.one_process_one_tray_icon", Holds([](Session&, std::string& seen) {
         const int processes = ProgramsRunning();
         seen = std::to_string(processes) + " unwindle.exe processes, " +
                std::to_string(TrayIcons().size()) + " tray icons";
         return processes == 1 && TrayIcons().size() == 1;
       })},
      // The installer's request: the program ends at once, without its question, its icon removed.
      {"instance.exit_request", ExitRequest(),
       All({Ended(0), Traced("tray.delete", {}), Traced("instance.exit", {"1"}),
            That([] { return TrayIcons().empty(); }, "an icon is left in the tray")}),
       10000},
  };
  RunSteps(r, o, "instance-first", std::nullopt, steps);
  second->Kill();
}

// A program that crashed leaves its mutex abandoned, perhaps still open elsewhere: a new start
// must not take itself for a second one.
void Crash(Report& r, const Options& o) {
  const Action crash = [](Session& s) {
    HANDLE held = OpenMutexA(SYNCHRONIZE, FALSE, "Local\\KORVANTE.Unwindle");
    s.process.Kill();
    s.error = held ? s.Launch({}, s.options.exe) : "no mutex Local\\KORVANTE.Unwindle while it ran";
    if (held) CloseHandle(held);
    return s.error.empty();
  };
  RunSteps(r, o, "after-crash", std::nullopt,
           {{"crash.new_start_runs", Then({Start(o.exe), crash})}});
}

// While the break prompt waits for an answer the program declines to exit: ending it under the
// prompt would let the code that opened it bring the program back once it closed.
void Busy(Report& r, const Options& o) {
  const Action prompt = [](Session& s) {
    s.error = "no break prompt";
    return WaitFor(8000, [&] { return s.Form("frmUnwindle") != nullptr; });
  };
  const std::vector<Step> steps = {
      {"busy.exit_declined_under_prompt",
       Then({Start(o.exe, Settings("Hours=0 Minutes=0 Seconds=2")), prompt, ExitRequest()}),
       All({Traced("instance.exit", {"0"}), Visible("frmUnwindle"),
            Traced("window.load", {"frmTimer"}, 1, true)}),
       5000},
      {"", Press("frmUnwindle", "cmdStopTimer")},
  };
  RunSteps(r, o, "busy", std::nullopt, steps);
}

std::string ShortcutTarget(const std::string& lnk) {
  char path[MAX_PATH] = {};
  IShellLinkA* link = nullptr;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&link))) &&
      SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
      SUCCEEDED(file->Load(Wide(lnk).c_str(), STGM_READ)))
    link->GetPath(path, MAX_PATH, nullptr, 0);
  if (file) file->Release();
  if (link) link->Release();
  return path;
}

// Whether a process runs elevated (-1: cannot tell).
int Elevated(HANDLE process) {
  HANDLE token = nullptr;
  TOKEN_ELEVATION e{};
  DWORD size = 0;
  const bool ok = OpenProcessToken(process, TOKEN_QUERY, &token) &&
                  GetTokenInformation(token, TokenElevation, &e, sizeof e, &size);
  if (token) CloseHandle(token);
  return ok ? e.TokenIsElevated != 0 : -1;
}

// A program started by someone else (the setup) runs `exe` in this session, as elevated as the
// driver; the session then follows it.
Expect Restarted(const std::string& exe) {
  return Holds([=](Session& s, std::string& seen) {
    const DWORD pid = RunningProgram();
    seen = "no program runs";
    if (pid == 0 || pid == s.process.pid()) return false;
    HANDLE h = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_TERMINATE,
                           FALSE, pid);
    wchar_t image[MAX_PATH] = {};
    DWORD size = MAX_PATH;
    DWORD session = 0, ours = 0;
    const bool named = h && QueryFullProcessImageNameW(h, 0, image, &size);
    ProcessIdToSessionId(pid, &session);
    ProcessIdToSessionId(GetCurrentProcessId(), &ours);
    const int elevated = h ? Elevated(h) : -1, driver = Elevated(GetCurrentProcess());
    seen = "process " + std::to_string(pid) + (named ? "" : " (no image name)") + ", session " +
           std::to_string(session) + " (ours " + std::to_string(ours) + "), elevated " +
           std::to_string(elevated) + " (the driver " + std::to_string(driver) + ")";
    const bool ok =
        named && _wcsicmp(image, Wide(exe).c_str()) == 0 && session == ours && elevated == driver;
    if (ok) {
      s.process.Attach(h, pid);
      s.exe = exe;
      s.main = FindForm(pid, "frmTimer");
    } else if (h) {
      CloseHandle(h);
    }
    return ok;
  });
}

// `path` holds `bytes` (read from what was built, so never empty), or (none) anything at all.
Expect FileHolds(const std::string& path, std::optional<std::string> bytes = {}) {
  return That(
      [=] {
        const std::string d = ReadAll(path);
        return bytes ? !bytes->empty() && d == *bytes : !d.empty();
      },
      path + (bytes ? " is missing or not as built" : " is missing or empty"));
}

// The setup in the user's Windows language (make e2e's German run): its title and its first page's
// Next button as NSIS's German texts have them; then cancelled, with yes to its question.
void InstallerGerman(Report& r, const Options& o) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  std::string command = "\"" + o.setup + "\"";
  if (!CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi)) {
    r.Check("installer_german.speaks_german", false, "cannot start " + o.setup);
    return;
  }
  HWND page = nullptr;
  WaitFor(30000, [&] {
    page = FindMessageBox(pi.dwProcessId);
    return page != nullptr && !TextOf(GetDlgItem(page, 1)).empty();
  });
  const std::string title = page ? TextOf(page) : "",
                    next = page ? TextOf(GetDlgItem(page, 1)) : "";
  r.Check(
      "installer_german.speaks_german",
      title == std::string("Installation von Unwindle ") + UNWINDLE_VERSION && next == "&Weiter >",
      "title \"" + title + "\", Next \"" + next + "\"");
  if (page) {
    Snap(o, page, "installer-de");
    PostMessageA(page, WM_COMMAND, IDCANCEL, 0);
    HWND question = nullptr;
    WaitFor(10000, [&] {
      question = FindMessageBox(pi.dwProcessId);
      return question != nullptr && question != page;
    });
    if (question != nullptr && question != page) ClickButton(GetDlgItem(question, IDYES), 1000);
  }
  const bool ended = WaitForSingleObject(pi.hProcess, 15000) == WAIT_OBJECT_0;
  if (!ended) TerminateProcess(pi.hProcess, 1);
  r.Check("installer_german.cancelled", ended, "the setup did not end when cancelled");
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
}

void Installer(Report& r, const Options& o) {
  const std::string dir = Folder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Unwindle";
  const std::string exe = dir + "\\unwindle.exe", uninstaller = "\"" + dir + "\\uninstall.exe\"";
  const std::string shortcut = Folder(CSIDL_PROGRAMS) + "\\Unwindle.lnk";
  const std::string built = ReadAll(o.exe), setup = "\"" + o.setup + "\" /S";
  const std::string builtCom = ReadAll(ComBeside(o.exe));
  std::vector<Expect> entry;
  for (const auto& [name, want] : Planted{{"DisplayName", "Unwindle"},
                                          {"DisplayVersion", UNWINDLE_VERSION},
                                          {"Publisher", "KORVANTE"},
                                          {"DisplayIcon", exe + ",0"},
                                          {"InstallLocation", dir},
                                          {"UninstallString", uninstaller},
                                          {"QuietUninstallString", uninstaller + " /S"}})
    entry.push_back(Stored(name, want, kUninstallKey));
  // In KB, at least the program's own size.
  entry.push_back(Holds([kb = built.size() / 1024](Session&, std::string& seen) {
    const RegValue v = ReadValue(kUninstallKey, "EstimatedSize");
    DWORD size = 0;
    std::memcpy(&size, v.data.data(), std::min<size_t>(4, v.data.size()));
    seen = "EstimatedSize " + std::to_string(size) + " KB for a " + std::to_string(kb) + " KB exe";
    return v.type == REG_DWORD && size >= kb && size <= 4 * (kb + 1);
  }));
  const Action install = [setup](Session& s) { return RunToEnd(s, setup); };
  const Action uninstall = [](Session& s) {
    const RegValue quiet = ReadValue(kUninstallKey, "QuietUninstallString");
    s.error = "no QuietUninstallString";
    return quiet.present && RunToEnd(s, quiet.text);
  };
  // A folder of the user's with a licence and another program's uninstaller in it; a folder of
  // Unwindle's that the user chose.
  const std::string mine = Folder(CSIDL_PERSONAL) + "\\Unwindle test (mine)";
  const std::string custom = Folder(CSIDL_LOCAL_APPDATA) + "\\Programs\\Unwindle elsewhere";
  const std::string licence = "The user's own licence.\r\n";
  char driverPath[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, driverPath, MAX_PATH);
  const std::string other = ReadAll(driverPath);
  const Action tamper = [=](Session& s) {
    CreateDirectoryA(mine.c_str(), nullptr);
    FILE* f = std::fopen((mine + "\\LICENSE.txt").c_str(), "wb");
    const bool written = f && std::fputs(licence.c_str(), f) >= 0 && std::fclose(f) == 0 &&
                         CopyFileA(driverPath, (mine + "\\uninstall.exe").c_str(), FALSE) &&
                         WriteText(kUninstallKey, "InstallLocation", mine);
    s.error = "cannot plant " + mine;
    return written;
  };
  const Expect mineUntouched =
      All({FileHolds(mine + "\\LICENSE.txt", licence), FileHolds(mine + "\\uninstall.exe", other),
           Gone(mine + "\\unwindle.exe")});
  const std::vector<Step> steps = {
      {"installer.silent_install", install},
      // Nothing ran before: nothing is started.
      {"installer.fresh_install_starts_nothing",
       That([] { return RunningProgram() == 0; }, "a program runs"), 2000, true},
      {"installer.files",
       All({FileHolds(exe, built), FileHolds(dir + "\\unwindle.com", builtCom),
            FileHolds(dir + "\\uninstall.exe"), FileHolds(dir + "\\LICENSE.txt")})},
      {"installer.shortcut", Holds([=](Session&, std::string& seen) {
         seen = shortcut + " starts " + Quote(ShortcutTarget(shortcut)) + ", not " + Quote(exe);
         return Lower(ShortcutTarget(shortcut)) == Lower(exe);
       })},
      {"installer.uninstall_entry", All(entry)},
      // Its first start writes the settings and names it in the Run key.
      {"installer.program_starts", Start(exe)},
      {"installer.run_entry_names_installed_program", RunEntry(true)},
      {"installer.program_writes_settings", kAllSettings},
      // The same version over the running program: it is asked to exit, then replaced whole.
      {"installer.over_running_program", install,
       All({Ended(0), Traced("tray.delete", {}), FileHolds(exe, built), Gone(exe + ".new")}), 5000},
      // The update leaves the reminder running: the setup started the new program, unelevated, in
      // this session; the checks below follow it.
      {"installer.update_restarts_program", Restarted(exe), 30000},
      // The quiet uninstaller, with the program running: everything goes but the settings. It
      // copies itself to the temporary folder, starts the copy and returns at once.
      {"uninstaller.silent_uninstall", uninstall},
      {"uninstaller.program_ended", Ended(), 60000},
      {"uninstaller.files_removed", Gone(dir), 60000},
      {"uninstaller.shortcut_removed", Gone(shortcut), 60000},
      {"uninstaller.uninstall_entry_removed",
       That([] { return ValueCount(kUninstallKey) < 0; }, "the Uninstall key is there"), 60000},
      {"uninstaller.run_entry_removed", RunEntry(false), 60000},
      {"uninstaller.settings_kept", kAllSettings},
      // A stored location that is not Unwindle's (it holds another program's uninstaller): the
      // setup installs into the default folder and leaves the user's files alone, and so does
      // its uninstaller.
      {"installer.tampered_location_ignored", Then({tamper, install}),
       All({FileHolds(exe, built), Stored("InstallLocation", dir, kUninstallKey), mineUntouched})},
      {"uninstaller.leaves_other_folders_alone", uninstall, All({Gone(dir), mineUntouched}), 60000},
      // A folder that holds Unwindle's own uninstaller is kept by the next setup.
      {"installer.own_location_kept",
       Then({[=](Session& s) { return RunToEnd(s, "\"" + o.setup + "\" /S /D=" + custom); },
             install}),
       All({FileHolds(custom + "\\unwindle.exe", built),
            Stored("InstallLocation", custom, kUninstallKey), Gone(dir)})},
      {"", uninstall, Gone(custom), 60000},
      {"uninstaller.history_kept", FileHolds(JournalFile())},
  };
  RunSteps(r, o, "installed", std::nullopt, steps);
}

}  // namespace
}  // namespace e2e

// The small commands work on a program started by someone else.
int main(int argc, char** argv) {
  using namespace e2e;
  const std::string cmd = argc > 1 ? argv[1] : "";
  const std::vector<std::string> args(argv + std::min(argc, 2), argv + argc);
  const int n = args.empty() ? 0 : std::atoi(args[0].c_str()), ms = 1000 * (n ? n : 10);
  if (cmd == "test")
    return RunGroups({{"first_start", FirstStart},
                      {"countdown", Countdown},
                      {"break", BreakCycle},
                      {"tray_alert", TrayAlert},
                      {"dialogs", Dialogs},
                      {"invoke", Refusals},
                      {"chooser", LongSoundPath},
                      {"sounds", Sounds},
                      {"aware_screen", FullScreenAndKeyboard},
                      {"aware_sleep", SleepAndLock},
                      {"aware_exit", ExitQuestionOverALock},
                      {"prefs_timeup", PreferencesAtTimeUp},
                      {"command_line", CommandLineChecks},
                      {"time_pause", TimedPause},
                      {"hours", OutsideWorkingHours},
                      {"short_breaks", ShortBreaksDialog},
                      {"short_windows", ShortBreakWindows},
                      {"ideas", BreakIdeasChecks},
                      {"history", HistoryChecks},
                      {"statistics", StatisticsChecks},
                      {"hold_calls", HoldForCalls},
                      {"hold_programs", HoldForPrograms},
                      {"theme", ThemeChecks},
                      {"break_screen", BreakScreenChecks},
                      {"language", Language},
                      {"wine_german", WineGerman}},
                     args);
  if (cmd == "release" && SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
    return RunGroups({{"icon", Icon},
                      {"instance", Instance},
                      {"installer", Installer},
                      {"busy", Busy},
                      {"crash", Crash},
                      {"installer_german", InstallerGerman}},
                     args);
  if (cmd == "plant") {
    for (const std::string& a : args) {
      const size_t eq = a.find('=');
      if (a == "--clean")
        Clean();
      else if (eq == std::string::npos ||
               !WriteText(kSettingsKey, a.substr(0, eq), a.substr(eq + 1)))
        return std::fprintf(stderr, "cannot write %s\n", a.c_str()), 1;
    }
    return 0;
  }
  if (cmd == "invoke" && args.size() == 2) {
    // Posted: the control may open a modal window, which the sender must not wait behind.
    HWND target = FindForm(0, args[0]);
    if (!target || !Invoke(target, args[1], false))
      return std::printf("no %s.%s to press\n", args[0].c_str(), args[1].c_str()), 1;
    return 0;
  }
  HWND form = nullptr, box = nullptr;
  const bool shown = WaitFor(cmd == "wait-window" ? 1000 * (n ? n : 30) : 0, [&] {
    form = FindForm(0, "frmTimer");
    return form != nullptr && IsWindowVisible(form);
  });
  if (cmd == "wait-window")
    return std::printf(shown ? "frmTimer is visible\n" : "no visible frmTimer\n"), !shown;
  if (form == nullptr && (cmd == "show" || cmd == "exit" || cmd == "wait-countdown"))
    return std::printf("no window named frmTimer\n"), 1;
  if (cmd == "show") {
    std::printf("frmTimer %s, caption %s, %s%s\ntime remaining %s\n", shown ? "visible" : "hidden",
                Quote(TextOf(form)).c_str(), IsIconic(form) ? "minimized" : "normal",
                (GetWindowLongA(form, GWL_EXSTYLE) & WS_EX_TOPMOST) ? ", topmost" : "",
                DisplayedTime(form).c_str());
    for (const char* name : {"cmdStart", "cmdPause", "cmdStop"}) {
      HWND c = FindControl(form, name);
      std::printf("%s: %s, %s\n", name, c ? Quote(TextOf(c)).c_str() : "missing",
                  IsWindowEnabled(c) ? "enabled" : "disabled");
    }
    return 0;
  }
  if (cmd == "wait-countdown" && n > 0) {
    const std::string first = DisplayedTime(form);
    std::string now = first;
    const bool moved = WaitFor(args.size() > 1 ? 1000 * std::atoi(args[1].c_str()) : 15000, [&] {
      now = DisplayedTime(form);
      return SecondsOf(first) >= 0 && SecondsOf(now) >= 0 && SecondsOf(first) - SecondsOf(now) >= n;
    });
    std::printf("countdown %s -> %s%s\n", first.c_str(), now.c_str(), moved ? "" : " (too little)");
    return !moved;
  }
  if (cmd == "exit") {
    Process p;
    DWORD pid = 0, code = 0;
    GetWindowThreadProcessId(form, &pid);
    if (!p.Attach(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid), pid) ||
        !Invoke(form, "mPopExit", false) ||
        !WaitFor(ms, [&] { return (box = FindMessageBox(p.pid())) != nullptr; }))
      return std::printf("no exit question appeared\n"), 1;
    std::printf("asked %s; answering Yes\n", Quote(MessageBoxText(box)).c_str());
    ClickButton(GetDlgItem(box, IDYES), 1000);
    if (!p.WaitExit(ms, &code)) return std::printf("the program is still running\n"), 1;
    return std::printf("the program ended with exit code %lu\n", code), 0;
  }
  std::fprintf(
      stderr,
      "usage: unwindle_e2e_driver test EXE [--results DIR] [--wav FILE] [--only GROUP]\n"
      "       unwindle_e2e_driver release EXE --setup FILE [--results DIR] [--only GROUP]\n"
      "       unwindle_e2e_driver wait-window [SECONDS] | show | exit [SECONDS]\n"
      "       unwindle_e2e_driver wait-countdown N [SECONDS]\n"
      "       unwindle_e2e_driver invoke FORM CONTROL\n"
      "       unwindle_e2e_driver plant [--clean] NAME=VALUE...\n");
  return 2;
}

// End-to-end driver: runs under Wine next to the real unwindle.exe, starts it, drives its windows
// from the outside and checks what it does in its windows, the registry, the trace and the sound.
//
//   unwindle_e2e_driver test EXE [--trace-dir DIR] [--shot-dir DIR] [--wav FILE] [--only GROUP]
//       --shot-dir: where run.sh carries out our requests (screenshots, real clicks and keys);
//       --wav: the WAV file that each sound played lands in (run.sh sets ALSA up so).
//   unwindle_e2e_driver wait-window [SECONDS]      waits until a main window (frmTimer) is visible
//   unwindle_e2e_driver show                       prints what the running program's window shows
//   unwindle_e2e_driver wait-countdown N [SECONDS] waits until the countdown has moved by N seconds
//   unwindle_e2e_driver exit [SECONDS]             File > Exit, answers Yes, waits for the end
//   unwindle_e2e_driver plant [--clean] NAME=VALUE...  writes settings before a start

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "session.h"
#include "stored_defaults.h"

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

std::string Fixed(double v, int decimals = 2) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

// The buttons of the main window in a state of the work timer.
Expect Buttons(const char* start, bool startOn, bool pauseOn, const char* stop, bool stopOn) {
  return All({Text("frmTimer", "cmdStart", start), Enabled("frmTimer", "cmdStart", startOn),
              Enabled("frmTimer", "cmdPause", pauseOn), Text("frmTimer", "cmdStop", stop),
              Enabled("frmTimer", "cmdStop", stopOn)});
}
const Expect kStoppedButtons = Buttons("Start Timer", true, false, "Stop Timer", false);
const Expect kStartedButtons = Buttons("Start Timer", false, true, "Stop Timer", true);
const Expect kPausedButtons = Buttons("Restart Timer", true, false, "Reset Timer", true);

// When the trace first shows that line; -1 when never.
int64_t FirstMs(const std::vector<TraceLine>& lines, const std::string& event,
                const std::vector<std::string>& fields) {
  auto m = Matching(lines, event, fields);
  return m.empty() ? -1 : m.front().ms;
}

// The first two tray calls: the icon added with the full record and the stopped tooltip, then the
// callback version.
const Expect kTrayAdded = Holds([](Session& s, std::string& seen) {
  std::vector<TraceLine> calls;
  for (const auto& l : s.Trace())
    if (l.event.rfind("tray.", 0) == 0 && calls.size() < 2) calls.push_back(l);
  seen = "the trace shows";
  for (const auto& c : calls)
    seen +=
        " " + c.event + (c.fields.size() >= 4 ? " " + c.fields[0] + " " + Quote(c.fields[3]) : "");
  seen += " (expected tray.add 520 with the stopped tooltip, then tray.setversion 520)";
  return calls.size() == 2 && calls[0].event == "tray.add" && calls[0].fields.size() >= 4 &&
         calls[0].fields[0] == "520" &&
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
    onTime += previous >= 0 && l.ms - previousMs >= 700 && l.ms - previousMs <= 1300;
    previous = last;
    previousMs = l.ms;
    ++count;
  }
  const int shown = SecondsOf(s.Display());
  seen = std::to_string(count) + " tooltips, " + std::to_string(onTime) +
         " a second after the one before, " + (steps ? "each" : "not each") +
         " a second below the one before from 3599 s; the last says " + std::to_string(last) +
         " s, the window " + std::to_string(shown) + " s";
  return count >= 4 && steps && onTime >= 2 && std::abs(last - shown) <= 1;
});

// The exit question's box: its title and its Yes and No buttons.
const Expect kExitBox =
    All({Asks(kExitQuestion), Holds([](Session& s, std::string& seen) {
           HWND box = s.Box();
           const std::string title = box ? TextOf(box) : "", yes = TextOf(GetDlgItem(box, IDYES)),
                             no = TextOf(GetDlgItem(box, IDNO));
           seen = "title " + Quote(title) + ", buttons " + Quote(yes) + " " + Quote(no);
           return title == kCaption && yes == "&Yes" && no == "&No";
         })});

// First start on a clean account (splash, defaults, tray icon), the window options, the exit
// question answered No, the close box with HideWhenMinimized 1 and the tray icon's click that
// brings the window back, and the exit answered Yes: all on one run of the program.
void FirstStart(Report& r, const Options& o) {
  std::vector<Expect> defaults;
  for (const auto& [name, text] : unw::kStoredDefaults) defaults.push_back(Stored(name, text));
  RunSteps(r, o, "first_start", {},
           {
               {"splash.first", {}, Holds([](Session& s, std::string& seen) {
                  seen = "frmSplash first seen at " + std::to_string(s.splash_ms) +
                         " ms, lblProductName " + Quote(s.splash_product) +
                         (s.splash_with_main ? ", together with frmTimer" : "");
                  return s.splash_ms >= 0 && !s.splash_with_main &&
                         s.splash_product == "Unwindle 1.0";
                })},
               {"splash.main_after_five_seconds", {}, Holds([](Session& s, std::string& seen) {
                  seen = "frmTimer visible " + std::to_string(s.main_ms) + " ms after the start";
                  return s.main_ms >= 4500 && s.main_ms <= 8000;
                })},
               {"first_start.defaults", {}, All(defaults)},
               {"first_start.run_entry", {}, RunEntry(true)},
               {"first_start.caption", {}, Text("frmTimer", "", kCaption)},
               {"first_start.countdown_running", {}, ShowsBelow(3600)},
               {"tray.icon_shown", Shot("frmTimer", "main-window"),
                That([] { return !TrayIcons().empty(); }, "no icon in Wine's tray")},
               {"tray.trace_add_setversion", {}, kTrayAdded},
               {"options.always_on_top_initial", {}, Topmost(true)},
               {"options.always_on_top_off", Invoke("frmTimer", "mnuAlwaysOnTop"),
                All({Stored("AlwaysOnTop", "0"), Topmost(false)})},
               {"options.always_on_top_on", Invoke("frmTimer", "mnuAlwaysOnTop"),
                All({Stored("AlwaysOnTop", "1"), Topmost(true)})},
               {"options.launch_on_startup_off", Invoke("frmTimer", "mnuLaunchOnStartup"),
                All({Stored("LaunchOnStartup", "0"), RunEntry(false)})},
               {"options.launch_on_startup_on", Invoke("frmTimer", "mnuLaunchOnStartup"),
                All({Stored("LaunchOnStartup", "1"), RunEntry(true)})},
               {"exit.question", InvokeLater("frmTimer", "mnuExit"), kExitBox, 5000, false, true},
               {"exit.question_stops_countdown", {}, StandsStill(), kTick, true},
               {"exit.no_keeps_counting", Answer(IDNO), All({NoBox(), CountsDown(2)}), 2 * kTick},
               {"close_box.hides", CloseBox("frmTimer"),
                All({Visible("frmTimer", false), Iconic(true)}), 5000},
               {"close_box.keeps_running", {}, CountsDown(1), kTick},
               {"tray.tooltip_follows_countdown", {}, kTooltipFollows},
               {"tray.click_restores", TrayClick(), All({Visible("frmTimer"), Iconic(false)})},
               {"", CloseBox("frmTimer"), Visible("frmTimer", false), 5000},
               {"", InvokeLater("frmTimer", "mnuExit"), Asks(kExitQuestion)},
               {"exit.yes_ends", Answer(IDYES), Ended(0), 10000},
               {"exit.trace_unload", {}, Traced("window.unload", {"frmTimer"})},
               {"exit.trace_answers", {}, Traced("msgbox", {kExitQuestion, kCaption}, 2)},
           });
}

// Start, Pause, Start, Stop on a planted 5-second interval, then the close box with
// HideWhenMinimized 0.
void Countdown(Report& r, const Options& o) {
  RunSteps(
      r, o, "countdown",
      Settings("Hours=0 Minutes=0 Seconds=5 StartTimerOnLaunch=0 HideWhenMinimized=0"),
      {
          {"countdown.initial", {}, All({Shows("00:00:05"), kStoppedButtons}), 3000, false, true},
          {"countdown.not_started_on_launch", {}, Shows("00:00:05"), kTick, true},
          {"countdown.start", Press("frmTimer", "cmdStart"),
           All({Shows("00:00:04"), kStartedButtons}), kTick},
          {"countdown.keeps_decreasing", {}, Shows("00:00:03"), kTick},
          {"countdown.pause_texts", Press("frmTimer", "cmdPause"), kPausedButtons},
          {"countdown.pause_freezes", {}, StandsStill(), kTick, true},
          {"countdown.resume", Press("frmTimer", "cmdStart"), All({CountsDown(1), kStartedButtons}),
           kTick},
          {"countdown.stop", Press("frmTimer", "cmdStop"),
           All({Shows("00:00:05"), kStoppedButtons})},
          {"countdown.stop_stays", {}, Shows("00:00:05"), kTick, true},
          {"countdown.trace_timer",
           {},
           All({Traced("timer.start", {"frmTimer", "tmrMain", "1000"}, 2, true),
                Traced("timer.stop", {"frmTimer", "tmrMain"}, 2, true)})},
          {"close_box.iconic_visible", CloseBox("frmTimer"),
           All({Iconic(true), Visible("frmTimer")}), 5000},
      });
}

// The prompt came on the tick after 00:00:00 of a 3-second interval, after the alert sound.
const Expect kPromptOnTime = Holds([](Session& s, std::string& seen) {
  auto lines = s.Trace();
  const int64_t started = FirstMs(lines, "timer.start", {"frmTimer", "tmrMain"});
  const int64_t shown = FirstMs(lines, "window.show", {"frmUnwindle"});
  const int64_t played = FirstMs(lines, "sound.play", {"CHIMES"});
  seen = "frmUnwindle shown " + std::to_string(shown - started) +
         " ms after tmrMain started (expected 3800 to 4600), CHIMES played at " +
         std::to_string(played) + ", the prompt at " + std::to_string(shown);
  return started >= 0 && shown - started >= 3800 && shown - started <= 4600 && played >= 0 &&
         played <= shown;
});

// The 2-second reminder: the prompt came back a reminder and a tick after it closed.
const Expect kReminderLasted = Holds([](Session& s, std::string& seen) {
  auto lines = s.Trace();
  auto shows = Matching(lines, "window.show", {"frmUnwindle"});
  const int64_t back =
      shows.size() >= 2 ? shows[1].ms - FirstMs(lines, "window.unload", {"frmUnwindle"}) : -1;
  seen = "the prompt came back " + std::to_string(back) +
         " ms after Remind Later (expected 2500 to 4000)";
  return back >= 2500 && back <= 4000;
});

// The 2-second break lasted three ticks, with the tray counting it down.
const Expect kBreakLasted = Holds([](Session& s, std::string& seen) {
  auto lines = s.Trace();
  const int64_t lasted = FirstMs(lines, "window.unload", {"frmBreakTimeRemaining"}) -
                         FirstMs(lines, "window.show", {"frmBreakTimeRemaining"});
  std::string tips;
  for (const auto& l : Matching(lines, "tray.modify"))
    if (l.fields.size() >= 4 && l.fields[3].rfind(kBreakTip, 0) == 0)
      tips += " " + l.fields[3].substr(std::strlen(kBreakTip));
  seen = "the break lasted " + std::to_string(lasted) + " ms (expected 2800 to 3700), tooltips" +
         tips + " (expected 00:01 00:00)";
  return lasted >= 2800 && lasted <= 3700 && tips == " 00:01 00:00";
});

// The whole break cycle with the prompt (AlertMeBy 0) on a 3-second interval: time-up, Remind
// Later for 2 seconds, the prompt again, a 2-second break, the break-over prompt, Restart Timer.
void BreakCycle(Report& r, const Options& o) {
  RunSteps(
      r, o, "break",
      Settings("Hours=0 Minutes=0 Seconds=3 SnoozeMinutes=0 SnoozeSeconds=2 BreakMinutes=0 "
               "BreakSeconds=2"),
      {
          {"", {}, Visible("frmUnwindle"), 8000},
          {"break.prompt_on_time", {}, All({kPromptOnTime, Visible("frmTimer", false)})},
          {"break.prompt_texts", Shot("frmUnwindle", "break-prompt"),
           All({Text("frmUnwindle", "", kPromptCaption),
                Text("frmUnwindle", "lblUnwindle",
                     "Please unwindle now to rest your eyes and body.\r\n"
                     "Long sessions on the computer takes a toll on your body over time.\r\n"
                     "A short period of rest every while can reduce repetitive-stress "
                     "injuries.\r\n\r\nWhat do you want to do?"),
                Text("frmUnwindle", "cmdRemindLater", "&Remind Later"),
                Text("frmUnwindle", "cmdUnwindle", "&Unwindle"),
                Text("frmUnwindle", "cmdStopTimer", "&Stop Timer"),
                Text("frmUnwindle", "cmdRestartTimer", "&Restart Timer"),
                Shown("frmUnwindle", "cmdRestartTimer", false)})},
          {"break.remind_later_rearms", Press("frmUnwindle", "cmdRemindLater"),
           All({Shows("00:00:02"), Visible("frmUnwindle", false), Visible("frmTimer")}), kTick},
          {"break.remind_later_returns", {}, All({Visible("frmUnwindle"), kReminderLasted}), 6000},
          {"break.countdown_window", Press("frmUnwindle", "cmdUnwindle"),
           All({Text("frmBreakTimeRemaining", "lblMinutes", "00"),
                Text("frmBreakTimeRemaining", "lblSeconds", "02"),
                Text("frmBreakTimeRemaining", "cmdStopTimer", "Stop Break")}),
           3000, false, true},
          {"", Shot("frmBreakTimeRemaining", "break-countdown"), Visible("frmRestartTimer"), 6000},
          {"break.countdown_ends", {}, kBreakLasted},
          {"break.over_prompt", Shot("frmRestartTimer", "break-over"),
           All({Text("frmRestartTimer", "lblUnwindle",
                     "Your break is now over.\r\n\r\nWhat do you want to do?"),
                Text("frmRestartTimer", "cmdRestartTimer", "&Restart Timer"),
                Text("frmRestartTimer", "cmdStopTimer", "&Stop Timer"), Shows("00:00:03")})},
          {"break.restart", Press("frmRestartTimer", "cmdRestartTimer"),
           All({Shows("00:00:02"), Visible("frmRestartTimer", false), Visible("frmTimer", false)}),
           2 * kTick},
          {"break.cycle_states",
           {},
           States({"counting", "prompt", "counting", "prompt", "break", "breakover", "counting"})},
          {"", Invoke("frmTimer", "cmdStop"), {}},  // no new prompt up when the session exits
      });
}

// The flashing icon: after the alert's own tooltip, two pictures taking turns every caret blink.
const Expect kFlashes = Holds([](Session& s, std::string& seen) {
  auto lines = s.Trace();
  const int64_t on = FirstMs(lines, "timer.start", {"frmTimer", "tmrFlash"});
  std::vector<TraceLine> flashes;
  for (const auto& l : Matching(lines, "tray.modify"))
    if (on >= 0 && l.ms > on && l.fields.size() >= 4 && l.fields[3] == kTrayAlertTip)
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

// The tray alert without balloons (AlertMeBy 1, BalloonTipsEnabled 0): the icon flashes, and a
// real click on it opens the prompt.
void TrayAlert(Report& r, const Options& o) {
  RunSteps(
      r, o, "tray_alert",
      Settings("Hours=0 Minutes=0 Seconds=2 AlertMeBy=1 BalloonTipsEnabled=0 SnoozeMinutes=0 "
               "SnoozeSeconds=30"),
      {
          {"tray_alert.flashes", {}, kFlashes, 8000},
          {"tray_alert.click_opens_prompt", TrayClick(), Text("frmUnwindle", "", kPromptCaption)},
          {"", Press("frmUnwindle", "cmdStopTimer"), {}},
      });
}

// The preferences dialog and the about box, each opened from the main window's menu.
void Dialogs(Report& r, const Options& o) {
  RunSteps(
      r, o, "dialogs", Settings("StartTimerOnLaunch=0"),
      {
          {"preferences.opens", InvokeLater("frmTimer", "mnuPreferences"),
           All({Text("frmPreferences", "", "KORVANTE Unwindle - Preferences"),
                Enabled("frmPreferences", "cmdSave", false),
                Text("frmPreferences", "txtBreakMinutes", "10")}),
           5000, false, true},
          {"preferences.edit_enables_save",
           Then({Shot("frmPreferences", "preferences"),
                 Type("frmPreferences", "txtBreakMinutes", "7"),
                 Type("frmPreferences", "txtBreakSeconds", "75")}),
           Enabled("frmPreferences", "cmdSave", true)},
          {"preferences.save_writes_registry", Press("frmPreferences", "cmdSave"),
           All({Stored("BreakMinutes", "7"), Stored("BreakSeconds", "59"),
                Enabled("frmPreferences", "cmdSave", false)})},
          {"preferences.close", Press("frmPreferences", "cmdExit"),
           All({Visible("frmPreferences", false), NoBox()})},
          {"about.opens", InvokeLater("frmTimer", "mnuAbout"),
           All({Text("frmAbout", "", "About Korvante Unwindle"),
                Text("frmAbout", "lblProductName", "Unwindle 1.0"),
                Text("frmAbout", "cmdOK", "&Ok")}),
           5000, false, true},
          {"about.escape_closes", Then({Shot("frmAbout", "about"), Key("frmAbout", VK_ESCAPE)}),
           Visible("frmAbout", false)},
      });
}

// Minding the user: a time-up under a full-screen window waits until it closes; a prompt that
// comes by itself does not take the keyboard from the window the user types into.
void FullScreenAndKeyboard(Report& r, const Options& o) {
  RunSteps(r, o, "aware_screen",
           Settings("Hours=0 Minutes=0 Seconds=8 SnoozeMinutes=0 SnoozeSeconds=5"),
           {
               {"", OpenOwnWindow(true), Traced("aware.held", {"fullscreen"}), 12000},
               {"aware.fullscreen_holds_the_prompt",
                {},
                All({Visible("frmUnwindle", false), Traced("sound.play", {}, 0, true)}),
                2000,
                true},
               {"aware.prompt_after_fullscreen", CloseOwnWindow(),
                All({Visible("frmUnwindle"), Traced("aware.released", {})}), 3000},
               {"", Press("frmUnwindle", "cmdRemindLater"), Visible("frmUnwindle", false)},
               {"aware.prompt_leaves_the_keyboard", OpenOwnWindow(false),
                All({Visible("frmUnwindle"), InFront(true)}), 12000},
               {"aware.enter_answers_nothing", PressKey("Return"),
                All({Visible("frmUnwindle"), InFront(true)}), 1500, true},
               {"", Then({CloseOwnWindow(), Press("frmUnwindle", "cmdStopTimer")}), {}},
           });
}

// Sleep and lock as long as a break count as one: posted suspend/resume and lock/unlock with the
// break's length (3 s) between them start the countdown again from the full minute.
void SleepAndLock(Report& r, const Options& o) {
  RunSteps(
      r, o, "aware_sleep", Settings("Hours=0 Minutes=1 Seconds=0 BreakMinutes=0 BreakSeconds=3"),
      {
          {"", {}, ShowsBelow(57), 5000},
          {"", Notify(WM_POWERBROADCAST, PBT_APMSUSPEND), Visible("frmTimer"), 4000, true},
          {"aware.sleep_counts_as_break", Notify(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC),
           All({ShowsAtLeast(58), Traced("aware.break", {})})},
          {"", {}, ShowsBelow(57), 5000},
          {"", Notify(WM_WTSSESSION_CHANGE, 7 /* WTS_SESSION_LOCK */), Visible("frmTimer"), 4000,
           true},
          {"aware.lock_counts_as_break", Notify(WM_WTSSESSION_CHANGE, 8 /* WTS_SESSION_UNLOCK */),
           All({ShowsAtLeast(58), Traced("aware.break", {}, 2)})},
      });
}

// What reached the sound device, as far as the checks need it: ALSA's file plugin writes 8- or
// 16-bit PCM in the clip's own rate, and the header's sizes only when the device closes.
struct Wav {
  bool complete = false;
  std::string error;  // why the samples could not be read
  int rate = 0, bits = 0;
  double seconds = 0, peak = 0, rms = 0;  // peak and RMS: 0..1 of full scale
  double sound_seconds = 0;  // from the first to the last sample above 2% of full scale
};

Wav ReadWav(const std::string& path) {
  Wav w;
  const std::string d = ReadAll(path);
  const auto u32 = [&d](size_t at) {
    uint32_t v = 0;
    std::memcpy(&v, d.data() + at, 4);
    return v;
  };
  if (d.size() < 12 || d.compare(0, 4, "RIFF") != 0 || d.compare(8, 4, "WAVE") != 0) {
    w.error = "no RIFF/WAVE header (" + std::to_string(d.size()) + " bytes)";
    return w;
  }
  uint32_t format = 0, channels = 0, size = 0;
  size_t at = 12;
  for (; at + 8 <= d.size() && d.compare(at, 4, "data") != 0; at += 8 + size + (size & 1)) {
    size = u32(at + 4);
    if (d.compare(at, 4, "fmt ") == 0 && at + 24 <= d.size()) {
      format = u32(at + 8) & 0xFFFF;
      channels = u32(at + 8) >> 16;
      w.rate = static_cast<int>(u32(at + 12));
      w.bits = static_cast<int>(u32(at + 20) >> 16);
    }
  }
  const size_t frame = w.bits / 8 * channels;
  const size_t frames = at + 8 <= d.size() ? std::min<size_t>(u32(at + 4), d.size() - at - 8) /
                                                 std::max<size_t>(frame, 1)
                                           : 0;
  w.complete = u32(4) == d.size() - 8 && frames > 0;
  if (!w.complete) return w;
  if (format != 1 || (w.bits != 8 && w.bits != 16) || channels < 1 || w.rate < 1) {
    w.error = "format " + std::to_string(format) + ", " + std::to_string(w.bits) + " bits, " +
              std::to_string(channels) + " channels: not read here";
    return w;
  }
  const auto* p = reinterpret_cast<const unsigned char*>(d.data() + at + 8);
  double sum = 0;
  size_t first = frames, last = 0;
  for (size_t i = 0; i < frames; ++i) {
    double loudest = 0;
    for (size_t c = 0; c < channels; ++c, p += w.bits / 8) {
      const double v = w.bits == 8 ? (p[0] - 128) / 128.0 : int16_t(p[0] | p[1] << 8) / 32768.0;
      sum += v * v;
      loudest = std::max(loudest, std::fabs(v));
    }
    w.peak = std::max(w.peak, loudest);
    if (loudest > 0.02) first = std::min(first, i), last = i;
  }
  w.seconds = static_cast<double>(frames) / w.rate;
  w.rms = std::sqrt(sum / (static_cast<double>(frames) * channels));
  if (first < frames) w.sound_seconds = static_cast<double>(last - first + 1) / w.rate;
  return w;
}

// What reached the sound device is `seconds` of audible sound, kept as `keep`; the trace says the
// program played `played` with `flags`.
Expect Captured(const std::string& played, const char* flags, double seconds,
                const std::string& keep) {
  return Holds([=](Session& s, std::string& seen) {
    auto plays = Matching(s.Trace(), "sound.play", {played, flags, "1"});
    const std::string& wav = s.options.wav;
    const Wav w = ReadWav(wav);
    seen = plays.empty() ? "no \"sound.play " + played + " " + flags + " 1\" line"
           : !w.complete ? wav + " not (yet) complete"
                         : w.error;
    if (plays.empty() || !w.complete || !w.error.empty()) return false;
    CopyFileA(wav.c_str(), (wav.substr(0, wav.find_last_of('\\') + 1) + keep).c_str(), FALSE);
    const double tolerance = std::max(0.15, 0.15 * seconds);
    seen = "WAV " + std::to_string(w.rate) + " Hz " + std::to_string(w.bits) +
           "-bit: " + Fixed(w.seconds) + " s, sound over " + Fixed(w.sound_seconds) + " s, peak " +
           Fixed(w.peak) + ", RMS " + Fixed(w.rms, 3) + " (expected " + Fixed(seconds, 1) +
           " s +- " + Fixed(tolerance) + " of audible sound)";
    Report::Note(played + ": " + seen);
    return w.peak >= 0.1 && w.rms >= 0.01 && std::fabs(w.seconds - seconds) <= tolerance &&
           w.sound_seconds >= 0.5 * seconds;
  });
}

// A short tone of our own as a wave file at `path` (UTF-8), in folders made on the way.
bool WriteTone(const std::string& path, double seconds) {
  for (size_t slash = path.find('\\', 3); slash != std::string::npos;
       slash = path.find('\\', slash + 1))
    CreateDirectoryW(Wide(path.substr(0, slash)).c_str(), nullptr);
  const uint32_t rate = 22050, samples = static_cast<uint32_t>(seconds * rate);
  std::string wav = "RIFF";
  auto put = [&wav](uint32_t v, int bytes) {
    wav.append(reinterpret_cast<const char*>(&v), bytes);
  };
  put(36 + samples * 2, 4);
  wav += "WAVEfmt ";
  put(16, 4), put(1, 2), put(1, 2), put(rate, 4), put(rate * 2, 4), put(2, 2), put(16, 2);
  wav += "data";
  put(samples * 2, 4);
  for (uint32_t i = 0; i < samples; ++i)
    put(static_cast<uint16_t>(static_cast<int16_t>(12000 * std::sin(i * 0.1253))), 2);
  HANDLE f = CreateFileW(Wide(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  const bool ok = f != INVALID_HANDLE_VALUE &&
                  WriteFile(f, wav.data(), static_cast<DWORD>(wav.size()), &written, nullptr);
  if (f != INVALID_HANDLE_VALUE) CloseHandle(f);
  return ok && written == wav.size();
}

// The alert sound as it reaches the sound device: one run per clip of a different encoding, each
// up to its first alert (a tray alert with a long reminder: no second sound starts the file
// again). ALSA writes what Wine plays into the file --wav, anew with each sound; each run's
// capture is kept beside it as sound_NAME.wav. A custom sound that cannot play gives the beep and
// the prompt all the same; one at a path beyond the 8-bit code page plays.
void Sounds(Report& r, const Options& o) {
  const std::string missing = "C:\\nowhere\\missing.wav";
  RunSteps(r, o, "sound_custom_missing",
           Settings("Hours=0 Minutes=0 Seconds=2 AudioType=3", {{"CustomSound", missing}}),
           {{"sound.custom_missing_beeps",
             {},
             All({Visible("frmUnwindle"), Traced("sound.unplayable", {missing}),
                  Traced("sound.beep", {"64"}), Traced("sound.play", {missing}, 0, true)}),
             10000}});
  if (o.wav.empty() || o.shot_dir.empty())
    return Report::Note("sounds: not checked (no --wav or --shot-dir; run.sh gives both)");
  const std::string alert =
      "Hours=0 Minutes=0 Seconds=1 AlertMeBy=1 BalloonTipsEnabled=0 "
      "SnoozeMinutes=0 SnoozeSeconds=59 ";
  const std::string tone = o.shot_dir + "\\Übung\\ベル.wav";
  if (r.Check("sound.custom_unicode_written", WriteTone(tone, 0.8), "cannot write " + tone)) {
    DeleteFileA(o.wav.c_str());
    RunSteps(r, o, "sound_custom_unicode", Settings(alert + "AudioType=3", {{"CustomSound", tone}}),
             {{"sound.custom_unicode_path_plays",
               {},
               Captured(tone, "139267", 0.8, "sound_custom_unicode.wav"),
               20000}});
  }
  const struct {
    const char* name;   // resource name, as the trace shows it
    const char* index;  // SelectedSound
    double seconds;     // length of the stored clip
    const char* check;
  } clips[] = {{"CHIMES", "1", 1.7, "sound.chimes_8bit_pcm"},
               {"OWL", "8", 2.3, "sound.owl_16bit_pcm"},
               {"RUBBERDUCK", "10", 0.5, "sound.rubberduck_alaw"},
               {"LIFE", "6", 5.8, "sound.life_mp3"}};
  for (const auto& clip : clips) {
    DeleteFileA(o.wav.c_str());
    const std::string label = "sound_" + Lower(clip.name);
    RunSteps(
        r, o, label, Settings(alert + "AudioType=2 SelectedSound=" + clip.index),
        {{clip.check, {}, Captured(clip.name, "270343", clip.seconds, label + ".wav"), 20000}});
  }
}

// --- Small commands for make run and the benchmark, on a program started by someone else.

int Show(HWND form) {
  std::printf("frmTimer %s, caption %s, %s%s\ntime remaining %s\n",
              IsWindowVisible(form) ? "visible" : "hidden", Quote(TextOf(form)).c_str(),
              IsIconic(form) ? "minimized" : "normal",
              (GetWindowLongA(form, GWL_EXSTYLE) & WS_EX_TOPMOST) ? ", topmost" : "",
              DisplayedTime(form).c_str());
  for (const char* name : {"cmdStart", "cmdPause", "cmdStop"}) {
    HWND c = FindControl(form, name);
    std::printf("%s: %s\n", name,
                c ? (Quote(TextOf(c)) + (IsWindowEnabled(c) ? ", enabled" : ", disabled")).c_str()
                  : "missing");
  }
  return 0;
}

int WaitCountdown(HWND form, int by, int timeout_ms) {
  const std::string first = DisplayedTime(form);
  std::string now = first;
  const bool moved = WaitFor(timeout_ms, [&] {
    now = DisplayedTime(form);
    return SecondsOf(first) >= 0 && SecondsOf(now) >= 0 && SecondsOf(first) - SecondsOf(now) >= by;
  });
  std::printf("countdown %s -> %s%s\n", first.c_str(), now.c_str(), moved ? "" : " (too little)");
  return moved ? 0 : 1;
}

int Exit(HWND form, int timeout_ms) {
  Process p;
  HWND box = nullptr;
  if (!p.Attach(form) || !Invoke(form, "mnuExit", false))
    return std::printf("cannot reach the program\n"), 1;
  if (!WaitFor(timeout_ms, [&] { return (box = FindMessageBox(p.pid())) != nullptr; }))
    return std::printf("no exit question appeared\n"), 1;
  std::printf("asked %s; answering Yes\n", Quote(MessageBoxText(box)).c_str());
  ClickButton(GetDlgItem(box, IDYES), 1000);
  DWORD code = 0;
  if (!p.WaitExit(timeout_ms, &code)) return std::printf("the program is still running\n"), 1;
  std::printf("the program ended with exit code %lu\n", code);
  return 0;
}

}  // namespace
}  // namespace e2e

int main(int argc, char** argv) {
  using namespace e2e;
  const std::vector<std::string> args(argv + std::min(argc, 2), argv + argc);
  const std::string cmd = argc > 1 ? argv[1] : "";
  const int seconds = args.empty() ? 0 : std::atoi(args[0].c_str());
  if (cmd == "test")
    return RunGroups({{"first_start", FirstStart},
                      {"countdown", Countdown},
                      {"break", BreakCycle},
                      {"tray_alert", TrayAlert},
                      {"dialogs", Dialogs},
                      {"sounds", Sounds},
                      {"aware_screen", FullScreenAndKeyboard},
                      {"aware_sleep", SleepAndLock}},
                     args);
  if (cmd == "plant") {
    if (!args.empty() && args[0] == "--clean") DeleteKeyTree(kSettingsKey);
    for (const std::string& a : args) {
      const size_t eq = a.find('=');
      if (a != "--clean" &&
          (eq == std::string::npos || !WriteText(kSettingsKey, a.substr(0, eq), a.substr(eq + 1))))
        return std::fprintf(stderr, "cannot write %s\n", a.c_str()), 1;
    }
    return 0;
  }
  HWND form = nullptr;
  const bool shown = WaitFor(cmd == "wait-window" ? (seconds ? seconds : 30) * 1000 : 0, [&] {
    form = FindForm(0, "frmTimer");
    return form != nullptr && IsWindowVisible(form);
  });
  if (cmd == "wait-window")
    return std::printf(shown ? "frmTimer is visible\n" : "no visible frmTimer\n"), !shown;
  if (cmd == "show" || cmd == "exit" || cmd == "wait-countdown") {
    if (form == nullptr) return std::printf("no window named frmTimer\n"), 1;
    if (cmd == "show") return Show(form);
    if (cmd == "exit") return Exit(form, (seconds ? seconds : 10) * 1000);
    if (args.size() > 0)
      return WaitCountdown(form, seconds,
                           (args.size() > 1 ? std::atoi(args[1].c_str()) : 15) * 1000);
  }
  std::fprintf(
      stderr,
      "usage: unwindle_e2e_driver test EXE [--trace-dir DIR] [--shot-dir DIR] [--wav FILE] "
      "[--only GROUP]\n"
      "       unwindle_e2e_driver wait-window [SECONDS] | show | exit [SECONDS]\n"
      "       unwindle_e2e_driver wait-countdown N [SECONDS]\n"
      "       unwindle_e2e_driver plant [--clean] NAME=VALUE...\n");
  return 2;
}

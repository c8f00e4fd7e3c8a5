// End-to-end checks of the break screen: one frmBreakScreen on each monitor the system lists,
// covering it and on top, its time counting down and an idea shown (another at the next break),
// its buttons disabled for the first seconds while a typed key does nothing, Skip leading to the
// break-over question, and a strict break (in the dark theme) without buttons that runs out.
// Screenshots of every monitor go into the results. Run alone (E2E_ONLY=break_screen), run.sh gives
// it two monitors.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "session.h"

namespace e2e {

// The monitors as the system lists them, primary or not.
inline std::vector<RECT> MonitorRects() {
  std::vector<RECT> rects;
  EnumDisplayMonitors(
      nullptr, nullptr,
      [](HMONITOR m, HDC, LPRECT, LPARAM list) {
        MONITORINFO mi{};
        mi.cbSize = sizeof mi;
        if (GetMonitorInfoA(m, &mi))
          reinterpret_cast<std::vector<RECT>*>(list)->push_back(mi.rcMonitor);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&rects));
  return rects;
}

// The break screen's windows on the screen.
inline std::vector<HWND> ScreenWindows(Session& s) {
  std::vector<HWND> up;
  for (HWND h : Windows(s.process.pid()))
    if (NameOf(h) == "frmBreakScreen" && IsWindowVisible(h)) up.push_back(h);
  return up;
}

inline std::string RectText(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "-" + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

// Each monitor covered by exactly one window of the break screen, each on top.
inline Expect CoversEachMonitor() {
  return Holds([](Session& s, std::string& seen) {
    const std::vector<RECT> monitors = MonitorRects();
    const std::vector<HWND> up = ScreenWindows(s);
    seen = std::to_string(up.size()) + " windows for " + std::to_string(monitors.size()) +
           " monitors:";
    size_t matched = 0;
    for (const RECT& m : monitors) {
      seen += " monitor " + RectText(m);
      for (HWND h : up) {
        RECT w{};
        GetWindowRect(h, &w);
        if (!EqualRect(&w, &m)) continue;
        const bool top = (GetWindowLongA(h, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
        seen += top ? " covered" : " covered, not topmost";
        matched += top;
      }
    }
    return monitors.size() >= 1 && up.size() == monitors.size() && matched == monitors.size();
  });
}

// Every window's control `name` is (or is not) shown, enabled as `enabled`.
inline Expect ScreenButton(const std::string& name, bool shown, bool enabled) {
  return Holds([=](Session& s, std::string& seen) {
    const std::vector<HWND> up = ScreenWindows(s);
    for (HWND h : up) {
      HWND b = FindControl(h, name);
      const bool isShown = b && IsWindowVisible(b), isEnabled = b && IsWindowEnabled(b);
      if (isShown != shown || (shown && isEnabled != enabled)) {
        seen = name + (isShown ? " shown" : " hidden") + (isEnabled ? ", enabled" : ", disabled");
        return false;
      }
    }
    seen = up.empty() ? "no break screen" : "";
    return !up.empty();
  });
}

// What the first window's control shows.
inline std::string ScreenText(Session& s, const std::string& control) {
  const std::vector<HWND> up = ScreenWindows(s);
  return up.empty() ? "" : TextOf(FindControl(up[0], control));
}

// A screenshot of each monitor, named after `name`.
inline Action ShotMonitors(const std::string& name) {
  return [=](Session& s) {
    const std::vector<RECT> monitors = MonitorRects();
    for (size_t i = 0; i < monitors.size(); ++i) {
      const RECT& m = monitors[i];
      // Painted first: each window answers once its paint is done.
      for (HWND h : ScreenWindows(s)) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(h, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
      }
      Request(s.options, name + "-monitor" + std::to_string(i + 1),
              "shot " + std::to_string(m.left) + " " + std::to_string(m.top) + " " +
                  std::to_string(m.right - m.left) + " " + std::to_string(m.bottom - m.top));
    }
    return true;
  };
}

// Keys typed into the break screen as it comes: Enter, Space and the letters of both buttons.
inline Action TypeIntoScreen() {
  return [](Session& s) {
    const std::vector<HWND> up = ScreenWindows(s);
    if (up.empty()) return false;
    SetForegroundWindow(up[0]);
    for (WORD vk : {WORD{VK_RETURN}, WORD{VK_SPACE}, WORD{'S'}, WORD{'P'}}) {
      const LPARAM down = 1 | static_cast<LPARAM>(MapVirtualKeyA(vk, MAPVK_VK_TO_VSC)) << 16;
      PostMessageA(up[0], WM_KEYDOWN, vk, down);
      if (vk != VK_RETURN) PostMessageA(up[0], WM_CHAR, vk == VK_SPACE ? ' ' : vk + 32, down);
      PostMessageA(up[0], WM_KEYUP, vk, down | LPARAM{3} << 30);
    }
    return true;
  };
}

inline void BreakScreenChecks(Report& r, const Options& o) {
  const std::string p = "frmUnwindle";
  auto idea = std::make_shared<std::string>();
  const std::vector<Step> steps = {
      {"", Visible(p), 20000, false, true},
      {"", PressLater(p, "cmdUnwindle"), Visible("frmBreakScreen"), 5000, false, true},
      {"breakscreen.one_window_per_monitor_covering_it_on_top", CoversEachMonitor()},
      {"breakscreen.a_key_typed_as_it_comes_does_nothing", TypeIntoScreen(),
       All({Traced("breakscreen.input", {"ignored"}), Visible("frmBreakScreen"),
            Visible("frmRestartTimer", false)}),
       2000},
      {"breakscreen.buttons_disabled_for_the_first_seconds",
       All({ScreenButton("cmdPostpone", true, false), ScreenButton("cmdSkip", true, false)}), 1500,
       true},
      {"breakscreen.buttons_enabled_after_three_seconds",
       All({ScreenButton("cmdPostpone", true, true), ScreenButton("cmdSkip", true, true),
            Texts("frmBreakScreen",
                  {{"cmdPostpone", "&Postpone 5 Minutes"}, {"cmdSkip", "&Skip This Break"}})}),
       3000},
      {"breakscreen.the_time_counts_down", Holds([](Session& s, std::string& seen) {
         seen = ScreenText(s, "lblBreakTime");
         return seen == "0:20" || seen == "0:19";
       }),
       8000},
      {"breakscreen.an_idea_is_shown", ShotMonitors("break-screen"),
       Holds([idea](Session& s, std::string& seen) {
         *idea = seen = ScreenText(s, "lblIdea");
         return !seen.empty();
       })},
      {"breakscreen.skip_leads_to_the_break_over_question", Press("frmBreakScreen", "cmdSkip"),
       All({Visible("frmRestartTimer"), Visible("frmBreakScreen", false),
            Traced("breakscreen.end", {"long", "skipped"})}),
       5000},
      {"", PressLater("frmRestartTimer", "cmdRestartTimer"), Visible(p), 20000, false, true},
      {"", PressLater(p, "cmdUnwindle"), Visible("frmBreakScreen"), 5000, false, true},
      {"breakscreen.the_next_break_brings_another_idea",
       Holds([idea](Session& s, std::string& seen) {
         seen = ScreenText(s, "lblIdea") + " after " + *idea;
         return !ScreenText(s, "lblIdea").empty() && ScreenText(s, "lblIdea") != *idea;
       })},
  };
  RunSteps(r, o, "break_screen",
           Settings("Hours=0 Minutes=0 Seconds=5 StartTimerOnLaunch=1 BreakMinutes=0 "
                    "BreakSeconds=25 AlertMeBy=0 BreakScreen=1"),
           steps);
  const std::vector<Step> strict = {
      {"", Visible(p), 20000, false, true},
      {"", PressLater(p, "cmdUnwindle"), CoversEachMonitor(), 5000, false, true},
      {"breakscreen.strict_shows_no_buttons",
       All({CoversEachMonitor(), ScreenButton("cmdPostpone", false, false),
            ScreenButton("cmdSkip", false, false)}),
       4000, true},
      // Refused as a disabled item: the program answers 0 and traces the refusal.
      {"breakscreen.strict_no_stop_break_in_the_tray", ShotMonitors("break-screen-strict-dark"),
       Holds([](Session& s, std::string& seen) {
         seen = "the tray menu's Stop Break was pressed";
         return !Invoke(s.main, "mnuStopBreakPopUp") && !ScreenWindows(s).empty();
       })},
      {"breakscreen.strict_alt_f4_does_nothing", CloseBox("frmBreakScreen"),
       Visible("frmBreakScreen"), 1500, true},
      {"breakscreen.strict_ends_when_it_runs_out",
       All({Visible("frmRestartTimer"), Visible("frmBreakScreen", false),
            Traced("breakscreen.end", {"long", "ranout"})}),
       15000},
  };
  const std::string d = "frmBreakScreenOptions";
  const std::vector<Step> dialog = {
      {"breakscreen.dialog_opens_from_the_options_menu", Menu("mnuBreakScreen", true),
       All({Visible(d), Is(d, "optBreakWindow", "enabled"),
            Is(d, "chkStrictBreaks", "enabled", false)}),
       5000, false, true},
      {"", Shot(d, "break-screen-options")},
      {"breakscreen.dialog_stores_the_break_screen",
       Then({Press(d, "optBreakScreen"), Press(d, "chkStrictBreaks"), Press(d, "cmdSave")}),
       All({Visible(d, false), Stored("BreakScreen", "1"), Stored("StrictBreaks", "1")})},
  };
  RunSteps(r, o, "break_screen_options", Settings("StartTimerOnLaunch=0"), dialog);
  RunSteps(r, o, "break_screen_strict",
           Settings("Hours=0 Minutes=0 Seconds=5 StartTimerOnLaunch=1 BreakMinutes=0 "
                    "BreakSeconds=10 AlertMeBy=0 BreakScreen=1 StrictBreaks=1 Theme=2"),
           strict);
}

}  // namespace e2e

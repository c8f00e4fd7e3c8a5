// End-to-end checks of the history of the day: what a short day of clicks leaves in
// %LOCALAPPDATA%\KORVANTE\Unwindle\history.tsv, what unwindle.com /history prints of it, and the
// Statistics window with its chart, painted on the screen and answering a real click; a planted
// fortnight (a day of thirty skipped breaks in it) in the chart, its days chosen with the keys.
#pragma once

#include <windows.h>
#include <shlobj.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "command_line_checks.h"
#include "session.h"

namespace e2e {

inline std::string JournalFile() {
  return Folder(CSIDL_LOCAL_APPDATA) + "\\KORVANTE\\Unwindle\\history.tsv";
}

// The journal's lines after its header, each without its time; "bad" for a line whose time is
// not the local time with its offset ("2026-12-07T10:00:00+01:00").
inline std::vector<std::string> JournalEvents(std::string* header) {
  const std::string text = ReadAll(JournalFile());
  std::vector<std::string> out;
  for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
    const std::string line = text.substr(at, end - at);
    if (at == 0) {
      *header = line;
      continue;
    }
    const bool stamped = line.size() > 26 && line[4] == '-' && line[10] == 'T' &&
                         (line[19] == '+' || line[19] == '-') && line[22] == ':' &&
                         line[25] == '\t';
    out.push_back(stamped ? line.substr(26) : "bad: " + line);
  }
  return out;
}

// How many pixels the screen shows inside `window` that `which` takes (0xRRGGBB).
inline int PixelsOnScreen(HWND window, const std::function<bool(uint32_t)>& which) {
  RECT r{};
  if (!window || !GetWindowRect(window, &r)) return -1;
  const int w = r.right - r.left, h = r.bottom - r.top;
  BITMAPINFO bi{{sizeof bi.bmiHeader, w, -h, 1, 32, BI_RGB, 0, 0, 0, 0, 0}, {}};
  void* bits = nullptr;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, bmp);
  BitBlt(dc, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  GdiFlush();
  int n = 0;
  for (int i = 0; bits && i < w * h; ++i)
    n += which(static_cast<const uint32_t*>(bits)[i] & 0xFFFFFF);
  SelectObject(dc, old);
  DeleteObject(bmp);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  return n;
}

// How many pixels of `color` the screen shows inside `window`.
inline int PixelsOnScreen(HWND window, COLORREF color) {
  const uint32_t want = GetRValue(color) << 16 | GetGValue(color) << 8 | GetBValue(color);
  return PixelsOnScreen(window, [want](uint32_t rgb) { return rgb == want; });
}

// A real click (xdotool) at a fraction of a window's width, in its middle.
inline Action ClickAt(const std::string& form, const std::string& control, double across) {
  return [=](Session& s) {
    RECT r{};
    HWND h = s.Ctl(form, control);
    if (!h || !GetWindowRect(h, &r)) return false;
    const int x = r.left + static_cast<int>((r.right - r.left) * across);
    return Request(s.options, "chart-click",
                   "click " + std::to_string(x) + " " + std::to_string((r.top + r.bottom) / 2));
  };
}

// A short day: a work period of three seconds, the prompt, a break that runs out, the next
// period, a snooze and a skipped break. Then its lines, /history 1 and the Statistics window.
inline void HistoryChecks(Report& r, const Options& o) {
  auto ran = std::make_shared<Console>();
  SYSTEMTIME today{};
  GetLocalTime(&today);
  char date[16];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d", today.wYear, today.wMonth, today.wDay);
  const Action clean = [](Session&) {
    DeleteFileA(JournalFile().c_str());
    return GetFileAttributesA(JournalFile().c_str()) == INVALID_FILE_ATTRIBUTES;
  };
  const Planted planted = Settings(
      "Hours=0 Minutes=0 Seconds=3 BreakMinutes=0 BreakSeconds=2 SnoozeMinutes=0 SnoozeSeconds=2 "
      "StartTimerOnLaunch=0 LaunchMinimized=0");
  const std::vector<std::string> day = {
      "program.start",        "work.start",      "alert.shown\tprompt", "break.start\tprompt",
      "break.end\tranout\t2", "work.start",      "alert.shown\tprompt", "alert.snooze",
      "alert.shown\tprompt",  "alert.skip\tstop"};
  // "window.show" is traced just before the window comes on the screen: a step that presses in it
  // waits for both.
  const std::vector<Step> steps = {
      {"", Then({clean, Start(o.exe, planted)})},
      {"", Press("frmTimer", "cmdStart"), Visible("frmUnwindle"), 8000},
      {"", Press("frmUnwindle", "cmdUnwindle"), Visible("frmRestartTimer"), 8000},
      {"", Press("frmRestartTimer", "cmdRestartTimer"),
       All({Traced("window.show", {"frmUnwindle"}, 2), Visible("frmUnwindle")}), 8000},
      {"", Press("frmUnwindle", "cmdRemindLater"),
       All({Traced("window.show", {"frmUnwindle"}, 3), Visible("frmUnwindle")}), 8000},
      {"", Press("frmUnwindle", "cmdStopTimer"), Visible("frmUnwindle", false)},
      {"history.journal_lines", Holds([=](Session&, std::string& seen) {
         std::string header;
         const std::vector<std::string> events = JournalEvents(&header);
         seen = Quote(header) + " then";
         for (const auto& e : events) seen += " " + Quote(e);
         return header == "# KORVANTE Unwindle history\tversion 1" && events == day;
       })},
      // Seconds of work round to no minutes; one break taken, one skipped, one reminder snoozed.
      {"history.com_prints_the_day", RunCommand(ran, "/history 1"),
       Printed(ran, 0,
               "date,minutes worked,breaks taken,breaks cut short,breaks skipped,"
               "reminders snoozed,natural breaks,longest stretch in minutes,"
               "short breaks taken,short breaks skipped\r\n" +
                   std::string(date) + ",0,1,0,1,1,0,0,0,0\r\n")},
      {"history.com_bad_days", RunCommand(ran, "/history 0"),
       Printed(ran, 2, "",
               "/history takes a number of days from 1 to 400, not \"0\".\r\nUsage:", true)},
      {"history.statistics_opens", Menu("mnuStatistics", true),
       All({Visible("frmStatistics"),
            Texts("frmStatistics", {{"", "KORVANTE Unwindle - Statistics"},
                                    {"lblTaken", "1"},
                                    {"lblSkipped", "1"},
                                    {"lblSnoozed", "1"},
                                    {"cmdExport", "&Export..."},
                                    {"cmdClear", "Clear History..."},
                                    {"cmdClose", "&Close"}}),
            Traced("statistics.open", {})}),
       5000, false, true},
      // Today is the chosen day: its slot in the highlight colour, on the screen.
      {"history.chart_painted", Shot("frmStatistics", "statistics"),
       Holds([](Session& s, std::string& seen) {
         const int n =
             PixelsOnScreen(s.Ctl("frmStatistics", "picChart"), GetSysColor(COLOR_HIGHLIGHT));
         seen = std::to_string(n) + " pixels of the highlight colour on picChart";
         return n > 500;
       })},
      {"history.click_chooses_a_day", ClickAt("frmStatistics", "picChart", 0.3),
       Holds([](Session& s, std::string& seen) {
         seen = "fraDay says " + Quote(TextOf(s.Ctl("frmStatistics", "fraDay")));
         return seen.find("Today") == std::string::npos && seen.find("-") != std::string::npos;
       })},
      {"history.statistics_closes",
       Then({Shot("frmStatistics", "statistics-chosen-day"), Press("frmStatistics", "cmdClose")}),
       Visible("frmStatistics", false)},
  };
  RunSteps(r, o, "history", std::nullopt, steps);
}

// The local date `daysAgo` days before today, as the journal's days are written ("2026-12-07").
inline std::string LocalDateBefore(int daysAgo) {
  SYSTEMTIME now{};
  GetLocalTime(&now);
  now.wHour = 12;  // the middle of the day: whole days away lie on whole dates
  FILETIME ft{};
  SystemTimeToFileTime(&now, &ft);
  ULARGE_INTEGER t{{ft.dwLowDateTime, ft.dwHighDateTime}};
  t.QuadPart -= static_cast<ULONGLONG>(daysAgo) * 864000000000ULL;
  ft = {t.LowPart, t.HighPart};
  SYSTEMTIME then{};
  FileTimeToSystemTime(&ft, &then);
  char date[16];
  std::snprintf(date, sizeof date, "%04d-%02d-%02d", then.wYear, then.wMonth, then.wDay);
  return date;
}

// A fortnight before today, in the journal's lines: on each day that has any, work from 08:00 for
// `minutes` (marked every five minutes; a short break that ran out after a mark for each one
// taken), then the time-up, the breaks taken (five minutes each) and the breaks skipped.
struct PlantedDay {
  int daysAgo, minutes, taken, shortTaken, skipped;
};
inline const PlantedDay kPlantedFortnight[] = {
    {13, 60, 1, 2, 0}, {11, 125, 2, 0, 1}, {10, 30, 0, 0, 2}, {7, 240, 3, 1, 0}, {6, 20, 0, 0, 30},
    {4, 15, 0, 0, 1},  {3, 480, 4, 3, 2},  {2, 300, 2, 2, 2}, {1, 90, 1, 0, 0},
};
inline std::string PlantedJournal() {
  // The offset in force now, in whole minutes ("+01:00").
  SYSTEMTIME local{}, utc{};
  GetLocalTime(&local);
  GetSystemTime(&utc);
  FILETIME lf{}, uf{};
  SystemTimeToFileTime(&local, &lf);
  SystemTimeToFileTime(&utc, &uf);
  const LONGLONG diff = (static_cast<LONGLONG>(lf.dwHighDateTime) << 32 | lf.dwLowDateTime) -
                        (static_cast<LONGLONG>(uf.dwHighDateTime) << 32 | uf.dwLowDateTime);
  const int minutes = static_cast<int>((diff / 600000000 + (diff < 0 ? -7 : 7)) / 15 * 15);
  char offset[8];
  std::snprintf(offset, sizeof offset, "%c%02d:%02d", minutes < 0 ? '-' : '+',
                std::abs(minutes) / 60, std::abs(minutes) % 60);
  std::string text = "# KORVANTE Unwindle history\tversion 1\n";
  for (const PlantedDay& d : kPlantedFortnight) {
    const std::string date = LocalDateBefore(d.daysAgo);
    auto line = [&](int minute, const std::string& what) {
      char stamp[48];
      std::snprintf(stamp, sizeof stamp, "%sT%02d:%02d:00%s\t", date.c_str(), 8 + minute / 60,
                    minute % 60, offset);
      text += stamp + what + "\n";
    };
    line(0, "program.start");
    line(0, "work.start");
    for (int at = 5, n = 0; at < d.minutes; at += 5) {
      line(at, "work.counting");
      if (n++ >= d.shortTaken) continue;
      line(at + 1, "shortbreak.start\t20");
      line(at + 1, "shortbreak.end\tranout\t20");
    }
    int at = d.minutes;
    line(at, "alert.shown\tprompt");
    for (int b = 0; b < d.taken; ++b, at += 10) {
      line(at, "break.start\tprompt");
      line(at + 5, "break.end\tranout\t300");
    }
    for (int b = 0; b < d.skipped; ++b, at += 10) {
      line(at, "alert.shown\tprompt");
      line(at, "alert.skip\tstop");
    }
    line(at, "program.end");
  }
  return text;
}

// The Statistics window over a planted fortnight: painted (screenshots of today, and of the day
// of thirty skipped breaks chosen with the keys), its days chosen with a real click and then with
// keys sent to whatever has the focus (the chart, since the click).
inline void StatisticsChecks(Report& r, const Options& o) {
  const Action plant = [](Session&) {
    const std::string folder = Folder(CSIDL_LOCAL_APPDATA) + "\\KORVANTE\\Unwindle";
    SHCreateDirectoryExA(nullptr, folder.c_str(), nullptr);
    const std::string text = PlantedJournal();
    FILE* f = std::fopen(JournalFile().c_str(), "wb");
    const bool written = f && std::fwrite(text.data(), 1, text.size(), f) == text.size();
    return f && std::fclose(f) == 0 && written;
  };
  auto dayIs = [](int daysAgo, const char* skipped) {
    return Holds([=](Session& s, std::string& seen) {
      const std::string day = TextOf(s.Ctl("frmStatistics", "fraDay"));
      const std::string count = TextOf(s.Ctl("frmStatistics", "lblSkipped"));
      seen = "fraDay says " + Quote(day) + ", lblSkipped " + Quote(count);
      return day.find(LocalDateBefore(daysAgo)) != std::string::npos && count == skipped;
    });
  };
  const std::vector<Step> steps = {
      {"", Then({plant, Start(o.exe, Settings("StartTimerOnLaunch=0 LaunchMinimized=0"))})},
      {"statistics.fortnight_opens", Menu("mnuStatistics", true),
       All({Visible("frmStatistics"), dayIs(0, "0"), Texts("frmStatistics", {{"lblStatus", ""}})}),
       5000, false, true},
      {"statistics.fortnight_painted", Shot("frmStatistics", "statistics-fortnight"),
       Holds([](Session& s, std::string& seen) {
         const int n =
             PixelsOnScreen(s.Ctl("frmStatistics", "picChart"), GetSysColor(COLOR_HIGHLIGHT));
         seen = std::to_string(n) + " pixels of the highlight colour on picChart";
         return n > 500;
       })},
      // A click gives the chart the keyboard; Home goes to the first day, Right to the next.
      {"statistics.home_chooses_the_first_day",
       Then({ClickAt("frmStatistics", "picChart", 0.5), Key("frmStatistics", VK_HOME)}),
       dayIs(13, "0")},
      {"statistics.right_steps_to_thirty_skipped",
       Then({Key("frmStatistics", VK_RIGHT), Key("frmStatistics", VK_RIGHT),
             Key("frmStatistics", VK_RIGHT), Key("frmStatistics", VK_RIGHT),
             Key("frmStatistics", VK_RIGHT), Key("frmStatistics", VK_RIGHT),
             Key("frmStatistics", VK_RIGHT)}),
       dayIs(6, "30")},
      {"statistics.end_chooses_today",
       Then({Shot("frmStatistics", "statistics-thirty-skipped"), Key("frmStatistics", VK_END)}),
       dayIs(0, "0")},
      {"statistics.left_steps_to_yesterday", Key("frmStatistics", VK_LEFT), dayIs(1, "0")},
      {"statistics.closes",
       Then({Shot("frmStatistics", "statistics-yesterday"), Press("frmStatistics", "cmdClose")}),
       Visible("frmStatistics", false)},
      // The chart painted dark in the dark theme: a dark background on the screen.
      {"", Menu("mPopExit", true), Holds([](Session& s, std::string& seen) {
         seen = s.Box() ? "the exit question" : "no exit question";
         return s.Box() != nullptr;
       })},
      {"", Answer(IDYES), Ended(0), 10000},
      {"", Then({plant, Start(o.exe, Settings("Theme=2 StartTimerOnLaunch=0 LaunchMinimized=0"))})},
      {"statistics.dark_chart_painted", Menu("mnuStatistics", true),
       All({Visible("frmStatistics"), Holds([](Session& s, std::string& seen) {
              HWND chart = s.Ctl("frmStatistics", "picChart");
              RECT r{};
              GetWindowRect(chart, &r);
              const int all = (r.right - r.left) * (r.bottom - r.top);
              const int dark = PixelsOnScreen(chart, [](uint32_t rgb) {
                return ((rgb >> 16 & 0xFF) * 299 + (rgb >> 8 & 0xFF) * 587 + (rgb & 0xFF) * 114) /
                           1000 <
                       64;
              });
              seen = std::to_string(dark) + " of " + std::to_string(all) +
                     " pixels of picChart are dark";
              return dark > all / 2;
            })}),
       5000},
      {"statistics.dark_closes",
       Then({Shot("frmStatistics", "statistics-dark"), Press("frmStatistics", "cmdClose")}),
       Visible("frmStatistics", false)},
  };
  RunSteps(r, o, "statistics", std::nullopt, steps);
}

}  // namespace e2e

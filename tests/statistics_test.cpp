// The history in the running program, on the virtual clock: what a day of clicks leaves in the
// journal, the hold reasons in its words, KeepHistory, the Statistics window with its figures,
// chart, export and Clear History, the command line's CSV, and a disk that refuses the journal.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "app/frm_statistics.h"
#include "app/statistics_chart.h"
#include "backends/fake/fake_calendar.h"
#include "backends/fake/fake_event_loop.h"
#include "cycle/history_recorder.h"
#include "history/journal.h"
#include "program_fixture.h"

namespace unw {
namespace {

constexpr const char* kHeader = "# KORVANTE Unwindle history\tversion 1\n";
constexpr const char* kCsvHeader =
    "date,minutes worked,breaks taken,breaks cut short,breaks skipped,reminders snoozed,"
    "natural breaks,longest stretch in minutes,short breaks taken,short breaks skipped\r\n";
constexpr const char* kDocuments = "C:\\Users\\Ada\\Documents";

class StatisticsTest : public ProgramTest {
 protected:
  // The user's clock: Monday 2026-12-07, at `hour`:`minute` local time, an hour ahead of UTC.
  void Clock(int hour, int minute) {
    sim.fake.calendar.standardOffsetMinutes = 60;
    sim.fake.calendar.SetLocal(2026, 12, 7, hour, minute);
  }
  std::string JournalPath() { return sim.fake.storage.PathOf(kJournalFileName); }
  std::string& File() { return sim.fake.storage.files[JournalPath()]; }
  // The journal's last line, without its time.
  std::string LastLine() {
    const std::string& text = File();
    const size_t start = text.rfind('\n', text.size() - 2) + 1 + 26;
    return text.substr(start, text.size() - 1 - start);
  }
  Form& Statistics() { return sim.form("frmStatistics"); }
  std::string Text(const char* control) { return Statistics().Ctl(control).caption(); }
  const Chart& DrawnChart() { return sim.fake.view.charts.at("frmStatistics.picChart"); }
  // The day's figures as the window shows them, in the order of its rows.
  std::string Figures() {
    std::string out = Statistics().Ctl("fraDay").caption() + ":";
    for (const char* c : {"lblWorked", "lblTaken", "lblCutShort", "lblSkipped", "lblSnoozed",
                          "lblNatural", "lblLongest", "lblShortTaken", "lblShortSkipped"})
      out += " " + Text(c) + ";";
    return out;
  }

  // A fortnight up to today, planted as lines written by hand: on each day that has any, work
  // from 08:00 for `minutes` (marked every five minutes, a short break after a mark for each
  // letter of `shorts`: r ran out, a the user was away, s skipped, l put off), then the time-up
  // and its breaks taken (each running out after five minutes) and skipped.
  struct Day {
    int daysAgo, minutes, taken, skipped;
    const char* shorts;
  };
  static constexpr Day kFortnight[] = {
      {13, 60, 1, 0, "rr"}, {11, 125, 2, 1, ""},  {10, 30, 0, 2, "ss"}, {7, 240, 3, 0, ""},
      {4, 15, 0, 1, "l"},   {2, 300, 2, 2, "ra"}, {1, 90, 1, 0, ""},    {0, 440, 4, 1, "rrslas"},
  };
  static std::string PlantedFortnight(std::span<const Day> days = kFortnight) {
    std::string text = kHeader;
    for (const Day& d : days) {
      int y = 0, m = 0, day = 0;
      CivilFromDays(DaysFromCivil(2026, 12, 7) - d.daysAgo, y, m, day);
      auto line = [&](int minute, const std::string& what) {
        char stamp[40];
        std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02dT%02d:%02d:00+01:00\t", y, m, day,
                      8 + minute / 60, minute % 60);
        text += stamp + what + "\n";
      };
      line(0, "program.start");
      line(0, "work.start");
      const std::string shorts = d.shorts;
      for (int at = 5, n = 0; at < d.minutes; at += 5) {
        line(at, "work.counting");
        if (n >= static_cast<int>(shorts.size())) continue;
        const char* ends[] = {"ranout\t20", "away\t20", "skipped\t3", "later\t5"};
        line(at + 1, "shortbreak.start\t20");
        line(at + 1, std::string("shortbreak.end\t") + ends[std::string("rasl").find(shorts[n++])]);
      }
      int at = d.minutes;
      line(at, "alert.shown\tprompt");
      for (int b = 0; b < d.taken; ++b, at += 10) {
        line(at, "break.start\tprompt");
        line(at + 5, "break.end\tranout\t300");
      }
      for (int s = 0; s < d.skipped; ++s, at += 10) {
        line(at, "alert.shown\tprompt");
        line(at, "alert.skip\tstop");
      }
      line(at, "program.end");
    }
    return text;
  }
  // The program at 20:00 on the fortnight's last day, its Statistics window open.
  void OpenOnFortnight(std::span<const Day> days = kFortnight) {
    Clock(20, 0);
    File() = PlantedFortnight(days);
    Start();
    sim.Click("frmTimer", "mnuStatistics");
    ASSERT_TRUE(Loaded("frmStatistics"));
  }
};

TEST_F(StatisticsTest, AWorkPeriodAPromptABreakASnoozeAndASkipLeaveTheirLinesAndFigures) {
  Clock(10, 0);
  Start(
      Planted("Hours=0 Minutes=11 Seconds=0 BreakMinutes=0 BreakSeconds=30 SnoozeMinutes=0 "
              "SnoozeSeconds=20"));
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(661);  // the tick after 00:00:00
  sim.Click("frmUnwindle", "cmdUnwindle");
  sim.AdvanceSeconds(31);  // the break runs out
  sim.Click("frmRestartTimer", "cmdRestartTimer");
  sim.AdvanceSeconds(661);
  sim.Click("frmUnwindle", "cmdRemindLater");
  sim.AdvanceSeconds(21);
  sim.Click("frmUnwindle", "cmdStopTimer");

  // Counted: 10:00:05 to 10:11:06, 10:11:37 to 10:22:38 and the reminder to 10:22:59, 22 min
  // 23 s; the longest stretch runs from the break to the skip (which rests nobody), 11 min 22 s.
  sim.Click("frmTimer", "mnuStatistics");
  EXPECT_EQ(Figures(), "Today, Monday 2026-12-07: 22 min; 1; 0; 1; 1; 0; 11 min; 0; 0;");
  sim.Click("frmStatistics", "cmdClose");
  sim.Click("frmTimer", "mnuExit");
  sim.Answer(MessageAnswer::kYes);

  EXPECT_EQ(File(), std::string(kHeader) +
                        "2026-12-07T10:00:05+01:00\tprogram.start\n"
                        "2026-12-07T10:00:05+01:00\twork.start\n"
                        "2026-12-07T10:05:05+01:00\twork.counting\n"
                        "2026-12-07T10:10:05+01:00\twork.counting\n"
                        "2026-12-07T10:11:06+01:00\talert.shown\tprompt\n"
                        "2026-12-07T10:11:06+01:00\tbreak.start\tprompt\n"
                        "2026-12-07T10:11:37+01:00\tbreak.end\tranout\t30\n"
                        "2026-12-07T10:11:37+01:00\twork.start\n"
                        "2026-12-07T10:16:37+01:00\twork.counting\n"
                        "2026-12-07T10:21:37+01:00\twork.counting\n"
                        "2026-12-07T10:22:38+01:00\talert.shown\tprompt\n"
                        "2026-12-07T10:22:38+01:00\talert.snooze\n"
                        "2026-12-07T10:22:59+01:00\talert.shown\tprompt\n"
                        "2026-12-07T10:22:59+01:00\talert.skip\tstop\n"
                        "2026-12-07T10:22:59+01:00\tprogram.end\n");
}

TEST_F(StatisticsTest, WhateverHoldsTheAlertIsRecordedInTheJournalsWords) {
  Start({{"Hours", "0"}, {"Minutes", "0"}, {"Seconds", "5"}, {"BreakMinutes", "5"}});
  struct Case {
    std::function<void()> hold, release;
    const char* word;
  } cases[] = {
      {[&] { sim.Click("frmTimer", "mnuPreferences"); },
       [&] { sim.Click("frmPreferences", "cmdExit"); }, "preferences"},
      {[&] { sim.fake.presence.fullScreen = true; }, [&] { sim.fake.presence.fullScreen = false; },
       "fullscreen"},
      {[&] { sim.Away(AwayReason::kLock); }, [&] { sim.Back(AwayReason::kLock); }, "away"},
  };
  for (const Case& c : cases) {
    sim.Click("frmTimer", "cmdStart");
    c.hold();
    sim.AdvanceSeconds(8);
    EXPECT_EQ(LastLine(), std::string("alert.held\t") + c.word);
    c.release();
    sim.AdvanceSeconds(2);
    EXPECT_EQ(LastLine(), "alert.shown\tprompt") << c.word;
    sim.Click("frmUnwindle", "cmdStopTimer");
  }
  // The exit question holds the countdown itself, so no alert falls due under it in a run; and a
  // reason newer than the journal's words is still a hold: the time it holds is no work.
  const std::pair<HoldReason, const char*> mapped[] = {
      {HoldReason::kExitQuestion, "alert.held\texit"},
      {HoldReason::kCall, "alert.held\tcall"},
      {HoldReason::kDoNotDisturb, "alert.held\tdnd"},
      {HoldReason::kProgram, "alert.held\tprogram"},
      {static_cast<HoldReason>(99), "alert.held\tother"}};
  for (const auto& [reason, line] : mapped) {
    CycleEvent held{CycleEventKind::kAlertHeld};
    held.hold = reason;
    EXPECT_EQ(FormatEvent(HistoryEventOf(held).value()).substr(26), line);
  }
}

// A morning of short breaks ending every way, from the cycle to the journal and the window.
TEST_F(StatisticsTest, ShortBreaksOfEveryEndingLeaveTheirLinesAndFigures) {
  Clock(10, 0);
  Start(
      Planted("Hours=0 Minutes=30 Seconds=0 ShortBreaks=1 ShortBreakMinutes=1 "
              "ShortBreakSeconds=5"));
  auto on = [&] { return sim.app().cycle.Snapshot().shortBreakOn; };
  // The clock runs, the user typing, until a short break begins (or one is over).
  auto until = [&](bool running) {
    for (int s = 0; s < 300 && on() != running; ++s) {
      sim.fake.presence.Input();
      sim.AdvanceSeconds(1);
    }
    ASSERT_EQ(on(), running);
  };
  sim.Click("frmTimer", "cmdStart");
  until(true);
  until(false);  // it runs out
  until(true);
  sim.Do([&] { sim.app().cycle.ShortBreakSkip(); });
  until(true);
  sim.AdvanceSeconds(2);
  sim.Do([&] { sim.app().cycle.ShortBreakLater(); });
  until(true);
  sim.Sleep(10 * 1000);  // asleep: the short break's seconds stood still
  until(true);
  sim.Click("frmTimer", "cmdPause");
  EXPECT_FALSE(on());

  std::string lines;
  for (size_t at = File().find("\tshortbreak."); at != std::string::npos;
       at = File().find("\tshortbreak.", at + 1))
    lines += File().substr(at + 1, File().find('\n', at) - at - 1) + "; ";
  EXPECT_EQ(lines,
            "shortbreak.start\t5; shortbreak.end\tranout\t5; "
            "shortbreak.start\t5; shortbreak.end\tskipped\t0; "
            "shortbreak.start\t5; shortbreak.end\tlater\t2; "
            "shortbreak.start\t5; shortbreak.end\taway\t0; "
            "shortbreak.start\t5; shortbreak.end\tcut\t0; ");
  sim.Click("frmTimer", "mnuStatistics");
  EXPECT_EQ(Text("lblShortTaken"), "2") << "ran out, and away";
  EXPECT_EQ(Text("lblShortSkipped"), "1");
}

TEST_F(StatisticsTest, KeepHistoryOffWritesNothingAndLeavesTheFileAsItWas) {
  Clock(10, 0);
  // A line older than any history kept, which a journal that is kept would prune at start-up.
  const std::string planted = std::string(kHeader) +
                              "2025-01-01T09:00:00+01:00\twork.start\n"
                              "2026-12-06T09:00:00+01:00\twork.start\n"
                              "2026-12-06T09:30:00+01:00\twork.stop\n";
  File() = planted;
  Start({{"KeepHistory", "0"}, {"Hours", "0"}, {"Minutes", "0"}, {"Seconds", "5"}});
  EXPECT_FALSE(main().Ctl("mnuKeepHistory").checked());
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(6);
  sim.Click("frmUnwindle", "cmdStopTimer");
  EXPECT_EQ(File(), planted);
  sim.Click("frmTimer", "mnuStatistics");
  EXPECT_EQ(Text("lblStatus"),
            "No history is being kept: Options > Keep a History of My Breaks turns it on.");
  EXPECT_TRUE(Statistics().Ctl("lblStatus").visible());
  sim.Click("frmStatistics", "cmdClose");

  // On: recorded from now on, after what was there.
  sim.Click("frmTimer", "mnuKeepHistory");
  EXPECT_TRUE(main().Ctl("mnuKeepHistory").checked());
  EXPECT_EQ(Stored("KeepHistory"), "1");
  sim.Click("frmTimer", "cmdStart");
  EXPECT_EQ(File(), planted + "2026-12-07T10:00:11+01:00\twork.start\n");
  // Off again: the file keeps what it has.
  sim.Click("frmTimer", "mnuKeepHistory");
  EXPECT_EQ(Stored("KeepHistory"), "0");
  sim.Click("frmTimer", "cmdStop");
  sim.Click("frmTimer", "mnuExit");
  sim.Answer(MessageAnswer::kYes);
  EXPECT_EQ(File(), planted + "2026-12-07T10:00:11+01:00\twork.start\n");
}

TEST_F(StatisticsTest, TheChartOfAPlantedFortnightHasItsBarsRowsScaleAndDays) {
  OpenOnFortnight();
  const Chart& chart = DrawnChart();
  // Tuesday 24 November to Monday 7 December, hours worked in seconds; the month where the chart
  // begins and where it changes, in the fake user's short date (day first).
  const std::vector<ChartBar> bars = {
      {"Tu\n24/11", 3600}, {"We\n25", 0},     {"Th\n26", 7500}, {"Fr\n27", 1800}, {"Sa\n28", 0},
      {"Su\n29", 0},       {"Mo\n30", 14400}, {"Tu\n1/12", 0},  {"We\n2", 0},     {"Th\n3", 900},
      {"Fr\n4", 0},        {"Sa\n5", 18000},  {"Su\n6", 5400},  {"Mo\n7", 26400},
  };
  EXPECT_EQ(chart.bars, bars);
  // Under each day, as counts: breaks taken, short breaks taken (ran out or the user was away),
  // breaks skipped.
  const std::vector<ChartRow> rows = {
      {"Breaks taken", {1, 0, 2, 0, 0, 0, 3, 0, 0, 0, 0, 2, 1, 4}},
      {"Short breaks", {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 3}},
      {"Breaks skipped", {0, 0, 1, 2, 0, 0, 0, 0, 0, 1, 0, 2, 0, 1}},
  };
  EXPECT_EQ(chart.rows, rows);
  // 7 h 20 min at the most: a line every two hours up to eight.
  EXPECT_EQ(chart.top, 8 * 3600);
  const std::vector<ChartTick> ticks = {
      {0, "0"}, {7200, "2 h"}, {14400, "4 h"}, {21600, "6 h"}, {28800, "8 h"}};
  EXPECT_EQ(chart.ticks, ticks);
  EXPECT_EQ(chart.chosen, 13) << "today";
  EXPECT_FALSE(chart.barKey.empty());
  EXPECT_EQ(Figures(), "Today, Monday 2026-12-07: 7 h 20 min; 4; 0; 1; 0; 0; 7 h 20 min; 3; 2;");

  // A click on a day, or a key while the chart has the keyboard, shows its figures and marks it
  // chosen; the keys stop at either end.
  const char* const kSat = "Saturday 2026-12-05: 5 h 00 min; 2; 0; 2; 0; 0; 5 h 00 min; 2; 0;";
  const char* const kSun =
      "Yesterday, Sunday 2026-12-06: 1 h 30 min; 1; 0; 0; 0; 0; 1 h 30 min; 0; 0;";
  const char* const kFirst = "Tuesday 2026-11-24: 1 h 00 min; 1; 0; 0; 0; 0; 1 h 00 min; 2; 0;";
  const char* const kSecond = "Wednesday 2026-11-25: 0 min; 0; 0; 0; 0; 0; 0 min; 0; 0;";
  const char* const kToday =
      "Today, Monday 2026-12-07: 7 h 20 min; 4; 0; 1; 0; 0; 7 h 20 min; 3; 2;";
  struct Choice {
    int click;  // -1: the key instead
    ChartStep key;
    int chosen;
    const char* figures;
  } choices[] = {
      {11, {}, 11, kSat},
      {-1, ChartStep::kNext, 12, kSun},
      {1, {}, 1, kSecond},
      {-1, ChartStep::kPrevious, 0, kFirst},
      {-1, ChartStep::kPrevious, 0, kFirst},
      {-1, ChartStep::kNext, 1, kSecond},
      {-1, ChartStep::kLast, 13, kToday},
      {-1, ChartStep::kNext, 13, kToday},
      {-1, ChartStep::kFirst, 0, kFirst},
      {-1, ChartStep::kLast, 13, kToday},
      {-1, ChartStep::kPrevious, 12, kSun},
  };
  for (const Choice& c : choices) {
    if (c.click >= 0)
      sim.ClickChart("frmStatistics", "picChart", c.click);
    else
      sim.ChartKey("frmStatistics", "picChart", c.key);
    EXPECT_EQ(Figures(), c.figures) << c.click << " " << static_cast<int>(c.key);
    EXPECT_EQ(DrawnChart().chosen, c.chosen);
  }
  EXPECT_EQ(DrawnChart().bars, bars) << "the bars stay as they were";
}

// A day of thirty skipped breaks is one number in its row: the scale and the other days stay.
TEST_F(StatisticsTest, ThirtySkippedBreaksInADayAreOneCountInTheirRow) {
  std::vector<Day> days(std::begin(kFortnight), std::end(kFortnight));
  days.push_back({3, 20, 0, 30, ""});
  std::sort(days.begin(), days.end(),
            [](const Day& a, const Day& b) { return a.daysAgo > b.daysAgo; });
  OpenOnFortnight(days);
  const Chart& chart = DrawnChart();
  EXPECT_EQ(chart.rows.at(2).counts.at(10), 30);
  EXPECT_EQ(chart.rows.at(0).counts.at(10), 0);
  EXPECT_EQ(chart.bars.at(10).value, 20 * 60);
  EXPECT_EQ(chart.top, 8 * 3600);
  sim.ClickChart("frmStatistics", "picChart", 10);
  EXPECT_EQ(Text("lblSkipped"), "30");
}

// The month shows where the chart begins and where it changes, in the user's order of day and
// month; across a year's end and a leap day too.
TEST(StatisticsChart, TheMonthShowsWhereTheChartBeginsAndWhereItChanges) {
  struct Case {
    int year, month, day;  // the chart's last day
    bool monthFirst;
    std::vector<std::pair<int, std::string>> dated;  // the bars whose date has its month
  } cases[] = {
      {2026, 12, 7, false, {{0, "24/11"}, {7, "1/12"}}},
      {2026, 12, 7, true, {{0, "11/24"}, {7, "12/1"}}},
      {2026, 12, 14, false, {{0, "1/12"}}},
      {2027, 1, 5, false, {{0, "23/12"}, {9, "1/1"}}},
      {2028, 3, 1, true, {{0, "2/17"}, {13, "3/1"}}},
  };
  FakeEventLoop loop;
  FakeCalendar calendar(loop);
  for (const Case& c : cases) {
    calendar.monthFirst = c.monthFirst;
    const int64_t last = DaysFromCivil(c.year, c.month, c.day);
    std::vector<DayFigures> days(kChartDays);
    for (int i = 0; i < kChartDays; ++i) days[i].day = last - (kChartDays - 1 - i);
    const Chart chart = FiguresChart(Texts(), days, kChartDays - 1, calendar);
    ASSERT_EQ(chart.bars.size(), days.size());
    std::vector<std::pair<int, std::string>> dated;
    for (int i = 0; i < kChartDays; ++i) {
      const std::string& label = chart.bars[i].label;
      const std::string date = label.substr(label.find('\n') + 1);
      if (date.find('/') != std::string::npos)
        dated.emplace_back(i, date);
      else {
        int y = 0, m = 0, d = 0;
        CivilFromDays(days[i].day, y, m, d);
        EXPECT_EQ(date, std::to_string(d)) << c.year << "-" << c.month << "-" << c.day << ": " << i;
      }
    }
    EXPECT_EQ(dated, c.dated) << c.year << "-" << c.month << "-" << c.day;
  }
}

TEST_F(StatisticsTest, ExportWritesTheCsvOfEveryDayWhereTheUserSays) {
  OpenOnFortnight();
  sim.fake.storage.folders.insert(kDocuments);
  const std::string target = std::string(kDocuments) + "\\fortnight.csv";

  sim.Click("frmStatistics", "cmdExport");
  ASSERT_TRUE(sim.fake.files.open);
  EXPECT_EQ(sim.fake.files.open->initialFile, "Unwindle history 2026-12-07.csv");
  sim.FinishChooser("");
  EXPECT_FALSE(sim.fake.storage.files.count(target)) << "cancelled";

  sim.Click("frmStatistics", "cmdExport");
  sim.FinishChooser(target);
  EXPECT_EQ(sim.fake.storage.files[target],
            kCsvHeader + std::string("2026-11-24,60,1,0,0,0,0,60,2,0\r\n"
                                     "2026-11-25,0,0,0,0,0,0,0,0,0\r\n"
                                     "2026-11-26,125,2,0,1,0,0,125,0,0\r\n"
                                     "2026-11-27,30,0,0,2,0,0,30,0,2\r\n"
                                     "2026-11-28,0,0,0,0,0,0,0,0,0\r\n"
                                     "2026-11-29,0,0,0,0,0,0,0,0,0\r\n"
                                     "2026-11-30,240,3,0,0,0,0,240,0,0\r\n"
                                     "2026-12-01,0,0,0,0,0,0,0,0,0\r\n"
                                     "2026-12-02,0,0,0,0,0,0,0,0,0\r\n"
                                     "2026-12-03,15,0,0,1,0,0,15,0,0\r\n"
                                     "2026-12-04,0,0,0,0,0,0,0,0,0\r\n"
                                     "2026-12-05,300,2,0,2,0,0,300,2,0\r\n"
                                     "2026-12-06,90,1,0,0,0,0,90,0,0\r\n"
                                     "2026-12-07,440,4,0,1,0,0,440,3,2\r\n"));

  // A file that refuses: said so, and nothing else changes.
  sim.fake.storage.readOnly.insert(target);
  sim.Click("frmStatistics", "cmdExport");
  sim.FinishChooser(target);
  EXPECT_EQ(Told(), "The history could not be exported to " + target + ": it is read-only.");
  EXPECT_TRUE(Loaded("frmStatistics"));
}

TEST_F(StatisticsTest, ClearHistoryAsksFirstAndThenLeavesOnlyTheHeader) {
  OpenOnFortnight();
  const std::string before = File();
  sim.Click("frmStatistics", "cmdClear");
  ASSERT_EQ(sim.fake.dialogs.open.size(), 1u);
  EXPECT_EQ(sim.fake.dialogs.open.back()->EnterPresses(), MessageAnswer::kNo) << "No by default";
  EXPECT_EQ(Told(MessageAnswer::kNo),
            "Clear the whole history of your breaks?\n\nThis cannot be undone.");
  EXPECT_EQ(File(), before);
  EXPECT_EQ(DrawnChart().bars[13].value, 26400);

  // The disk refuses: nothing is forgotten, and the user is told why.
  sim.fake.storage.readOnly.insert(JournalPath());
  sim.Click("frmStatistics", "cmdClear");
  sim.Answer(MessageAnswer::kYes);
  EXPECT_EQ(Told(), "The history could not be cleared. History is not saved: " + JournalPath() +
                        " is read-only.");
  EXPECT_EQ(File(), before);
  EXPECT_EQ(DrawnChart().bars[13].value, 26400);

  sim.fake.storage.readOnly.clear();
  sim.Click("frmStatistics", "cmdClear");
  sim.Answer(MessageAnswer::kYes);
  EXPECT_EQ(File(), kHeader);
  for (const ChartBar& bar : DrawnChart().bars) EXPECT_EQ(bar.value, 0) << bar.label;
  for (const ChartRow& row : DrawnChart().rows)
    EXPECT_EQ(row.counts, std::vector<int>(kChartDays, 0)) << row.name;
  EXPECT_EQ(Figures(), "Today, Monday 2026-12-07: 0 min; 0; 0; 0; 0; 0; 0 min; 0; 0;");
  EXPECT_FALSE(Statistics().Ctl("lblStatus").visible()) << "saving again";
}

// With the data folder out of reach, a day of use: the Statistics window says why in one line
// (each cause's line is the journal's, checked with the journal), and still counts what
// happened, from memory.
TEST_F(StatisticsTest, AFolderThatCannotBeMadeIsSaidInOneLineAndTheProgramGoesOn) {
  sim.fake.storage.folderRefused = true;
  Start(Planted("Hours=0 Minutes=1 Seconds=0 BreakMinutes=0 BreakSeconds=10"));
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(61);
  sim.Click("frmUnwindle", "cmdUnwindle");
  sim.AdvanceSeconds(11);
  sim.Click("frmRestartTimer", "cmdStopTimer");
  sim.Click("frmTimer", "mnuStatistics");
  EXPECT_EQ(Text("lblStatus"),
            "History is not saved: the folder " + sim.fake.storage.folder + " cannot be made.");
  EXPECT_TRUE(Statistics().Ctl("lblStatus").visible());
  EXPECT_EQ(Text("lblWorked"), "1 min");
  EXPECT_EQ(Text("lblTaken"), "1");
  sim.Click("frmStatistics", "cmdClose");
  EXPECT_FALSE(sim.fake.storage.files.count(JournalPath()));
  sim.Click("frmTimer", "mnuExit");
  sim.Answer(MessageAnswer::kYes);
  EXPECT_FALSE(sim.running());
}

// The file cannot be read at start-up: the window says why, counts what happened since, and
// reads the file again when it opens next; what was recorded meanwhile is neither lost nor doubled,
// whether its lines went out before that (the lock gone) or after.
struct UnreadableCase {
  const char* what;
  bool locked;        // else too large
  bool lifted;        // the cause is gone before the window opens again
  bool writtenFirst;  // and lines were written meanwhile
  const char* reason;
};
const UnreadableCase kUnreadable[] = {
    {"LockedThenLinesWrittenBeforeItReopens", true, true, true,
     "the file is locked by another program"},
    {"LockedThenLinesStillWaitingWhenItReopens", true, true, false,
     "the file is locked by another program"},
    {"TooLarge", false, false, true, "the file is too large"},
};

class UnreadableAtStart : public StatisticsTest, public ::testing::WithParamInterface<int> {};

TEST_P(UnreadableAtStart, IsSaidThenReadAgainWhenTheWindowOpensWithNothingLostOrDoubled) {
  const UnreadableCase& c = kUnreadable[GetParam()];
  FakeStorage& disk = sim.fake.storage;
  Clock(20, 0);
  const std::string planted = PlantedFortnight();
  File() = planted;
  (c.locked ? disk.locked : disk.oversized).insert(JournalPath());
  Start(Planted("Hours=0 Minutes=1 Seconds=0 BreakMinutes=0 BreakSeconds=10"));
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(61);
  sim.Click("frmUnwindle", "cmdUnwindle");
  sim.AdvanceSeconds(11);
  sim.Click("frmRestartTimer", "cmdStopTimer");
  sim.Click("frmTimer", "mnuStatistics");
  const std::string said =
      std::string("The history before today could not be read: ") + c.reason + ".";
  EXPECT_EQ(Text("lblStatus"), said);
  EXPECT_TRUE(Statistics().Ctl("lblStatus").visible());
  EXPECT_EQ(Text("lblWorked"), "1 min") << "what happened since is counted";
  EXPECT_EQ(Text("lblTaken"), "1");
  const int sessionSeconds = DrawnChart().bars[13].value;
  sim.Click("frmStatistics", "cmdClose");

  if (c.lifted) disk.locked.clear();
  if (c.writtenFirst) {
    sim.Click("frmTimer", "cmdStart");
    sim.Click("frmTimer", "cmdStop");
  }
  Journal& journal = sim.app().journal;
  const std::vector<Event> since = journal.recorded();
  sim.Click("frmTimer", "mnuStatistics");
  if (c.lifted) {
    EXPECT_FALSE(Statistics().Ctl("lblStatus").visible()) << Text("lblStatus");
    // The fortnight's today (440 min, 4 breaks taken) and this evening's, once each.
    EXPECT_EQ(DrawnChart().bars[13].value, 26400 + sessionSeconds);
    EXPECT_EQ(Text("lblTaken"), "5");
    EXPECT_EQ(DrawnChart().bars[12].value, 90 * 60) << "yesterday is back";
  } else {
    EXPECT_EQ(Text("lblStatus"), said);
    EXPECT_EQ(DrawnChart().bars[13].value, sessionSeconds);
    EXPECT_EQ(Text("lblTaken"), "1");
  }
  sim.Click("frmStatistics", "cmdClose");
  // Two lines more go out, and the file holds every event once, after what it held.
  sim.Click("frmTimer", "cmdStart");
  sim.Click("frmTimer", "cmdStop");
  std::vector<Event> expected = ParseJournal(planted);
  expected.insert(expected.end(), since.begin(), since.end());
  const std::vector<Event>& recorded = journal.recorded();
  ASSERT_GE(recorded.size(), 2u);
  expected.insert(expected.end(), recorded.end() - 2, recorded.end());
  EXPECT_EQ(ParseJournal(File()), expected);
  EXPECT_EQ(File().substr(0, planted.size()), planted);
}

INSTANTIATE_TEST_SUITE_P(Causes, UnreadableAtStart, ::testing::Range(0, 3),
                         [](const ::testing::TestParamInfo<int>& info) {
                           return std::string(kUnreadable[info.param].what);
                         });

TEST_F(StatisticsTest, WhileItIsOpenTheTrayMenuWaitsAndATimeUpClosesIt) {
  Start({{"Hours", "0"}, {"Minutes", "0"}, {"Seconds", "5"}});
  sim.Click("frmTimer", "cmdStart");
  sim.Click("frmTimer", "mnuStatisticsPopMenu");
  ASSERT_TRUE(Loaded("frmStatistics"));
  sim.Tray(TrayEvent::kRightClick);
  EXPECT_TRUE(sim.fake.view.popups.empty()) << "no tray menu over it";
  sim.AdvanceSeconds(6);
  EXPECT_FALSE(Loaded("frmStatistics"));
  EXPECT_TRUE(Loaded("frmUnwindle"));
  sim.Click("frmUnwindle", "cmdStopTimer");
}

TEST_F(StatisticsTest, TheCommandLinesCsvReadsTheFileAsItStands) {
  Clock(20, 0);
  Trace quiet(nullptr, "");
  FakeStorage disk(quiet);
  StorageStatus status = StorageStatus::kFailed;
  // No file yet: days of nothing.
  EXPECT_EQ(
      HistoryCsv(disk, sim.fake.calendar, 2, status),
      kCsvHeader + std::string("2026-12-06,0,0,0,0,0,0,0,0,0\r\n2026-12-07,0,0,0,0,0,0,0,0,0\r\n"));
  EXPECT_EQ(status, StorageStatus::kOk);
  // A line being written as it is read is no line yet.
  disk.files[disk.PathOf(kJournalFileName)] = PlantedFortnight() + "2026-12-07T19:59:00+01:00\tbre";
  const std::string csv = HistoryCsv(disk, sim.fake.calendar, 1, status);
  EXPECT_EQ(csv.substr(csv.find("\r\n") + 2), "2026-12-07,440,4,0,1,0,0,440,3,2\r\n");
  disk.files[disk.folder] = "in the way";
  disk.files.erase(disk.PathOf(kJournalFileName));
  EXPECT_EQ(HistoryCsv(disk, sim.fake.calendar, 1, status), "");
  EXPECT_EQ(status, StorageStatus::kNotAFolder);
}

}  // namespace
}  // namespace unw

// The history on the virtual clock: a week of use gives the figures counted by hand; days are
// local days, split at midnight by each event's own offset; the journal survives torn lines,
// garbage, a 50 MB file, a disk that refuses it, pruning and a kill at its worst moment.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "app/history_texts.h"
#include "history/figures.h"
#include "history/journal.h"
#include "backends/fake/fake_calendar.h"
#include "backends/fake/fake_event_loop.h"
#include "backends/fake/fake_storage.h"

namespace unw {
namespace {

constexpr int64_t kMinute = 60000, kDay = 86400000;
constexpr const char* kCsvHeader =
    "date,minutes worked,breaks taken,breaks cut short,breaks skipped,reminders snoozed,"
    "natural breaks,longest stretch in minutes,short breaks taken,short breaks skipped\r\n";

// A journal line's moment, written here by hand: "2026-12-07T09:00:00+01:00".
std::string StampText(int64_t utcMs, int offsetMinutes) {
  const LocalTime t = UtcTime(utcMs + offsetMinutes * kMinute);
  const int off = std::abs(offsetMinutes);
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", t.year, t.month,
                t.day, t.hour, t.minute, t.second, offsetMinutes < 0 ? '-' : '+', off / 60,
                off % 60);
  return text;
}

// The program on the virtual clock in the fake zone (+01:00 unless a test says otherwise).
struct HistoryTest : ::testing::Test {
  HistoryTest() { cal.standardOffsetMinutes = 60; }

  int64_t At(int hour, int minute) { return cal.FromLocal({date.y, date.m, date.d, hour, minute}); }
  // The program runs until that local time of `date`, its journal asked for a mark at once (the
  // countdown's first tick after a sleep) and then once a minute.
  void Until(int hour, int minute) {
    const int64_t target = At(hour, minute);
    journal.Mark();
    while (cal.UtcMs() < target) {
      loop.Advance(std::min(kMinute, target - cal.UtcMs()));
      journal.Mark();
    }
  }
  // Nothing of the program runs until then: not started, killed, or the machine asleep.
  void Dark(int hour, int minute) { loop.Advance(At(hour, minute) - cal.UtcMs()); }
  std::string& File() { return disk.files[disk.PathOf(kJournalFileName)]; }
  std::string Csv(const std::vector<Event>& events, int64_t lastDay, int days) {
    return FiguresCsv(LastDays(FiguresByDay(events), lastDay, days));
  }

  FakeEventLoop loop;
  FakeCalendar cal{loop};
  Trace trace{nullptr, ""};
  FakeStorage disk{trace};
  Journal journal{disk, cal};
  struct {
    int y, m, d;
  } date{2026, 12, 7};
};

TEST_F(HistoryTest, AWeekOfEveryKindOfEventGivesTheFiguresCountedByHand) {
  cal.SetLocal(2026, 12, 7, 8, 0);
  journal.Open();
  // dark: the clock gets there with the program not running (ended, killed or asleep).
  struct Step {
    int day, hour, minute;
    std::vector<Event> events;  // recorded then, in turn
    bool dark = false;
  };
  const Step week[] = {
      // Monday 7: counting 9-10, 10:05-11:05, the reminder 11:05-11:10, 11:10-12:10, 13-14 =
      // 245 min; the stretch from 10:05 to 14:00 (185) spans a snooze and both skips, which rest
      // nobody. A short break of every ending: taken when it ran out or the user was away for it,
      // skipped, neither when put off or cut by the time-up; the countdown counts on through them
      // all, so the time worked and the stretches stay as they were.
      {7, 9, 0, {ProgramStarted(), WorkStarted()}},
      {7, 9, 20, {ShortBreakStarted(20), ShortBreakEnded(ShortEnd::kRanOut, 20)}},
      // Breaks shown on the break screen add a line of how they ended there, and nothing more.
      {7,
       9,
       40,
       {ShortBreakStarted(20), ShortBreakEnded(ShortEnd::kSkipped, 0),
        ScreenBreakEnded(ScreenEnd::kSkipped, 0)}},
      {7, 10, 0, {AlertShown(AlertedBy::kPrompt), BreakStarted(BreakFrom::kPrompt)}},
      {7,
       10,
       5,
       {BreakEnded(BreakEnd::kRanOut, 300), ScreenBreakEnded(ScreenEnd::kRanOut, 300),
        WorkStarted()}},
      {7, 10, 25, {ShortBreakStarted(20), ShortBreakEnded(ShortEnd::kLater, 0)}},
      {7, 10, 27, {ShortBreakStarted(20), ShortBreakEnded(ShortEnd::kAway, 20)}},
      {7, 11, 5, {AlertShown(AlertedBy::kPrompt), Snoozed()}},
      {7, 11, 10, {AlertShown(AlertedBy::kPrompt), BreakSkipped(SkipAnswer::kRestart)}},
      {7, 12, 9, {ShortBreakStarted(20)}},
      {7,
       12,
       10,
       {ShortBreakEnded(ShortEnd::kCut, 60), AlertShown(AlertedBy::kPrompt),
        BreakSkipped(SkipAnswer::kStop)}},
      {7, 13, 0, {WorkStarted()}},
      {7, 14, 0, {AlertShown(AlertedBy::kPrompt), BreakStarted(BreakFrom::kPrompt)}},
      {7, 14, 2, {BreakEnded(BreakEnd::kCutShort, 120), WorkStopped()}},
      {7, 17, 0, {ProgramEnded()}},
      // Tuesday 8: 8:30-9 (30), paused, 9:20-9:50 (30) until a full-screen hold, 10:06-10:11 (5);
      // 10:23-11:20 less 20 min locked (37), 11:20-12:00 (40) = 142. Stretches 65, 37, 40.
      {8, 8, 30, {ProgramStarted(), WorkStarted()}, true},
      {8, 9, 0, {WorkPaused()}},
      {8, 9, 20, {WorkResumed()}},
      {8, 9, 50, {AlertHeld(HoldWhy::kFullScreen)}},
      {8, 10, 5, {AlertShown(AlertedBy::kTray)}},
      {8, 10, 6, {Snoozed()}},
      {8, 10, 11, {AlertShown(AlertedBy::kTray)}},
      {8, 10, 13, {BreakStarted(BreakFrom::kTray)}},
      {8, 10, 23, {BreakEnded(BreakEnd::kRanOut, 600), WorkStarted()}},
      {8, 11, 20, {NaturalBreak(AwayWhy::kLock, 1200)}},
      {8, 12, 0, {BreakStarted(BreakFrom::kMain)}},
      {8,
       12,
       4,
       {BreakEnded(BreakEnd::kCutShort, 240), ScreenBreakEnded(ScreenEnd::kCut, 240),
        WorkStopped()}},
      {8, 12, 30, {ProgramEnded()}},
      // Wednesday 9: killed at 9:42 while counting; its last mark was 9:40, so 40 min. Started
      // again at 9:44: 9:44-10:50 less 20 min idle (46), 10:50-11:50 until held by the user's
      // absence (60) = 146.
      {9, 9, 0, {ProgramStarted(), WorkStarted()}, true},
      {9, 9, 42, {}},
      {9, 9, 44, {ProgramStarted(), WorkStarted()}, true},
      {9, 10, 50, {NaturalBreak(AwayWhy::kIdle, 1200)}},
      {9, 11, 50, {AlertHeld(HoldWhy::kAway)}},
      {9, 11, 55, {AlertShown(AlertedBy::kNone)}},
      {9, 12, 0, {WorkStopped(), ProgramEnded()}},
      // Thursday 10: a day off.
      // Friday 11: 14-14:30, asleep until 15:30 with sleep not counting as a break (the
      // countdown's timers stood still, and that rested the user all the same), 15:30-16 (30),
      // 16:10-17:10 (60), 23:30-midnight (30) = 150; the last two are one stretch of 90. Its half
      // hour after midnight belongs to Saturday.
      {11, 14, 0, {ProgramStarted(), WorkStarted()}, true},
      {11, 14, 30, {}},
      {11, 15, 30, {}, true},
      {11, 16, 0, {BreakStarted(BreakFrom::kCommand)}},
      {11, 16, 10, {BreakEnded(BreakEnd::kRanOut, 600), WorkStarted()}},
      {11, 17, 10, {AlertShown(AlertedBy::kPrompt), BreakSkipped(SkipAnswer::kStop)}},
      {11, 23, 30, {WorkStarted()}},
      {12, 0, 30, {WorkPaused()}},
      {12, 0, 40, {WorkStopped(), ProgramEnded()}},
      // Saturday 12: 30 from Friday; 10-11:05 less 20 min switched away (45), 11:05-11:35 (30),
      // a ten-minute pause, 11:45-12 (15), 12:01-12:06 (5), 12:07-12:12 (5) = 130; stretch 55.
      {12, 10, 0, {ProgramStarted(), WorkStarted()}, true},
      {12, 11, 5, {NaturalBreak(AwayWhy::kSwitched, 1200)}},
      {12, 11, 35, {WorkPaused(600)}},
      {12, 11, 45, {WorkResumed()}},
      {12, 11, 50, {ShortBreakStarted(30), ShortBreakEnded(ShortEnd::kRanOut, 30)}},
      {12, 12, 0, {AlertShown(AlertedBy::kTray)}},
      {12, 12, 1, {Snoozed()}},
      {12, 12, 6, {AlertShown(AlertedBy::kTray)}},
      {12, 12, 7, {Snoozed()}},
      {12, 12, 12, {AlertShown(AlertedBy::kPrompt), BreakStarted(BreakFrom::kPrompt)}},
      {12, 12, 17, {BreakEnded(BreakEnd::kRanOut, 300), WorkStopped()}},
      {12, 12, 20, {ProgramEnded()}},
      // Sunday 13: 9-9:30 (30), 9:31-9:41 (10), asleep for an hour that counted as the break,
      // 10:41-11 (19) = 59.
      {13, 9, 0, {ProgramStarted(), WorkStarted()}, true},
      {13, 9, 30, {BreakStarted(BreakFrom::kMain)}},
      {13, 9, 31, {BreakEnded(BreakEnd::kCutShort, 60), WorkStarted()}},
      {13, 9, 41, {}},
      {13, 10, 41, {NaturalBreak(AwayWhy::kSleep, 3600)}, true},
      {13, 11, 0, {WorkStopped(), ProgramEnded()}},
  };
  for (const Step& s : week) {
    date.d = s.day;
    s.dark ? Dark(s.hour, s.minute) : Until(s.hour, s.minute);
    for (const Event& e : s.events) journal.Record(e);
  }
  const std::string byHand = std::string(kCsvHeader) +
                             "2026-12-07,245,2,1,2,1,0,185,2,1\r\n"
                             "2026-12-08,142,2,1,0,1,1,65,0,0\r\n"
                             "2026-12-09,146,0,0,0,0,1,60,0,0\r\n"
                             "2026-12-10,0,0,0,0,0,0,0,0,0\r\n"
                             "2026-12-11,150,1,0,1,0,0,90,0,0\r\n"
                             "2026-12-12,130,1,0,0,2,1,55,1,0\r\n"
                             "2026-12-13,59,1,1,0,0,1,30,0,0\r\n";
  const int64_t sunday = DaysFromCivil(2026, 12, 13);
  EXPECT_EQ(Csv(journal.recorded(), sunday, 7), byHand);
  // The file alone gives them too: it holds every fact the figures need.
  EXPECT_EQ(Csv(ParseJournal(File()), sunday, 7), byHand);
  const std::string head =
      "# KORVANTE Unwindle history\tversion 1\n"
      "2026-12-07T09:00:00+01:00\tprogram.start\n"
      "2026-12-07T09:00:00+01:00\twork.start\n";
  EXPECT_EQ(File().substr(0, head.size()), head);
  EXPECT_NE(File().find("\n2026-12-08T11:20:00+01:00\tbreak.natural\tlock\t1200\n"),
            std::string::npos);
  EXPECT_NE(File().find("\n2026-12-07T10:27:00+01:00\tshortbreak.start\t20\n"
                        "2026-12-07T10:27:00+01:00\tshortbreak.end\taway\t20\n"),
            std::string::npos);
  // The file stays at version 1: a version before short breaks goes on writing it, and keeps
  // their lines by their age as a later version's kind (a time, then a name of lower-case letters
  // and dots), leaving its own figures as they were.
  EXPECT_EQ(File().substr(0, File().find('\n')), "# KORVANTE Unwindle history\tversion 1");
  EXPECT_NE(File().find("\n2026-12-07T10:05:00+01:00\tbreak.end\tranout\t300\n"
                        "2026-12-07T10:05:00+01:00\tbreakscreen.end\tranout\t300\n"),
            std::string::npos);
  for (size_t at = File().find("\tshortbreak."); at != std::string::npos;
       at = File().find("\tshortbreak.", at + 1)) {
    const std::string name = File().substr(at + 1, File().find_first_of("\t\n", at + 1) - at - 1);
    EXPECT_TRUE(std::all_of(name.begin(), name.end(), [](char c) {
      return c == '.' || islower(c);
    })) << name;
  }
  EXPECT_TRUE(journal.writing());

  // Monday 14, while the countdown counts: the last mark was at 9:15; now it is 9:17.
  date.d = 14;
  Dark(9, 0);
  journal.Record(ProgramStarted());
  journal.Record(WorkStarted());
  Until(9, 17);
  EXPECT_EQ(FiguresByDay(journal.recorded()).back().workedMs, 15 * kMinute);
  EXPECT_EQ(journal.Figures(journal.Now()).back().workedMs, 17 * kMinute);
}

TEST_F(HistoryTest, WorkAcrossMidnightFallsOnEachLocalDayAsItPassedThere) {
  // Work from a local time on, for so many real minutes, in a zone with the European changes of
  // daylight saving: Central Europe changes at 02:00 local time, the Azores at midnight.
  struct Night {
    const char* what;
    int offset;
    LocalTime from;
    int minutes;
    const char* stop;  // the journal's last line
    const char* rows;
  } nights[] = {
      {"Central Europe, spring: 23:00 to 04:00", 60, LocalTime{2027, 3, 27, 23, 0}, 240,
       "2027-03-28T04:00:00+02:00\twork.stop\n",
       "2027-03-27,60,0,0,0,0,0,60,0,0\r\n2027-03-28,180,0,0,0,0,0,180,0,0\r\n"},
      {"Central Europe, autumn: 02:00 to 03:00 twice", 60, LocalTime{2027, 10, 31, 0, 0}, 300,
       "2027-10-31T04:00:00+01:00\twork.stop\n", "2027-10-31,300,0,0,0,0,0,300,0,0\r\n"},
      {"Azores, spring: midnight is 01:00", -60, LocalTime{2027, 3, 27, 23, 30}, 60,
       "2027-03-28T01:30:00+00:00\twork.stop\n",
       "2027-03-27,30,0,0,0,0,0,30,0,0\r\n2027-03-28,30,0,0,0,0,0,30,0,0\r\n"},
      {"Azores, autumn: the hour after midnight twice", -60, LocalTime{2027, 10, 30, 23, 30}, 120,
       "2027-10-31T00:30:00-01:00\twork.stop\n",
       "2027-10-30,30,0,0,0,0,0,30,0,0\r\n2027-10-31,90,0,0,0,0,0,90,0,0\r\n"},
      {"a countdown of two days and more (its hours set to 50)", 60, LocalTime{2027, 1, 4, 22, 0},
       3030, "2027-01-07T00:30:00+01:00\twork.stop\n",
       "2027-01-04,120,0,0,0,0,0,120,0,0\r\n2027-01-05,1440,0,0,0,0,0,1440,0,0\r\n"
       "2027-01-06,1440,0,0,0,0,0,1440,0,0\r\n2027-01-07,30,0,0,0,0,0,30,0,0\r\n"},
  };
  for (const Night& n : nights) {
    SCOPED_TRACE(n.what);
    cal.standardOffsetMinutes = n.offset;
    cal.daylightSaving = true;
    cal.SetLocal(n.from.year, n.from.month, n.from.day, n.from.hour, n.from.minute);
    FakeStorage night(trace);
    Journal j(night, cal);
    j.Open();
    j.Record(ProgramStarted());
    j.Record(WorkStarted());
    for (int minute = 0; minute < n.minutes; ++minute) {
      loop.Advance(kMinute);
      j.Mark();
    }
    j.Record(WorkStopped());
    const std::string& file = night.files[night.PathOf(kJournalFileName)];
    EXPECT_EQ(FiguresCsv(FiguresByDay(ParseJournal(file))), kCsvHeader + std::string(n.rows));
    EXPECT_EQ(file.substr(file.size() - std::string(n.stop).size()), n.stop);
  }
}

TEST_F(HistoryTest, AfterAZoneChangeEachEventKeepsTheDayOfItsOwnOffset) {
  cal.SetLocal(2027, 11, 1, 0, 0);
  journal.Open();
  journal.Record(WorkStarted());
  date = {2027, 11, 1};
  Until(0, 10);
  journal.Record(Snoozed());
  // Ten past midnight the user lands an hour west: it is ten past eleven of the day before.
  cal.standardOffsetMinutes = 0;
  journal.Record(Snoozed());
  date = {2027, 10, 31};
  Until(23, 20);
  journal.Record(WorkStopped());
  EXPECT_EQ(
      FiguresCsv(FiguresByDay(ParseJournal(File()))),
      kCsvHeader +
          std::string("2027-10-31,10,0,0,0,1,0,10,0,0\r\n2027-11-01,10,0,0,0,1,0,10,0,0\r\n"));
  EXPECT_NE(File().find("\n2027-10-31T23:10:00+00:00\talert.snooze\n"), std::string::npos);
}

TEST_F(HistoryTest, GarbageAndATornLastLineAreSkippedAndTheNextLineStartsClean) {
  cal.SetLocal(2026, 12, 7, 12, 0);
  const std::string header = JournalHeader() + "\n";
  const std::string good[] = {
      "2026-12-07T09:00:00+01:00\tprogram.start\n",
      "2026-12-07T09:00:00+01:00\twork.start\n",
      "2026-12-07T10:00:00+01:00\tbreak.start\tmain\r\n",        // passed through an editor
      "2026-12-07T10:01:00+01:00\tbreak.mood\tcalm\n",           // a later version's kind
      "2026-12-07T10:05:00+01:00\tbreak.end\tcut\t300\tsofa\n",  // and a later version's field
      "2026-12-07T10:20:00+01:00\tshortbreak.start\t20\n",
      "2026-12-07T10:20:00+01:00\tshortbreak.end\tskipped\t4\teyes\n",
      "2026-12-07T10:40:00+01:00\tshortbreak.stretch\tneck\n",  // a later version's short kind
  };
  const std::string garbage[] = {
      std::string("\0\0\0\0\n", 5),
      "hello world\n",
      "\n",
      "2026-02-30T10:00:00+01:00\twork.start\n",  // no such day: tests/iso_time_test.cpp
      "2026-12-07T10:00:00+01:00\tbreak.end\tcut\n",
      "2026-12-07T10:00:00+01:00\tbreak.end\tcut\t-5\n",
      "2026-12-07T10:00:00+01:00\tbreak.start\tceiling\n",
      "2026-12-07T10:00:00+01:00x\twork.start\n",
      // Short breaks whose details this version cannot read.
      "2026-12-07T10:20:00+01:00\tshortbreak.start\n",
      "2026-12-07T10:20:00+01:00\tshortbreak.start\t2x\n",
      "2026-12-07T10:20:00+01:00\tshortbreak.end\tranout\n",
      "2026-12-07T10:20:00+01:00\tshortbreak.end\tsnoozed\t20\n",
      "2026-12-07T10:20:00+01:00\tshortbreak.end\tRANOUT\t20\n",
      "2026-12-07T10:20:00+01:00\tshortbreak.end\t\t20\n",
      "2026-12-07T10:20:00+01:00\tshortbreak.end\taway\t1234567890\n",
      "2026-12-07T10:20:00+01:00\tshort break.end\tranout\t20\n",
  };
  std::string text = header + good[0];
  for (const std::string& g : garbage) text += g;
  std::string kept = header;
  for (const std::string& g : good) kept += g;
  for (size_t i = 1; i < std::size(good); ++i) text += good[i];
  text += "2026-12-07T11:00:00+01:00\tbreak.end\tranout\t3";  // "...300\n" when the power went
  File() = text;

  std::vector<Event> expected = {ProgramStarted(),
                                 WorkStarted(),
                                 BreakStarted(BreakFrom::kMain),
                                 BreakEnded(BreakEnd::kCutShort, 300),
                                 ShortBreakStarted(20),
                                 ShortBreakEnded(ShortEnd::kSkipped, 4)};
  const int64_t times[] = {At(9, 0), At(9, 0), At(10, 0), At(10, 5), At(10, 20), At(10, 20)};
  for (size_t i = 0; i < expected.size(); ++i) expected[i].at = {times[i], 60};
  // The command line reads without writing; the program at its start drops what is not kept.
  EXPECT_EQ(ParseJournal(File()), expected);
  journal.Open();
  EXPECT_EQ(journal.size(), expected.size());
  EXPECT_EQ(journal.Figures(), FiguresByDay(expected));
  EXPECT_EQ(File(), kept);
  journal.Record(WorkStopped());
  EXPECT_EQ(File(), kept + "2026-12-07T12:00:00+01:00\twork.stop\n");
}

TEST_F(HistoryTest, ANewerVersionsJournalIsReadButNeverWritten) {
  cal.SetLocal(2026, 12, 7, 12, 0);
  const std::string text =
      "# KORVANTE Unwindle history\tversion 2\n"
      "2025-01-01T09:00:00+01:00\tprogram.start\n"  // older than 400 days
      "2026-12-07T09:00:00+01:00\tbreak.start\tprompt\n"
      "whatever version 2 writes\n";
  File() = text;
  journal.Open();
  journal.Record(BreakEnded(BreakEnd::kRanOut, 300));
  EXPECT_EQ(File(), text);
  EXPECT_FALSE(journal.writing());
  EXPECT_EQ(journal.Figures().back().breaksTaken, 1);
  EXPECT_EQ(JournalStatusText(Texts(), journal.Health()),
            "The history in C:\\Users\\Ada\\AppData\\Local\\KORVANTE\\Unwindle\\history.tsv is "
            "kept by a newer version of Unwindle; it is only read.");
}

TEST_F(HistoryTest, ADiskThatRefusesTheJournalCostsTheFileAloneAndSaysSoInOneLine) {
  cal.SetLocal(2026, 12, 7, 9, 0);
  const std::string folder =
      "C:\\Users\\Zo\xC3\xAB \xC3\x86r\xC3\xB8 \xE5\xB1\xB1\xE7\x94\xB0\\AppData\\Local\\KORVANTE"
      "\\Unwindle";
  const std::string file = folder + "\\history.tsv";
  struct Case {
    const char* what;
    std::function<void(FakeStorage&)> fail, heal;
    std::string status;
    const char* stray = "";  // a file of somebody else's where the folder should be
  } cases[] = {
      {"read-only folder", [](FakeStorage& d) { d.readOnly.insert(d.folder); },
       [](FakeStorage& d) { d.readOnly.clear(); },
       "History is not saved: " + file + " is read-only."},
      // The header fits half: a torn start that the next write covers.
      {"full disk", [](FakeStorage& d) { d.freeBytes = 20; },
       [](FakeStorage& d) { d.freeBytes = 1 << 20; }, "History is not saved: the disk is full."},
      {"a file where the folder should be", [](FakeStorage& d) { d.files[d.folder] = "mine"; },
       [](FakeStorage& d) { d.files.erase(d.folder); },
       "History is not saved: a file stands where the folder " + folder + " should be.", "mine"},
      {"a folder that cannot be made", [](FakeStorage& d) { d.folderRefused = true; },
       [](FakeStorage& d) { d.folderRefused = false; },
       "History is not saved: the folder " + folder + " cannot be made."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FakeStorage refusing(trace);
    refusing.folder = folder;
    Journal j(refusing, cal);
    c.fail(refusing);
    j.Open();
    j.Record(ProgramStarted());
    j.Record(WorkStarted());
    for (int minute = 0; minute < 30; ++minute) {
      loop.Advance(kMinute);
      j.Mark();
    }
    j.Record(BreakStarted(BreakFrom::kMain));
    EXPECT_FALSE(j.writing());
    EXPECT_EQ(JournalStatusText(Texts(), j.Health()), c.status);
    // The figures of this session are all there.
    const DayFigures today = j.Figures().back();
    EXPECT_EQ(today.workedMs, 30 * kMinute);
    EXPECT_EQ(today.breaksTaken, 1);
    EXPECT_EQ(refusing.files.count(folder) ? refusing.files[folder] : "", c.stray);
    const std::vector<Event> held = j.recorded();
    EXPECT_FALSE(j.Clear());
    EXPECT_EQ(j.recorded(), held) << "nothing forgotten while the file cannot be cleared";
    // Once the disk takes it again, the lines it refused come first, and nothing torn is left.
    c.heal(refusing);
    j.Record(ProgramEnded());
    EXPECT_TRUE(j.writing());
    EXPECT_EQ(JournalStatusText(Texts(), j.Health()), "History is kept in " + file + ".");
    std::string expected = JournalHeader() + "\n";
    for (const Event& e : j.recorded()) expected += FormatEvent(e) + "\n";
    EXPECT_EQ(refusing.files[file], expected);
    EXPECT_EQ(ParseJournal(refusing.files[file]), j.recorded());
    EXPECT_TRUE(j.Clear());
    EXPECT_EQ(refusing.files[file], JournalHeader() + "\n");
    EXPECT_EQ(j.size(), 0u);
  }
}

// Lines of a working day (counting 185 min, stretches 60 and 125, a break, a snooze, a skip),
// with the countdown's marks, written by hand.
std::string WorkingDay(int64_t nineUtc, int offset) {
  std::string text;
  auto line = [&](int minute, const char* rest) {
    text += StampText(nineUtc + minute * kMinute, offset) + "\t" + rest + "\n";
  };
  auto counting = [&](int from, int to) {
    for (int m = from + 5; m < to; m += 5) line(m, "work.counting");
  };
  line(0, "program.start");
  line(0, "work.start");
  counting(0, 60);
  line(60, "alert.shown\tprompt");
  line(60, "break.start\tprompt");
  line(65, "break.end\tranout\t300");
  line(65, "work.start");
  counting(65, 125);
  line(125, "alert.shown\ttray");
  line(126, "alert.snooze");
  line(131, "alert.shown\ttray");
  line(131, "alert.skip\trestart");
  counting(131, 191);
  line(191, "work.stop");
  line(480, "program.end");
  return text;
}

// /history of a few days looks at the older lines only for whether the countdown counted after
// them: a countdown that began days before and counts on, marked, is counted into them.
TEST_F(HistoryTest, HistoryOfAFewDaysCountsACountdownThatBeganBeforeThem) {
  cal.SetLocal(2026, 12, 10, 12, 0);
  std::string text = JournalHeader() + "\n";
  const int64_t from = cal.FromLocal({2026, 12, 6, 23, 0});
  text += StampText(from, 60) + "\twork.start\n";
  for (int64_t at = from + 5 * kMinute; at <= cal.UtcMs() - 5 * kMinute; at += 5 * kMinute)
    text += StampText(at, 60) + "\twork.counting\n";
  File() = text;
  const int64_t today = LocalDay(Stamp{cal.UtcMs(), 60});
  for (int days : {1, 2, 3, 5}) {
    StorageStatus status = StorageStatus::kFailed;
    const std::string csv = HistoryCsv(disk, cal, days, status);
    EXPECT_EQ(csv, FiguresCsv(LastDays(FiguresByDay(ParseJournal(text), Stamp{cal.UtcMs(), 60}),
                                       today, days)))
        << days;
    // Every whole day in between was worked whole.
    if (days >= 2) {
      EXPECT_NE(csv.find("2026-12-09,1440,"), std::string::npos) << csv;
    }
  }
}

// Counted in bounded memory: a history of more pieces of work than the tally keeps open gives
// every day its due, counted by hand.
TEST_F(HistoryTest, AHistoryOfCountlessPiecesOfWorkIsCountedWhole) {
  const int64_t first = cal.FromLocal({2026, 1, 1, 6, 0});
  std::vector<Event> events;
  const int days = 250, perDay = 300;  // 75,000 pieces: work a minute, a break of two
  for (int d = 0; d < days; ++d) {
    for (int i = 0; i < perDay; ++i) {
      const int64_t start = first + d * kDay + i * 3 * kMinute;
      Event work = WorkStarted(), stop = BreakStarted(BreakFrom::kMain);
      work.at = {start, 60};
      stop.at = {start + kMinute + (i == 7 ? kMinute : 0), 60};
      events.push_back(work);
      events.push_back(stop);
    }
  }
  const std::vector<DayFigures> byDay = FiguresByDay(events);
  ASSERT_EQ(byDay.size(), static_cast<size_t>(days));
  for (const DayFigures& f : byDay) {
    EXPECT_EQ(f.workedMs, (perDay + 1) * kMinute) << DateText(f.day);
    EXPECT_EQ(f.breaksTaken, perDay) << DateText(f.day);
    EXPECT_EQ(f.longestStretchMs, 2 * kMinute) << DateText(f.day);
  }
}

// The file comes in pieces of any size: the start-up read, what it keeps and /history give what
// the whole text gives, wherever a piece ends (inside a line, between a CR and its LF).
TEST_F(HistoryTest, ReadInPiecesOfAnySizeTheJournalGivesWhatTheWholeTextGives) {
  cal.SetLocal(2026, 12, 8, 20, 0);
  const std::string header = JournalHeader() + "\n";
  const std::string day = WorkingDay(cal.FromLocal({2026, 12, 7, 9, 0}), 60) +
                          WorkingDay(cal.FromLocal({2026, 12, 8, 9, 0}), 60);
  std::string crlf;
  for (char ch : day) ch == '\n' ? crlf += "\r\n" : crlf += ch;
  std::string damaged = header;
  const std::string tooLong(LineReader::kLongestLine + 10, 'z');
  const char* junk[] = {"",
                        "x\t9:-",
                        "2026-13-45T99:00:00+01:00\twork.start",
                        "\r",
                        "2026-12-07T09:01:00+01:00\tbreak.mood\tcalm",
                        tooLong.c_str(),
                        "2026-12-07T09:02:00+01:00\twork.counting\textra\tfields"};
  size_t n = 0;
  for (size_t at = 0, end; (end = day.find('\n', at)) != std::string::npos; at = end + 1) {
    damaged += day.substr(at, end + 1 - at);
    if (n % 9 == 4) damaged += junk[(n / 9) % std::size(junk)] + std::string("\n");
    ++n;
  }
  const struct {
    const char* what;
    std::string text;
  } files[] = {
      {"whole lines", header + day},
      {"CR LF", header + crlf},
      {"a last line without its end", header + day + "2026-12-08T19:00:00+01:00\tbreak.start\tpro"},
      {"damaged lines, one too long", damaged},
      {"no header", day},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.what);
    const std::vector<Event> events = ParseJournal(f.text);
    ASSERT_GT(events.size(), 80u);
    std::string kept;  // as tidied from the whole file in one piece
    for (size_t piece :
         {size_t{1} << 24, size_t{1}, size_t{2}, size_t{3}, size_t{7}, size_t{64}, size_t{4096}}) {
      SCOPED_TRACE(piece);
      FakeStorage pieces(trace);
      pieces.pieceBytes = piece;
      const std::string path = pieces.PathOf(kJournalFileName);
      pieces.files[path] = f.text;
      StorageStatus status = StorageStatus::kFailed;
      EXPECT_EQ(HistoryCsv(pieces, cal, 3, status),
                Csv(events, LocalDay(Stamp{cal.UtcMs(), 60}), 3));
      EXPECT_EQ(status, StorageStatus::kOk);
      Journal j(pieces, cal);
      j.Open();
      EXPECT_EQ(j.size(), events.size());
      EXPECT_EQ(j.Figures(), FiguresByDay(events));
      if (kept.empty()) kept = pieces.files[path];
      EXPECT_TRUE(pieces.files[path] == kept);
      EXPECT_EQ(ParseJournal(pieces.files[path]), events);
    }
    EXPECT_TRUE(kept == f.text || kept.substr(0, header.size()) == header) << "left, or tidied";
    EXPECT_EQ(kept.find("zzz"), std::string::npos) << "the line too long went";
    EXPECT_EQ(kept.find("x\t9"), std::string::npos) << "garbage went";
    EXPECT_EQ(kept.back(), '\n') << "the torn line went";
    EXPECT_EQ(kept.find("break.mood") != std::string::npos,
              f.text.find("break.mood") != std::string::npos)
        << "a newer version's line stays";
  }
}

TEST_F(HistoryTest, AFiftyMegabyteJournalIsReadWholeAndShrinksToItsEvents) {
  cal.SetLocal(2027, 6, 1, 12, 0);
  const std::string header = JournalHeader() + "\n";
  std::string clean = header, big = header;
  // A year of working days, each followed by 140 KB of garbage in one line; then a torn megabyte.
  std::string junk(140 * 1024, '\0');
  for (size_t i = 0; i < junk.size(); ++i) junk[i] = "x\t9:-\xFF\0"[i % 6];
  junk.back() = '\n';
  const int64_t firstNine = cal.FromLocal({2026, 6, 1, 9, 0});
  for (int d = 0; d < 365; ++d) {
    const std::string day = WorkingDay(firstNine + d * kDay, 60);
    clean += day;
    big += day;
    big += junk;
  }
  big += std::string(1 << 20, 'y');
  ASSERT_GE(big.size(), 50u << 20);
  File() = big;
  journal.Open();
  EXPECT_TRUE(File() == clean) << "a file of " << File().size() << " bytes";
  const std::vector<DayFigures> days = journal.Figures();
  ASSERT_EQ(days.size(), 365u);
  for (const DayFigures& f : days) {
    EXPECT_EQ((std::tuple{f.workedMs, f.breaksTaken, f.breaksSkipped, f.remindersSnoozed,
                          f.longestStretchMs}),
              (std::tuple{185 * kMinute, 1, 1, 1, 125 * kMinute}))
        << DateText(f.day);
  }
}

// A line a day for 420 days back (in four zones, some with a CR, some of a later version's kind)
// and two on either side of the 400 days: the younger ones stay exactly as they were.
TEST_F(HistoryTest, PruningKeepsEveryYoungerLineByteForByteAndAKillBeforeTheRenameLosesNothing) {
  cal.SetLocal(2027, 6, 1, 12, 0);
  const int64_t now = cal.UtcMs(), oldest = now - 400 * kDay;
  const int offsets[] = {60, -300, 345, 0};
  const char* rests[] = {"work.start", "break.end\tranout\t300", "alert.skip\tstop",
                         "break.mood\tcalm"};
  std::string original = JournalHeader() + "\n", kept = original;
  size_t young = 0;
  auto add = [&](int64_t at, int i) {
    const std::string line =
        StampText(at, offsets[i % 4]) + "\t" + rests[i % 4] + (i % 7 == 0 ? "\r\n" : "\n");
    original += line;
    if (at >= oldest) {
      kept += line;
      if (i % 4 != 3) ++young;
    }
  };
  for (int d = 420; d > 0; --d) {
    add(now - d * kDay - 3600000, d);
    if (d == 400) {
      add(oldest - 1000, 1);
      add(oldest + 1000, 2);
    }
  }
  File() = original;
  const std::string temp = disk.PathOf(std::string(kJournalFileName) + ".new");

  disk.killAt = FakeStorage::Kill::kBetweenTempAndRename;
  EXPECT_THROW(journal.Open(), FakeStorage::Killed);
  EXPECT_EQ(File(), original) << "the old file is whole";
  EXPECT_EQ(disk.files[temp], kept) << "the new one waited for its rename";

  disk.killAt = FakeStorage::Kill::kNone;
  Journal next(disk, cal);
  next.Open();
  EXPECT_EQ(File(), kept);
  EXPECT_EQ(disk.files.count(temp), 0u);
  EXPECT_EQ(next.size(), young);
  EXPECT_EQ(next.Figures(), FiguresByDay(ParseJournal(kept)));
  // Nothing left to drop: the next start replaces nothing (a kill there would show).
  disk.killAt = FakeStorage::Kill::kBetweenTempAndRename;
  Journal third(disk, cal);
  EXPECT_NO_THROW(third.Open());
}

TEST_F(HistoryTest, AKillHalfwayThroughALineLosesThatLineAlone) {
  cal.SetLocal(2026, 12, 7, 9, 0);
  journal.Open();
  journal.Record(ProgramStarted());
  journal.Record(WorkStarted());
  const std::string before = File();
  loop.Advance(kMinute);
  disk.killAt = FakeStorage::Kill::kHalfwayThroughAppend;
  EXPECT_THROW(journal.Record(BreakStarted(BreakFrom::kTray)), FakeStorage::Killed);
  EXPECT_GT(File().size(), before.size()) << "half a line reached the disk";

  disk.killAt = FakeStorage::Kill::kNone;
  Journal next(disk, cal);
  next.Open();
  EXPECT_EQ(File(), before);
  EXPECT_EQ(next.size(), ParseJournal(before).size());
  EXPECT_EQ(next.Figures(), FiguresByDay(ParseJournal(before)));
  next.Record(ProgramStarted());
  EXPECT_EQ(File(), before + "2026-12-07T09:01:00+01:00\tprogram.start\n");
}

}  // namespace
}  // namespace unw

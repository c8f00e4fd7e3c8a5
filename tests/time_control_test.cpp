// Control over time on the virtual clock and a fake time zone: pauses that end by the clock
// (across midnight, daylight saving, a restart, a sleep) and working hours outside which a counting
// timer rests (over a week, with alerts pending, at launch), and their dialog.
#include <gtest/gtest.h>

#include <tuple>

#include "cycle/break_cycle.h"
#include "program_fixture.h"

namespace unw {
namespace {

struct Zone {
  int offsetMinutes = 0;
  bool daylightSaving = false;
};
constexpr Zone kUtc{};
constexpr Zone kCentralEurope{60, true};

struct When {
  int year, month, day, hour, minute, second = 0;
};

// A ten-minute interval counting from the start, a five-minute break, a one-minute reminder.
const Values kTenMinutes = Planted(
    "Hours=0 Minutes=10 Seconds=0 BreakMinutes=5 BreakSeconds=0 StartTimerOnLaunch=1 "
    "SnoozeMinutes=1");

class TimeControlTest : public ProgramTest {
 protected:
  // The program on kTenMinutes, started at `when` in `zone`.
  void StartAt(Zone zone, When when, const Values& settings = {}) {
    unw::Plant(sim, {kTenMinutes, settings});
    Clock(sim, zone, when);
    sim.Start();
  }
  // The clock of `s` before its start: the splash comes first, the main window is up five seconds
  // later, at `w`.
  static void Clock(Sim& s, Zone zone, When w) {
    s.fake.calendar.standardOffsetMinutes = zone.offsetMinutes;
    s.fake.calendar.daylightSaving = zone.daylightSaving;
    s.fake.calendar.SetLocal(w.year, w.month, w.day, w.hour, w.minute, w.second);
    s.fake.calendar.SetUtc(s.fake.calendar.UtcMs() - 5000);
  }
  // The local time now, as "YYYY-MM-DD HH:MM".
  std::string LocalNow() {
    const LocalTime t = sim.fake.calendar.ToLocal(sim.fake.calendar.UtcMs());
    char text[32];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute);
    return text;
  }
  // The timers of the cycle that run now.
  std::vector<std::string> RunningTimers() {
    std::vector<std::string> out;
    for (const char* t : {"tmrMain", "tmrBreak", "tmrPlaySound", "tmrFlash", "tmrBalloonTip",
                          "tmrAware", "tmrClock"})
      if (Running(t)) out.push_back(t);
    return out;
  }
};

TEST_F(TimeControlTest, TimedPausesEndByTheClockAcrossMidnightAndDaylightSaving) {
  struct Case {
    Zone zone;
    When start;         // a minute before the pause is asked for
    const char* item;   // of the tray menu
    const char* until;  // what the tooltip says
    int64_t seconds;    // how long the pause lasts
  } cases[] = {
      {kUtc, {2026, 12, 7, 14, 9}, "mnuPause30", "14:40", 1800},
      {kUtc, {2026, 12, 7, 14, 9, 30}, "mnuPause30", "14:41", 1830},  // to the whole minute
      {kUtc, {2026, 12, 7, 23, 29}, "mnuPause60", "tomorrow 00:30", 3600},
      {kUtc, {2026, 12, 7, 21, 59}, "mnuPauseTomorrow", "tomorrow 06:00", 8 * 3600},
      // 02:00 becomes 03:00 on the last Sunday of March; 03:00 becomes 02:00 in October.
      {kCentralEurope, {2027, 3, 28, 1, 29}, "mnuPause120", "04:30", 7200},
      {kCentralEurope, {2027, 3, 27, 21, 59}, "mnuPauseTomorrow", "tomorrow 06:00", 7 * 3600},
      {kCentralEurope, {2026, 10, 25, 1, 29}, "mnuPause120", "02:30", 7200},
      {kCentralEurope, {2026, 10, 24, 21, 59}, "mnuPauseTomorrow", "tomorrow 06:00", 9 * 3600},
  };
  for (const Case& c : cases) {
    Sim s;
    Plant(s, {kTenMinutes});
    Clock(s, c.zone, c.start);
    s.Start();
    s.AdvanceSeconds(60);
    s.Click("frmTimer", c.item);
    SCOPED_TRACE(c.item + std::string(" at ") + std::to_string(c.start.hour));
    EXPECT_EQ(TipOf(s), std::string("KORVANTE Unwindle \nPaused until ") + c.until + ".");
    EXPECT_EQ(s.app().cycle.state(), CycleState::kPausedUntil);
    EXPECT_FALSE(s.fake.loop.IsTimerRunning("BreakCycle", "tmrMain"));
    EXPECT_NE(StoredIn(s, "PausedUntil"), " ");
    s.AdvanceSeconds(c.seconds - 1);
    EXPECT_EQ(s.app().cycle.state(), CycleState::kPausedUntil) << "a second early";
    s.AdvanceSeconds(1);
    EXPECT_EQ(s.app().cycle.state(), CycleState::kCounting);
    // Longer than a break: the work period starts again from its full interval.
    EXPECT_EQ(s.app().frmTimer().TimeRemaining(), "00:10:00");
    EXPECT_EQ(StoredIn(s, "PausedUntil"), " ");
  }
}

TEST_F(TimeControlTest, AShortPauseContinuesWhereItStoodAndStartOrResumeEndItAtOnce) {
  StartAt(kUtc, {2026, 12, 7, 10, 0}, {{"BreakMinutes", "45"}});
  sim.AdvanceSeconds(120);
  ASSERT_EQ(Display(), "00:08:00");
  sim.Click("frmTimer", "mnuPause30");
  EXPECT_TRUE(main().Ctl("mnuResume").visible());
  sim.AdvanceSeconds(30 * 60);
  EXPECT_EQ(State(), CycleState::kCounting);
  EXPECT_EQ(Display(), "00:08:00") << "half an hour is no break of 45 minutes";
  EXPECT_FALSE(main().Ctl("mnuResume").visible());
  for (const char* end : {"mnuResume", "mnuFileResume", "mnuStart"}) {
    sim.Click("frmTimer", "mnuFilePause120");
    sim.AdvanceSeconds(600);
    sim.Click("frmTimer", end);
    EXPECT_EQ(State(), CycleState::kCounting) << end;
    EXPECT_EQ(Display(), "00:08:00") << end;
    EXPECT_EQ(Stored("PausedUntil"), " ") << end;
  }
}

TEST_F(TimeControlTest, APauseOutlivesARestartAndAStoredEndInThePastIsOver) {
  StartAt(kUtc, {2026, 12, 7, 10, 0});
  sim.Click("frmTimer", "mnuPause60");
  const std::string stored = Stored("PausedUntil");
  EXPECT_EQ(stored, "2026-12-07T11:00:00Z");
  struct Case {
    std::string value;
    int minutesLater;  // when the program starts again
    CycleState state;
  } cases[] = {
      {stored, 20, CycleState::kPausedUntil},
      {stored, 61, CycleState::kCounting},  // over while the program was not running
      {"tomorrow", 0, CycleState::kCounting},
      {"2026-13-40T99:00:00Z", 0, CycleState::kCounting},
  };
  for (const Case& c : cases) {
    Sim s;
    Plant(s, {kTenMinutes, {{"PausedUntil", c.value}}});
    s.fake.calendar.SetLocal(2026, 12, 7, 10, c.minutesLater);
    s.Start();
    SCOPED_TRACE(c.value + " +" + std::to_string(c.minutesLater));
    EXPECT_EQ(s.app().cycle.state(), c.state);
    if (c.state != CycleState::kPausedUntil) {
      EXPECT_EQ(StoredIn(s, "PausedUntil"), " ");
      continue;
    }
    EXPECT_EQ(TipOf(s), "KORVANTE Unwindle \nPaused until 11:00.");
    s.AdvanceSeconds(39 * 60 + 55);  // to 11:00 exactly
    EXPECT_EQ(s.app().cycle.state(), CycleState::kCounting);
    EXPECT_EQ(s.app().frmTimer().TimeRemaining(), "00:10:00") << "a pause from before is a break";
  }
}

TEST_F(TimeControlTest, SleepThroughTheEndOfAPauseEndsItOnTheReturn) {
  StartAt(kUtc, {2026, 12, 7, 10, 0}, {{"SleepCountsAsBreak", "0"}});
  sim.AdvanceSeconds(60);
  sim.Click("frmTimer", "mnuPause30");
  sim.Sleep(45 * 60 * 1000);
  EXPECT_EQ(State(), CycleState::kCounting) << "at once on the return";
  EXPECT_EQ(Display(), "00:10:00");
}

TEST_F(TimeControlTest, OutsideWorkingHoursTheCountdownRestsOverAWeek) {
  // Monday 16:58: two minutes of work left on the day, in a long interval that never runs out.
  StartAt(
      kUtc, {2026, 12, 7, 16, 58},
      {{"Hours", "2"}, {"Minutes", "0"}, {"WorkingHoursEnabled", "1"}, {"IdleCountsAsBreak", "1"}});
  ASSERT_EQ(State(), CycleState::kCounting);
  struct Step {
    int64_t seconds;  // later
    const char* local;
    CycleState state;
    const char* tip;  // when resting
  } steps[] = {
      {119, "2026-12-07 16:59", CycleState::kCounting, nullptr},
      {1, "2026-12-07 17:00", CycleState::kResting, "reminders start at 09:00 tomorrow."},
      {16 * 3600 - 1, "2026-12-08 08:59", CycleState::kResting, "reminders start at 09:00."},
      {1, "2026-12-08 09:00", CycleState::kCounting, nullptr},
      {3 * 86400 + 8 * 3600, "2026-12-11 17:00", CycleState::kResting,
       "reminders start at 09:00 on Monday."},  // Friday evening, a weekend off
      {86400, "2026-12-12 17:00", CycleState::kResting, "reminders start at 09:00 on Monday."},
      {40 * 3600, "2026-12-14 09:00", CycleState::kCounting, nullptr},
  };
  bool restedAllAlong = false;
  for (const Step& s : steps) {
    restedAllAlong = State() == CycleState::kResting;
    const size_t linesBefore = sim.fake.trace.lines().size();
    sim.AdvanceSeconds(s.seconds);
    EXPECT_EQ(LocalNow(), s.local);
    EXPECT_EQ(State(), s.state) << s.local;
    if (s.state != CycleState::kResting) continue;
    EXPECT_EQ(Tip(), std::string("KORVANTE Unwindle \nOutside working hours; ") + s.tip) << s.local;
    EXPECT_EQ(Display(), "02:00:00") << s.local;
    EXPECT_EQ(RunningTimers(), std::vector<std::string>{"tmrClock"}) << s.local;
    if (!restedAllAlong) continue;
    // Resting costs a look at the clock a minute at most.
    size_t looks = 0;
    for (size_t i = linesBefore; i < sim.fake.trace.lines().size(); ++i)
      looks +=
          sim.fake.trace.lines()[i].find("timer.start\tBreakCycle\ttmrClock") != std::string::npos;
    EXPECT_LE(looks, static_cast<size_t>(s.seconds / 60 + 2)) << s.local;
  }
  EXPECT_EQ(Display(), "02:00:00") << "the new day starts from the full interval";
}

TEST_F(TimeControlTest, TheEndOfTheWorkingDayEndsAPendingAlert) {
  for (const char* alertMeBy : {"0", "1"}) {
    Sim s;
    Plant(s, {kTenMinutes,
              Planted("Minutes=0 Seconds=5 BalloonTipsEnabled=0 WorkingHoursEnabled=1"),
              {{"AlertMeBy", alertMeBy}}});
    s.fake.calendar.SetLocal(2026, 12, 7, 16, 59, 40);
    s.Start();
    s.AdvanceSeconds(6);
    ASSERT_TRUE(IsAlert(s.app().cycle.state())) << alertMeBy;
    s.AdvanceSeconds(20);
    EXPECT_EQ(s.app().cycle.state(), CycleState::kResting) << alertMeBy;
    EXPECT_FALSE(s.FindForm("frmUnwindle")) << "no prompt after hours";
    EXPECT_TRUE(s.app().frmTimer().visible()) << "the window the alert hid comes back";
    EXPECT_FALSE(s.fake.loop.IsTimerRunning("BreakCycle", "tmrFlash"));
    const size_t sounds = s.fake.sound.played.size() + s.fake.sound.beeps.size();
    s.AdvanceSeconds(3600);
    EXPECT_EQ(s.fake.sound.played.size() + s.fake.sound.beeps.size(), sounds) << "no sound";
  }
}

TEST_F(TimeControlTest, AWorkPeriodAfterALongPauseOrAfterHoursCountsItsRemindersFromNone) {
  // One reminder allowed: the first prompt of a period offers it, the next one no longer does.
  // The first prompt of the next period is the first prompt of the first one again.
  struct Case {
    const char* how;
    When start;  // the prompt comes ten minutes later
    Values settings;
    const char* pause;    // taken right after Remind Later (it lasts until its end), or none
    int64_t untilPeriod;  // seconds from Remind Later to the start of the next period
  } cases[] = {
      {"a pause as long as a break", {2026, 12, 7, 10, 0}, {}, "mnuPause30", 0},
      // The reminder's own prompt at 16:59 is left open; the evening closes it.
      {"the next working day",
       {2026, 12, 7, 16, 48},
       {{"WorkingHoursEnabled", "1"}},
       nullptr,
       16 * 3600 + 119},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    Sim s;
    Plant(s, {kTenMinutes, {{"NumberOfSnooze", "1"}}, c.settings});
    Clock(s, kUtc, c.start);
    s.Start();
    auto prompt = [&s] {
      std::string seen;
      for (const char* p : {"picInformation", "picExclamation", "picStop", "cmdRemindLater"})
        seen += s.ctl("frmUnwindle", p).visible() && s.ctl("frmUnwindle", p).enabled() ? "1" : "0";
      return seen;
    };
    s.AdvanceSeconds(601);
    ASSERT_TRUE(s.FindForm("frmUnwindle"));
    const std::string first = prompt();
    EXPECT_EQ(first.back(), '1') << "Remind Later offered";
    s.Click("frmUnwindle", "cmdRemindLater");
    int64_t wait = c.untilPeriod;
    if (c.pause) {
      s.Click("frmTimer", c.pause);
      wait = (s.app().cycle.pauseEnd() - s.fake.calendar.UtcMs()) / 1000;
    }
    s.AdvanceSeconds(wait);
    EXPECT_EQ(s.app().cycle.state(), CycleState::kCounting);
    EXPECT_EQ(s.app().frmTimer().TimeRemaining(), "00:10:00");
    s.AdvanceSeconds(601);
    ASSERT_TRUE(s.FindForm("frmUnwindle"));
    EXPECT_EQ(prompt(), first) << "the status icon and Remind Later";
  }
}

TEST_F(TimeControlTest, StartingOutsideHoursRestsAStartedTimerAndLeavesAStoppedOneStopped) {
  for (const char* onLaunch : {"1", "0"}) {
    Sim s;
    Plant(s, {kTenMinutes, {{"WorkingHoursEnabled", "1"}, {"StartTimerOnLaunch", onLaunch}}});
    s.fake.calendar.SetLocal(2026, 12, 12, 10, 0);  // a Saturday
    s.Start();
    const CycleState atLaunch = onLaunch[0] == '1' ? CycleState::kResting : CycleState::kStopped;
    EXPECT_EQ(s.app().cycle.state(), atLaunch) << onLaunch;
    s.AdvanceSeconds(47 * 3600);  // Monday 09:00
    EXPECT_EQ(s.app().cycle.state(),
              onLaunch[0] == '1' ? CycleState::kCounting : CycleState::kStopped)
        << onLaunch;
  }
}

TEST_F(TimeControlTest, AnUnreadableDayIsRepairedAloneAndTheDialogNamesABadOne) {
  Plant({{"WorkingHours",
          "Mon=08:00-12:00;Tue=nine to five;Wed=;Thu=10:00-11:00;Fri=09:00-17:00;Sat=;Sun="}});
  sim.fake.calendar.SetLocal(2026, 12, 7, 10, 0);
  sim.Start();
  EXPECT_EQ(Stored("WorkingHours"),
            "Mon=08:00-12:00;Tue=09:00-17:00;Wed=;Thu=10:00-11:00;Fri=09:00-17:00;Sat=;Sun=");
  sim.Click("frmTimer", "mnuWorkingHours");
  ASSERT_TRUE(Loaded("frmWorkingHours"));
  EXPECT_EQ(sim.ctl("frmWorkingHours", "txtFrom0").text(), "08:00");
  EXPECT_FALSE(sim.ctl("frmWorkingHours", "txtFrom2").enabled()) << "Wednesday is a day off";
  sim.Click("frmWorkingHours", "chkWorkingHours");
  sim.Click("frmWorkingHours", "chkDay2");
  sim.Type("frmWorkingHours", "txtFrom2", "17:00");
  sim.Type("frmWorkingHours", "txtTo2", "09:00");
  sim.Click("frmWorkingHours", "cmdSave");
  EXPECT_NE(Told().find("Wednesday"), std::string::npos);
  EXPECT_TRUE(Loaded("frmWorkingHours")) << "nothing stored, the dialog stays";
  EXPECT_EQ(Stored("WorkingHoursEnabled"), "0");
  sim.Type("frmWorkingHours", "txtTo2", "18:00");
  sim.Click("frmWorkingHours", "cmdSave");
  EXPECT_FALSE(Loaded("frmWorkingHours"));
  EXPECT_EQ(Stored("WorkingHoursEnabled"), "1");
  EXPECT_EQ(Stored("WorkingHours"),
            "Mon=08:00-12:00;Tue=09:00-17:00;Wed=17:00-18:00;Thu=10:00-11:00;Fri=09:00-17:00;Sat=;"
            "Sun=");
  // Monday 10:00 is within; 12:00 ends the day, and a started timer rests until Tuesday.
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(2 * 3600);
  EXPECT_EQ(State(), CycleState::kResting);
  EXPECT_EQ(Tip(), "KORVANTE Unwindle \nOutside working hours; reminders start at 09:00 tomorrow.");
  // Working hours turned off: the resting timer counts again at once, from its full interval.
  sim.Click("frmTimer", "mnuWorkingHours");
  sim.Click("frmWorkingHours", "chkWorkingHours");
  sim.Click("frmWorkingHours", "cmdSave");
  EXPECT_EQ(State(), CycleState::kCounting);
  EXPECT_EQ(Display(), "01:00:00");
}

}  // namespace
}  // namespace unw

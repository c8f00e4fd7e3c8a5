// Short breaks between the long ones and the heads-up before a break, on the virtual clock: when
// they come over a working day, what puts them off, what counts as one, and what holds them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cycle/break_cycle.h"
#include "program_fixture.h"

namespace unw {
namespace {

// A work period counting from the start with short breaks of 20 seconds, a five-minute break and a
// ten-minute reminder; the user types all along unless a test says otherwise.
const Values kShortBreaks = Planted(
    "ShortBreaks=1 ShortBreakSeconds=20 BreakMinutes=5 BreakSeconds=0 SnoozeMinutes=10 "
    "SnoozeSeconds=0 StartTimerOnLaunch=1 Hours=0 Seconds=0");

// A work period of `minutes` as the settings hold it.
Values WorkMinutes(int minutes) {
  return {{"Hours", std::to_string(minutes / 60)}, {"Minutes", std::to_string(minutes % 60)}};
}

constexpr int kMinute = 60;

// What the windows of a program were shown while its clock ran a second at a time: the second
// (since the start) each short break and each heads-up appeared at, and when the long alert came.
struct Seen {
  std::vector<int> shortBreaks;
  std::vector<int> headsUps;
  std::vector<HeadsUpKind> headsUpKinds;
  int alert = -1;
};

class Watch {
 public:
  explicit Watch(Sim& s) : s_(s) {}
  CycleSnapshot Now() { return s_.app().cycle.Snapshot(); }
  int now() const { return now_; }
  // Runs the clock `seconds` (stopping at the long alert); the user types all along but from
  // `idleFrom` to `idleTo` (seconds since the start).
  Seen Run(int seconds, int idleFrom = -1, int idleTo = -1) {
    Seen seen;
    for (int i = 0; i < seconds; ++i) {
      const CycleSnapshot before = Now();
      if (now_ < idleFrom || now_ >= idleTo) s_.fake.presence.Input();
      s_.AdvanceSeconds(1);
      ++now_;
      const CycleSnapshot after = Now();
      if (after.shortBreakOn && !before.shortBreakOn) seen.shortBreaks.push_back(now_);
      if (after.headsUp != HeadsUpKind::kNone && before.headsUp == HeadsUpKind::kNone) {
        seen.headsUps.push_back(now_);
        seen.headsUpKinds.push_back(after.headsUp);
      }
      if (IsAlert(after.state)) {
        seen.alert = now_;
        break;
      }
    }
    return seen;
  }
  // Runs (the user typing) until `until` holds, at most `limit` seconds: the second it held, or -1.
  template <typename F>
  int RunUntil(int limit, F until) {
    for (int i = 0; i < limit; ++i) {
      s_.fake.presence.Input();
      s_.AdvanceSeconds(1);
      ++now_;
      if (until()) return now_;
    }
    return -1;
  }
  int RunToShortBreak(int limit) {
    return RunUntil(limit, [this] { return Now().shortBreakOn; });
  }

 private:
  Sim& s_;
  int now_ = 0;
};

class ShortBreakTest : public ProgramTest {
 protected:
  void StartWith(const Values& settings) {
    Start(kShortBreaks, settings);
    sim.fake.presence.Input();
  }
  CycleSnapshot Now() { return watch.Now(); }
  Seen Run(int seconds, int idleFrom = -1, int idleTo = -1) {
    return watch.Run(seconds, idleFrom, idleTo);
  }
  int RunToShortBreak(int limit) { return watch.RunToShortBreak(limit); }

  Watch watch{sim};
};

TEST_F(ShortBreakTest, AWorkingPeriodHasItsShortBreaksAndNoneJustBeforeTheLongOne) {
  struct Case {
    const char* minutes;  // of work
    const char* every;    // ShortBreakMinutes
    std::vector<int> expected;
  } cases[] = {
      // A short break every 20 minutes of work, each counted from the end of the one before
      // (20 s long): at 20 and about 40 minutes; the long break stands in for the one at 60.
      {"60", "20", {20 * kMinute, 40 * kMinute + 21}},
      // 50 minutes of work: the one 10 minutes before the long break is not given.
      {"50", "20", {20 * kMinute}},
      // A short interval as long as the work period: never.
      {"30", "30", {}},
  };
  for (const Case& c : cases) {
    Sim s;
    Plant(s, {kShortBreaks, WorkMinutes(std::stoi(c.minutes)), {{"ShortBreakMinutes", c.every}}});
    s.Start();
    const Seen seen = Watch(s).Run(2 * 3600);
    EXPECT_EQ(seen.shortBreaks, c.expected) << c.minutes << "/" << c.every;
    EXPECT_EQ(seen.alert, std::stoi(c.minutes) * kMinute + 1) << "the long break on its hour";
  }
}

TEST_F(ShortBreakTest, TheShortBreakCountsDownBesideTheWorkAndClosesByItselfWithItsSounds) {
  StartWith({{"Minutes", "30"}, {"ShortBreakMinutes", "10"}});
  ASSERT_EQ(RunToShortBreak(11 * kMinute), 10 * kMinute);
  const size_t soundsAtStart = sim.fake.sound.played.size();
  EXPECT_EQ(soundsAtStart, 1u) << "the soft sound as it starts";
  EXPECT_EQ(Now().shortBreak.remaining(), 20);
  EXPECT_NE(Tip().find("Short break: 0:20 left."), std::string::npos) << Tip();
  Run(10);
  EXPECT_EQ(Now().shortBreak.remaining(), 10);
  EXPECT_EQ(Display(), "00:19:50") << "the work countdown went on";
  Run(11);
  EXPECT_FALSE(Now().shortBreakOn) << "closed by itself";
  EXPECT_EQ(sim.fake.sound.played.size(), 2u) << "and the soft sound as it ends";
  EXPECT_EQ(State(), CycleState::kCounting);
  EXPECT_FALSE(Loaded("frmUnwindle")) << "no question follows";
  EXPECT_NE(Tip().find("Next short break in 10:00."), std::string::npos) << Tip();
  // Without the sound: silent.
  sim.app().settings.ShortBreakSound = 0;
  ASSERT_GE(RunToShortBreak(11 * kMinute), 0);
  Run(25);
  EXPECT_EQ(sim.fake.sound.played.size(), 2u);
}

TEST_F(ShortBreakTest, LaterComesAgainTwiceInARowAtMostAndSkipStartsTheClockAnew) {
  StartWith({{"Hours", "1"}, {"Minutes", "0"}, {"ShortBreakMinutes", "10"}});
  ASSERT_EQ(RunToShortBreak(11 * kMinute), 10 * kMinute);
  for (int later = 0; later < 2; ++later) {
    ASSERT_TRUE(Now().shortLaterAllowed) << later;
    sim.app().cycle.ShortBreakLater();
    EXPECT_FALSE(Now().shortBreakOn);
    const int at = watch.now();
    EXPECT_EQ(RunToShortBreak(5 * kMinute) - at, 2 * kMinute) << "two minutes later";
  }
  EXPECT_FALSE(Now().shortLaterAllowed) << "the third time: no more Later";
  sim.app().cycle.ShortBreakLater();
  EXPECT_TRUE(Now().shortBreakOn) << "Later refused";
  sim.app().cycle.ShortBreakSkip();
  EXPECT_FALSE(Now().shortBreakOn);
  const int skipped = watch.now();
  EXPECT_EQ(RunToShortBreak(11 * kMinute) - skipped, 10 * kMinute) << "a whole interval after";
  EXPECT_TRUE(Now().shortLaterAllowed) << "Later again after a break that was not put off";
}

TEST_F(ShortBreakTest, NoShortBreakInAReminderIntervalOrWhileAnythingElseOfTheCycleIsOn) {
  // A long reminder: the short-break clock, still running from the period, would fall due in it.
  StartWith({{"Minutes", "20"}, {"ShortBreakMinutes", "12"}, {"SnoozeMinutes", "20"}});
  Seen seen = Run(30 * kMinute);
  ASSERT_EQ(seen.alert, 20 * kMinute + 1);
  EXPECT_EQ(seen.shortBreaks, std::vector<int>{12 * kMinute});
  sim.Click("frmUnwindle", "cmdRemindLater");
  seen = Run(30 * kMinute);
  EXPECT_EQ(seen.alert - 20 * kMinute - 1, 20 * kMinute + 1) << "the reminder's length";
  EXPECT_TRUE(seen.shortBreaks.empty()) << "none in the reminder interval";
  // A short break that runs is ended by whatever stops the counting; none while paused.
  sim.Click("frmUnwindle", "cmdUnwindle");
  sim.AdvanceSeconds(5 * kMinute + 1);
  sim.Click("frmRestartTimer", "cmdRestartTimer");
  const int restarted = watch.now();
  ASSERT_EQ(RunToShortBreak(13 * kMinute) - restarted, 12 * kMinute) << "a new period: anew";
  sim.Click("frmTimer", "mnuPause");
  EXPECT_FALSE(Now().shortBreakOn);
  EXPECT_EQ(Now().nextShortBreak, -1);
  EXPECT_TRUE(Run(30 * kMinute).shortBreaks.empty()) << "paused";
  sim.Click("frmTimer", "mnuStart");
  EXPECT_EQ(Now().nextShortBreak, 12 * kMinute) << "the pause ended the short break";
}

TEST_F(ShortBreakTest, AnAbsenceAsLongAsAShortBreakIsOneAndAShorterOneChangesNothing) {
  struct Case {
    const char* how;
    int awaySeconds;
    bool idleCounts;
    int expected;  // the second of the first short break
  } cases[] = {
      {"lock", 30, false, 5 * kMinute + 30 + 10 * kMinute},
      {"lock", 5, false, 10 * kMinute},
      // Idle time ends with the first second that sees the input.
      {"idle", 30, true, 5 * kMinute + 30 + 1 + 10 * kMinute},
      {"idle", 30, false, 10 * kMinute},
  };
  for (const Case& c : cases) {
    Sim s;
    Plant(s, {kShortBreaks,
              WorkMinutes(60),
              {{"ShortBreakMinutes", "10"}, {"IdleCountsAsBreak", c.idleCounts ? "1" : "0"}}});
    s.Start();
    Watch w(s);
    w.Run(5 * kMinute);
    Seen seen;
    const int from = w.now(), to = w.now() + c.awaySeconds;
    if (std::string(c.how) == "lock") {
      s.Away(AwayReason::kLock);
      w.Run(c.awaySeconds, from, to);
      s.Back(AwayReason::kLock);
      seen = w.Run(15 * kMinute);
    } else {
      seen = w.Run(15 * kMinute, from, to);
    }
    ASSERT_FALSE(seen.shortBreaks.empty()) << c.how << c.awaySeconds;
    EXPECT_EQ(seen.shortBreaks.front(), c.expected) << c.how << " " << c.awaySeconds;
    EXPECT_EQ(s.app().cycle.state(), CycleState::kCounting) << "the long break is not touched";
  }
}

TEST_F(ShortBreakTest, TheHeadsUpComesBeforeEitherKindAndItsLaterMovesWhatItAnnounces) {
  StartWith({{"Minutes", "20"},
             {"ShortBreakMinutes", "10"},
             {"HeadsUpSeconds", "30"},
             {"NumberOfSnooze", "1"}});
  Seen seen = Run(10 * kMinute);
  ASSERT_EQ(seen.headsUps, std::vector<int>{10 * kMinute - 30});
  EXPECT_EQ(seen.headsUpKinds.front(), HeadsUpKind::kShort);
  EXPECT_TRUE(Now().shortBreakOn) << "the short break came as announced";
  sim.app().cycle.ShortBreakSkip();
  ASSERT_EQ(watch.RunUntil(11 * kMinute, [&] { return Now().headsUp != HeadsUpKind::kNone; }),
            20 * kMinute - 30);
  // That one would come with the long break: the long break's heads-up it is, 30 s before.
  EXPECT_EQ(Now().headsUp, HeadsUpKind::kLong);
  EXPECT_EQ(Now().headsUpSeconds, 30);
  ASSERT_TRUE(Now().headsUpLaterAllowed);
  sim.app().cycle.HeadsUpLater();
  EXPECT_EQ(Now().headsUp, HeadsUpKind::kNone);
  EXPECT_EQ(sim.app().cycle.intSnoozeCount(), 1) << "it counts as a reminder";
  seen = Run(20 * kMinute);
  ASSERT_EQ(seen.alert, 20 * kMinute - 30 + 10 * kMinute + 30 + 1) << "a reminder's length later";
  // A short break comes in the time gained, announced; then the long break's heads-up once more.
  EXPECT_EQ(seen.headsUpKinds, (std::vector<HeadsUpKind>{HeadsUpKind::kShort, HeadsUpKind::kLong}));
  ASSERT_EQ(seen.headsUps.size(), 2u);
  EXPECT_EQ(seen.alert - seen.headsUps.back(), 31);
  // The reminder it took was the last: the prompt shows the stop icon.
  EXPECT_EQ(Now().promptStep, 2);
}

TEST_F(ShortBreakTest, TheShortHeadsUpsLaterMovesTheShortBreakFiveMinutes) {
  StartWith(
      {{"Hours", "1"}, {"Minutes", "0"}, {"ShortBreakMinutes", "10"}, {"HeadsUpSeconds", "30"}});
  ASSERT_EQ(watch.RunUntil(11 * kMinute, [&] { return Now().headsUp == HeadsUpKind::kShort; }),
            10 * kMinute - 30);
  EXPECT_TRUE(Now().headsUpLaterAllowed);
  sim.app().cycle.HeadsUpLater();
  const Seen seen = Run(6 * kMinute);
  EXPECT_EQ(seen.shortBreaks, std::vector<int>{15 * kMinute});
  EXPECT_EQ(seen.headsUps, std::vector<int>{15 * kMinute - 30}) << "announced again";
}

TEST_F(ShortBreakTest, WithNoReminderLeftTheLongHeadsUpCannotPutTheBreakOff) {
  StartWith(
      {{"Minutes", "5"}, {"ShortBreaks", "0"}, {"HeadsUpSeconds", "10"}, {"NumberOfSnooze", "0"}});
  Run(5 * kMinute - 10);
  ASSERT_EQ(Now().headsUp, HeadsUpKind::kLong);
  EXPECT_FALSE(Now().headsUpLaterAllowed);
  sim.app().cycle.HeadsUpLater();
  EXPECT_EQ(Now().headsUp, HeadsUpKind::kLong) << "refused";
  sim.app().cycle.HeadsUpClose();
  EXPECT_EQ(Now().headsUp, HeadsUpKind::kNone);
  const Seen seen = Run(kMinute);
  EXPECT_EQ(seen.alert, 5 * kMinute + 1) << "closing it changed nothing";
  EXPECT_TRUE(seen.headsUps.empty()) << "and it does not come again";
}

TEST_F(ShortBreakTest, ACallHoldsShortBreaksAndHeadsUpsUntilItEnds) {
  StartWith(
      {{"Hours", "1"}, {"Minutes", "0"}, {"ShortBreakMinutes", "10"}, {"HeadsUpSeconds", "30"}});
  sim.fake.presence.camera = true;
  Seen seen = Run(12 * kMinute);
  EXPECT_TRUE(seen.headsUps.empty());
  EXPECT_TRUE(seen.shortBreaks.empty()) << "it waits";
  sim.fake.presence.camera = false;
  seen = Run(5);
  EXPECT_EQ(seen.shortBreaks, std::vector<int>{12 * kMinute + 1}) << "and comes when it ends";
}

TEST_F(ShortBreakTest, ATimedPauseOrTheEndOfWorkingHoursIsABreakForBothClocks) {
  StartWith({{"Hours", "1"}, {"Minutes", "0"}, {"ShortBreakMinutes", "10"}});
  Run(8 * kMinute);
  sim.app().cycle.PauseFor(TimedPause{30, false});
  EXPECT_EQ(Now().nextShortBreak, -1);
  EXPECT_TRUE(Run(29 * kMinute).shortBreaks.empty()) << "none in the pause";
  ASSERT_GT(watch.RunUntil(3 * kMinute, [&] { return State() == CycleState::kCounting; }), 0);
  EXPECT_EQ(Display(), "01:00:00") << "a pause as long as a break was one";
  EXPECT_EQ(Now().nextShortBreak, 10 * kMinute);
}

TEST_F(ShortBreakTest, NoneWhileRestingOutsideWorkingHoursAndTheClockStartsWithThem) {
  Plant(sim,
        {kShortBreaks,
         {{"Hours", "1"},
          {"Minutes", "0"},
          {"ShortBreakMinutes", "10"},
          {"WorkingHoursEnabled", "1"},
          {"WorkingHours",
           "Mon=09:00-17:00;Tue=09:00-17:00;Wed=09:00-17:00;Thu=09:00-17:00;Fri=09:00-17:00;Sat=;"
           "Sun="}}});
  // A Monday, ten minutes before work; the main window is up five seconds after the start.
  sim.fake.calendar.SetLocal(2026, 12, 7, 8, 50, 0);
  sim.fake.calendar.SetUtc(sim.fake.calendar.UtcMs() - 5000);
  sim.Start();
  ASSERT_EQ(State(), CycleState::kResting);
  EXPECT_EQ(Now().nextShortBreak, -1);
  const int wake = watch.RunUntil(11 * kMinute, [&] { return State() == CycleState::kCounting; });
  ASSERT_GT(wake, 9 * kMinute);
  EXPECT_EQ(Now().nextShortBreak, 10 * kMinute) << "a whole interval from the start of work";
  EXPECT_EQ(RunToShortBreak(11 * kMinute) - wake, 10 * kMinute);
}

TEST_F(ShortBreakTest, AShortBreakAskedForRunsWhateverTheWorkTimerDoesButNotInTheLongBreak) {
  Start(kShortBreaks, {{"Minutes", "10"}, {"StartTimerOnLaunch", "0"}, {"ShortBreaks", "0"}});
  ASSERT_EQ(State(), CycleState::kStopped);
  ASSERT_TRUE(sim.app().cycle.ShortBreakNow());
  EXPECT_TRUE(Now().shortBreakOn);
  sim.AdvanceSeconds(10);
  EXPECT_EQ(Now().shortBreak.remaining(), 10) << "it counts down with nothing else counting";
  sim.AdvanceSeconds(11);
  EXPECT_FALSE(Now().shortBreakOn);
  EXPECT_EQ(Display(), "00:10:00") << "the stopped timer stood";
  sim.Click("frmTimer", "cmdUnwindle");
  EXPECT_FALSE(sim.app().cycle.ShortBreakNow()) << "refused in the long break";
}

}  // namespace
}  // namespace unw

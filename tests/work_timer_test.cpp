// The work countdown as a user lives it, second by second on the virtual clock,
// and the one-time change of its interval.
#include <gtest/gtest.h>

#include "settings/product.h"
#include "program_fixture.h"

namespace unw {
namespace {

class WorkTimerTest : public ProgramTest {
 protected:
  void StartWith(const char* h, const char* m, const char* s,
                 std::map<std::string, std::string> more = {}) {
    more["Hours"] = h;
    more["Minutes"] = m;
    more["Seconds"] = s;
    Start(more);
  }
};

struct Interval {
  const char *h, *m, *s;
  int n;  // its length in seconds
  const char* afterFirstTick;
};

class CountdownLength : public WorkTimerTest, public ::testing::WithParamInterface<Interval> {};

TEST_P(CountdownLength, ACountdownOfNSecondsEndsOnTickNPlusOne) {
  const Interval& c = GetParam();
  StartWith(c.h, c.m, c.s);
  sim.Click("frmTimer", "cmdStart");
  const int64_t start = sim.now();
  sim.AdvanceSeconds(1);
  if (c.n == 0) {
    EXPECT_EQ(State(), CycleState::kPrompt) << "nothing to count: the first tick alerts";
    return;
  }
  EXPECT_EQ(Display(), c.afterFirstTick);
  sim.Advance(c.n * 1000LL - 1000);
  EXPECT_EQ(Display(), "00:00:00");
  sim.Advance(999);
  EXPECT_EQ(State(), CycleState::kCounting);
  sim.Advance(1);
  EXPECT_EQ(State(), CycleState::kPrompt);
  EXPECT_EQ(sim.now() - start, (c.n + 1) * 1000LL) << "no drift";
  // The display and the buttons stay as they were until the user answers.
  EXPECT_EQ(Display(), "00:00:00");
  EXPECT_FALSE(Enabled("cmdStart"));
  EXPECT_TRUE(Enabled("cmdStop"));
}

INSTANTIATE_TEST_SUITE_P(Intervals, CountdownLength,
                         ::testing::Values(Interval{"0", "0", "3", 3, "00:00:02"},
                                           Interval{"0", "0", "0", 0, ""},
                                           Interval{"1", "0", "0", 3600, "00:59:59"}));

TEST_F(WorkTimerTest, TheLargestIntervalFitsTheDisplay) {
  StartWith("99", "59", "59");
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(1);
  EXPECT_EQ(Display(), "99:59:58");
  sim.AdvanceSeconds(3599);
  EXPECT_EQ(Display(), "98:59:59");
}

TEST_F(WorkTimerTest, PauseHoldsTheCountdownAndStartResumesIt) {
  StartWith("0", "10", "5");
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(5);
  sim.Click("frmTimer", "cmdPause");
  EXPECT_EQ(Tooltip("cmdStart"), "Restart Timer");
  EXPECT_EQ(main().Ctl("mnuStop").caption(), "Reset Timer");
  EXPECT_FALSE(Enabled("cmdPause"));
  EXPECT_FALSE(Enabled("cmdChange")) << "a pause leaves the one-time change off";
  sim.AdvanceSeconds(30);
  EXPECT_EQ(Display(), "00:10:00");
  sim.Click("frmTimer", "mnuStart");
  EXPECT_EQ(Tooltip("cmdStart"), "Start Timer");
  sim.AdvanceSeconds(1);
  EXPECT_EQ(Display(), "00:09:59");
}

TEST_F(WorkTimerTest, StopReloadsTheStoredIntervalAndTheNextStartBeginsAfresh) {
  StartWith("0", "0", "20");
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(5);
  sim.Click("frmTimer", "cmdPause");
  // Another program changes the store meanwhile.
  PlantValue("Hours", "100");
  PlantValue("Minutes", "x");
  sim.Click("frmTimer", "mnuStop");
  EXPECT_EQ(Display(), "01:00:20") << "out of range: default; not a number: kept";
  EXPECT_EQ(Stored("Hours"), "1");
  EXPECT_FALSE(Enabled("cmdStop"));
  EXPECT_TRUE(Enabled("cmdChange"));
  EXPECT_EQ(main().Ctl("mnuStart").caption(), "Start Timer");
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(1);
  EXPECT_EQ(Display(), "01:00:19");
}

class TooltipBySet : public WorkTimerTest, public ::testing::WithParamInterface<const char*> {};

// Traffic lights show the state at once, red, green or amber; the other sets with the next tick.
TEST_P(TooltipBySet, FollowsTheStateWithTheNextTickOrAtOnceForTrafficLights) {
  const std::string head = std::string("KORVANTE - ") + kMakerUrl + " \nTime Remaining: ";
  const bool lights = GetParam()[0] == '4';
  auto shows = [&](const std::string& tip, int light) {
    EXPECT_EQ(SentTip(), head + tip);
    if (lights) {
      EXPECT_EQ(SentPicture(), light) << tip;
    }
  };
  StartWith("0", "0", "9", {{"TrayIcon", GetParam()}});
  shows("00:00:09 - Stopped", 0);
  sim.Click("frmTimer", "cmdStart");
  shows(lights ? "00:00:09 - Started" : "00:00:09 - Stopped", 1);
  EXPECT_EQ(Tip(), head + "00:00:09 - Started") << "stored for the next tick";
  sim.AdvanceSeconds(1);
  shows("00:00:08 - Started", 1);
  sim.Click("frmTimer", "cmdPause");
  shows("00:00:08 - Paused", 2);
  sim.Click("frmTimer", "cmdStop");
  shows("00:00:09 - Stopped", 0);
}

INSTANTIATE_TEST_SUITE_P(Sets, TooltipBySet, ::testing::Values("0", "4"));

class TimeEntryTest : public ProgramTest {
 protected:
  void SetUp() override {
    Start({{"Hours", "1"}, {"Minutes", "20"}, {"Seconds", "30"}});
    sim.Click("frmTimer", "cmdChange");
  }
  std::string Box(const char* name) { return main().Ctl(name).text(); }
};

TEST_F(TimeEntryTest, EditingSwapsTheDisplayForBoxesAndHidesTheTimerItems) {
  EXPECT_EQ(Box("txtHours"), "01");
  EXPECT_TRUE(main().Ctl("txtSeconds").visible());
  EXPECT_TRUE(main().Ctl("cmdSave").visible());
  EXPECT_FALSE(main().Ctl("cmdChange").visible());
  EXPECT_FALSE(Enabled("cmdStart"));
  EXPECT_FALSE(Enabled("cmdUnwindle"));
  for (const char* item : {"mnuStart", "mnuPause", "mnuStop", "mnuUnwindle", "mnuSep02"})
    EXPECT_FALSE(main().Ctl(item).visible()) << item;
  EXPECT_TRUE(main().Ctl("mPopRestore").visible());
  // The hours box has the focus with its whole text selected.
  EXPECT_EQ(sim.fake.view.focused, &main().Ctl("txtHours"));
  EXPECT_EQ(main().Ctl("txtHours").selLength(), 2);
  // Only digits and Backspace get in, two of them at most.
  sim.Type("frmTimer", "txtHours", "a7-x");
  EXPECT_EQ(Box("txtHours"), "7");
  sim.Type("frmTimer", "txtHours", "123\b");
  EXPECT_EQ(Box("txtHours"), "7");
}

TEST_F(TimeEntryTest, AOneTimeChangeLeavesTheTrayMenusOwnCaptionsUntilTheFirstStart) {
  sim.Type("frmTimer", "txtMinutes", "30");
  sim.Click("frmTimer", "cmdSave");
  EXPECT_EQ(Display(), "01:30:30");
  EXPECT_EQ(main().Ctl("mnuStart").caption(), "&Start Timer");
  EXPECT_EQ(main().Ctl("mnuStop").caption(), "Sto&p Timer");
  sim.Click("frmTimer", "cmdStart");
  EXPECT_EQ(main().Ctl("mnuStart").caption(), "Start Timer");
  EXPECT_EQ(main().Ctl("mnuStop").caption(), "Stop Timer");
}

TEST_F(TimeEntryTest, SaveClampsTakesFilledBoxesAndIsUsedByTheNextStartOnly) {
  sim.Type("frmTimer", "txtHours", "7");
  sim.Type("frmTimer", "txtMinutes", "75");
  sim.Type("frmTimer", "txtSeconds", "\b\b");  // emptied: keeps 30
  sim.Paste("frmTimer", "txtHours", "1a");     // not a number: keeps 1
  sim.Paste("frmTimer", "txtHours", "7");
  const int writes = sim.fake.settings.writes();
  sim.Click("frmTimer", "cmdSave");
  EXPECT_EQ(Box("txtMinutes"), "59");
  EXPECT_EQ(Display(), "07:59:30");
  EXPECT_EQ(sim.fake.settings.writes(), writes) << "never stored";
  EXPECT_TRUE(main().Ctl("mnuStart").visible());
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(1);
  EXPECT_EQ(Display(), "07:59:29");
  sim.Click("frmTimer", "cmdStop");
  EXPECT_EQ(Display(), "01:20:30") << "Stop brings back the saved interval";
}

TEST_F(TimeEntryTest, PastedTextIsIgnoredAndZeroEverywhereAlertsOnTheFirstTick) {
  sim.Paste("frmTimer", "txtMinutes", " 5");
  sim.Click("frmTimer", "cmdSave");
  EXPECT_EQ(Display(), "01:20:30");
  sim.Click("frmTimer", "cmdChange");
  for (const char* box : {"txtHours", "txtMinutes", "txtSeconds"}) sim.Type("frmTimer", box, "0");
  sim.Click("frmTimer", "cmdSave");
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(1);
  EXPECT_TRUE(Loaded("frmUnwindle"));
}

}  // namespace
}  // namespace unw

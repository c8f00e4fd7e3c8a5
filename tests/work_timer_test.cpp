// The work countdown as a user lives it, second by second on the virtual clock.
#include <gtest/gtest.h>

#include "app/product.h"
#include "program_fixture.h"

namespace unw {
namespace {

class WorkTimerTest : public ProgramTest {
 protected:
  void StartWith(const char* h, const char* m, const char* s) {
    Plant({{"Hours", h}, {"Minutes", m}, {"Seconds", s}});
    sim.Start();
  }
};

TEST_F(WorkTimerTest, ThreeSecondsCountDownAndTheFourthTickEndsIt) {
  StartWith("0", "0", "3");
  EXPECT_EQ(Display(), "00:00:03");
  sim.Click("frmTimer", "cmdStart");
  sim.Advance(999);
  EXPECT_EQ(Display(), "00:00:03");
  for (const char* shown : {"00:00:02", "00:00:01", "00:00:00"}) {
    sim.AdvanceSeconds(1);
    EXPECT_EQ(Display(), shown);
    EXPECT_TRUE(TickRunning());
  }
  sim.AdvanceSeconds(1);
  EXPECT_FALSE(TickRunning()) << "time is up on tick N + 1";
  EXPECT_EQ(sim.app().lngAlertSeconds, 0);
  // The display and the buttons stay as they were until the user answers.
  EXPECT_EQ(Display(), "00:00:00");
  EXPECT_FALSE(Enabled("cmdStart"));
  EXPECT_TRUE(Enabled("cmdStop"));
}

TEST_F(WorkTimerTest, AnEmptyIntervalEndsOnTheFirstTick) {
  StartWith("0", "0", "0");
  sim.Click("frmTimer", "cmdStart");
  sim.Advance(999);
  EXPECT_TRUE(TickRunning());
  sim.Advance(1);
  EXPECT_FALSE(TickRunning());
  EXPECT_EQ(Display(), "00:00:00");
}

TEST_F(WorkTimerTest, TheLargestIntervalShowsHoursAboveNinetyNineNever) {
  StartWith("99", "59", "59");
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(1);
  EXPECT_EQ(Display(), "99:59:58");
  sim.AdvanceSeconds(3599);
  EXPECT_EQ(Display(), "98:59:59");
}

TEST_F(WorkTimerTest, AnHourEndsExactlyOnTimeWithoutDrift) {
  StartWith("1", "0", "0");
  sim.Click("frmTimer", "cmdStart");
  const int64_t start = sim.now();
  sim.AdvanceSeconds(1800);
  EXPECT_EQ(Display(), "00:30:00");
  sim.AdvanceSeconds(1800);
  EXPECT_EQ(Display(), "00:00:00");
  sim.Advance(999);
  EXPECT_TRUE(TickRunning());
  sim.Advance(1);
  EXPECT_FALSE(TickRunning());
  EXPECT_EQ(sim.now() - start, 3601 * 1000);
}

TEST_F(WorkTimerTest, PauseHoldsTheCountdownAndStartResumesIt) {
  StartWith("0", "10", "5");
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(5);
  EXPECT_EQ(Display(), "00:10:00");
  sim.Click("frmTimer", "cmdPause");
  EXPECT_EQ(Tooltip("cmdStart"), "Restart Timer");
  EXPECT_EQ(Tooltip("cmdStop"), "Reset Timer");
  EXPECT_EQ(main().Ctl("mnuStart").caption(), "Restart Timer");
  EXPECT_EQ(main().Ctl("mnuStop").caption(), "Reset Timer");
  EXPECT_TRUE(Enabled("cmdStart"));
  EXPECT_FALSE(Enabled("cmdPause"));
  EXPECT_FALSE(Enabled("mnuPause"));
  EXPECT_TRUE(Enabled("cmdStop"));
  EXPECT_FALSE(Enabled("cmdChange")) << "a pause leaves the one-time change off";
  sim.AdvanceSeconds(30);
  EXPECT_EQ(Display(), "00:10:00");
  sim.Click("frmTimer", "cmdStart");
  EXPECT_EQ(Tooltip("cmdStart"), "Start Timer");
  EXPECT_EQ(main().Ctl("mnuStop").caption(), "Stop Timer");
  sim.AdvanceSeconds(1);
  EXPECT_EQ(Display(), "00:09:59");
}

TEST_F(WorkTimerTest, StopShowsTheSavedIntervalAndTheNextStartBeginsAfresh) {
  StartWith("0", "0", "20");
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(5);
  sim.Click("frmTimer", "cmdPause");
  sim.Click("frmTimer", "cmdStop");
  EXPECT_EQ(Display(), "00:00:20");
  EXPECT_TRUE(Enabled("cmdStart"));
  EXPECT_FALSE(Enabled("cmdPause"));
  EXPECT_FALSE(Enabled("cmdStop"));
  EXPECT_FALSE(Enabled("mnuStop"));
  EXPECT_TRUE(Enabled("cmdChange"));
  EXPECT_EQ(main().Ctl("mnuStart").caption(), "Start Timer");
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(1);
  EXPECT_EQ(Display(), "00:00:19");
}

TEST_F(WorkTimerTest, StopReloadsTheStoredIntervalAndRepairsIt) {
  StartWith("0", "0", "20");
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(3);
  // Another program changes the store meanwhile.
  PlantValue("Hours", "100");
  PlantValue("Minutes", "x");
  PlantValue("Seconds", "9");
  sim.Click("frmTimer", "cmdStop");
  EXPECT_EQ(Display(), "01:00:09") << "out of range: default; not a number: kept";
  EXPECT_EQ(Stored("Hours"), "1");
  EXPECT_EQ(Stored("Minutes"), "x");
}

TEST_F(WorkTimerTest, TheTooltipFollowsTheStateWithTheNextTickOrAtOnceForTrafficLights) {
  StartWith("0", "0", "9");
  const std::string head = std::string("KORVANTE - ") + kMakerUrl + " \r\nTime Remaining: ";
  EXPECT_EQ(Tip(), head + "00:00:09 - Stopped");
  sim.Click("frmTimer", "cmdStart");
  EXPECT_EQ(Tip(), head + "00:00:09 - Started");
  sim.AdvanceSeconds(1);
  EXPECT_EQ(Tip(), head + "00:00:08 - Started");
  sim.Click("frmTimer", "cmdPause");
  EXPECT_EQ(Tip(), head + "00:00:08 - Paused");
  sim.Click("frmTimer", "cmdStop");
  EXPECT_EQ(Tip(), head + "00:00:09 - Stopped");
  // The record's field is 128 characters: the text, its NUL, then blanks.
  const std::string& field = sim.app().trayIconData.szTip;
  ASSERT_EQ(field.size(), 128u);
  EXPECT_EQ(field[Tip().size()], '\0');
  EXPECT_EQ(field.back(), ' ');
}

TEST_F(WorkTimerTest, TrayMenuTwinsDriveTheSameCountdown) {
  StartWith("0", "1", "0");
  sim.Click("frmTimer", "mnuStart");
  EXPECT_FALSE(Enabled("mnuStart"));
  EXPECT_TRUE(Enabled("mnuPause"));
  sim.AdvanceSeconds(2);
  sim.Click("frmTimer", "mnuPause");
  EXPECT_TRUE(main().blnPause);
  sim.Click("frmTimer", "mnuStop");
  EXPECT_FALSE(main().blnPause);
  EXPECT_EQ(Display(), "00:01:00");
  EXPECT_THROW(sim.Click("frmTimer", "mnuStop"), std::logic_error) << "disabled when stopped";
}

TEST_F(WorkTimerTest, StartingOnLaunchIsAlreadyCountingWhenTheWindowShows) {
  Plant({{"Minutes", "2"}, {"Hours", "0"}, {"StartTimerOnLaunch", "1"}});
  sim.Start();
  EXPECT_TRUE(TickRunning());
  EXPECT_TRUE(main().visible());
  EXPECT_NE(Tip().find(" - Started"), std::string::npos);
  sim.AdvanceSeconds(1);
  EXPECT_EQ(Display(), "00:01:59");
}

}  // namespace
}  // namespace unw

namespace unw {
namespace {

class TimeEntryTest : public ProgramTest {
 protected:
  void SetUp() override {
    Plant({{"Hours", "1"}, {"Minutes", "20"}, {"Seconds", "30"}});
    sim.Start();
    sim.Click("frmTimer", "cmdChange");
  }
  std::string Box(const char* name) { return main().Ctl(name).text(); }
};

TEST_F(TimeEntryTest, EditingSwapsTheDisplayForBoxesAndHidesTheTimerItems) {
  EXPECT_EQ(Box("txtHours"), "01");
  EXPECT_EQ(Box("txtMinutes"), "20");
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
}

TEST_F(TimeEntryTest, OnlyDigitsAndBackspaceGetInAndOnlyTwoOfThem) {
  sim.Type("frmTimer", "txtHours", "a7-x");
  EXPECT_EQ(Box("txtHours"), "7");
  sim.Type("frmTimer", "txtHours", "123");
  EXPECT_EQ(Box("txtHours"), "71");
  sim.Type("frmTimer", "txtHours", "\b");
  EXPECT_EQ(Box("txtHours"), "7");
}

TEST_F(TimeEntryTest, SaveClampsTakesFilledBoxesAndIsUsedByTheNextStartOnly) {
  sim.Type("frmTimer", "txtHours", "7");
  sim.Type("frmTimer", "txtMinutes", "75");
  sim.Type("frmTimer", "txtSeconds", "\b\b");  // emptied: keeps 30
  sim.Click("frmTimer", "cmdSave");
  EXPECT_EQ(Box("txtMinutes"), "59");
  EXPECT_EQ(Display(), "07:59:30");
  EXPECT_EQ(Stored("Hours"), "1") << "never stored";
  EXPECT_TRUE(Enabled("cmdStart"));
  EXPECT_TRUE(main().Ctl("mnuStart").visible());
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(1);
  EXPECT_EQ(Display(), "07:59:29");
  sim.Click("frmTimer", "cmdStop");
  EXPECT_EQ(Display(), "01:20:30") << "Stop brings back the saved interval";
}

TEST_F(TimeEntryTest, ZeroEverywhereAlertsOnTheFirstTick) {
  for (const char* box : {"txtHours", "txtMinutes", "txtSeconds"}) sim.Type("frmTimer", box, "0");
  sim.Click("frmTimer", "cmdSave");
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(1);
  EXPECT_TRUE(sim.FindForm("frmUnwindle"));
}

TEST_F(TimeEntryTest, PastedTextThatIsNotANumberIsIgnoredAndNeverStored) {
  sim.Paste("frmTimer", "txtHours", "1a");
  sim.Paste("frmTimer", "txtMinutes", " 5");
  sim.Paste("frmTimer", "txtSeconds", "123");
  const int writes = sim.fake.registry.writes();
  sim.Click("frmTimer", "cmdSave");
  EXPECT_EQ(Display(), "01:20:59");
  EXPECT_EQ(sim.fake.registry.writes(), writes);
}

}  // namespace
}  // namespace unw

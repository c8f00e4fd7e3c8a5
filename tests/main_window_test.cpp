// The main window's start, close box, exit question and window options.
#include <gtest/gtest.h>

#include "settings/product.h"
#include "program_fixture.h"

namespace unw {
namespace {

using MainWindowTest = ProgramTest;

TEST_F(MainWindowTest, FirstStartShowsTheDefaultIntervalAndAppliesTheDefaultOptions) {
  sim.Start();
  EXPECT_EQ(sim.fake.settings.Count(), kStoredDefaults.size());
  EXPECT_EQ(main().caption(), "KORVANTE Unwindle");
  EXPECT_TRUE(main().visible());
  EXPECT_EQ(main().windowState(), WindowState::kNormal);
  // Starts counting at once by default.
  EXPECT_TRUE(TickRunning());
  sim.AdvanceSeconds(1);
  EXPECT_EQ(Display(), "00:59:59");
  // Always on top by default.
  EXPECT_EQ(sim.fake.windows.topMost.back(), std::make_pair(main().hWnd(), true));
  EXPECT_TRUE(main().Ctl("mnuAlwaysOnTop").checked());
  EXPECT_TRUE(main().Ctl("mnuHideWhenMinimized").checked());
  EXPECT_TRUE(main().Ctl("mnuLaunchOnStartup").checked());
  EXPECT_FALSE(main().Ctl("mnuLaunchMinimized").checked());
  EXPECT_TRUE(sim.fake.startup.on);
  // Off the task list while loading, back on once shown normally.
  ASSERT_GE(sim.fake.windows.taskVisibleCalls.size(), 2u);
  EXPECT_FALSE(sim.fake.windows.taskVisibleCalls.front());
  EXPECT_TRUE(sim.fake.windows.taskVisible);
  EXPECT_EQ(main().Ctl("mnuAbout").caption(), "About Korvante Unwindle...");
}

TEST_F(MainWindowTest, ACorruptValueIsRepairedAloneBeforeTheWindowShows) {
  Start({{"AudioType", "loud"}, {"Hours", "0"}, {"Minutes", "5"}});
  EXPECT_EQ(Stored("AudioType"), "2");
  EXPECT_EQ(Stored("Minutes"), "5");
  EXPECT_EQ(Stored("BalloonTipsEnabled"), "1");
  EXPECT_EQ(Display(), "00:05:00");
}

TEST_F(MainWindowTest, LaunchingMinimizedAndHiddenLeavesOnlyTheTray) {
  Start({{"LaunchMinimized", "1"}, {"HideWhenMinimized", "1"}});
  EXPECT_TRUE(main().loaded());
  EXPECT_FALSE(main().visible());
  EXPECT_EQ(main().windowState(), WindowState::kMinimized);
  EXPECT_FALSE(sim.fake.windows.taskVisible);
  EXPECT_TRUE(main().Ctl("mnuLaunchMinimized").checked());
}

TEST_F(MainWindowTest, TheCloseBoxOnlyMinimizes) {
  Start({{"HideWhenMinimized", "0"}});
  sim.Close("frmTimer");
  EXPECT_TRUE(sim.running());
  EXPECT_EQ(main().windowState(), WindowState::kMinimized);
  EXPECT_TRUE(main().visible());
  EXPECT_TRUE(sim.fake.windows.taskVisible);

  sim.SetState("frmTimer", WindowState::kNormal);
  sim.Click("frmTimer", "mnuHideWhenMinimized");
  EXPECT_EQ(Stored("HideWhenMinimized"), "1");
  sim.Close("frmTimer");
  EXPECT_TRUE(sim.running());
  EXPECT_FALSE(main().visible());
  EXPECT_FALSE(sim.fake.windows.taskVisible);
}

// A desktop without a tray: minimized, launched minimized or closed, the window stays in the task
// bar rather than hiding where nobody could find it; once the tray is there, it hides again.
TEST_F(MainWindowTest, WithoutATrayOnTheDesktopTheWindowStaysInTheTaskBar) {
  sim.fake.tray.iconsShown = false;
  Start({{"LaunchMinimized", "1"}, {"HideWhenMinimized", "1"}});
  EXPECT_EQ(main().windowState(), WindowState::kMinimized);
  EXPECT_TRUE(main().visible());
  EXPECT_TRUE(sim.fake.windows.taskVisible);
  sim.SetState("frmTimer", WindowState::kNormal);
  sim.Close("frmTimer");
  EXPECT_TRUE(main().visible());
  EXPECT_TRUE(sim.fake.windows.taskVisible);
  sim.SetState("frmTimer", WindowState::kNormal);
  sim.fake.tray.iconsShown = true;
  sim.Close("frmTimer");
  EXPECT_FALSE(main().visible());
  EXPECT_FALSE(sim.fake.windows.taskVisible);
}

TEST_F(MainWindowTest, ExitAsksNoKeepsTheCountdownGoingAndYesEndsTheProgram) {
  Start({{"Hours", "0"}, {"Minutes", "1"}});
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(10);
  sim.Click("frmTimer", "mnuExit");
  ASSERT_EQ(sim.fake.dialogs.open.size(), 1u);
  const auto& box = *sim.fake.dialogs.open.back();
  EXPECT_EQ(box.text, "Are you sure you want to exit?");
  EXPECT_EQ(box.title, "KORVANTE Unwindle");
  // A question with Yes and No, Yes pressed by Enter, above every program's windows.
  EXPECT_EQ(box.icon, MessageIcon::kQuestion);
  EXPECT_EQ(box.Buttons(), (std::vector{MessageAnswer::kYes, MessageAnswer::kNo}));
  EXPECT_EQ(box.EnterPresses(), MessageAnswer::kYes);
  EXPECT_TRUE(box.alwaysOnTop);
  EXPECT_TRUE(main().blnExitQuestion());
  // The countdown waits while the question is up.
  sim.AdvanceSeconds(5);
  EXPECT_EQ(Display(), "00:00:50");
  EXPECT_THROW(sim.Click("frmTimer", "cmdStop"), std::logic_error);
  sim.Answer(MessageAnswer::kNo);
  EXPECT_FALSE(main().blnExitQuestion());
  EXPECT_TRUE(sim.running());
  sim.AdvanceSeconds(1);
  EXPECT_EQ(Display(), "00:00:49");
  // Yes ends it, and with it every window and timer.
  sim.Click("frmTimer", "mPopExit");
  sim.Answer(MessageAnswer::kYes);
  EXPECT_FALSE(sim.running());
  EXPECT_TRUE(sim.app().ui.forms().empty());
  EXPECT_EQ(sim.fake.loop.timerCount(), 0u) << "no timer may outlive its window";
}

TEST_F(MainWindowTest, LoggingOffEndsWithoutAQuestion) {
  Start({{"StartTimerOnLaunch", "1"}});
  sim.EndSession();
  EXPECT_FALSE(sim.running());
  EXPECT_TRUE(sim.fake.dialogs.shown.empty());
}

TEST_F(MainWindowTest, OptionsApplyStoreAndCheckAndARefusedWriteIsReported) {
  Plant({{"AlwaysOnTop", "0"}, {"LaunchOnStartup", "0"}});
  sim.fake.startup.on = true;  // left by an earlier run
  sim.Start();
  EXPECT_FALSE(sim.fake.windows.topMost.back().second);
  for (const char* expected : {"1", "0"}) {
    sim.Click("frmTimer", "mnuAlwaysOnTop");
    EXPECT_EQ(sim.fake.windows.topMost.back().second, expected[0] == '1');
    EXPECT_EQ(Stored("AlwaysOnTop"), expected);
    EXPECT_EQ(main().Ctl("mnuAlwaysOnTop").checked(), expected[0] == '1');
  }
  // The Run entry follows Launch On Startup; off, it is removed at every start.
  EXPECT_FALSE(sim.fake.startup.on);
  sim.Click("frmTimer", "mnuLaunchOnStartup");
  EXPECT_TRUE(sim.fake.startup.on);
  EXPECT_EQ(Stored("LaunchOnStartup"), "1");
  sim.Click("frmTimer", "mnuLaunchOnStartup");
  EXPECT_FALSE(sim.fake.startup.on);
  EXPECT_EQ(Stored("LaunchOnStartup"), "0");
  // Launch Minimized takes effect only at the next start.
  sim.Click("frmTimer", "mnuLaunchMinimized");
  EXPECT_EQ(Stored("LaunchMinimized"), "1");
  EXPECT_TRUE(main().visible());
  sim.Click("frmTimer", "mnuLockWorkStation");
  EXPECT_EQ(sim.fake.workstation.locks, 1);
  // A write the store refuses is reported, and the option is in effect all the same.
  sim.fake.settings.SetReadOnly(true);
  sim.Click("frmTimer", "mnuHideWhenMinimized");
  EXPECT_EQ(Told(), kNotSavedText);
  EXPECT_FALSE(main().Ctl("mnuHideWhenMinimized").checked());
  EXPECT_EQ(sim.app().settings.HideWhenMinimized, 0);
  EXPECT_EQ(Stored("HideWhenMinimized"), "1");
  // A value another program stored out of range is left alone.
  sim.fake.settings.SetReadOnly(false);
  sim.Do([this] { sim.app().settings.HideWhenMinimized = 5; });
  sim.Click("frmTimer", "mnuHideWhenMinimized");
  EXPECT_EQ(Stored("HideWhenMinimized"), "1");
}

}  // namespace
}  // namespace unw

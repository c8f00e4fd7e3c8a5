// The time-up alert meeting the user's other doings: Stop, Pause, Start, Save
// and Exit while a balloon shows or the icon flashes, and what the main window
// and the tray show afterwards.
#include <gtest/gtest.h>

#include <functional>

#include "program_fixture.h"
#include "settings/settings.h"
#include "tray/tray_icon.h"

namespace unw {
namespace {

constexpr const char* kTrayAlertTip = "KORVANTE Unwindle \nClick on the icon below for options.";

// A ten-second interval in tray mode with balloons and a 20-second reminder.
const Values kTrayAlert = {{"Hours", "0"},          {"Minutes", "0"},
                           {"Seconds", "10"},       {"SnoozeMinutes", "0"},
                           {"SnoozeSeconds", "20"}, {"StartTimerOnLaunch", "1"},
                           {"AlertMeBy", "1"},      {"TrayIcon", "0"}};

class AlertOverlapTest : public ProgramTest {
 protected:
  // The program on kTrayAlert, alerted.
  void AlertInTray(const Values& settings = {}) {
    Start(kTrayAlert, settings);
    sim.AdvanceSeconds(11);
  }
  // The user brings the main window back from the tray menu while the balloon shows.
  void OpenFromTrayMenu() {
    sim.Tray(TrayEvent::kRightClick);
    sim.Click("frmTimer", "mPopRestore");
  }
};

TEST_F(AlertOverlapTest, StopWhileTheBalloonShowsEndsTheWholeAlert) {
  AlertInTray();
  ASSERT_EQ(State(), CycleState::kBalloon);
  sim.Tray(TrayEvent::kRightClick);
  sim.Click("frmTimer", "mnuStop");
  EXPECT_FALSE(sim.fake.tray.balloonOnScreen) << "taken down";
  EXPECT_EQ(SentTip().substr(SentTip().size() - 10), " - Stopped");
  // A minute later nothing flashes, nothing repeats, and a fresh period is whole.
  sim.Click("frmTimer", "mnuStart");
  sim.AdvanceSeconds(9);
  EXPECT_EQ(Display(), "00:00:01");
  EXPECT_FALSE(Running("tmrFlash"));
  EXPECT_EQ(sim.fake.tray.balloonsShown, 1) << "no balloon sent again by the ticks";
  sim.AdvanceSeconds(2);
  EXPECT_EQ(State(), CycleState::kBalloon) << "the fresh period's own alert";
  EXPECT_EQ(sim.app().cycle.intSnoozeCount(), 1) << "counted from the Stop on";
}

TEST_F(AlertOverlapTest, StopWhileTheIconFlashesEndsItAndShowsTheIdlePicture) {
  AlertInTray({{"TrayIcon", "3"}});
  OpenFromTrayMenu();
  sim.AdvanceSeconds(60);  // the balloon ends: the icon flashes
  ASSERT_EQ(State(), CycleState::kFlashing);
  sim.Advance(530);
  ASSERT_EQ(SentPicture(), 15) << "the full tank while flashing";
  sim.Click("frmTimer", "cmdStop");
  EXPECT_EQ(SentPicture(), 0);
  sim.AdvanceSeconds(120);
  EXPECT_EQ(State(), CycleState::kStopped);
  EXPECT_EQ(sim.fake.sound.played.size(), 1u) << "the alert never came back";
}

TEST_F(AlertOverlapTest, PauseEndsTheAlertAndRestartAlertsAfresh) {
  AlertInTray();
  sim.Tray(TrayEvent::kRightClick);
  sim.Click("frmTimer", "mnuPause");
  EXPECT_EQ(State(), CycleState::kPaused);
  EXPECT_FALSE(sim.fake.tray.balloonOnScreen);
  EXPECT_EQ(Display(), "00:00:00");
  sim.AdvanceSeconds(90);
  EXPECT_EQ(State(), CycleState::kPaused) << "no flashing over the pause";
  sim.Tray(TrayEvent::kRightClick);
  sim.Click("frmTimer", "mnuStart");  // "Restart Timer"
  sim.AdvanceSeconds(1);
  EXPECT_EQ(State(), CycleState::kBalloon);
  EXPECT_EQ(sim.fake.tray.balloonsShown, 2);
}

TEST_F(AlertOverlapTest, SavingThePreferencesLeavesTheAlertAsItIs) {
  AlertInTray();
  sim.Tray(TrayEvent::kRightClick);
  sim.Click("frmTimer", "mnuPreferencesPopMenu");
  sim.Do([this] { sim.ctl("frmPreferences", "cboTrayIcon").Select(2); });
  sim.Type("frmPreferences", "txtMinutes", "30");
  sim.Click("frmPreferences", "cmdSave");
  EXPECT_EQ(State(), CycleState::kBalloon);
  EXPECT_EQ(Display(), "00:00:00");
  EXPECT_EQ(Tip(), kTrayAlertTip);
  EXPECT_FALSE(Enabled("cmdStart"));
  EXPECT_EQ(main().Ctl("mnuStop").caption(), "Stop Timer");
  EXPECT_EQ(FakeNotificationArea::SetOf(SentIcon()), 2) << "the new set";
  EXPECT_EQ(SentPicture(), 0) << "its idle picture";
  EXPECT_TRUE(sim.fake.tray.balloonOnScreen);
  sim.AdvanceSeconds(60);
  EXPECT_EQ(State(), CycleState::kFlashing) << "the alert goes on";
}

TEST_F(AlertOverlapTest, SavingWhileCountingKeepsTheIconOnItsFrame) {
  Start({{"TrayIcon", "0"}, {"StartTimerOnLaunch", "1"}});
  sim.AdvanceSeconds(3);
  ASSERT_EQ(SentPicture(), 3);
  sim.Click("frmTimer", "mnuPreferences");
  sim.Do([this] { sim.ctl("frmPreferences", "cboTrayIcon").Select(3); });
  sim.Click("frmPreferences", "cmdSave");
  EXPECT_EQ(FakeNotificationArea::SetOf(SentIcon()), 3);
  EXPECT_EQ(SentPicture(), 3) << "the same frame of the new set";
  sim.AdvanceSeconds(1);
  EXPECT_EQ(SentPicture(), 4);
}

TEST_F(AlertOverlapTest, TheExitQuestionHoldsAWaitingAlertUntilAnswered) {
  AlertInTray({{"SnoozeSeconds", "5"}});
  OpenFromTrayMenu();
  sim.AdvanceSeconds(60);
  ASSERT_EQ(State(), CycleState::kFlashing);
  const size_t sounds = sim.fake.sound.played.size();
  sim.Click("frmTimer", "mnuExit");
  sim.AdvanceSeconds(60);
  EXPECT_EQ(sim.fake.sound.played.size(), sounds) << "no repeat over the question";
  EXPECT_TRUE(main().visible()) << "and the window is not hidden under it";
  sim.Answer(MessageAnswer::kNo);
  sim.AdvanceSeconds(6);
  EXPECT_EQ(sim.fake.sound.played.size(), sounds + 1) << "No lets it go on";
  EXPECT_FALSE(main().visible()) << "the alert came again and cleared the screen";
}

TEST_F(AlertOverlapTest, TheMainWindowComesBackOnlyIfItWasOnTheScreenNormally) {
  struct Case {
    const char* before;  // how the window stood when the alert came
    bool back;
  } cases[] = {{"shown", true}, {"minimized to the tray", false}, {"hidden by a restart", false}};
  for (const Case& c : cases) {
    Sim s;
    Plant(s,
          {kTrayAlert,
           {{"Seconds", "5"}, {"AlertMeBy", "0"}, {"BreakMinutes", "0"}, {"BreakSeconds", "2"}}});
    s.Start();
    FrmTimer& m = s.app().frmTimer();
    if (c.before == std::string("minimized to the tray"))
      s.SetState("frmTimer", WindowState::kMinimized);
    if (c.before == std::string("hidden by a restart")) {
      // After a break, Restart Timer leaves the window in the tray.
      s.Click("frmTimer", "cmdUnwindle");
      s.AdvanceSeconds(3);
      s.Click("frmRestartTimer", "cmdRestartTimer");
      ASSERT_FALSE(m.visible());
    }
    s.AdvanceSeconds(6);
    s.Click("frmUnwindle", "cmdRemindLater");
    EXPECT_EQ(m.visible(), c.back) << c.before;
  }
}

// A prompt that opens from one of the cycle's own timers keeps that timer: it repeats its sound,
// offers Restart Timer after a break's length, and an unlock whose notice was lost is noticed.
TEST_F(AlertOverlapTest, APromptOpenedByARepeatOrAReleaseKeepsEveryTimerItNeeds) {
  const Values kQuick = Planted(
      "Hours=0 Minutes=0 Seconds=10 StartTimerOnLaunch=1 SnoozeMinutes=0 SnoozeSeconds=4 "
      "BreakMinutes=0 BreakSeconds=30 AudioType=1 BalloonTipsEnabled=0 HoldDuringCalls=1");
  struct Case {
    const char* how;
    Values settings;
    std::function<void(Sim&)> open;  // from the alert's due time on
  } cases[] = {
      {"the repeat of a tray alert after a switch to the dialog",
       {{"AlertMeBy", "1"}},
       [](Sim& s) {
         // As the preferences saved while the alert waited would leave it.
         s.Do([&s] { s.app().settings.AlertMeBy = 0; });
         s.AdvanceSeconds(5);
       }},
      {"the end of a call that held it",
       {{"AlertMeBy", "0"}},
       [](Sim& s) {
         s.AdvanceSeconds(3);
         s.fake.presence.camera = false;
         s.AdvanceSeconds(2);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.how);
    Sim s;
    Plant(s, {kQuick, c.settings});
    s.fake.presence.camera = c.settings.at("AlertMeBy") == "0";
    s.Start();
    s.AdvanceSeconds(11);
    c.open(s);
    ASSERT_TRUE(s.FindForm("frmUnwindle"));
    const int64_t opened = s.now();
    auto sounds = [&s] { return s.fake.sound.played.size() + s.fake.sound.beeps.size(); };
    const size_t before = sounds();
    s.AdvanceSeconds(6);
    EXPECT_GT(sounds(), before) << "the prompt's sound comes again";
    // Locked, and the unlock's notice lost: the user's input says they are back.
    s.Away(AwayReason::kLock);
    s.AdvanceSeconds(7);
    s.fake.presence.Input();
    s.AdvanceSeconds(2);
    EXPECT_FALSE(s.app().cycle.awareness().away()) << "the input was noticed";
    s.Advance(opened + 31000 - s.now());
    ASSERT_TRUE(s.FindForm("frmUnwindle"));
    EXPECT_TRUE(s.ctl("frmUnwindle", "cmdRestartTimer").visible()) << "after a break's length";
  }
}

TEST_F(AlertOverlapTest, AClickOnTheFlashingIconWaitsForTheExitQuestionOrTheOpenPreferences) {
  struct Case {
    const char* window;
    std::function<void(Sim&)> open, close;
    std::function<bool(Sim&)> stillOpen;
    bool balloonStays;
  } cases[] = {
      {"the preferences",
       [](Sim& s) {
         s.Tray(TrayEvent::kRightClick);
         s.Click("frmTimer", "mPopRestore");
         s.Click("frmTimer", "mnuPreferences");
         s.Type("frmPreferences", "txtBreakMinutes", "7");
       },
       [](Sim& s) {
         s.Click("frmPreferences", "cmdExit");
         s.Answer(MessageAnswer::kNo);
       },
       [](Sim& s) {
         return s.FindForm("frmPreferences") &&
                s.ctl("frmPreferences", "txtBreakMinutes").text() == "7";
       },
       false},
      {"the exit question",
       [](Sim& s) {
         s.Tray(TrayEvent::kRightClick);
         s.Click("frmTimer", "mPopExit");
       },
       [](Sim& s) { s.Answer(MessageAnswer::kNo); },
       [](Sim& s) { return s.fake.dialogs.open.size() == 1; }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.window);
    Sim s;
    Plant(s, {kTrayAlert});
    s.Start();
    s.AdvanceSeconds(11);
    ASSERT_EQ(s.app().cycle.state(), CycleState::kBalloon);
    // The balloon's time runs out and the icon flashes, unless the exit question stands it: then
    // the balloon stays, and a click on the icon waits all the same.
    c.open(s);
    for (int i = 0; i < 90 && s.app().cycle.state() == CycleState::kBalloon; ++i)
      s.AdvanceSeconds(1);
    EXPECT_EQ(s.app().cycle.state() == CycleState::kBalloon, c.balloonStays);
    s.Tray(TrayEvent::kLeftClick);
    s.AdvanceSeconds(1);
    EXPECT_TRUE(c.stillOpen(s)) << "what was typed or asked stays";
    EXPECT_FALSE(s.FindForm("frmUnwindle"));
    if (s.app().cycle.state() != CycleState::kBalloon) {
      EXPECT_EQ(s.app().cycle.state(), CycleState::kHeld);
      EXPECT_EQ(TipOf(s),
                "KORVANTE Unwindle \nA break is due; it waits until you close the open window.");
    }
    c.close(s);
    s.AdvanceSeconds(2);
    const CycleState after = s.app().cycle.state();
    EXPECT_TRUE(IsAlert(after) && after != CycleState::kHeld) << "the alert comes";
    if (!c.balloonStays) continue;
    s.AdvanceSeconds(60);
    EXPECT_EQ(s.app().cycle.state(), CycleState::kFlashing) << "the balloon's end came after";
  }
}

// Every settings dialog, edited when the alert falls due: the alert waits (and so does the tray's
// menu) with what was typed kept, Cancel leaves every setting as it was, stored and in effect,
// and the alert comes once the dialog is closed.
TEST_F(AlertOverlapTest, ADueAlertWaitsForAnyOpenSettingsDialogAndCancelChangesNothing) {
  struct Case {
    const char *menu, *form, *control, *typed;  // typed into the control, or a click on it
  } cases[] = {
      {"mnuShortBreaks", "frmShortBreaks", "chkShortBreaks", nullptr},
      {"mnuBreakIdeas", "frmBreakIdeas", "txtIdea", "Hum a tune."},
      {"mnuHoldForPrograms", "frmHoldPrograms", "txtProgram", "obs64.exe"},
      {"mnuBreakScreen", "frmBreakScreenOptions", "optBreakScreen", nullptr},
      {"mnuWorkingHours", "frmWorkingHours", "chkWorkingHours", nullptr},
  };
  // Every setting, as stored and as in effect.
  auto settings = [](Sim& s) {
    std::string all;
    for (const SettingInfo& i : SettingsTable())
      all += std::string(i.name) + "=" + StoredIn(s, i.name) + "/" +
             (i.text ? s.app().settings.*i.text : std::to_string(i.Get(s.app().settings))) + " ";
    return all;
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.form);
    Sim s;
    Plant(s, {{{"Hours", "0"}, {"Minutes", "0"}, {"Seconds", "5"}, {"StartTimerOnLaunch", "1"}}});
    s.Start();
    const std::string before = settings(s);
    s.Click("frmTimer", c.menu);
    if (c.typed) {
      s.Paste(c.form, c.control, c.typed);
    } else {
      s.Click(c.form, c.control);
    }
    s.Tray(TrayEvent::kRightClick);
    EXPECT_TRUE(s.fake.view.popups.empty()) << "the tray's menu waits";
    s.AdvanceSeconds(10);
    EXPECT_EQ(s.app().cycle.state(), CycleState::kHeld) << "nothing typed is lost under a prompt";
    ASSERT_TRUE(s.FindForm(c.form));
    if (c.typed) {
      EXPECT_EQ(s.ctl(c.form, c.control).text(), c.typed);
    }
    s.Click(c.form, "cmdCancel");
    EXPECT_FALSE(s.FindForm(c.form));
    EXPECT_EQ(settings(s), before);
    s.AdvanceSeconds(2);
    EXPECT_TRUE(s.FindForm("frmUnwindle")) << "the alert comes once the dialog is closed";
  }
}

}  // namespace
}  // namespace unw

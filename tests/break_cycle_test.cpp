// The whole work cycle on the virtual clock: time-up, the break prompt and its
// snooze rules, the break, and the break-over prompt.
#include <gtest/gtest.h>

#include <set>

#include "cycle/frm_break_time_remaining.h"
#include "cycle/frm_unwindle.h"
#include "cycle/prompts.h"
#include "program_fixture.h"
#include "tray/tray_icon.h"

namespace unw {
namespace {

class BreakCycleTest : public ProgramTest {
 protected:
  // A short work interval that starts at launch.
  void StartCycle(std::map<std::string, std::string> settings = {}) {
    std::map<std::string, std::string> base = {{"Hours", "0"},         {"Minutes", "0"},
                                               {"Seconds", "10"},      {"StartTimerOnLaunch", "1"},
                                               {"SnoozeMinutes", "0"}, {"SnoozeSeconds", "20"},
                                               {"BreakMinutes", "5"},  {"BreakSeconds", "0"}};
    for (auto& [k, v] : settings) base[k] = v;
    Plant(base);
    sim.Start();
  }
  bool Loaded(const char* form) { return sim.FindForm(form) != nullptr; }
  std::string StatusIcon() {
    for (const char* p : {"picInformation", "picExclamation", "picStop"}) {
      if (sim.ctl("frmUnwindle", p).visible()) return p + 3;
    }
    return "none";
  }
  bool RemindLaterEnabled() { return sim.ctl("frmUnwindle", "cmdRemindLater").enabled(); }
  std::string TrayTip() { return std::string(ShownText(sim.fake.tray.sent.back().data.szTip)); }
};

TEST(DurationText, MinutesWhenThereAreAnySecondsOtherwise) {
  EXPECT_EQ(DurationText(10, 30), "10 minutes");
  EXPECT_EQ(DurationText(1, 30), "1 minute");
  EXPECT_EQ(DurationText(0, 30), "30 seconds");
  EXPECT_EQ(DurationText(0, 1), "1 second");
  EXPECT_EQ(DurationText(0, 0), "0 seconds");
}

TEST_F(BreakCycleTest, ThePromptOpensOnTickNPlusOneWithItsTextsAndLayout) {
  StartCycle({{"SnoozeMinutes", "0"},
              {"SnoozeSeconds", "45"},
              {"BreakMinutes", "1"},
              {"BreakSeconds", "30"}});
  sim.Advance(10999);
  EXPECT_FALSE(Loaded("frmUnwindle"));
  sim.Advance(1);
  ASSERT_TRUE(Loaded("frmUnwindle"));
  Form& p = sim.form("frmUnwindle");
  EXPECT_EQ(p.caption(), "KORVANTE Unwindle - https://korvante.example/unwindle");
  EXPECT_EQ(sim.ctl("frmUnwindle", "cmdRemindLater").toolTip(), "Reminder in 45 seconds");
  EXPECT_EQ(sim.ctl("frmUnwindle", "cmdUnwindle").toolTip(), "Unwindle for 1 minute");
  const Control& label = sim.ctl("frmUnwindle", "lblUnwindle");
  EXPECT_EQ(label.caption().substr(0, 47), "Please unwindle now to rest your eyes and body.");
  EXPECT_NE(label.caption().find("injuries.\r\n\r\nWhat do you want to do?"), std::string::npos);
  // The label took the size of its text; the row sits 175 twips below it, centred.
  EXPECT_EQ(label.width(), sim.fake.view.MeasureText(label.font(), label.caption()).width);
  const Control& later = sim.ctl("frmUnwindle", "cmdRemindLater");
  const Control& unwindle = sim.ctl("frmUnwindle", "cmdUnwindle");
  const Control& stop = sim.ctl("frmUnwindle", "cmdStopTimer");
  EXPECT_EQ(later.top(), label.top() + label.height() + 175);
  EXPECT_TRUE(p.sizeIsOuter());
  EXPECT_EQ(p.width(), label.width() + label.left() + 300);
  EXPECT_EQ(p.height(), unwindle.top() + unwindle.height() + 600);
  EXPECT_EQ(later.left(), (p.width() - 3 * 1380 - 240) / 2);
  EXPECT_EQ(unwindle.left(), later.left() + 1500);
  EXPECT_EQ(stop.left(), unwindle.left() + 1500);
  EXPECT_EQ(StatusIcon(), "Information");
  EXPECT_EQ(sim.fake.windows.setWindowPos.back().insertAfter, kHwndTopMost);
  EXPECT_EQ(TrayTip(), "KORVANTE Unwindle");
  EXPECT_EQ(sim.fake.sound.played.size(), 1u) << "the alert sound, once";
  EXPECT_FALSE(main().visible()) << "the main window hides for the alert";
}

TEST_F(BreakCycleTest, ClosingThePromptStopsTheTimerAndBringsTheWindowBack) {
  StartCycle();
  sim.AdvanceSeconds(11);
  sim.Close("frmUnwindle");
  EXPECT_FALSE(Loaded("frmUnwindle"));
  EXPECT_FALSE(TickRunning());
  EXPECT_EQ(Display(), "00:00:10");
  EXPECT_TRUE(main().visible());
  EXPECT_EQ(main().windowState(), WindowState::kNormal);
  EXPECT_EQ(sim.fake.windows.foreground.back(), main().hWnd());
}

TEST_F(BreakCycleTest, ReminderLimitOfThreeInDialogMode) {
  StartCycle({{"NumberOfSnooze", "3"}});
  std::vector<std::string> icons;
  std::vector<bool> offered;
  sim.AdvanceSeconds(11);
  for (int prompt = 0; prompt < 4; ++prompt) {
    ASSERT_TRUE(Loaded("frmUnwindle")) << prompt;
    icons.push_back(StatusIcon());
    offered.push_back(RemindLaterEnabled());
    if (prompt == 3) break;
    sim.Click("frmUnwindle", "cmdRemindLater");
    EXPECT_EQ(Display(), "00:00:20") << "the reminder interval";
    EXPECT_TRUE(TickRunning());
    sim.AdvanceSeconds(21);
  }
  EXPECT_EQ(icons, (std::vector<std::string>{"Information", "Information", "Exclamation", "Stop"}));
  EXPECT_EQ(offered, (std::vector<bool>{true, true, true, false}));
  EXPECT_THROW(sim.Click("frmUnwindle", "cmdRemindLater"), std::logic_error);
  EXPECT_EQ(sim.app().intSnoozeCount, 3);
  // Stop starts the count again.
  sim.Click("frmUnwindle", "cmdStopTimer");
  EXPECT_EQ(sim.app().intSnoozeCount, 0);
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(11);
  EXPECT_EQ(StatusIcon(), "Information");
}

TEST_F(BreakCycleTest, NoLimitAlwaysOffersTheReminder) {
  StartCycle({{"NumberOfSnooze", "99"}});
  for (int prompt = 0; prompt < 12; ++prompt) {
    sim.AdvanceSeconds(prompt == 0 ? 11 : 21);
    ASSERT_EQ(StatusIcon(), "Information");
    ASSERT_TRUE(RemindLaterEnabled());
    sim.Click("frmUnwindle", "cmdRemindLater");
  }
}

TEST_F(BreakCycleTest, RestartReplacesTheReminderOnceTheUserWasAwayABreaksLength) {
  StartCycle({{"BreakMinutes", "0"}, {"BreakSeconds", "30"}, {"NumberOfSnooze", "0"}});
  sim.AdvanceSeconds(11);
  EXPECT_FALSE(RemindLaterEnabled()) << "a limit of 0 withholds the first reminder";
  sim.AdvanceSeconds(30);
  EXPECT_TRUE(sim.ctl("frmUnwindle", "cmdRemindLater").visible());
  sim.AdvanceSeconds(1);
  EXPECT_FALSE(sim.ctl("frmUnwindle", "cmdRemindLater").visible());
  EXPECT_TRUE(sim.ctl("frmUnwindle", "cmdRestartTimer").visible());
  EXPECT_TRUE(sim.ctl("frmUnwindle", "cmdRestartTimer").enabled());
  sim.Click("frmUnwindle", "cmdRestartTimer");
  EXPECT_TRUE(TickRunning());
  EXPECT_EQ(Display(), "00:00:10");
  EXPECT_TRUE(main().visible()) << "it was on the screen when the alert came";
}

TEST_F(BreakCycleTest, ThePromptRepeatsTheSoundEverySnoozePlusOneSeconds) {
  StartCycle({{"SnoozeSeconds", "4"}, {"SnoozeMinutes", "0"}});
  sim.AdvanceSeconds(11);
  ASSERT_EQ(sim.fake.sound.played.size(), 1u);
  sim.AdvanceSeconds(4);
  EXPECT_EQ(sim.fake.sound.played.size(), 1u);
  sim.AdvanceSeconds(1);
  EXPECT_EQ(sim.fake.sound.played.size(), 2u);
  sim.AdvanceSeconds(5);
  EXPECT_EQ(sim.fake.sound.played.size(), 3u);
}

TEST_F(BreakCycleTest, AFiveMinuteBreakClosesOnTick301AndTheBreakOverPromptFollows) {
  StartCycle({{"BreakMinutes", "5"}, {"TrayIcon", "4"}});
  sim.AdvanceSeconds(11);
  sim.Click("frmUnwindle", "cmdUnwindle");
  ASSERT_TRUE(Loaded("frmBreakTimeRemaining"));
  auto& brk = static_cast<FrmBreakTimeRemaining&>(sim.form("frmBreakTimeRemaining"));
  EXPECT_EQ(brk.BreakTimeText(), "05:00");
  EXPECT_EQ(brk.caption(), "KORVANTE - https://korvante.example/unwindle");
  EXPECT_NE(TrayTip().find("Break Time Remaining: 05:00"), std::string::npos)
      << "traffic lights show the break at once";
  EXPECT_FALSE(main().Ctl("mnuStart").visible());
  EXPECT_TRUE(main().Ctl("mnuStopBreakPopUp").visible());
  sim.AdvanceSeconds(1);
  EXPECT_EQ(brk.BreakTimeText(), "04:59");
  sim.AdvanceSeconds(299);
  EXPECT_EQ(brk.BreakTimeText(), "00:00");
  EXPECT_TRUE(Loaded("frmBreakTimeRemaining"));
  sim.AdvanceSeconds(1);
  EXPECT_FALSE(Loaded("frmBreakTimeRemaining"));
  ASSERT_TRUE(Loaded("frmRestartTimer"));
  EXPECT_EQ(sim.ctl("frmRestartTimer", "lblUnwindle").caption(),
            "Your break is now over.\r\n\r\nWhat do you want to do?");
  EXPECT_TRUE(main().Ctl("mnuStart").visible());
  EXPECT_FALSE(main().Ctl("mnuStopBreakPopUp").visible());
  EXPECT_EQ(TrayTip(), "KORVANTE Unwindle");
  EXPECT_EQ(sim.app().intSnoozeCount, 0);
  sim.Click("frmRestartTimer", "cmdRestartTimer");
  EXPECT_TRUE(TickRunning());
  EXPECT_FALSE(main().visible()) << "the next work period runs in the tray";
}

TEST_F(BreakCycleTest, AnEmptyBreakClosesOnTheFirstTick) {
  StartCycle({{"BreakMinutes", "0"}, {"BreakSeconds", "0"}});
  sim.Click("frmTimer", "cmdUnwindle");
  ASSERT_TRUE(Loaded("frmBreakTimeRemaining"));
  sim.Advance(999);
  EXPECT_TRUE(Loaded("frmBreakTimeRemaining"));
  sim.Advance(1);
  EXPECT_TRUE(Loaded("frmRestartTimer"));
  sim.Close("frmRestartTimer");
  EXPECT_FALSE(TickRunning());
  EXPECT_TRUE(main().visible());
  EXPECT_EQ(sim.fake.windows.foreground.back(), main().hWnd());
}

TEST_F(BreakCycleTest, StoppingABreakEarlyLeadsToTheSamePrompt) {
  StartCycle();
  sim.Click("frmTimer", "cmdUnwindle");
  sim.AdvanceSeconds(10);
  sim.Click("frmBreakTimeRemaining", "cmdStopTimer");
  EXPECT_FALSE(Loaded("frmBreakTimeRemaining"));
  EXPECT_TRUE(Loaded("frmRestartTimer"));
  sim.Click("frmRestartTimer", "cmdStopTimer");
  EXPECT_EQ(Display(), "00:00:10");
  EXPECT_FALSE(TickRunning());
}

TEST_F(BreakCycleTest, StopBreakFromTheTrayMenuWhileATickIsBusy) {
  StartCycle();
  sim.Click("frmTimer", "cmdUnwindle");
  sim.AdvanceSeconds(3);
  // The close request arrives while the tick lets pending events through.
  sim.Do([this] {
    sim.fake.loop.At(sim.now(), [this] { main().mnuStopBreakPopUp_Click(); });
    sim.form("frmBreakTimeRemaining").Ctl("tmrMain").Tick();
  });
  EXPECT_FALSE(Loaded("frmBreakTimeRemaining"));
  EXPECT_TRUE(Loaded("frmRestartTimer"));
  EXPECT_EQ(sim.fake.view.created("frmBreakTimeRemaining"), 1);
}

TEST_F(BreakCycleTest, TheLockComesBeforeTheScreenSaverAndFailuresAreIgnored) {
  sim.fake.workstation.lockResult = 0;
  StartCycle({{"LockWorkstationOnBreak", "1"}, {"ActivateScreenSaver", "1"}});
  sim.Click("frmTimer", "cmdUnwindle");
  std::vector<std::string> order;
  for (const auto& line : sim.fake.trace.lines()) {
    if (line.find("\tlock\t") != std::string::npos) order.push_back("lock");
    if (line.find("\twindow.send\t") != std::string::npos) order.push_back("send");
  }
  EXPECT_EQ(order, (std::vector<std::string>{"lock", "send"}));
  const auto& sent = sim.fake.windows.sentMessages.back();
  EXPECT_EQ(sent.hwnd, main().hWnd());
  EXPECT_EQ(sent.msg, 0x0112u);
  EXPECT_EQ(sent.wParam, 0xF140u);
  EXPECT_TRUE(Loaded("frmBreakTimeRemaining"));
}

TEST_F(BreakCycleTest, TheMainWindowComesBackOnlyIfItWasShownNormally) {
  StartCycle();
  sim.SetState("frmTimer", WindowState::kMinimized);  // hides: HideWhenMinimized is 1
  sim.AdvanceSeconds(11);
  sim.Click("frmUnwindle", "cmdRemindLater");
  EXPECT_FALSE(main().visible());

  Sim other;
  other.fake.registry.PlantText(kHkeyCurrentUser, kSettingsKey, "Seconds", "5");
  other.fake.registry.PlantText(kHkeyCurrentUser, kSettingsKey, "Hours", "0");
  other.Start();
  other.AdvanceSeconds(6);
  other.Click("frmUnwindle", "cmdRemindLater");
  EXPECT_TRUE(other.app().frmTimer().visible());
}

TEST_F(BreakCycleTest, TheBreakOverPromptAnnouncesWithTheQuestionBeepAsFallback) {
  StartCycle({{"AudioType", "3"}, {"CustomSound", "   "}});
  sim.Click("frmTimer", "cmdUnwindle");
  sim.Click("frmBreakTimeRemaining", "cmdStopTimer");
  ASSERT_TRUE(Loaded("frmRestartTimer"));
  EXPECT_EQ(sim.fake.sound.beeps, (std::vector<uint32_t>{0x20}));
}

TEST_F(BreakCycleTest, TrayAlertsWithBalloonsCountUpToTheLimit) {
  StartCycle({{"AlertMeBy", "1"}, {"NumberOfSnooze", "3"}, {"SnoozeSeconds", "5"}});
  std::vector<uint32_t> icons;
  sim.AdvanceSeconds(11);
  for (int alert = 0; alert < 5; ++alert) {
    ASSERT_TRUE(sim.app().blnBalloonShowing) << alert;
    icons.push_back(sim.fake.tray.sent.back().data.dwInfoFlags);
    EXPECT_EQ(ShownText(sim.fake.tray.sent.back().data.szInfo),
              "What do you want to do?\r\nClick on the icon below for options.");
    // Nobody reacts: the balloon ends after 60 s, the icon flashes, and the
    // whole alert comes back after the reminder length.
    sim.AdvanceSeconds(60);
    EXPECT_FALSE(sim.app().blnBalloonShowing);
    EXPECT_TRUE(sim.fake.loop.IsTimerRunning(main().Ctl("tmrFlash")));
    sim.AdvanceSeconds(6);
  }
  EXPECT_EQ(icons,
            (std::vector<uint32_t>{kNiifInfo, kNiifInfo, kNiifWarning, kNiifError, kNiifError}));
  EXPECT_EQ(sim.app().intSnoozeCount, 4) << "the count stops at the limit + 1";
}

TEST_F(BreakCycleTest, TrayAlertsWithoutBalloonsFlashAndRepeatUntilClicked) {
  StartCycle({{"AlertMeBy", "1"},
              {"BalloonTipsEnabled", "0"},
              {"SnoozeSeconds", "4"},
              {"AudioType", "1"}});
  sim.AdvanceSeconds(11);
  EXPECT_FALSE(Loaded("frmUnwindle"));
  EXPECT_EQ(TrayTip(), "KORVANTE Unwindle \r\nClick on the icon below for options.");
  EXPECT_EQ(sim.fake.sound.beeps.size(), 1u);
  EXPECT_EQ(sim.app().intSnoozeCount, 1);
  sim.AdvanceSeconds(5);
  EXPECT_EQ(sim.fake.sound.beeps.size(), 2u) << "the whole alert again after S + 1 s";
  EXPECT_EQ(sim.app().intSnoozeCount, 2);
  // The icon alternates between the alert and the idle picture at the caret blink rate.
  std::set<int> shown;
  for (int blink = 0; blink < 2; ++blink) {
    sim.Advance(530);
    shown.insert(FakeNotificationArea::ElementOf(sim.fake.tray.sent.back().data.hIcon));
  }
  EXPECT_EQ(shown, (std::set<int>{0, 8}));
  // A click on the icon acknowledges: the prompt opens with the count already taken.
  sim.Do([this] { sim.fake.tray.Deliver(main().hWnd(), kTrayCallbackMessage, 1, kWmLButtonUp); });
  ASSERT_TRUE(Loaded("frmUnwindle"));
  EXPECT_FALSE(sim.fake.loop.IsTimerRunning(main().Ctl("tmrFlash")));
  EXPECT_EQ(FakeNotificationArea::ElementOf(sim.fake.tray.sent.back().data.hIcon), 0);
  EXPECT_EQ(TrayTip(), "KORVANTE Unwindle");
  EXPECT_EQ(StatusIcon(), "Information") << "two alerts given, one counted before this prompt";
  sim.Click("frmUnwindle", "cmdRemindLater");
  EXPECT_EQ(sim.app().intSnoozeCount, 2) << "tray mode counts alerts, not answers";
}

TEST_F(BreakCycleTest, ALateBalloonEventDoesNotReviveAnAnsweredAlert) {
  StartCycle({{"AlertMeBy", "1"}});
  sim.AdvanceSeconds(11);
  ASSERT_TRUE(sim.app().blnBalloonShowing);
  // While the balloon shows no alert is pending: the menu opens, and the user takes the break.
  sim.Do([this] { sim.fake.tray.Deliver(main().hWnd(), kTrayCallbackMessage, 1, kWmRButtonUp); });
  ASSERT_EQ(sim.fake.view.popups.size(), 1u);
  sim.Click("frmTimer", "mnuUnwindle");
  ASSERT_TRUE(Loaded("frmBreakTimeRemaining"));
  EXPECT_FALSE(sim.app().blnBalloonShowing);
  // The shell reports the balloon's end only now, and the 60-second timer would have fired.
  sim.Do([this] {
    sim.fake.tray.Deliver(main().hWnd(), kTrayCallbackMessage, 1, kNinBalloonTimeout);
  });
  EXPECT_FALSE(sim.fake.loop.IsTimerRunning(main().Ctl("tmrPlaySound")));
  const size_t balloonsBefore = sim.fake.tray.sent.size();
  sim.AdvanceSeconds(61);
  for (size_t i = balloonsBefore; i < sim.fake.tray.sent.size(); ++i)
    EXPECT_NE(sim.fake.tray.sent[i].data.uFlags, 31u) << "no new balloon during the break";
  EXPECT_FALSE(sim.fake.loop.IsTimerRunning(main().Ctl("tmrPlaySound")));
  EXPECT_FALSE(sim.fake.loop.IsTimerRunning(main().Ctl("tmrFlash")));
  sim.Do([this] { sim.fake.tray.Deliver(main().hWnd(), kTrayCallbackMessage, 1, kWmLButtonUp); });
  EXPECT_FALSE(Loaded("frmUnwindle")) << "no prompt over the break";
}

TEST_F(BreakCycleTest, TrayClicksAreIgnoredWhileAProgramWindowIsOpenUnlessAnAlertIsPending) {
  StartCycle({{"AlertMeBy", "1"}, {"BalloonTipsEnabled", "0"}});
  sim.Click("frmTimer", "cmdUnwindle");
  sim.Do([this] { sim.fake.tray.Deliver(main().hWnd(), kTrayCallbackMessage, 1, kWmRButtonUp); });
  EXPECT_TRUE(sim.fake.view.popups.empty());
  sim.Do([this] { sim.fake.tray.Deliver(main().hWnd(), kTrayCallbackMessage, 1, kWmLButtonUp); });
  EXPECT_FALSE(main().visible());
  sim.Click("frmBreakTimeRemaining", "cmdStopTimer");
  sim.Click("frmRestartTimer", "cmdRestartTimer");
  sim.AdvanceSeconds(11);  // a tray alert is now pending
  sim.Do([this] { sim.fake.tray.Deliver(main().hWnd(), kTrayCallbackMessage, 1, kWmRButtonUp); });
  EXPECT_TRUE(Loaded("frmUnwindle")) << "the acknowledging click always counts";
}

}  // namespace
}  // namespace unw

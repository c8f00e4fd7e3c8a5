// The whole work cycle on the virtual clock: time-up, the break prompt and its
// snooze rules, the tray alert, the break, and the break-over prompt.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "app/frm_break_time_remaining.h"
#include "app/prompts.h"
#include "program_fixture.h"
#include "tray/tray_icon.h"

namespace unw {
namespace {

// A ten-second work interval that starts at launch, a 20-second reminder, a 5-minute break.
const Values kCycle = Planted(
    "Hours=0 Minutes=0 Seconds=10 StartTimerOnLaunch=1 SnoozeMinutes=0 SnoozeSeconds=20 "
    "BreakMinutes=5 BreakSeconds=0");

class BreakCycleTest : public ProgramTest {
 protected:
  void StartCycle(const Values& settings = {}) { Start(kCycle, settings); }
  std::string StatusIcon() {
    for (const char* p : {"picInformation", "picExclamation", "picStop"}) {
      if (sim.ctl("frmUnwindle", p).visible()) return p + 3;
    }
    return "none";
  }
  Control& Prompt(const char* control) { return sim.ctl("frmUnwindle", control); }
};

TEST(DurationText, MinutesWhenThereAreAnySecondsOtherwise) {
  const std::pair<std::pair<int, int>, const char*> cases[] = {{{10, 30}, "10 minutes"},
                                                               {{1, 30}, "1 minute"},
                                                               {{0, 30}, "30 seconds"},
                                                               {{0, 1}, "1 second"},
                                                               {{0, 0}, "0 seconds"}};
  const Texts english;
  for (const auto& [in, text] : cases) {
    EXPECT_EQ(ReminderInText(english, in.first, in.second), std::string("Reminder in ") + text);
    EXPECT_EQ(UnwindleForText(english, in.first, in.second), std::string("Unwindle for ") + text);
  }
}

TEST_F(BreakCycleTest, ThePromptOpensOnTickNPlusOneWithItsTextsInARowOfButtons) {
  StartCycle({{"SnoozeSeconds", "45"}, {"BreakMinutes", "1"}, {"BreakSeconds", "30"}});
  sim.Advance(10999);
  EXPECT_FALSE(Loaded("frmUnwindle"));
  sim.Advance(1);
  ASSERT_TRUE(Loaded("frmUnwindle"));
  Form& p = sim.form("frmUnwindle");
  EXPECT_EQ(Prompt("cmdRemindLater").toolTip(), "Reminder in 45 seconds");
  EXPECT_EQ(Prompt("cmdUnwindle").toolTip(), "Unwindle for 1 minute");
  const Control& label = Prompt("lblUnwindle");
  EXPECT_EQ(label.caption().substr(0, 47), "Please unwindle now to rest your eyes and body.");
  EXPECT_NE(label.caption().find("injuries.\n\nWhat do you want to do?"), std::string::npos);
  // The label is as large as its text; the buttons stand in one row below it, left to right,
  // apart, and centred in the window.
  EXPECT_EQ(label.width(), sim.fake.view.MeasureText(label.font(), label.caption()).width);
  const Control* row[] = {&Prompt("cmdRemindLater"), &Prompt("cmdUnwindle"),
                          &Prompt("cmdStopTimer")};
  for (int i = 0; i < 3; ++i) {
    EXPECT_GT(row[i]->top(), label.top() + label.height());
    EXPECT_EQ(row[i]->top(), row[0]->top());
    if (i > 0) {
      EXPECT_GT(row[i]->left(), row[i - 1]->left() + row[i - 1]->width());
    }
  }
  EXPECT_EQ(Prompt("cmdRestartTimer").left(), row[0]->left()) << "in the same slot";
  const int rightGap = p.width() - row[2]->left() - row[2]->width();
  EXPECT_NEAR(row[0]->left(), rightGap, 400) << "centred (the width includes the frame)";
  EXPECT_GT(p.height(), row[0]->top() + row[0]->height());
  EXPECT_EQ(StatusIcon(), "Information");
  EXPECT_EQ(sim.fake.windows.topMost.back(), std::make_pair(p.hWnd(), true));
  EXPECT_EQ(SentTip(), "KORVANTE Unwindle");
  EXPECT_EQ(sim.fake.sound.played.size(), 1u) << "the alert sound, once";
  EXPECT_FALSE(main().visible()) << "the main window hides for the alert";
  // The sound comes again every reminder length + 1 seconds while the prompt waits.
  sim.AdvanceSeconds(45);
  EXPECT_EQ(sim.fake.sound.played.size(), 1u);
  sim.AdvanceSeconds(1);
  EXPECT_EQ(sim.fake.sound.played.size(), 2u);
}

TEST_F(BreakCycleTest, ReminderLimitOfThreeInDialogMode) {
  StartCycle({{"NumberOfSnooze", "3"}});
  std::vector<std::string> icons;
  std::vector<bool> offered;
  sim.AdvanceSeconds(11);
  for (int prompt = 0; prompt < 4; ++prompt) {
    ASSERT_TRUE(Loaded("frmUnwindle")) << prompt;
    icons.push_back(StatusIcon());
    offered.push_back(Prompt("cmdRemindLater").enabled());
    if (prompt == 3) break;
    sim.Click("frmUnwindle", "cmdRemindLater");
    EXPECT_EQ(Display(), "00:00:20") << "the reminder interval";
    EXPECT_EQ(State(), CycleState::kCounting);
    sim.AdvanceSeconds(21);
  }
  EXPECT_EQ(icons, (std::vector<std::string>{"Information", "Information", "Exclamation", "Stop"}));
  EXPECT_EQ(offered, (std::vector<bool>{true, true, true, false}));
  // Stop starts the count again.
  sim.Click("frmUnwindle", "cmdStopTimer");
  EXPECT_EQ(sim.app().cycle.intSnoozeCount(), 0);
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(11);
  EXPECT_EQ(StatusIcon(), "Information");
}

TEST_F(BreakCycleTest, NoLimitAlwaysOffersTheReminderEvenPastNinetyNine) {
  StartCycle({{"NumberOfSnooze", "99"}, {"SnoozeSeconds", "1"}});
  for (int prompt = 0; prompt < 105; ++prompt) {
    sim.AdvanceSeconds(prompt == 0 ? 11 : 2);
    ASSERT_EQ(StatusIcon(), "Information") << prompt << " reminders given";
    ASSERT_TRUE(Prompt("cmdRemindLater").enabled()) << prompt;
    sim.Click("frmUnwindle", "cmdRemindLater");
  }
}

TEST_F(BreakCycleTest, ATrayAlertLeftForABreaksLengthOffersRestartOnceClicked) {
  // The seconds the icon flashed unanswered count toward the break's length at the prompt.
  struct Case {
    int flashed;       // seconds between the alert and the click
    int restartAfter;  // seconds the prompt then shows Remind Later (0: Restart Timer at once)
  } cases[] = {{35, 0}, {30, 0}, {10, 21}};
  for (const Case& c : cases) {
    Sim s;
    Plant(s, {kCycle, Planted("AlertMeBy=1 BalloonTipsEnabled=0 SnoozeMinutes=1 SnoozeSeconds=0 "
                              "BreakMinutes=0 BreakSeconds=30")});
    s.Start();
    s.AdvanceSeconds(11);
    ASSERT_EQ(s.app().cycle.state(), CycleState::kFlashing);
    s.AdvanceSeconds(c.flashed);
    s.Tray(TrayEvent::kLeftClick);
    ASSERT_TRUE(s.FindForm("frmUnwindle")) << c.flashed;
    auto remindShown = [&] { return s.ctl("frmUnwindle", "cmdRemindLater").visible(); };
    EXPECT_EQ(remindShown(), c.restartAfter > 0) << c.flashed;
    if (c.restartAfter == 0) continue;
    s.AdvanceSeconds(c.restartAfter - 1);
    EXPECT_TRUE(remindShown()) << c.flashed;
    s.AdvanceSeconds(1);
    EXPECT_FALSE(remindShown()) << c.flashed;
    EXPECT_TRUE(s.ctl("frmUnwindle", "cmdRestartTimer").visible()) << c.flashed;
  }
}

TEST_F(BreakCycleTest, RestartReplacesTheReminderOnceTheUserWasAwayABreaksLength) {
  StartCycle({{"BreakMinutes", "0"}, {"BreakSeconds", "30"}, {"NumberOfSnooze", "0"}});
  sim.AdvanceSeconds(11);
  EXPECT_FALSE(Prompt("cmdRemindLater").enabled()) << "a limit of 0 withholds the first one";
  sim.AdvanceSeconds(30);
  EXPECT_TRUE(Prompt("cmdRemindLater").visible());
  sim.AdvanceSeconds(1);
  EXPECT_FALSE(Prompt("cmdRemindLater").visible());
  EXPECT_TRUE(Prompt("cmdRestartTimer").enabled());
  sim.Click("frmUnwindle", "cmdRestartTimer");
  EXPECT_EQ(State(), CycleState::kCounting);
  EXPECT_EQ(Display(), "00:00:10");
  EXPECT_TRUE(main().visible()) << "it was on the screen when the alert came";
}

TEST_F(BreakCycleTest, AFiveMinuteBreakClosesOnTick301AndTheBreakOverPromptFollows) {
  StartCycle({{"TrayIcon", "4"}});
  sim.AdvanceSeconds(11);
  sim.Click("frmUnwindle", "cmdUnwindle");
  ASSERT_TRUE(Loaded("frmBreakTimeRemaining"));
  auto& brk = static_cast<FrmBreakTimeRemaining&>(sim.form("frmBreakTimeRemaining"));
  EXPECT_EQ(brk.BreakTimeText(), "05:00");
  EXPECT_NE(SentTip().find("Break Time Remaining: 05:00"), std::string::npos)
      << "traffic lights show the break at once";
  EXPECT_FALSE(main().Ctl("mnuStart").visible());
  EXPECT_TRUE(main().Ctl("mnuStopBreakPopUp").visible());
  sim.AdvanceSeconds(1);
  EXPECT_EQ(sim.ctl("frmBreakTimeRemaining", "lblSeconds").caption(), "59");
  sim.AdvanceSeconds(299);
  EXPECT_EQ(brk.BreakTimeText(), "00:00");
  EXPECT_TRUE(Loaded("frmBreakTimeRemaining"));
  sim.AdvanceSeconds(1);
  EXPECT_FALSE(Loaded("frmBreakTimeRemaining"));
  ASSERT_TRUE(Loaded("frmRestartTimer"));
  EXPECT_TRUE(main().Ctl("mnuStart").visible());
  EXPECT_FALSE(main().Ctl("mnuStopBreakPopUp").visible());
  EXPECT_EQ(SentTip(), "KORVANTE Unwindle");
  EXPECT_EQ(sim.app().cycle.intSnoozeCount(), 0);
  sim.Click("frmRestartTimer", "cmdRestartTimer");
  EXPECT_EQ(State(), CycleState::kCounting);
  EXPECT_FALSE(main().visible()) << "the next work period runs in the tray";
}

TEST_F(BreakCycleTest, TheBreaksLastPictureStaysForTheQuestionThenTheFirstFrameFollows) {
  for (const char* answer : {"cmdStopTimer", "cmdRestartTimer"}) {
    SCOPED_TRACE(answer);
    Sim s;
    Plant(s, {kCycle, Planted("TrayIcon=0 BreakMinutes=0 BreakSeconds=5")});
    s.Start();
    s.AdvanceSeconds(1);
    const int firstTick = FakeNotificationArea::ElementOf(s.fake.tray.picture);
    s.AdvanceSeconds(10);
    s.Click("frmUnwindle", "cmdUnwindle");
    s.AdvanceSeconds(5);
    const int lastOfBreak = FakeNotificationArea::ElementOf(s.fake.tray.picture);
    ASSERT_NE(lastOfBreak, 0);
    const size_t before = s.fake.tray.shown.size();
    s.AdvanceSeconds(1);
    ASSERT_TRUE(s.FindForm("frmRestartTimer"));
    std::vector<int> pictures;
    for (size_t i = before; i < s.fake.tray.shown.size(); ++i)
      pictures.push_back(FakeNotificationArea::ElementOf(s.fake.tray.shown[i]));
    EXPECT_EQ(pictures, std::vector<int>{lastOfBreak}) << "the break's last picture, once";
    EXPECT_EQ(s.fake.tray.tip, "KORVANTE Unwindle");
    s.Click("frmRestartTimer", answer);
    if (answer == std::string("cmdRestartTimer")) s.AdvanceSeconds(1);
    EXPECT_EQ(FakeNotificationArea::ElementOf(s.fake.tray.picture),
              answer == std::string("cmdRestartTimer") ? firstTick : 0)
        << "a new countdown starts from the first frame";
  }
}

TEST_F(BreakCycleTest, ClosingEitherPromptStopsTheTimerAndBringsTheWindowBack) {
  StartCycle({{"BreakMinutes", "0"}, {"BreakSeconds", "0"}});
  auto expectStoppedInFront = [this](const char* prompt) {
    sim.Close(prompt);
    EXPECT_EQ(State(), CycleState::kStopped) << prompt;
    EXPECT_EQ(Display(), "00:00:10") << prompt;
    EXPECT_TRUE(main().visible()) << prompt;
    EXPECT_EQ(main().windowState(), WindowState::kNormal) << prompt;
    EXPECT_EQ(sim.fake.windows.foreground.back(), main().hWnd()) << prompt;
  };
  sim.AdvanceSeconds(11);
  expectStoppedInFront("frmUnwindle");
  // An empty break closes on its first tick.
  sim.Click("frmTimer", "cmdUnwindle");
  ASSERT_TRUE(Loaded("frmBreakTimeRemaining"));
  sim.Advance(999);
  EXPECT_TRUE(Loaded("frmBreakTimeRemaining"));
  sim.Advance(1);
  ASSERT_TRUE(Loaded("frmRestartTimer"));
  expectStoppedInFront("frmRestartTimer");
}

TEST_F(BreakCycleTest, StoppingABreakEarlyLeadsToTheSamePromptEvenInTheMiddleOfATick) {
  StartCycle();
  sim.Click("frmTimer", "cmdUnwindle");
  sim.AdvanceSeconds(3);
  // The tray menu's Stop Break arrives while the tick lets pending events through.
  sim.Do([this] {
    sim.fake.loop.At(sim.now(), [this] { main().mnuStopBreakPopUp_Click(); });
    sim.app().cycle.tmrBreak_Timer();
  });
  EXPECT_FALSE(Loaded("frmBreakTimeRemaining"));
  EXPECT_TRUE(Loaded("frmRestartTimer"));
  EXPECT_EQ(sim.fake.view.created("frmBreakTimeRemaining"), 1);
  sim.Click("frmRestartTimer", "cmdStopTimer");
  EXPECT_EQ(Display(), "00:00:10");
  EXPECT_EQ(State(), CycleState::kStopped);
}

TEST_F(BreakCycleTest, TheLockComesBeforeTheScreenSaverEvenWhenTheLockFails) {
  sim.fake.workstation.lockResult = 0;
  StartCycle({{"LockWorkstationOnBreak", "1"}, {"ActivateScreenSaver", "1"}});
  sim.Click("frmTimer", "cmdUnwindle");
  std::vector<std::string> order;
  for (const auto& line : sim.fake.trace.lines()) {
    if (line.find("\tlock\t") != std::string::npos) order.push_back("lock");
    if (line.find("\tscreensaver\t") != std::string::npos) order.push_back("saver");
  }
  EXPECT_EQ(order, (std::vector<std::string>{"lock", "saver"}));
  EXPECT_EQ(sim.fake.workstation.screenSavers.back(), main().hWnd());
  EXPECT_TRUE(Loaded("frmBreakTimeRemaining"));
}

TEST_F(BreakCycleTest, TrayAlertsWithBalloonsCountUpToTheLimit) {
  StartCycle({{"AlertMeBy", "1"}, {"NumberOfSnooze", "3"}, {"SnoozeSeconds", "5"}});
  std::vector<NoticeKind> icons;
  sim.AdvanceSeconds(11);
  for (int alert = 0; alert < 5; ++alert) {
    ASSERT_EQ(State(), CycleState::kBalloon) << alert;
    ASSERT_TRUE(sim.fake.tray.balloonOnScreen);
    icons.push_back(sim.fake.tray.notices.back().kind);
    // Nobody reacts: the balloon ends after 60 s, the icon flashes, and the whole alert
    // comes back after the reminder length.
    sim.AdvanceSeconds(60);
    EXPECT_EQ(State(), CycleState::kFlashing);
    EXPECT_TRUE(Running("tmrFlash"));
    sim.AdvanceSeconds(6);
  }
  EXPECT_EQ(icons, (std::vector<NoticeKind>{NoticeKind::kInformation, NoticeKind::kInformation,
                                            NoticeKind::kWarning, NoticeKind::kError,
                                            NoticeKind::kError}));
  EXPECT_EQ(sim.app().cycle.intSnoozeCount(), 4) << "the count stops at the limit + 1";
  EXPECT_EQ(sim.fake.tray.balloonsShown, 6) << "one balloon for each of the six alerts";
}

TEST_F(BreakCycleTest, TrayAlertsWithoutBalloonsFlashAndRepeatUntilClicked) {
  StartCycle(Planted("AlertMeBy=1 BalloonTipsEnabled=0 SnoozeSeconds=4 AudioType=1"));
  sim.AdvanceSeconds(11);
  EXPECT_FALSE(Loaded("frmUnwindle"));
  EXPECT_EQ(SentTip(), "KORVANTE Unwindle \nClick on the icon below for options.");
  EXPECT_EQ(sim.fake.sound.beeps.size(), 1u);
  sim.AdvanceSeconds(5);
  EXPECT_EQ(sim.fake.sound.beeps.size(), 2u) << "the whole alert again after S + 1 s";
  EXPECT_EQ(sim.app().cycle.intSnoozeCount(), 2);
  // The icon alternates between the alert and the idle picture at the caret blink rate.
  std::set<int> shown;
  for (int blink = 0; blink < 2; ++blink) {
    sim.Advance(530);
    shown.insert(SentPicture());
  }
  EXPECT_EQ(shown, (std::set<int>{0, 8}));
  // A click on the icon acknowledges: the prompt opens with the count already taken.
  sim.Tray(TrayEvent::kLeftClick);
  ASSERT_TRUE(Loaded("frmUnwindle"));
  EXPECT_FALSE(Running("tmrFlash"));
  EXPECT_EQ(SentPicture(), 0);
  EXPECT_EQ(SentTip(), "KORVANTE Unwindle");
  EXPECT_EQ(StatusIcon(), "Information") << "two alerts given, one counted before this prompt";
  sim.Click("frmUnwindle", "cmdRemindLater");
  EXPECT_EQ(sim.app().cycle.intSnoozeCount(), 2) << "tray mode counts alerts, not answers";
}

TEST_F(BreakCycleTest, TheIconFlashesAtAHumanPaceEvenWhenTheCaretDoesNotBlink) {
  // The caret's blink time as the system reports it: a usual one, none ("INFINITE"), a failure.
  for (unsigned blink : {530u, 0xFFFFFFFFu, 0u}) {
    Sim s;
    s.fake.workstation.caretBlinkTime = blink;
    Plant(s, {kCycle, Planted("AlertMeBy=1 BalloonTipsEnabled=0")});
    s.Start();
    s.AdvanceSeconds(11);
    ASSERT_EQ(s.app().cycle.state(), CycleState::kFlashing) << blink;
    const size_t before = s.fake.tray.shown.size();
    s.AdvanceSeconds(10);
    // Each blink is one change of the picture: seen, and not a blur.
    const size_t blinks = s.fake.tray.shown.size() - before;
    EXPECT_GE(blinks, 8u) << blink;
    EXPECT_LE(blinks, 40u) << blink;
  }
}

TEST_F(BreakCycleTest, ALateBalloonEventDoesNotReviveAnAnsweredAlert) {
  StartCycle({{"AlertMeBy", "1"}});
  sim.AdvanceSeconds(11);
  ASSERT_EQ(State(), CycleState::kBalloon);
  // While the balloon shows no alert is pending: the menu opens, and the user takes the break.
  sim.Tray(TrayEvent::kRightClick);
  ASSERT_EQ(sim.fake.view.popups.size(), 1u);
  sim.Click("frmTimer", "mnuUnwindle");
  ASSERT_TRUE(Loaded("frmBreakTimeRemaining"));
  EXPECT_FALSE(sim.fake.tray.balloonOnScreen) << "the break takes the balloon down";
  // A click on the balloon reaches the program only now, and the 60-second timer would have
  // fired.
  sim.Tray(TrayEvent::kNoticeClicked);
  sim.AdvanceSeconds(61);
  EXPECT_EQ(sim.fake.tray.balloonsShown, 1);
  EXPECT_EQ(State(), CycleState::kOnBreak);
  EXPECT_FALSE(Running("tmrPlaySound"));
  sim.Tray(TrayEvent::kLeftClick);
  EXPECT_FALSE(Loaded("frmUnwindle")) << "no prompt over the break";
}

TEST_F(BreakCycleTest, TrayClicksAreIgnoredWhileAProgramWindowIsOpenUnlessAnAlertIsPending) {
  StartCycle({{"AlertMeBy", "1"}, {"BalloonTipsEnabled", "0"}});
  sim.Click("frmTimer", "cmdUnwindle");
  sim.Tray(TrayEvent::kRightClick);
  EXPECT_TRUE(sim.fake.view.popups.empty());
  sim.Tray(TrayEvent::kLeftClick);
  EXPECT_FALSE(main().visible());
  sim.Click("frmBreakTimeRemaining", "cmdStopTimer");
  sim.Click("frmRestartTimer", "cmdRestartTimer");
  sim.AdvanceSeconds(11);  // a tray alert is now pending
  sim.Tray(TrayEvent::kRightDoubleClick);
  EXPECT_TRUE(Loaded("frmUnwindle")) << "the acknowledging click always counts";
}

TEST_F(BreakCycleTest, TheDesktopsOwnTrayMenuOpensNoPopupAndLeavesAWaitingAlertWaiting) {
  StartCycle({{"AlertMeBy", "1"}, {"BalloonTipsEnabled", "0"}});
  sim.Tray(TrayEvent::kMenuOpening);
  EXPECT_TRUE(sim.fake.view.popups.empty()) << "the desktop shows the menu";
  EXPECT_TRUE(main().Ctl("mnuUnwindle").isDefault()) << "its items as a right click shows them";
  sim.AdvanceSeconds(11);  // a tray alert is now pending
  sim.Tray(TrayEvent::kMenuOpening);
  EXPECT_FALSE(Loaded("frmUnwindle")) << "only a click on the icon answers the alert";
  EXPECT_TRUE(sim.fake.view.popups.empty());
}

// Keeps what the cycle tells, but its ticks, as short words joined by commas.
struct Words : CycleObserver {
  void OnCycleEvent(const CycleEvent& e) override {
    static const std::map<CycleEventKind, const char*> kWords = {
        {CycleEventKind::kProgramStarted, "started"}, {CycleEventKind::kProgramEnded, "ended"},
        {CycleEventKind::kWorkStarted, "work"},       {CycleEventKind::kWorkResumed, "resumed"},
        {CycleEventKind::kWorkPaused, "paused"},      {CycleEventKind::kWorkPausedUntil, "pause"},
        {CycleEventKind::kWorkResting, "rest"},       {CycleEventKind::kWorkStopped, "stopped"},
        {CycleEventKind::kAlertShown, "alert"},       {CycleEventKind::kAlertHeld, "held"},
        {CycleEventKind::kSnoozed, "snoozed"},        {CycleEventKind::kBreakSkipped, "skipped"},
        {CycleEventKind::kBreakStarted, "break"},     {CycleEventKind::kBreakEnded, "rested"},
        {CycleEventKind::kNaturalBreak, "away"},      {CycleEventKind::kTick, "tick"}};
    if (e.kind == CycleEventKind::kTick) return;
    std::string w = kWords.at(e.kind);
    if (e.kind == CycleEventKind::kAlertShown)
      w += e.way == AlertWay::kPrompt ? ":prompt" : ":tray";
    if (e.kind == CycleEventKind::kAlertHeld) w += std::string(":") + HoldReasonName(e.hold);
    if (e.kind == CycleEventKind::kBreakSkipped)
      w += e.answer == PromptAnswer::kRestartTimer ? ":restart" : ":stop";
    if (e.kind == CycleEventKind::kBreakStarted)
      w += e.source == BreakSource::kPrompt       ? ":prompt"
           : e.source == BreakSource::kTrayMenu   ? ":tray"
           : e.source == BreakSource::kMainWindow ? ":main"
                                                  : ":command";
    if (e.kind == CycleEventKind::kBreakEnded)
      w += (e.ranOut ? ":ran out " : ":cut short ") + std::to_string(e.seconds);
    if (e.kind == CycleEventKind::kNaturalBreak)
      w += (e.away == AwayKind::kSleep ? ":sleep " : ":other ") + std::to_string(e.seconds);
    words += (words.empty() ? "" : ", ") + w;
  }
  std::string words;
};

TEST_F(BreakCycleTest, TheCycleTellsWhatHappensOnceInThePersonsWords) {
  Words told;
  sim.app().cycle.AddObserver(told);
  StartCycle({{"BreakMinutes", "0"}, {"BreakSeconds", "6"}});
  sim.AdvanceSeconds(11);
  sim.Click("frmUnwindle", "cmdRemindLater");
  sim.AdvanceSeconds(21 + 7);                   // unanswered a break's length
  sim.Click("frmUnwindle", "cmdRestartTimer");  // a break skipped, not a stop and a start
  sim.Click("frmTimer", "mnuPause");
  sim.Click("frmTimer", "mnuStart");
  sim.Click("frmTimer", "cmdUnwindle");
  sim.AdvanceSeconds(3);
  sim.Click("frmBreakTimeRemaining", "cmdStopTimer");
  sim.Click("frmRestartTimer", "cmdStopTimer");
  sim.Click("frmTimer", "mnuUnwindle");
  sim.AdvanceSeconds(7);
  sim.Click("frmRestartTimer", "cmdRestartTimer");
  sim.Sleep(6000);
  sim.Away(AwayReason::kLock);
  sim.AdvanceSeconds(11);
  sim.Back(AwayReason::kLock);  // a break's length: the waiting alert is the break's
  sim.fake.presence.fullScreen = true;
  sim.AdvanceSeconds(11);
  sim.fake.presence.fullScreen = false;
  sim.AdvanceSeconds(1);
  sim.Click("frmUnwindle", "cmdUnwindle");
  sim.AdvanceSeconds(7);
  sim.Click("frmRestartTimer", "cmdStopTimer");
  sim.Click("frmTimer", "cmdExit");
  sim.Answer(MessageAnswer::kYes);
  EXPECT_EQ(told.words,
            "started, work, alert:prompt, snoozed, alert:prompt, skipped:restart, paused, resumed, "
            "break:main, rested:cut short 3, stopped, break:tray, rested:ran out 6, work, "
            "away:sleep 6, held:away, away:other 11, held:fullscreen, alert:prompt, break:prompt, "
            "rested:ran out 6, stopped, ended");
}

}  // namespace
}  // namespace unw

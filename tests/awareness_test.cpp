// The program minding the person and the machine: sleep, lock and idle time as long as a break
// counting as one, alerts that wait for the user's return, prompts that leave the keyboard where
// it is, and windows on the monitor the user works on.
#include <gtest/gtest.h>

#include "cycle/break_cycle.h"
#include "program_fixture.h"

namespace unw {
namespace {

// A ten-minute interval counting from the start, a five-minute break, a 20-second reminder.
const Values kCounting = Planted(
    "Hours=0 Minutes=10 Seconds=0 BreakMinutes=5 BreakSeconds=0 SnoozeMinutes=0 SnoozeSeconds=20 "
    "StartTimerOnLaunch=1");

class AwarenessTest : public ProgramTest {
 protected:
  void StartCounting(const Values& settings = {}) { Start(kCounting, settings); }
};

TEST_F(AwarenessTest, SleepAsLongAsABreakIsOneAndShorterSleepOrWithTheOptionOffIsNot) {
  struct Case {
    int sleepSeconds;
    const char* counts;  // SleepCountsAsBreak
    const char* after;   // the display after the return
  } cases[] = {{300, "1", "00:10:00"}, {299, "1", "00:08:00"}, {3600, "0", "00:08:00"}};
  for (const Case& c : cases) {
    Sim s;
    Plant(s, {kCounting, {{"SleepCountsAsBreak", c.counts}}});
    s.Start();
    s.AdvanceSeconds(120);
    s.Sleep(c.sleepSeconds * 1000LL);
    const FrmTimer& m = s.app().frmTimer();
    EXPECT_EQ(m.TimeRemaining(), c.after) << c.sleepSeconds;
    EXPECT_EQ(s.app().cycle.state(), CycleState::kCounting) << c.sleepSeconds;
    s.AdvanceSeconds(1);
    EXPECT_NE(m.TimeRemaining(), c.after) << "counting on";
  }
}

TEST_F(AwarenessTest, ALockAsLongAsABreakEndsAnAlertThatCameMeanwhile) {
  StartCounting({{"Minutes", "1"}, {"NumberOfSnooze", "3"}});
  sim.AdvanceSeconds(59);
  sim.Away(AwayReason::kLock);
  sim.AdvanceSeconds(120);  // the work time ran out while locked
  EXPECT_EQ(State(), CycleState::kHeld) << "no prompt waiting over the lock screen";
  EXPECT_TRUE(sim.fake.sound.played.empty());
  sim.AdvanceSeconds(300);
  sim.Back(AwayReason::kLock);
  EXPECT_EQ(State(), CycleState::kCounting);
  EXPECT_EQ(Display(), "00:01:00") << "from the full interval";
  EXPECT_EQ(sim.app().cycle.intSnoozeCount(), 0);
  EXPECT_FALSE(Loaded("frmUnwindle"));
  EXPECT_TRUE(Traced("aware.break"));
}

TEST_F(AwarenessTest, AShortLockLetsTheWaitingAlertComeOnReturn) {
  StartCounting({{"Minutes", "1"}});
  sim.Away(AwayReason::kLock);
  sim.AdvanceSeconds(10);
  EXPECT_EQ(Tip(), kAwayTip);
  sim.Back(AwayReason::kLock);
  EXPECT_NE(Tip().find("00:00:50 - Started"), std::string::npos) << "back at once: " << Tip();
  sim.Away(AwayReason::kLock);
  sim.AdvanceSeconds(100);
  ASSERT_EQ(State(), CycleState::kHeld);
  sim.Back(AwayReason::kLock);
  sim.AdvanceSeconds(2);
  EXPECT_TRUE(Loaded("frmUnwindle"));
}

TEST_F(AwarenessTest, TheBreaksOwnLockAndAStoppedTimerAreLeftAlone) {
  StartCounting({{"LockWorkstationOnBreak", "1"}});
  sim.Click("frmTimer", "cmdUnwindle");
  sim.Away(AwayReason::kLock);  // the lock the break asked for
  sim.AdvanceSeconds(900);
  ASSERT_TRUE(Loaded("frmRestartTimer"));
  // The user answers before the system says the session is unlocked (its notice comes late):
  // the time locked was the break itself, not one more to count.
  sim.Click("frmRestartTimer", "cmdRestartTimer");
  sim.AdvanceSeconds(5);
  sim.Back(AwayReason::kLock);
  EXPECT_EQ(State(), CycleState::kCounting);
  EXPECT_EQ(Display(), "00:09:55") << "the new work period goes on from the answer";
  EXPECT_FALSE(Traced("aware.break"));
  sim.Click("frmTimer", "mnuStop");
  sim.Sleep(3600 * 1000);
  EXPECT_EQ(State(), CycleState::kStopped);
  EXPECT_EQ(Display(), "00:10:00");
}

TEST_F(AwarenessTest, TheExitQuestionKeepsAHeldAlertWaitingThroughAReturn) {
  StartCounting({{"Minutes", "0"}, {"Seconds", "5"}});
  sim.Away(AwayReason::kLock);
  sim.AdvanceSeconds(10);
  ASSERT_EQ(State(), CycleState::kHeld);
  sim.Click("frmTimer", "mnuExit");
  ASSERT_EQ(sim.fake.dialogs.open.size(), 1u);
  sim.Back(AwayReason::kLock);
  sim.AdvanceSeconds(10);
  EXPECT_EQ(State(), CycleState::kHeld);
  EXPECT_FALSE(Loaded("frmUnwindle")) << "no prompt under the question";
  EXPECT_TRUE(sim.fake.sound.played.empty() && sim.fake.sound.beeps.empty()) << "no sound";
  EXPECT_TRUE(main().visible()) << "the question's window stays";
  sim.Answer(MessageAnswer::kNo);
  sim.AdvanceSeconds(2);
  EXPECT_TRUE(Loaded("frmUnwindle"));
  EXPECT_EQ(sim.fake.sound.played.size(), 1u);
}

TEST_F(AwarenessTest, BackFromALockUnderAFullScreenProgramTheTooltipSaysWhyItStillWaits) {
  StartCounting({{"Minutes", "0"}, {"Seconds", "5"}});
  sim.fake.presence.fullScreen = true;
  sim.Away(AwayReason::kLock);
  sim.AdvanceSeconds(10);
  EXPECT_EQ(Tip(), kAwayTip);
  sim.Back(AwayReason::kLock);
  EXPECT_EQ(Tip(), HoldTip(Texts(), HoldReason::kFullScreen));
  EXPECT_EQ(State(), CycleState::kHeld);
  sim.fake.presence.fullScreen = false;
  sim.AdvanceSeconds(2);
  EXPECT_TRUE(Loaded("frmUnwindle"));
}

TEST_F(AwarenessTest, InputAfterGoingAwayEndsAnAbsenceWhoseReturnWasNeverAnnounced) {
  // A resume or an unlock whose notice was lost: the held alert comes once the user types.
  for (AwayReason reason : {AwayReason::kLock, AwayReason::kSleep, AwayReason::kSwitchedAway}) {
    Sim s;
    Plant(s, {kCounting, {{"Minutes", "0"}, {"Seconds", "5"}}});
    s.Start();
    s.Away(reason);
    s.AdvanceSeconds(1);
    s.fake.presence.Input();  // the keys that sent the user away are no return
    s.AdvanceSeconds(59);
    ASSERT_EQ(s.app().cycle.state(), CycleState::kHeld) << AwayReasonName(reason);
    s.AdvanceSeconds(600);
    EXPECT_EQ(s.app().cycle.state(), CycleState::kHeld) << "no input, still away";
    s.fake.presence.Input();
    s.AdvanceSeconds(2);
    // Away longer than a break while the alert waited: that was the break.
    EXPECT_EQ(s.app().cycle.state(), CycleState::kCounting) << AwayReasonName(reason);
    EXPECT_EQ(s.app().frmTimer().TimeRemaining(), "00:00:04") << AwayReasonName(reason);
  }
  // Shorter than a break: the alert itself comes.
  StartCounting({{"Minutes", "0"}, {"Seconds", "5"}});
  sim.Away(AwayReason::kLock);
  sim.AdvanceSeconds(60);
  sim.fake.presence.Input();
  sim.AdvanceSeconds(2);
  EXPECT_TRUE(Loaded("frmUnwindle"));
}

TEST_F(AwarenessTest, AnOpenPromptKeepsQuietWhileTheUserIsAway) {
  StartCounting({{"Minutes", "0"}, {"Seconds", "5"}, {"SnoozeSeconds", "9"}});
  sim.AdvanceSeconds(6);
  ASSERT_TRUE(Loaded("frmUnwindle"));
  ASSERT_EQ(sim.fake.sound.played.size(), 1u);
  sim.Away(AwayReason::kLock);
  sim.AdvanceSeconds(100);
  EXPECT_EQ(sim.fake.sound.played.size(), 1u) << "nobody to hear it";
  sim.Back(AwayReason::kLock);
  sim.AdvanceSeconds(10);
  EXPECT_EQ(sim.fake.sound.played.size(), 2u) << "again a reminder's length after the return";
  EXPECT_TRUE(Loaded("frmUnwindle"));
}

TEST_F(AwarenessTest, IdleTimeAsABreakOnlyWhenAskedFor) {
  for (const char* on : {"0", "1"}) {
    Sim s;
    Plant(s, {kCounting, {{"IdleCountsAsBreak", on}}});
    s.Start();
    s.AdvanceSeconds(301);  // no input for a break's length
    EXPECT_EQ(TipOf(s) == kAwayTip, on[0] == '1') << "the tooltip says the user is away";
    s.AdvanceSeconds(60);
    s.fake.presence.Input();  // back at the keyboard
    s.AdvanceSeconds(1);
    EXPECT_EQ(s.app().frmTimer().TimeRemaining(), on[0] == '1' ? "00:10:00" : "00:03:58") << on;
  }
}

// A break or its prompt comes up by itself (the time-up, the tray menu) while the user may be
// typing into another program: on top, but a space or an Enter meant there must not answer it.
// Brought to the front by the user, its default button has the focus and Enter presses it.
TEST_F(AwarenessTest, AWindowThatComesByItselfLeavesTheKeyboardWhereItIs) {
  struct Case {
    const char *comes, *form, *pressed;  // the form Enter leads to once the user brings it up
  } cases[] = {{"mnuUnwindle", "frmBreakTimeRemaining", "frmRestartTimer"},
               {"", "frmUnwindle", nullptr}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.form);
    Sim s;
    Plant(s, {kCounting, {{"Minutes", "0"}, {"Seconds", "5"}}});
    s.Start();
    const CycleState before = s.app().cycle.state();
    s.fake.view.Activate(nullptr);  // the user types into another program
    *c.comes ? s.Click("frmTimer", c.comes) : s.AdvanceSeconds(6);
    ASSERT_TRUE(s.FindForm(c.form));
    EXPECT_TRUE(s.form(c.form).visible());
    EXPECT_EQ(s.fake.view.active, nullptr) << "the other program keeps the keyboard";
    const CycleState shown = s.app().cycle.state();
    s.PressEnter();
    EXPECT_TRUE(s.FindForm(c.form)) << "a stray Enter answers nothing";
    EXPECT_EQ(s.app().cycle.state(), shown);
    s.Activate(c.form);
    s.PressEnter();
    EXPECT_FALSE(s.FindForm(c.form));
    EXPECT_TRUE(c.pressed ? s.FindForm(c.pressed) != nullptr : s.app().cycle.state() == before)
        << "Enter pressed Stop Break, or Remind Later";
  }
  // A window the user asked for with a click takes the keyboard.
  StartCounting();
  sim.fake.view.Activate(nullptr);
  sim.Click("frmTimer", "cmdUnwindle");
  sim.Click("frmBreakTimeRemaining", "cmdStopTimer");
  ASSERT_TRUE(Loaded("frmRestartTimer"));
  EXPECT_EQ(sim.fake.view.active, sim.FindForm("frmRestartTimer"));
}

TEST_F(AwarenessTest, PromptsOpenOnTheMonitorWithThePointer) {
  sim.fake.presence.monitors = {{0, 0, 1920, 1040}, {1920, 0, 3840, 1040}};
  sim.fake.presence.pointerX = 2500;
  StartCounting({{"Minutes", "0"}, {"Seconds", "5"}});
  sim.AdvanceSeconds(6);
  EXPECT_EQ(sim.form("frmUnwindle").centerArea(), (ScreenRect{1920, 0, 3840, 1040}));
}

// (The hold for full-screen programs is switched with the other holds.)
TEST_F(AwarenessTest, SleepAndIdleAsABreakAreOptionsThatAreStored) {
  StartCounting();
  const std::pair<const char*, const char*> items[] = {{"mnuSleepIsBreak", "SleepCountsAsBreak"},
                                                       {"mnuIdleIsBreak", "IdleCountsAsBreak"}};
  for (const auto& [menu, value] : items) {
    const bool was = main().Ctl(menu).checked();
    EXPECT_EQ(Stored(value), was ? "1" : "0") << value;
    sim.Click("frmTimer", menu);
    EXPECT_EQ(main().Ctl(menu).checked(), !was);
    EXPECT_EQ(Stored(value), was ? "0" : "1") << value;
  }
}

}  // namespace
}  // namespace unw

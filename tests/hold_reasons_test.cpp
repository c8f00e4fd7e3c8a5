// Staying out of meetings: a due alert (a repeat, a reminder) waits while a full-screen program is
// in front, a call is on, the system is set not to disturb, or a program the user named runs; the
// tooltip and the trace say why, and the alert comes within two seconds of the last reason's end.
// The system is asked only while an alert is due, held or open.
#include <gtest/gtest.h>

#include <functional>

#include "cycle/break_cycle.h"
#include "program_fixture.h"

namespace unw {
namespace {

constexpr const char* kCallTip =
    "KORVANTE Unwindle \nA break is due; it waits until your call ends.";
constexpr const char* kDndTip =
    "KORVANTE Unwindle \nA break is due; it waits until Do Not Disturb is off.";
constexpr const char* kObsTip =
    "KORVANTE Unwindle \nA break is due; it waits until obs64.exe ends.";

// One reason to hold, as the world turns it on and off, and what the program says of it.
struct Reason {
  const char* what;
  std::function<void(FakePresence&, bool on)> set;
  const char* option;  // the setting that asks for it
  const char* off;     // that setting's value that asks for nothing
  const char* traced;  // aware.held's fields
  const char* tip;
};

void PrintTo(const Reason& r, std::ostream* os) {
  *os << r.what;
}

const Reason kReasons[] = {
    {"a full-screen program", [](FakePresence& p, bool on) { p.fullScreen = on; },
     "HoldDuringFullScreen", "0", "fullscreen",
     "KORVANTE Unwindle \nA break is due; it waits until the full-screen program ends."},
    {"the camera", [](FakePresence& p, bool on) { p.camera = on; }, "HoldDuringCalls", "0", "call",
     kCallTip},
    {"the microphone", [](FakePresence& p, bool on) { p.microphone = on; }, "HoldDuringCalls", "0",
     "call", kCallTip},
    {"Do Not Disturb", [](FakePresence& p, bool on) { p.doNotDisturb = on; },
     "HoldDuringDoNotDisturb", "0", "dnd", kDndTip},
    // Named in lower case, running in upper case: the same program.
    {"a chosen program",
     [](FakePresence& p, bool on) {
       p.programs = {"explorer.exe", "Teams.exe"};
       if (on) p.programs.push_back("OBS64.EXE");
     },
     "HoldForPrograms", " ", "program\tobs64.exe", kObsTip},
};

// A five-second interval counting from the start, a five-minute break, a 9-second reminder, and
// PowerPoint and OBS named as programs that hold alerts.
const Values kCounting = Planted(
    "Hours=0 Minutes=0 Seconds=5 BreakMinutes=5 SnoozeMinutes=0 SnoozeSeconds=9 "
    "StartTimerOnLaunch=1 HoldForPrograms=POWERPNT.EXE;obs64.exe");

class HoldTest : public ProgramTest {
 protected:
  void StartCounting(const Values& settings = {}) { Start(kCounting, settings); }
  FakePresence& world() { return sim.fake.presence; }
};

TEST_F(HoldTest, AHeldAlertLeavesAWindowInTheTrayThereWhateverEndsIt) {
  struct Case {
    const char* end;
    std::function<void(Sim&)> act;
  } cases[] = {
      {"a natural break",
       [](Sim& s) {
         s.Away(AwayReason::kLock);
         s.AdvanceSeconds(301);
         s.Back(AwayReason::kLock);
       }},
      {"a timed pause", [](Sim& s) { s.Click("frmTimer", "mnuPause30"); }},
      {"the end of working hours", [](Sim& s) { s.AdvanceSeconds(600); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.end);
    Sim s;
    Plant(s, {kCounting, {{"WorkingHoursEnabled", "1"}}});
    s.fake.calendar.SetLocal(2026, 12, 7, 16, 50);
    s.Start();
    ASSERT_TRUE(s.app().frmTimer().visible());
    // The first alert takes the window off the screen; after the break it stays in the tray.
    s.AdvanceSeconds(6);
    s.Click("frmUnwindle", "cmdUnwindle");
    s.AdvanceSeconds(301);
    s.Click("frmRestartTimer", "cmdRestartTimer");
    ASSERT_FALSE(s.app().frmTimer().visible());
    s.fake.presence.camera = true;
    s.AdvanceSeconds(6);
    ASSERT_EQ(s.app().cycle.state(), CycleState::kHeld);
    c.act(s);
    EXPECT_FALSE(IsAlert(s.app().cycle.state()));
    EXPECT_FALSE(s.app().frmTimer().visible()) << "the held alert took nothing off the screen";
  }
}

class EachReason : public HoldTest, public ::testing::WithParamInterface<Reason> {};

TEST_P(EachReason, HoldsTheAlertSaysWhyAndLetsItComeWithinTwoSecondsOfItsEnd) {
  const Reason& r = GetParam();
  StartCounting();
  r.set(world(), true);
  sim.AdvanceSeconds(60);
  EXPECT_EQ(State(), CycleState::kHeld);
  EXPECT_FALSE(Loaded("frmUnwindle"));
  EXPECT_EQ(Sounds(), 0u);
  EXPECT_TRUE(main().visible()) << "nothing cleared off the screen";
  EXPECT_EQ(Display(), "00:00:00");
  EXPECT_EQ(Tip(), r.tip);
  EXPECT_EQ(Traced(std::string("aware.held\t") + r.traced), 1) << "said once, not every second";
  r.set(world(), false);
  sim.AdvanceSeconds(2);
  EXPECT_TRUE(Loaded("frmUnwindle"));
  EXPECT_EQ(Sounds(), 1u);
  EXPECT_EQ(Traced("aware.released"), 1);
}

TEST_P(EachReason, HoldsATrayAlertsRepeatAndAReminderAfterRemindLater) {
  const Reason& r = GetParam();
  StartCounting({{"AlertMeBy", "1"}, {"BalloonTipsEnabled", "0"}});
  sim.AdvanceSeconds(6);
  ASSERT_EQ(State(), CycleState::kFlashing);
  r.set(world(), true);
  sim.AdvanceSeconds(60);
  EXPECT_EQ(State(), CycleState::kHeld) << "the repeat waits";
  EXPECT_EQ(Sounds(), 1u);
  r.set(world(), false);
  sim.AdvanceSeconds(2);
  EXPECT_EQ(State(), CycleState::kFlashing);
  EXPECT_EQ(Sounds(), 2u);
  EXPECT_EQ(sim.app().cycle.intSnoozeCount(), 2) << "the repeat, counted when it came";
  // Answered with Remind Later, the reminder waits too.
  sim.Tray(TrayEvent::kLeftClick);
  sim.Click("frmUnwindle", "cmdRemindLater");
  r.set(world(), true);
  sim.AdvanceSeconds(30);
  EXPECT_EQ(State(), CycleState::kHeld) << "the reminder waits";
  r.set(world(), false);
  sim.AdvanceSeconds(2);
  EXPECT_EQ(State(), CycleState::kFlashing);
}

TEST_P(EachReason, StartingUnderAnOpenPromptKeepsThePromptAndQuietsItsRepeats) {
  const Reason& r = GetParam();
  StartCounting();
  sim.AdvanceSeconds(6);
  ASSERT_TRUE(Loaded("frmUnwindle"));
  ASSERT_EQ(Sounds(), 1u);
  r.set(world(), true);
  sim.AdvanceSeconds(100);
  EXPECT_TRUE(Loaded("frmUnwindle")) << "the prompt stays";
  EXPECT_EQ(State(), CycleState::kPrompt);
  EXPECT_EQ(Sounds(), 1u) << "no repeat during the call";
  r.set(world(), false);
  sim.AdvanceSeconds(10);
  EXPECT_EQ(Sounds(), 2u) << "again a reminder's length after its end";
}

TEST_P(EachReason, TheBreakOverAnnouncementWaitsForItsEnd) {
  const Reason& r = GetParam();
  StartCounting();
  sim.AdvanceSeconds(6);
  sim.Click("frmUnwindle", "cmdUnwindle");
  r.set(world(), true);
  const size_t before = Sounds();
  sim.AdvanceSeconds(301);
  ASSERT_TRUE(Loaded("frmRestartTimer"));
  sim.AdvanceSeconds(30);
  EXPECT_EQ(Sounds(), before) << "nothing during the call";
  r.set(world(), false);
  sim.AdvanceSeconds(2);
  EXPECT_EQ(Sounds(), before + 1) << "the announcement, once the call is over";
}

TEST_P(EachReason, WithItsOptionOffChangesNothing) {
  const Reason& r = GetParam();
  StartCounting({{r.option, r.off}});
  r.set(world(), true);
  sim.AdvanceSeconds(6);
  EXPECT_TRUE(Loaded("frmUnwindle"));
  EXPECT_EQ(Traced("aware.held"), 0);
}

INSTANTIATE_TEST_SUITE_P(Reasons, EachReason, ::testing::ValuesIn(kReasons));

// An Options item and the reason of kReasons it switches.
struct Switch {
  const char* menu;
  const char* value;
  int reason;
};

void PrintTo(const Switch& s, std::ostream* os) {
  *os << s.menu;
}

class EachSwitch : public HoldTest, public ::testing::WithParamInterface<Switch> {};

TEST_P(EachSwitch, SwitchedOffWhileItHoldsTheAlertComesAndTheChoiceIsStored) {
  const Switch& c = GetParam();
  StartCounting();
  const Control& item = main().Ctl(c.menu);
  EXPECT_TRUE(item.checked());
  kReasons[c.reason].set(world(), true);
  sim.AdvanceSeconds(10);
  ASSERT_EQ(State(), CycleState::kHeld);
  sim.Click("frmTimer", c.menu);
  EXPECT_FALSE(item.checked());
  EXPECT_EQ(Stored(c.value), "0");
  sim.AdvanceSeconds(2);
  EXPECT_TRUE(Loaded("frmUnwindle"));
  sim.Click("frmUnwindle", "cmdRemindLater");
  sim.Click("frmTimer", c.menu);
  EXPECT_TRUE(item.checked());
  EXPECT_EQ(Stored(c.value), "1");
  sim.AdvanceSeconds(12);
  EXPECT_EQ(State(), CycleState::kHeld) << "on again, it holds the reminder";
}

INSTANTIATE_TEST_SUITE_P(Options, EachSwitch,
                         ::testing::Values(Switch{"mnuHoldForFullScreen", "HoldDuringFullScreen",
                                                  0},
                                           Switch{"mnuHoldForCalls", "HoldDuringCalls", 1},
                                           Switch{"mnuHoldForDnd", "HoldDuringDoNotDisturb", 3}));

class EitherOrder : public HoldTest, public ::testing::WithParamInterface<bool> {};

TEST_P(EitherOrder, OverlappingReasonsHoldUntilTheLastEndsAndTheTooltipFollows) {
  const bool callEndsFirst = GetParam();
  StartCounting();
  world().programs = {"obs64.exe"};
  sim.AdvanceSeconds(10);
  EXPECT_EQ(Tip(), kObsTip);
  world().microphone = true;  // the call starts while the program runs
  sim.AdvanceSeconds(10);
  EXPECT_EQ(Tip(), kCallTip) << "a call comes before a program";
  if (callEndsFirst)
    world().microphone = false;
  else
    world().programs.clear();
  sim.AdvanceSeconds(30);
  EXPECT_EQ(State(), CycleState::kHeld) << "one reason is left";
  EXPECT_EQ(Tip(), callEndsFirst ? kObsTip : kCallTip);
  world().microphone = false;
  world().programs.clear();
  sim.AdvanceSeconds(2);
  EXPECT_TRUE(Loaded("frmUnwindle")) << "within two seconds of the last reason's end";
}

INSTANTIATE_TEST_SUITE_P(CallEndsFirst, EitherOrder, ::testing::Bool());

TEST_F(HoldTest, TheTooltipNamesTheFirstProgramOfTheListThatRunsAndFollowsItsEnd) {
  StartCounting({{"HoldForPrograms", "POWERPNT.EXE;obs64.exe"}});
  world().programs = {"obs64.exe", "powerpnt.exe"};
  sim.AdvanceSeconds(10);
  EXPECT_EQ(Tip(), "KORVANTE Unwindle \nA break is due; it waits until POWERPNT.EXE ends.");
  EXPECT_EQ(Traced("aware.held\tprogram\tPOWERPNT.EXE"), 1);
  world().programs = {"obs64.exe"};
  sim.AdvanceSeconds(2);
  EXPECT_EQ(Tip(), kObsTip);
  EXPECT_EQ(Traced("aware.held\tprogram\tobs64.exe"), 1);
  EXPECT_EQ(State(), CycleState::kHeld);
}

TEST_F(HoldTest, AProgramsLongNameIsShortenedInTheTooltipToKeepItsEnd) {
  const std::string longName = std::string(100, 'x') + ".exe";
  StartCounting({{"HoldForPrograms", longName}});
  world().programs = {longName};
  sim.AdvanceSeconds(10);
  const std::string tip = Tip();
  EXPECT_LE(tip.size(), 127u) << "the tray shows no more";
  EXPECT_EQ(tip.substr(tip.size() - 11), "x.exe ends.") << tip;
  EXPECT_NE(tip.find("xxx...xxx"), std::string::npos) << tip;
}

TEST_F(HoldTest, TheSystemIsAskedOnlyWhileAnAlertIsDueHeldOrOpen) {
  StartCounting({{"Minutes", "10"}, {"Seconds", "0"}});
  sim.AdvanceSeconds(599);
  EXPECT_EQ(world().looks, 0) << "ten minutes of counting ask nothing";
  sim.AdvanceSeconds(2);
  ASSERT_TRUE(Loaded("frmUnwindle"));
  EXPECT_EQ(world().looks, 3) << "the alert falling due asks once for each reason";
  sim.Click("frmUnwindle", "cmdRemindLater");
  const int afterPrompt = world().looks;
  sim.AdvanceSeconds(8);
  EXPECT_EQ(world().looks, afterPrompt) << "the reminder counting asks nothing";
  // Held, the reasons are looked at once a second.
  world().camera = true;
  sim.AdvanceSeconds(11);
  const int held = world().looks;
  sim.AdvanceSeconds(10);
  EXPECT_EQ(world().looks, held + 10);
}

TEST_F(HoldTest, TheCycleTellsTheHoldAndItsReasonOnce) {
  struct Heard : CycleObserver {
    void OnCycleEvent(const CycleEvent& e) override {
      if (e.kind == CycleEventKind::kAlertHeld) reasons.push_back(HoldReasonName(e.hold));
    }
    std::vector<std::string> reasons;
  } heard;
  sim.app().cycle.AddObserver(heard);
  world().doNotDisturb = true;
  StartCounting();
  sim.AdvanceSeconds(10);
  world().camera = true;
  sim.AdvanceSeconds(10);
  EXPECT_EQ(heard.reasons, std::vector<std::string>{"dnd"}) << "one hold, for what began it";
}

TEST_F(HoldTest, AnUnusableProgramListIsRepairedAloneAndHoldsForNothing) {
  for (const char* stored :
       {"C:\\Program Files\\OBS\\obs64.exe", "*.exe", "obs64.exe\r\nx.exe", "obs64.exe;a|b.exe"}) {
    SCOPED_TRACE(stored);
    Sim s;
    Values values = kStoredDefaults;
    values["Seconds"] = "5";
    values["Hours"] = "0";
    values["HoldDuringCalls"] = "0";
    values["HoldForPrograms"] = stored;
    Plant(s, {values});
    s.fake.presence.programs = {"obs64.exe"};
    s.fake.presence.camera = true;
    s.Start();
    for (const auto& [k, v] : values)
      EXPECT_EQ(StoredIn(s, k), k == "HoldForPrograms" ? " " : v) << k;
    EXPECT_EQ(s.app().settings.HoldForPrograms, " ");
    EXPECT_FALSE(s.app().frmTimer().Ctl("mnuHoldForPrograms").checked());
    EXPECT_TRUE(s.fake.dialogs.shown.empty()) << "repaired without a word";
    s.AdvanceSeconds(6);
    EXPECT_TRUE(s.FindForm("frmUnwindle")) << "neither the program nor the call holds it";
  }
}

}  // namespace
}  // namespace unw

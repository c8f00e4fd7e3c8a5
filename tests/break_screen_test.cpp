// The break screen: its dialog, one window per monitor covering it, the first seconds in which
// nothing acts, Postpone and Skip for both kinds of break with their limits, strict breaks and
// the only ways they end, monitors that come and go mid-break, and the history's words.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>

#include "app/command_dispatch.h"
#include "app/command_line.h"
#include "app/frm_break_screen.h"
#include "app/frm_break_screen_options.h"
#include "history/journal.h"
#include "program_fixture.h"

namespace unw {
namespace {

// A ten-second work interval that starts at launch, a 20-second reminder, a one-minute break on
// the break screen, the prompt as the alert.
const Values kLong = Planted(
    "Hours=0 Minutes=0 Seconds=10 StartTimerOnLaunch=1 SnoozeMinutes=0 SnoozeSeconds=20 "
    "BreakMinutes=1 BreakSeconds=0 AlertMeBy=0 BreakScreen=1");
// A long work interval with a 30-second short break on the break screen after every minute.
const Values kShort = Planted(
    "Hours=2 Minutes=0 Seconds=0 StartTimerOnLaunch=1 ShortBreaks=1 ShortBreakMinutes=1 "
    "ShortBreakSeconds=30 ShortBreakSound=0 ShortBreakScreen=1");

// Cases each run a program of their own.
class BreakScreenTest : public ::testing::Test {
 protected:
  void Fresh() {
    owned_ = std::make_unique<Sim>();
    sim = owned_.get();
  }
  void Start(const Values& base, const Values& overrides = {}) {
    Plant(*sim, {base, overrides});
    sim->Start();
  }
  std::string Stored(const std::string& name) { return StoredIn(*sim, name); }
  bool Loaded(const char* form) { return sim->FindForm(form) != nullptr; }
  CycleState State() { return sim->app().cycle.state(); }
  int Traced(const std::string& line) { return TraceCount(*sim, line); }
  std::string Display() {
    const Form& m = sim->app().frmTimer();
    return m.Ctl("lblHours").caption() + ":" + m.Ctl("lblMinutes").caption() + ":" +
           m.Ctl("lblSeconds").caption();
  }
  // The break screen's windows that are up.
  std::vector<Form*> Screens() {
    std::vector<Form*> up;
    for (const auto& w : sim->app().windows.breakScreen().windows())
      if (w->loaded()) up.push_back(w.get());
    return up;
  }
  Control& S(const char* control) { return sim->ctl("frmBreakScreen", control); }
  // The long break: its prompt comes after the work interval, and the user takes the break.
  void TakeLongBreak() {
    sim->AdvanceSeconds(11);
    ASSERT_TRUE(Loaded("frmUnwindle"));
    sim->Click("frmUnwindle", "cmdUnwindle");
  }
  // The next short break: a minute of counting on, or a while later after Later.
  void AwaitShortBreak() {
    for (int s = 0; s < 300 && Screens().empty(); ++s) sim->AdvanceSeconds(1);
  }
  // The journal's lines since the program started, as "kind detail" words.
  std::vector<std::string> Journal() {
    std::vector<std::string> words;
    std::istringstream in(sim->fake.storage.files[sim->fake.storage.PathOf(kJournalFileName)]);
    for (std::string line; std::getline(in, line);) {
      if (line.empty() || line[0] == '#') continue;
      std::vector<std::string> f;
      std::istringstream fields(line);
      for (std::string field; std::getline(fields, field, '\t');) f.push_back(field);
      if (f.size() < 2) continue;
      words.push_back(f[1] + (f.size() > 2 ? " " + f[2] : ""));
    }
    return words;
  }
  // Whether `tail` stands in the journal as consecutive lines.
  bool JournalHas(const std::vector<std::string>& tail) {
    const std::vector<std::string> all = Journal();
    return std::search(all.begin(), all.end(), tail.begin(), tail.end()) != all.end();
  }

  std::unique_ptr<Sim> owned_ = std::make_unique<Sim>();
  Sim* sim = owned_.get();
};

TEST_F(BreakScreenTest, TheDialogStoresWhatIsChosenAndCancelStoresNothing) {
  struct Case {
    std::vector<const char*> clicks;  // in the dialog, then Save (or cmdCancel last)
    const char* stored;               // BreakScreen ShortBreakScreen StrictBreaks BreakIdeas
    bool strictUsable;                // chkStrictBreaks enabled after the clicks
  } cases[] = {
      {{}, "0 0 0 1", false},
      {{"optBreakScreen"}, "1 0 0 1", true},
      {{"optBreakScreen", "chkStrictBreaks", "optBreakWindow"}, "0 0 1 1", false},
      {{"chkShortBreakScreen", "chkStrictBreaks", "chkBreakIdeas"}, "0 1 1 0", true},
      {{"optBreakScreen", "chkShortBreakScreen", "chkStrictBreaks", "chkBreakIdeas", "cmdCancel"},
       "0 0 0 1",
       true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored);
    Start({{"BreakScreen", "0"},
           {"ShortBreakScreen", "0"},
           {"StrictBreaks", "0"},
           {"BreakIdeas", "1"}});
    sim->Click("frmTimer", "mnuBreakScreen");
    ASSERT_TRUE(Loaded("frmBreakScreenOptions"));
    EXPECT_EQ(sim->ctl("frmBreakScreenOptions", "optBreakWindow").value(), 1);
    bool cancelled = false;
    for (const char* name : c.clicks) {
      cancelled = std::string(name) == "cmdCancel";
      if (!cancelled) sim->Click("frmBreakScreenOptions", name);
    }
    const Control& screen = sim->ctl("frmBreakScreenOptions", "optBreakScreen");
    const Control& window = sim->ctl("frmBreakScreenOptions", "optBreakWindow");
    EXPECT_NE(screen.value(), window.value()) << "one of the two, never both";
    EXPECT_EQ(sim->ctl("frmBreakScreenOptions", "chkStrictBreaks").enabled(), c.strictUsable);
    sim->Click("frmBreakScreenOptions", cancelled ? "cmdCancel" : "cmdSave");
    EXPECT_FALSE(Loaded("frmBreakScreenOptions"));
    EXPECT_EQ(Stored("BreakScreen") + " " + Stored("ShortBreakScreen") + " " +
                  Stored("StrictBreaks") + " " + Stored("BreakIdeas"),
              c.stored);
    const Settings& s = sim->app().settings;
    EXPECT_EQ(std::to_string(s.BreakScreen) + " " + std::to_string(s.ShortBreakScreen) + " " +
                  std::to_string(s.StrictBreaks) + " " + std::to_string(s.BreakIdeas),
              c.stored)
        << "in effect at once";
    Fresh();
  }
}

TEST_F(BreakScreenTest, EachMonitorIsCoveredOnTopWithoutTheKeyboardAndTheTimeCountsDown) {
  const std::vector<ScreenRect> monitors = {{0, 0, 1280, 800}, {1280, 0, 2304, 768}};
  sim->fake.windows.monitors = monitors;
  Start(kLong, {{"LockWorkstationOnBreak", "1"}});
  sim->fake.view.Activate(nullptr);  // the user types into another program
  TakeLongBreak();
  sim->fake.view.Activate(nullptr);
  const std::vector<Form*> up = Screens();
  ASSERT_EQ(up.size(), monitors.size());
  for (size_t i = 0; i < up.size(); ++i) {
    EXPECT_EQ(up[i]->coverArea(), monitors[i]);
    EXPECT_TRUE(up[i]->visible());
    EXPECT_FALSE(up[i]->activateOnShow()) << "it comes without taking the keyboard";
    const auto& asked = sim->fake.windows.topMost;
    EXPECT_NE(std::find(asked.begin(), asked.end(), std::pair{up[i]->hWnd(), true}), asked.end());
    EXPECT_EQ(up[i]->Ctl("lblBreakTime").caption(), "1:00");
    EXPECT_EQ(up[i]->Ctl("lblIdea").caption(), up[0]->Ctl("lblIdea").caption())
        << "one idea for the break, on every monitor";
  }
  EXPECT_FALSE(up[0]->Ctl("lblIdea").caption().empty()) << "ideas are on by default";
  EXPECT_FALSE(Loaded("frmBreakTimeRemaining")) << "the screen instead of the break window";
  EXPECT_EQ(sim->fake.workstation.locks, 1) << "the lock of today still comes";
  EXPECT_EQ(Traced("breakscreen.show\t2"), 1);
  sim->AdvanceSeconds(15);
  for (Form* f : Screens()) EXPECT_EQ(f->Ctl("lblBreakTime").caption(), "0:45");
  EXPECT_TRUE(sim->app().frmTimer().Ctl("mnuStopBreakPopUp").enabled());
}

TEST_F(BreakScreenTest, EachBreakBringsAnIdeaOfItsKindAndTheNextADifferentOne) {
  for (const Values* kind : {&kLong, &kShort}) {
    Start(*kind);
    std::vector<std::string> shown;
    for (int i = 0; i < 2; ++i) {
      if (kind == &kLong) {
        TakeLongBreak();
      } else {
        AwaitShortBreak();
      }
      ASSERT_EQ(Screens().size(), 1u) << i;
      shown.push_back(S("lblIdea").caption());
      sim->AdvanceSeconds(3);
      sim->Click("frmBreakScreen", "cmdSkip");
      if (kind == &kLong) sim->Click("frmRestartTimer", "cmdRestartTimer");
    }
    EXPECT_FALSE(shown[0].empty());
    EXPECT_NE(shown[0], shown[1]);
    Fresh();
  }
}

TEST_F(BreakScreenTest, InTheFirstThreeSecondsNoKeyOrCloseActsThenTheButtonsDo) {
  Start(kLong);
  TakeLongBreak();
  ASSERT_FALSE(Screens().empty());
  const int64_t opened = sim->now();
  // The user clicks the screen and goes on typing: Enter, the close keys.
  sim->Activate("frmBreakScreen");
  sim->PressEnter();
  sim->Close("frmBreakScreen");
  EXPECT_FALSE(S("cmdPostpone").enabled());
  EXPECT_FALSE(S("cmdSkip").enabled());
  EXPECT_EQ(Traced("breakscreen.input\tignored"), 2);
  EXPECT_EQ(Screens().size(), 1u);
  EXPECT_EQ(State(), CycleState::kOnBreak);
  sim->Advance(opened + 2999 - sim->now());
  EXPECT_FALSE(S("cmdSkip").enabled());
  sim->Advance(1);
  EXPECT_TRUE(S("cmdSkip").enabled());
  EXPECT_TRUE(S("cmdPostpone").enabled());
  sim->PressEnter();
  EXPECT_EQ(Traced("breakscreen.input\tignored"), 2) << "after the first seconds input counts";
  EXPECT_EQ(State(), CycleState::kOnBreak) << "no button is pressed by Enter";
}

TEST_F(BreakScreenTest, PostponeAndSkipEndBothKindsAsTheirOwnButtonsDoWithTheirLimits) {
  struct Case {
    bool shortBreak;
    const char* press;  // cmdPostpone, cmdSkip, or null: the break runs out
    std::vector<std::string> journal;
    const char* then;  // the window that follows, or null
  } cases[] = {
      {false, nullptr, {"break.end ranout", "breakscreen.end ranout"}, "frmRestartTimer"},
      {false, "cmdSkip", {"break.end cut", "breakscreen.end skipped"}, "frmRestartTimer"},
      {false,
       "cmdPostpone",
       {"break.end cut", "breakscreen.end postponed", "alert.snooze"},
       nullptr},
      {true, nullptr, {"shortbreak.end ranout", "breakscreen.end ranout"}, nullptr},
      {true, "cmdSkip", {"shortbreak.end skipped", "breakscreen.end skipped"}, nullptr},
      {true, "cmdPostpone", {"shortbreak.end later", "breakscreen.end postponed"}, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.shortBreak ? "short " : "long ") + (c.press ? c.press : "none"));
    Start(c.shortBreak ? kShort : kLong);
    if (c.shortBreak)
      AwaitShortBreak();
    else
      TakeLongBreak();
    ASSERT_EQ(Screens().size(), 1u);
    EXPECT_FALSE(Loaded("frmShortBreak")) << "the screen instead of the short break's window";
    sim->AdvanceSeconds(3);
    if (c.press)
      sim->Click("frmBreakScreen", c.press);
    else
      sim->AdvanceSeconds(c.shortBreak ? 28 : 58);
    EXPECT_TRUE(Screens().empty());
    EXPECT_TRUE(JournalHas(c.journal));
    EXPECT_EQ(c.then != nullptr && Loaded(c.then), c.then != nullptr);
    if (!c.shortBreak && c.press && std::string(c.press) == "cmdPostpone") {
      EXPECT_EQ(State(), CycleState::kCounting);
      EXPECT_EQ(Display(), "00:00:20") << "the reminder interval";
    }
    Fresh();
  }
}

TEST_F(BreakScreenTest, PostponeIsRefusedPastTheLimitsOfRemindLaterAndOfLater) {
  // The long break: one reminder allowed, taken by a postponed break.
  Start(kLong, {{"NumberOfSnooze", "1"}});
  TakeLongBreak();
  sim->AdvanceSeconds(3);
  sim->Click("frmBreakScreen", "cmdPostpone");
  sim->AdvanceSeconds(21);
  ASSERT_TRUE(Loaded("frmUnwindle"));
  EXPECT_FALSE(sim->ctl("frmUnwindle", "cmdRemindLater").enabled()) << "the prompt agrees";
  sim->Click("frmUnwindle", "cmdUnwindle");
  sim->AdvanceSeconds(3);
  EXPECT_FALSE(S("cmdPostpone").enabled());
  EXPECT_TRUE(S("cmdSkip").enabled());
  Fresh();
  // Short breaks: Later twice in a row, then no more.
  Start(kShort);
  std::vector<bool> offered;
  for (int i = 0; i < 3; ++i) {
    AwaitShortBreak();
    ASSERT_FALSE(Screens().empty()) << i;
    sim->AdvanceSeconds(3);
    offered.push_back(S("cmdPostpone").enabled());
    if (offered.back()) sim->Click("frmBreakScreen", "cmdPostpone");
  }
  EXPECT_EQ(offered, (std::vector<bool>{true, true, false}));
}

TEST_F(BreakScreenTest, AStrictBreakOffersNoWayOutButItsEndALongEnoughAbsenceAndExit) {
  enum class Way { kRunOut, kLock, kSleep, kExit };
  const struct {
    Way way;
    const char* name;
  } cases[] = {{Way::kRunOut, "runs out"},
               {Way::kLock, "locked for the rest"},
               {Way::kSleep, "asleep for the rest"},
               {Way::kExit, "exit"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Start(kLong, {{"StrictBreaks", "1"}});
    TakeLongBreak();
    ASSERT_EQ(Screens().size(), 1u);
    sim->AdvanceSeconds(5);
    EXPECT_FALSE(S("cmdPostpone").visible());
    EXPECT_FALSE(S("cmdSkip").visible());
    EXPECT_FALSE(sim->app().frmTimer().Ctl("mnuStopBreakPopUp").enabled());
    // What a person might try: the close keys, minimize, Enter, the cycle's own Stop Break.
    sim->Activate("frmBreakScreen");
    sim->Close("frmBreakScreen");
    sim->SetState("frmBreakScreen", WindowState::kMinimized);
    sim->PressEnter();
    sim->Do([&] { sim->app().cycle.StopBreak(); });
    sim->Do([&] { sim->app().cycle.SkipBreak(); });
    sim->Do([&] { sim->app().cycle.PostponeBreak(); });
    ASSERT_EQ(Screens().size(), 1u);
    EXPECT_EQ(State(), CycleState::kOnBreak);
    switch (c.way) {
      case Way::kRunOut:
        sim->AdvanceSeconds(56);  // its last second shown, then the tick that ends it
        break;
      case Way::kLock:
        sim->Away(AwayReason::kLock);
        sim->AdvanceSeconds(55);
        sim->Back(AwayReason::kLock);
        break;
      case Way::kSleep:
        sim->Sleep(55 * 1000);
        break;
      case Way::kExit:
        sim->Click("frmTimer", "mPopExit");
        sim->Answer(MessageAnswer::kYes);
        break;
    }
    EXPECT_TRUE(Screens().empty());
    if (c.way == Way::kExit) {
      EXPECT_FALSE(sim->running());
    } else {
      EXPECT_TRUE(Loaded("frmRestartTimer")) << "the break-over question follows";
      EXPECT_TRUE(JournalHas({"break.end ranout", "breakscreen.end ranout"}));
    }
    Fresh();
  }
}

TEST_F(BreakScreenTest, TheTimersOwnWaysAndTheCommandLineDoNotEndAStrictBreak) {
  const struct {
    const char* name;
    bool strict, longBreak;
  } cases[] = {{"strict short", true, false},
               {"strict long", true, true},
               {"short, not strict", false, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Start(c.longBreak ? kLong : kShort, {{"StrictBreaks", c.strict ? "1" : "0"}});
    if (c.longBreak)
      TakeLongBreak();
    else
      AwaitShortBreak();
    ASSERT_EQ(Screens().size(), 1u);
    sim->AdvanceSeconds(4);
    // The commands first: a strict break, or the long one, refuses them all.
    if (c.strict) {
      for (Verb verb : {Verb::kPause, Verb::kStop, Verb::kStart, Verb::kShortBreak}) {
        Reply reply;
        sim->Do([&] { reply = DispatchCommand(sim->app(), {verb}); });
        EXPECT_NE(reply.code, kExitDone) << EncodeCommand({verb});
      }
    }
    // Then the tray menu's timer items, as far as they can be clicked.
    const Form& main = sim->app().frmTimer();
    for (const char* item : {"mnuPause", "mnuStop", "mnuStart"})
      if (main.Ctl(item).visible() && main.Ctl(item).enabled()) sim->Click("frmTimer", item);
    sim->AdvanceSeconds(1);
    // Strict, the break is still on its screen; a short one that is not strict the timer's items
    // end as before.
    EXPECT_EQ(Screens().size(), c.strict ? 1u : 0u);
    Fresh();
  }
}

TEST_F(BreakScreenTest, AMonitorAddedOrRemovedMidBreakIsCoveredOrDroppedWithinTwoSeconds) {
  const ScreenRect left = {0, 0, 1280, 800}, right = {1280, 0, 2304, 768};
  struct Step {
    std::vector<ScreenRect> monitors;
    bool told;  // the system says so, or the program finds out by looking
  } steps[] = {{{left, right}, true}, {{left}, false}, {{left, right}, false}, {{right}, true}};
  sim->fake.windows.monitors = {left};
  Start(kLong);
  TakeLongBreak();
  ASSERT_EQ(Screens().size(), 1u);
  for (const Step& step : steps) {
    SCOPED_TRACE(std::to_string(step.monitors.size()) + (step.told ? " told" : " found"));
    sim->Do([&] { sim->fake.windows.SetMonitors(step.monitors, step.told); });
    if (!step.told) sim->AdvanceSeconds(2);
    std::vector<ScreenRect> covered;
    for (Form* f : Screens()) covered.push_back(*f->coverArea());
    EXPECT_EQ(covered, step.monitors);
  }
  EXPECT_EQ(State(), CycleState::kOnBreak) << "the break goes on meanwhile";
}

}  // namespace
}  // namespace unw

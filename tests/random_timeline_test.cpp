// Days of a restless user on the virtual clock: random clicks on whatever is
// clickable, tray clicks, closes and waits, with the program's invariants
// checked after every event. Seeded, so a failure replays exactly.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "program_fixture.h"

namespace unw {
namespace {

class RandomTimeline : public ProgramTest, public ::testing::WithParamInterface<unsigned> {
 protected:
  std::vector<Control*> Clickable() {
    std::vector<Control*> out;
    for (Form* f : sim.app().ui.forms()) {
      for (const auto& c : f->controls()) {
        const bool button = c->kind() == ControlKind::kButton || c->kind() == ControlKind::kMenu;
        if (!button || !c->enabled() || !c->visible() || !c->onClick) continue;
        bool inTrayMenu = false, inHiddenMenu = false;
        for (Control* p = c->parent(); p; p = p->parent()) {
          inTrayMenu |= p->name() == "mPopupSys";
          inHiddenMenu |= !p->visible() && p->name() != "mPopupSys";
        }
        if (inHiddenMenu) continue;
        // The tray menu's items are reachable only while the menu is open.
        if (inTrayMenu ? menuOpen_ : sim.fake.view.AcceptsInput(*f)) out.push_back(c.get());
      }
    }
    return out;
  }

  // What the main window and the tray show must be what the break cycle says.
  void CheckAgreement(const std::string& step) {
    const BreakCycle& cycle = sim.app().cycle;
    const CycleState s = cycle.state();
    const bool held = main().blnExitQuestion();
    ASSERT_EQ(Display(), cycle.work().Hms()) << step;
    ASSERT_EQ(TickRunning(), s == CycleState::kCounting && !held) << step;
    ASSERT_EQ(Running("tmrFlash"), s == CycleState::kFlashing) << step;
    const bool asks =
        s == CycleState::kFlashing || s == CycleState::kPrompt || s == CycleState::kBreakOver;
    ASSERT_EQ(Running("tmrPlaySound"), asks && !held) << step;
    ASSERT_EQ(Running("tmrBreak"), s == CycleState::kOnBreak) << step;
    ASSERT_EQ(Running("tmrBalloonTip"), s == CycleState::kBalloon && !held) << step;
    ASSERT_EQ(sim.fake.tray.balloonOnScreen && sim.app().tray.balloonShowing(),
              s == CycleState::kBalloon)
        << step;
    ASSERT_EQ(main().Ctl("mnuStopBreakPopUp").visible(), s == CycleState::kOnBreak) << step;
    const std::string tip = Tip();
    auto has = [&](const char* text) { return tip.find(text) != std::string::npos; };
    // Away (idle as long as a break), the tooltip says so instead.
    if (sim.app().cycle.awareness().away() && tip == kAwayTip) return;
    const bool editing = main().editing();
    switch (s) {
      case CycleState::kStopped:
        ASSERT_TRUE(Enabled("cmdStart") != editing && !Enabled("cmdStop")) << step;
        ASSERT_TRUE(has(" - Stopped")) << step << ": " << tip;
        break;
      case CycleState::kPaused:
        ASSERT_TRUE(Enabled("cmdStart") && Enabled("cmdStop") && !Enabled("cmdPause")) << step;
        ASSERT_TRUE(has(" - Paused")) << step << ": " << tip;
        break;
      case CycleState::kCounting:
        ASSERT_TRUE(!Enabled("cmdStart") && Enabled("cmdPause")) << step;
        // A reminder interval shows its time from its first tick on.
        ASSERT_TRUE(has(" - Started") || tip == "KORVANTE Unwindle") << step << ": " << tip;
        break;
      case CycleState::kPrompt:
      case CycleState::kBalloon:
      case CycleState::kFlashing:
        ASSERT_TRUE(!Enabled("cmdStart") && Enabled("cmdStop")) << step;
        ASSERT_TRUE(tip.rfind("KORVANTE Unwindle", 0) == 0 && !has("Remaining")) << step << tip;
        break;
      case CycleState::kHeld:
        // Whatever holds it, the tooltip says that a break waits, not a countdown.
        ASSERT_TRUE(has("A break is due; it waits until ") && !has("Remaining")) << step << tip;
        break;
      default:
        break;
    }
  }

  void CheckInvariants(const std::string& step) {
    App& app = sim.app();
    ASSERT_TRUE(sim.running()) << step;
    ASSERT_EQ(sim.fake.tray.icons.size(), 1u) << step;
    const int16_t count = app.cycle.intSnoozeCount();
    ASSERT_GE(count, 0) << step;
    ASSERT_LE(count, app.settings.NumberOfSnooze + 1) << step;
    ASSERT_GE(app.cycle.lngAlertSeconds(), 0) << step;
    ASSERT_LE(app.cycle.lngAlertSeconds(), app.cycle.lngBreakSeconds() + 1) << step;
    ASSERT_LE(sim.fake.loop.depth(), 5) << step;
    std::set<std::string> loaded;
    for (Form* f : app.ui.forms()) ASSERT_TRUE(loaded.insert(f->name()).second) << step;
    const int cycleWindows = loaded.count("frmUnwindle") + loaded.count("frmBreakTimeRemaining") +
                             loaded.count("frmRestartTimer");
    ASSERT_LE(cycleWindows, 1) << step << ": two break windows at once";
    CheckAgreement(step);
  }

  bool menuOpen_ = false;
  bool locked_ = false;
};

TEST_P(RandomTimeline, ThreeDaysOfRandomUseKeepEveryInvariant) {
  std::mt19937 rng(GetParam());
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  Plant({{"Hours", "0"},
         {"Minutes", "0"},
         {"Seconds", std::to_string(20 + pick(40))},
         {"SnoozeMinutes", "0"},
         {"SnoozeSeconds", std::to_string(pick(30))},
         {"BreakMinutes", "0"},
         {"BreakSeconds", std::to_string(pick(40))},
         {"NumberOfSnooze", pick(3) == 0 ? "99" : std::to_string(pick(4))},
         {"AlertMeBy", std::to_string(pick(2))},
         {"BalloonTipsEnabled", std::to_string(pick(2))},
         {"TrayIcon", std::to_string(pick(5))},
         {"AudioType", std::to_string(pick(4))},
         {"StartTimerOnLaunch", "1"},
         {"HoldForPrograms", "obs64.exe"}});
  sim.fake.dialogs.autoAnswer = MessageAnswer::kNo;  // the exit question is always declined
  sim.Start();
  // Whether the user sent the main window away: only the user, or an answer that brings it
  // back on purpose, may show it again.
  bool userHidden = false;
  const int64_t end = sim.now() + 3LL * 24 * 3600 * 1000;
  int steps = 0;
  while (sim.now() < end) {
    std::string step = "step " + std::to_string(++steps) + " at " + std::to_string(sim.now());
    const size_t popupsBefore = sim.fake.view.popups.size();
    bool mayShowMain = false;
    switch (pick(7)) {
      case 0:
      case 1:
        sim.Advance(1 + pick(120000));
        break;
      case 2: {
        auto targets = Clickable();
        if (targets.empty()) break;
        Control* c = targets[pick(static_cast<int>(targets.size()))];
        const std::string form = c->form().name();
        step += " click " + form + "." + c->Id();
        mayShowMain =
            c->name() == "mPopRestore" || (form != "frmTimer" && c->name() == "cmdStopTimer" &&
                                           !sim.FindForm("frmBreakTimeRemaining"));
        sim.Click(form, c->name(), c->index());
        break;
      }
      case 3: {
        static const TrayEvent events[] = {TrayEvent::kLeftClick,     TrayEvent::kLeftDoubleClick,
                                           TrayEvent::kRightClick,    TrayEvent::kRightDoubleClick,
                                           TrayEvent::kNoticeClicked, TrayEvent::kRecreated};
        const int e = pick(6);
        step += " tray " + std::to_string(e);
        mayShowMain = true;
        sim.Tray(events[e]);
        break;
      }
      case 4: {
        auto& forms = sim.app().ui.forms();
        Form* f = forms[pick(static_cast<int>(forms.size()))];
        if (!sim.fake.view.AcceptsInput(*f)) break;
        step += " close " + f->name();
        mayShowMain = f->name() == "frmUnwindle" || f->name() == "frmRestartTimer";
        sim.Close(f->name());
        break;
      }
      case 5:
        if (sim.fake.files.open) {
          step += " chooser";
          sim.FinishChooser(pick(2) ? "" : "C:\\Sounds\\gong.wav");
        } else if (main().visible() && sim.fake.view.AcceptsInput(main())) {
          step += " minimize";
          sim.SetState("frmTimer", WindowState::kMinimized);
        }
        break;
      case 6: {
        // The world around the program: a full-screen program comes or goes, the session is
        // locked or unlocked, the machine sleeps, a call starts or ends, Do Not Disturb is
        // switched, a program that holds alerts starts or ends.
        FakePresence& world = sim.fake.presence;
        const int what = pick(6);
        if (what == 3) {
          world.microphone = !world.microphone;
          step += world.microphone ? " call" : " call over";
        } else if (what == 4) {
          world.doNotDisturb = !world.doNotDisturb;
          step += world.doNotDisturb ? " dnd" : " dnd off";
        } else if (what == 5) {
          world.programs = world.programs.empty() ? std::vector<std::string>{"OBS64.exe"}
                                                  : std::vector<std::string>{};
          step += world.programs.empty() ? " obs ends" : " obs";
        } else if (what == 0) {
          sim.fake.presence.fullScreen = !sim.fake.presence.fullScreen;
          step += sim.fake.presence.fullScreen ? " fullscreen" : " windowed";
        } else if (what == 1) {
          locked_ = !locked_;
          step += locked_ ? " lock" : " unlock";
          locked_ ? sim.Away(AwayReason::kLock) : sim.Back(AwayReason::kLock);
          mayShowMain = !locked_;  // a break taken while away ends a waiting alert
        } else {
          step += " sleep";
          sim.Sleep(1 + pick(900000));
          mayShowMain = true;
        }
        break;
      }
    }
    // A popup stays open for one more action: the click on one of its items, or anything else.
    menuOpen_ = sim.fake.view.popups.size() > popupsBefore;
    if (userHidden && !mayShowMain) {
      ASSERT_FALSE(main().visible()) << step << ": shown again";
    }
    userHidden = !main().visible() && main().windowState() == WindowState::kMinimized;
    CheckInvariants(step);
    if (HasFatalFailure()) return;
  }
  EXPECT_GT(steps, 1000);
  EXPECT_LE(sim.fake.loop.maxDepth(), 5);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomTimeline, ::testing::Values(1u, 7u, 2026u, 31337u));

}  // namespace
}  // namespace unw

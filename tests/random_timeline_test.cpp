// Days of a restless user on the virtual clock: random clicks on whatever is
// clickable, tray clicks, closes and waits, with the program's invariants
// checked after every event. Seeded, so a failure replays exactly.
#include <gtest/gtest.h>

#include <random>
#include <set>

#include "program_fixture.h"
#include "tray/tray_icon.h"

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

  bool menuOpen_ = false;

  void CheckInvariants(const std::string& step) {
    App& app = sim.app();
    ASSERT_TRUE(sim.running()) << step;
    ASSERT_EQ(sim.fake.tray.icons.size(), 1u) << step;
    const int16_t limit = app.settings.NumberOfSnooze;
    ASSERT_GE(app.intSnoozeCount, 0) << step;
    ASSERT_LE(app.intSnoozeCount, limit + 1) << step;
    ASSERT_GE(app.lngAlertSeconds, 0) << step;
    ASSERT_LE(app.lngAlertSeconds, main().lngBreakSeconds + 1) << step;
    std::string open;
    for (Form* f : app.ui.forms()) open += " " + f->name();
    ASSERT_LE(sim.fake.loop.depth(), 5)
        << step << ":" << open << " boxes " << sim.fake.dialogs.open.size() << " chooser "
        << (sim.fake.files.open != nullptr);
    std::set<std::string> loaded;
    for (Form* f : app.ui.forms()) ASSERT_TRUE(loaded.insert(f->name()).second) << step;
    const int cycleWindows = loaded.count("frmUnwindle") + loaded.count("frmBreakTimeRemaining") +
                             loaded.count("frmRestartTimer");
    std::string names;
    for (const auto& n : loaded) names += " " + n;
    ASSERT_LE(cycleWindows, 1) << step << ": two break windows at once:" << names;
    if (cycleWindows == 0 && !main().Ctl("tmrPlaySound").enabled() && !app.blnBalloonShowing &&
        sim.fake.dialogs.open.empty()) {
      // At rest: the work timer is running, paused or stopped, never stuck at time-up.
      const bool ticking = TickRunning();
      const bool startEnabled = Enabled("cmdStart");
      const bool editing = main().Ctl("cmdSave").visible();
      ASSERT_TRUE(ticking || startEnabled || editing) << step << ": the timer is stuck";
    }
  }
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
         {"StartTimerOnLaunch", "1"}});
  sim.fake.dialogs.autoAnswer = kIdNo;  // the exit question is always declined
  sim.Start();
  const int64_t end = sim.now() + 3LL * 24 * 3600 * 1000;
  int steps = 0;
  while (sim.now() < end) {
    std::string step = "step " + std::to_string(++steps) + " at " + std::to_string(sim.now());
    const size_t popupsBefore = sim.fake.view.popups.size();
    const bool menuWasOpen = menuOpen_;
    switch (pick(6)) {
      case 0:
      case 1:
        sim.Advance(1 + pick(120000));
        break;
      case 2: {
        auto targets = Clickable();
        if (targets.empty()) break;
        Control* c = targets[pick(static_cast<int>(targets.size()))];
        step += " click " + c->form().name() + "." + c->Id();
        sim.Click(c->form().name(), c->name(), c->index());
        break;
      }
      case 3: {
        static const std::intptr_t events[] = {
            kWmLButtonUp,       kWmLButtonDblClk,     kWmRButtonUp, kWmRButtonDblClk,
            kNinBalloonTimeout, kNinBalloonUserClick, 0x200};
        const std::intptr_t e = events[pick(7)];
        step += " tray " + std::to_string(e);
        sim.Do([&] { sim.fake.tray.Deliver(main().hWnd(), kTrayCallbackMessage, 1, e); });
        break;
      }
      case 4: {
        auto& forms = sim.app().ui.forms();
        Form* f = forms[pick(static_cast<int>(forms.size()))];
        if (!sim.fake.view.AcceptsInput(*f)) break;
        step += " close " + f->name();
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
    }
    // A popup stays open for one more action: the click on one of its items, or anything else.
    menuOpen_ = sim.fake.view.popups.size() > popupsBefore;
    (void)menuWasOpen;
    CheckInvariants(step);
    if (HasFatalFailure()) return;
  }
  EXPECT_GT(steps, 1000);
  EXPECT_LE(sim.fake.loop.maxDepth(), 5);
}

INSTANTIATE_TEST_SUITE_P(Seeds, RandomTimeline, ::testing::Values(1u, 7u, 2026u, 31337u));

}  // namespace
}  // namespace unw

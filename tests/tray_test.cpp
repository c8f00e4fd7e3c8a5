// The tray icon: the picture and tooltip it shows, the animation of each icon set, balloons
// and what the icon's events do.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "program_fixture.h"
#include "tray/tray_animation.h"
#include "tray/tray_icon.h"

namespace unw {
namespace {

class TrayTest : public ProgramTest {
 protected:
  FakeNotificationArea& tray() { return sim.fake.tray; }
  int ShownSet() { return FakeNotificationArea::SetOf(SentIcon()); }
};

TEST_F(TrayTest, StartUpAddsOneIconWithTheStoppedTooltipANewTaskbarTooAndExitRemovesIt) {
  Start({{"Hours", "0"}, {"Minutes", "25"}});
  EXPECT_EQ(tray().icons, std::set<std::uintptr_t>{main().hWnd()});
  EXPECT_EQ(tray().adds, 1);
  EXPECT_EQ(SentPicture(), 0);
  EXPECT_NE(SentTip().find("00:25:00 - Stopped"), std::string::npos);
  // A new taskbar gets the icon back as it stands.
  sim.Tray(TrayEvent::kRecreated);
  EXPECT_EQ(tray().icons.size(), 1u);
  EXPECT_EQ(tray().adds, 2);
  EXPECT_NE(SentTip().find("00:25:00 - Stopped"), std::string::npos);
  sim.Click("frmTimer", "cmdExit");
  sim.Answer(MessageAnswer::kYes);
  EXPECT_TRUE(tray().icons.empty());
}

// A shell without balloons, or the user's switch off: the tray alert flashes instead.
TEST_F(TrayTest, BalloonsOnlyWhereTheShellShowsThemAndTheUserAllowsThem) {
  for (bool shell : {true, false}) {
    for (bool allowed : {true, false}) {
      Sim s;
      Plant(s, {{{"AlertMeBy", "1"},
                 {"Hours", "0"},
                 {"Minutes", "0"},
                 {"Seconds", "5"},
                 {"StartTimerOnLaunch", "1"}}});
      s.fake.tray.noticesAllowed = shell;
      s.fake.tray.userAllowsNotices = allowed;
      s.Start();
      s.AdvanceSeconds(7);
      const bool balloon = shell && allowed;
      EXPECT_EQ(s.app().cycle.state(), balloon ? CycleState::kBalloon : CycleState::kFlashing)
          << shell << " " << allowed;
      EXPECT_EQ(s.fake.tray.balloonsShown, balloon ? 1 : 0) << shell << " " << allowed;
    }
  }
}

TEST_F(TrayTest, EachSetAnimatesOneFrameAtATickAndStopShowsFrameZero) {
  struct Case {
    const char* set;
    std::vector<int> frames;  // the pictures of the first ticks
  } cases[] = {
      {"0", {1, 2, 3, 4, 5, 6, 7, 0, 1}},
      {"2", {0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 6, 6, 6, 7, 0, 0, 0, 1}},
      {"3", {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 0, 1}},
  };
  for (const Case& c : cases) {
    Sim s;
    Plant(s, {{{"TrayIcon", c.set}, {"StartTimerOnLaunch", "1"}}});
    s.Start();
    std::vector<int> frames;
    for (size_t i = 0; i < c.frames.size(); ++i) {
      s.AdvanceSeconds(1);
      frames.push_back(FakeNotificationArea::ElementOf(s.fake.tray.picture));
    }
    EXPECT_EQ(frames, c.frames) << "set " << c.set;
    s.Click("frmTimer", "cmdStop");
    EXPECT_EQ(FakeNotificationArea::ElementOf(s.fake.tray.picture), 0);
  }
  // The modem's 48 frames never reach its alert picture.
  int16_t moon = 0, frame = 0, highest = 0;
  for (int tick = 0; tick < 100; ++tick) {
    frame = NextTrayIconFrame(kComputerModem, frame, moon, false);
    highest = std::max(highest, frame);
  }
  EXPECT_EQ(highest, 47);
}

TEST_F(TrayTest, TrafficLightsStandWhereTheyStoodAfterThePreferencesAreSaved) {
  struct Case {
    const char* state;
    Values settings;
    std::vector<const char*> clicks;  // in the main window and its tray menu
  } cases[] = {
      {"stopped", {}, {}},
      {"counting", {}, {"cmdStart"}},
      {"paused", {}, {"cmdStart", "cmdPause"}},
      {"paused for half an hour", {}, {"cmdStart", "mnuPause30"}},
      {"resting on a Saturday", {{"WorkingHoursEnabled", "1"}}, {"cmdStart"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.state);
    Sim s;
    Plant(s, {{{"TrayIcon", "4"}}, c.settings});
    s.fake.calendar.SetLocal(2026, 12, 12, 10, 0);
    s.Start();
    for (const char* click : c.clicks) s.Click("frmTimer", click);
    s.AdvanceSeconds(2);
    const std::uintptr_t pictureBefore = s.fake.tray.picture;
    const std::string tipBefore = s.fake.tray.tip;
    s.Click("frmTimer", "mnuPreferences");
    s.Type("frmPreferences", "txtBreakMinutes", "7");
    s.Click("frmPreferences", "cmdSave");
    s.Click("frmPreferences", "cmdExit");
    EXPECT_EQ(FakeNotificationArea::ElementOf(s.fake.tray.picture),
              FakeNotificationArea::ElementOf(pictureBefore));
    EXPECT_EQ(s.fake.tray.tip, tipBefore);
  }
}

TEST_F(TrayTest, AFrameLeftFromAnotherSetFallsBackToZeroAndAnUnknownSetOnlyChangesTheTip) {
  Start({{"TrayIcon", "1"}});
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(30);
  EXPECT_EQ(sim.app().tray.frame(), 30);
  sim.Do([this] { sim.app().settings.TrayIcon = kClassicClock; });
  sim.AdvanceSeconds(1);
  EXPECT_EQ(ShownSet(), kClassicClock);
  EXPECT_EQ(SentPicture(), 0);
  sim.Do([this] { sim.app().settings.TrayIcon = 7; });
  const std::uintptr_t icon = SentIcon();
  sim.AdvanceSeconds(2);
  EXPECT_EQ(SentIcon(), icon);
  EXPECT_NE(SentTip().find("00:59:27"), std::string::npos);
  EXPECT_EQ(sim.app().tray.GetTrayIconPicture(9), 0u) << "no such mode";
}

// A balloon shown once, over when its time is up or taken down; the system's balloon switch,
// read only as a DWORD.
TEST_F(TrayTest, TheBalloonAndTheSystemsBalloonSwitch) {
  Start();
  TrayIcon& icon = sim.app().tray;
  sim.Do([&] { icon.ShowAlertBalloon(1, "Title", "Take a break"); });
  EXPECT_TRUE(tray().balloonOnScreen);
  ASSERT_EQ(tray().notices.size(), 1u);
  EXPECT_EQ(tray().notices[0].kind, NoticeKind::kWarning);
  EXPECT_EQ(tray().notices[0].title, "Title");
  EXPECT_EQ(tray().notices[0].text, "Take a break");
  EXPECT_TRUE(icon.balloonShowing());
  // Later modifications (every tick of a countdown) do not show it again.
  sim.Do([&] { icon.ShowTip("tick"); });
  EXPECT_EQ(tray().balloonsShown, 1);
  // Its time is over: the shell takes it down in its own time, the idle picture and tip show.
  sim.Do([&] { icon.BalloonOver("tip"); });
  EXPECT_EQ(tray().balloonsShown, 1);
  EXPECT_EQ(SentTip(), "tip");
  EXPECT_EQ(SentPicture(), 0);
  EXPECT_FALSE(icon.balloonShowing());
  // The alert over while it is still on the screen: it is taken down.
  sim.Do([&] { icon.ShowAlertBalloon(0, "Title", "Again"); });
  ASSERT_TRUE(tray().balloonOnScreen);
  EXPECT_EQ(tray().notices.back().kind, NoticeKind::kInformation);
  sim.Do([&] { icon.AlertOver("over"); });
  EXPECT_FALSE(tray().balloonOnScreen);
  EXPECT_EQ(SentTip(), "over");
  EXPECT_EQ(tray().balloonsShown, 2);
}

TEST_F(TrayTest, ClicksRestoreTheWindowOrOpenTheMenuButNotDuringTheExitQuestion) {
  Start();
  sim.Close("frmTimer");
  ASSERT_FALSE(main().visible());
  sim.Click("frmTimer", "mPopExit");
  sim.Tray(TrayEvent::kLeftClick);
  sim.Tray(TrayEvent::kRightClick);
  EXPECT_FALSE(main().visible());
  EXPECT_TRUE(sim.fake.view.popups.empty());
  sim.Answer(MessageAnswer::kNo);
  sim.Tray(TrayEvent::kLeftDoubleClick);
  EXPECT_TRUE(main().visible());
  EXPECT_EQ(main().windowState(), WindowState::kNormal);
  EXPECT_EQ(sim.fake.windows.foreground.back(), main().hWnd());
  sim.Tray(TrayEvent::kRightClick);
  ASSERT_EQ(sim.fake.view.popups.size(), 1u);
  EXPECT_EQ(sim.fake.view.popups[0]->name(), "mPopupSys");
  EXPECT_TRUE(main().Ctl("mnuUnwindle").isDefault());
  sim.Click("frmTimer", "mnuStart");
  EXPECT_TRUE(TickRunning());
}

// The menu keeps its items in the order its design gives them, but "&Exit" stays last: the items
// added later (the pause by the clock, the statistics) and the design's Preferences and About
// stand above it.
TEST_F(TrayTest, TheMenuKeepsTheDesignsOrderAndEndsWithExit) {
  Start();
  sim.Tray(TrayEvent::kRightClick);
  ASSERT_EQ(sim.fake.view.popups.size(), 1u);
  const Control& menu = *sim.fake.view.popups[0];
  std::vector<std::string> items;
  for (const auto& c : main().controls()) {
    if (c->parent() == &menu) items.push_back(c->name());
  }
  ASSERT_FALSE(items.empty());
  EXPECT_EQ(items.back(), "mPopExit");
  const std::vector<std::string> designed = {
      "mnuSep04", "mnuUnwindle",           "mnuSep03",       "mnuStart", "mnuPause",
      "mnuStop",  "mnuStopBreakPopUp",     "mnuRemindLater", "mnuSep02", "mPopRestore",
      "mnuSep01", "mnuPreferencesPopMenu", "mPopAbout"};
  std::vector<std::string> kept;
  for (const std::string& item : items) {
    if (std::find(designed.begin(), designed.end(), item) != designed.end()) kept.push_back(item);
  }
  EXPECT_EQ(kept, designed);
}

}  // namespace
}  // namespace unw

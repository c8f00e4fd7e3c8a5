// The tray icon: its record, the animation of each icon set, balloons and
// what the icon's events do.
#include <gtest/gtest.h>

#include "program_fixture.h"
#include "tray/tray_animation.h"
#include "tray/tray_icon.h"

namespace unw {
namespace {

class TrayTest : public ProgramTest {
 protected:
  FakeNotificationArea& tray() { return sim.fake.tray; }
  int ShownSet() { return FakeNotificationArea::SetOf(Sent().hIcon); }
};

TEST_F(TrayTest, StartUpAddsOneIconWithTheStoppedTooltipANewTaskbarTooAndExitRemovesIt) {
  Start({{"Hours", "0"}, {"Minutes", "25"}});
  ASSERT_GE(tray().sent.size(), 2u);
  EXPECT_EQ(tray().sent[0].command, TrayCommand::kAdd);
  EXPECT_EQ(tray().sent[1].command, TrayCommand::kSetVersion);
  const TrayIconData& t = tray().sent[0].data;
  EXPECT_EQ(t.cbSize, kTrayRecordSizeFull);
  EXPECT_EQ(t.hWnd, main().hWnd());
  EXPECT_EQ(t.uID, 1u);
  EXPECT_EQ(FakeNotificationArea::ElementOf(t.hIcon), 0);
  EXPECT_NE(std::string(ShownText(t.szTip)).find("00:25:00 - Stopped"), std::string::npos);
  // The field is 128 characters: the text, its NUL, then blanks.
  EXPECT_EQ(t.szTip.size(), 128u);
  EXPECT_EQ(t.szTip.back(), ' ');
  EXPECT_EQ(tray().icons.size(), 1u);
  // A new taskbar gets the icon back as it stands.
  sim.Tray(TrayEvent::kRecreated);
  EXPECT_EQ(tray().icons.size(), 1u);
  EXPECT_EQ(tray().sent.back().command, TrayCommand::kSetVersion);
  EXPECT_NE(SentTip().find("00:25:00 - Stopped"), std::string::npos);
  sim.Click("frmTimer", "cmdExit");
  sim.Answer(kIdYes);
  EXPECT_TRUE(tray().icons.empty());
  EXPECT_EQ(tray().sent.back().command, TrayCommand::kDelete);
}

TEST_F(TrayTest, RecordSizeFollowsTheShellVersion) {
  const std::pair<int, uint32_t> cases[] = {{7, kTrayRecordSizeFull},
                                            {6, kTrayRecordSizeFull},
                                            {5, kTrayRecordSizeV2},
                                            {4, kTrayRecordSizeV1},
                                            {-1, kTrayRecordSizeV1}};
  for (auto [major, size] : cases) {
    Sim s;
    s.fake.tray.shellMajor = major;
    s.Start();
    EXPECT_EQ(s.fake.tray.sent.front().data.cbSize, size) << major;
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
      frames.push_back(FakeNotificationArea::ElementOf(s.fake.tray.sent.back().data.hIcon));
    }
    EXPECT_EQ(frames, c.frames) << "set " << c.set;
    s.Click("frmTimer", "cmdStop");
    EXPECT_EQ(FakeNotificationArea::ElementOf(s.fake.tray.sent.back().data.hIcon), 0);
  }
  // The modem's 48 frames never reach its alert picture.
  int16_t moon = 0, frame = 0, highest = 0;
  for (int tick = 0; tick < 100; ++tick) {
    frame = NextTrayIconFrame(kComputerModem, frame, moon, false);
    highest = std::max(highest, frame);
  }
  EXPECT_EQ(highest, 47);
}

TEST_F(TrayTest, TrafficLightsShowTheStateAtOnce) {
  Start({{"TrayIcon", "4"}});
  EXPECT_EQ(SentPicture(), 0) << "red when stopped";
  sim.Click("frmTimer", "cmdStart");
  EXPECT_EQ(SentPicture(), 1) << "green on Start, before any tick";
  sim.AdvanceSeconds(3);
  EXPECT_EQ(SentPicture(), 1);
  sim.Click("frmTimer", "cmdPause");
  EXPECT_EQ(SentPicture(), 2) << "amber";
  sim.Click("frmTimer", "cmdStop");
  EXPECT_EQ(SentPicture(), 0);
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
    const TrayIconData before = s.fake.tray.sent.back().data;
    s.Click("frmTimer", "mnuPreferences");
    s.Type("frmPreferences", "txtBreakMinutes", "7");
    s.Click("frmPreferences", "cmdSave");
    s.Click("frmPreferences", "cmdExit");
    const TrayIconData& after = s.fake.tray.sent.back().data;
    EXPECT_EQ(FakeNotificationArea::ElementOf(after.hIcon),
              FakeNotificationArea::ElementOf(before.hIcon));
    EXPECT_EQ(std::string(ShownText(after.szTip)), std::string(ShownText(before.szTip)));
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
  const std::uintptr_t icon = Sent().hIcon;
  sim.AdvanceSeconds(2);
  EXPECT_EQ(Sent().hIcon, icon);
  EXPECT_NE(SentTip().find("00:59:27"), std::string::npos);
  EXPECT_EQ(sim.app().tray.GetTrayIconPicture(9), 0u) << "no such mode";
}

// The record's fields: a long tooltip cut at its field without its NUL; a balloon shown once,
// cleared or taken down; the system's balloon switch, read only as a DWORD.
TEST_F(TrayTest, TheRecordsFieldsTheBalloonAndTheSystemsBalloonSwitch) {
  Start();
  TrayIcon& icon = sim.app().tray;
  sim.Do([&] { icon.RefreshTrayIcon(std::string(200, 'x')); });
  EXPECT_EQ(Sent().szTip, std::string(128, 'x'));
  sim.Do([&] { icon.ShowBalloonTip(kNiifWarning, "Title", "Take a break"); });
  EXPECT_TRUE(tray().balloonOnScreen);
  EXPECT_EQ(Sent().dwInfoFlags, kNiifWarning);
  EXPECT_EQ(ShownText(Sent().szInfoTitle), "Title");
  EXPECT_EQ(ShownText(Sent().szInfo), "Take a break");
  EXPECT_EQ(Sent().szInfo.size(), 256u);
  EXPECT_EQ(Sent().szInfoTitle.size(), 64u);
  EXPECT_TRUE(icon.balloonShowing());
  // Later modifications (every tick of a countdown) do not show it again.
  sim.Do([&] { icon.ModifyTrayIcon(); });
  EXPECT_EQ(tray().balloonsShown, 1);
  // Cleared after the shell took it down: the record is plain again.
  sim.Do([&] { icon.ClearBalloonTip(0, "tip"); });
  EXPECT_EQ(tray().balloonsShown, 1);
  EXPECT_EQ(ShownText(Sent().szInfo), "");
  EXPECT_EQ(SentTip(), "tip");
  EXPECT_FALSE(icon.balloonShowing());
  // Cleared while still on the screen: it is taken down.
  sim.Do([&] { icon.ShowBalloonTip(kNiifInfo, "Title", "Again"); });
  ASSERT_TRUE(tray().balloonOnScreen);
  sim.Do([&] { icon.ClearBalloonTip(0, "tip", /*takeDown*/ true); });
  EXPECT_FALSE(tray().balloonOnScreen);
  EXPECT_EQ(tray().balloonsShown, 2);
  const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\";
  EXPECT_TRUE(icon.BalloonTipsAllowedBySystem());
  sim.fake.registry.Plant(kHkeyCurrentUser, key, "EnableBalloonTips", kRegDword, {0, 0, 0, 0});
  EXPECT_FALSE(icon.BalloonTipsAllowedBySystem());
  sim.fake.registry.PlantText(kHkeyCurrentUser, key, "EnableBalloonTips", "0");
  EXPECT_TRUE(icon.BalloonTipsAllowedBySystem());
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
  sim.Answer(kIdNo);
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

}  // namespace
}  // namespace unw

// The tray icon: its record, the animation of each icon set, balloons and
// the callback dispatch.
#include <gtest/gtest.h>

#include "program_fixture.h"
#include "tray/tray_animation.h"
#include "tray/tray_icon.h"

namespace unw {
namespace {

class TrayTest : public ProgramTest {
 protected:
  FakeNotificationArea& tray() { return sim.fake.tray; }
  const TrayIconData& last() { return tray().sent.back().data; }
  int ShownElement() { return FakeNotificationArea::ElementOf(last().hIcon); }
  int ShownSet() { return FakeNotificationArea::SetOf(last().hIcon); }
  // Starts a long countdown with icon set `set` and returns the frames of `ticks` ticks.
  std::vector<int> Frames(const char* set, int ticks) {
    Plant({{"TrayIcon", set}, {"Hours", "1"}});
    sim.Start();
    sim.Click("frmTimer", "cmdStart");
    std::vector<int> frames;
    for (int i = 0; i < ticks; ++i) {
      sim.AdvanceSeconds(1);
      frames.push_back(ShownElement());
    }
    return frames;
  }
  std::intptr_t Callback(std::intptr_t lParam) {
    std::intptr_t r = 0;
    sim.Do([&] { r = tray().Deliver(main().hWnd(), kTrayCallbackMessage, 1, lParam); });
    return r;
  }
};

TEST_F(TrayTest, StartUpAddsOneIconWithTheStoppedTooltipAndHooksTheWindow) {
  Plant({{"Hours", "0"}, {"Minutes", "25"}});
  sim.Start();
  ASSERT_GE(tray().sent.size(), 2u);
  EXPECT_EQ(tray().sent[0].message, kNimAdd);
  EXPECT_EQ(tray().sent[1].message, kNimSetVersion);
  const TrayIconData& t = tray().sent[0].data;
  EXPECT_EQ(t.cbSize, kTrayRecordSizeFull);
  EXPECT_EQ(t.hWnd, main().hWnd());
  EXPECT_EQ(t.uID, 1u);
  EXPECT_EQ(t.uFlags, 7u);
  EXPECT_EQ(t.uCallbackMessage, 0x401u);
  EXPECT_EQ(t.dwState, 2u);
  EXPECT_EQ(t.uTimeout, 3u);
  EXPECT_EQ(FakeNotificationArea::ElementOf(t.hIcon), 0);
  EXPECT_NE(std::string(ShownText(t.szTip)).find("00:25:00 - Stopped"), std::string::npos);
  EXPECT_EQ(tray().icons.size(), 1u);
  // Exit removes it and gives the window its own procedure back.
  sim.Click("frmTimer", "cmdExit");
  sim.Answer(kIdYes);
  EXPECT_TRUE(tray().icons.empty());
  EXPECT_EQ(tray().sent.back().message, kNimDelete);
}

TEST_F(TrayTest, RecordSizeFollowsTheShellVersion) {
  struct {
    int major;
    uint32_t size;
  } cases[] = {{7, kTrayRecordSizeFull},
               {6, kTrayRecordSizeFull},
               {5, kTrayRecordSizeV2},
               {4, kTrayRecordSizeV1},
               {-1, kTrayRecordSizeV1}};
  for (auto c : cases) {
    Sim s;
    s.fake.tray.shellMajor = c.major;
    s.Start();
    EXPECT_EQ(s.fake.tray.sent.front().data.cbSize, c.size) << c.major;
  }
}

TEST_F(TrayTest, TheClockTurnsOneStepPerTickAndStopShowsFrameZero) {
  EXPECT_EQ(Frames("0", 10), (std::vector<int>{1, 2, 3, 4, 5, 6, 7, 0, 1, 2}));
  EXPECT_EQ(ShownSet(), kClassicClock);
  sim.Click("frmTimer", "cmdStop");
  EXPECT_EQ(ShownElement(), 0);
  EXPECT_EQ(sim.app().intIconFrame, 0);
}

TEST_F(TrayTest, TheModemCyclesThroughFortyEightFrames) {
  auto f = Frames("1", 49);
  EXPECT_EQ(f[46], 47);
  EXPECT_EQ(f[47], 0);
  EXPECT_EQ(f[48], 1);
  EXPECT_EQ(*std::max_element(f.begin(), f.end()), 47) << "48 is the alert picture";
}

TEST_F(TrayTest, TheMoonTakesTwentyTwoTicksPerCycle) {
  auto f = Frames("2", 45);
  std::vector<int> cycle = {0, 0, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4, 5, 5, 5, 6, 6, 6, 7, 0};
  EXPECT_EQ(std::vector<int>(f.begin(), f.begin() + 22), cycle);
  EXPECT_EQ(std::vector<int>(f.begin() + 22, f.begin() + 44), cycle);
}

TEST_F(TrayTest, TheTankFillsOverFifteenTicks) {
  auto f = Frames("3", 16);
  EXPECT_EQ(f[13], 14);
  EXPECT_EQ(f[14], 0);
  EXPECT_EQ(f[15], 1);
}

TEST_F(TrayTest, TrafficLightsShowTheStateAtOnce) {
  Plant({{"TrayIcon", "4"}});
  sim.Start();
  EXPECT_EQ(ShownElement(), 0) << "red when stopped";
  sim.Click("frmTimer", "cmdStart");
  EXPECT_EQ(ShownElement(), 1) << "green on Start, before any tick";
  sim.AdvanceSeconds(3);
  EXPECT_EQ(ShownElement(), 1);
  sim.Click("frmTimer", "cmdPause");
  EXPECT_EQ(ShownElement(), 2) << "amber";
  sim.Click("frmTimer", "cmdStop");
  EXPECT_EQ(ShownElement(), 0);
}

TEST_F(TrayTest, OtherSetsShowTheStartedTooltipOnlyWithTheFirstTick) {
  Plant({{"TrayIcon", "0"}, {"Hours", "0"}, {"Minutes", "1"}});
  sim.Start();
  size_t before = tray().sent.size();
  sim.Click("frmTimer", "cmdStart");
  EXPECT_EQ(tray().sent.size(), before) << "nothing is published by Start";
  sim.AdvanceSeconds(1);
  EXPECT_NE(std::string(ShownText(last().szTip)).find("00:00:59 - Started"), std::string::npos);
}

TEST_F(TrayTest, AFrameLeftFromAnotherSetFallsBackToZero) {
  Plant({{"TrayIcon", "1"}});
  sim.Start();
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(30);
  EXPECT_EQ(sim.app().intIconFrame, 30);
  sim.Do([this] { sim.app().settings.TrayIcon = kClassicClock; });
  sim.AdvanceSeconds(1);
  EXPECT_EQ(ShownSet(), kClassicClock);
  EXPECT_EQ(ShownElement(), 0);
}

TEST_F(TrayTest, AnUnknownSetChangesOnlyTheTooltip) {
  Plant({});
  sim.Start();
  sim.Do([this] { sim.app().settings.TrayIcon = 7; });
  const std::uintptr_t icon = last().hIcon;
  sim.Click("frmTimer", "cmdStart");
  sim.AdvanceSeconds(2);
  EXPECT_EQ(last().hIcon, icon);
  EXPECT_EQ(sim.app().intIconFrame, 0);
  EXPECT_NE(std::string(ShownText(last().szTip)).find("00:59:58"), std::string::npos);
  EXPECT_EQ(GetTrayIconPicture(sim.app(), 9), 0u) << "no such mode";
}

TEST_F(TrayTest, LongTooltipsAreCutAtTheFieldWithoutTheirNul) {
  Plant({});
  sim.Start();
  sim.Do([this] { RefreshTrayIcon(sim.app(), std::string(200, 'x') + '\0'); });
  ASSERT_EQ(last().szTip.size(), 128u);
  EXPECT_EQ(last().szTip, std::string(128, 'x'));
}

TEST_F(TrayTest, ABalloonCarriesItsFieldsUntilCleared) {
  Plant({});
  sim.Start();
  App& app = sim.app();
  sim.Do([&] { ShowBalloonTip(app, main().hWnd(), kNiifWarning, "Title", "Take a break"); });
  EXPECT_EQ(last().uFlags, 31u);
  EXPECT_EQ(last().dwInfoFlags, kNiifWarning);
  EXPECT_EQ(ShownText(last().szInfoTitle), "Title");
  EXPECT_EQ(ShownText(last().szInfo), "Take a break");
  EXPECT_EQ(last().szInfo.size(), 256u);
  EXPECT_EQ(last().szInfoTitle.size(), 64u);
  EXPECT_TRUE(app.blnBalloonShowing);
  EXPECT_TRUE(sim.fake.loop.IsTimerRunning(main().Ctl("tmrBalloonTip")));
  // Any modify before the end repeats the balloon.
  sim.Do([&] { ModifyTrayIcon(app); });
  EXPECT_EQ(last().uFlags, 31u);
  EXPECT_EQ(ShownText(last().szInfo), "Take a break");
  sim.Do([&] { ClearBalloonTip(app, main().hWnd(), 0, "tip"); });
  EXPECT_EQ(last().uFlags, 7u);
  EXPECT_EQ(last().dwInfoFlags, 0u);
  EXPECT_EQ(ShownText(last().szInfo), "");
  EXPECT_EQ(ShownText(last().szTip), "tip");
  EXPECT_FALSE(app.blnBalloonShowing);
  EXPECT_FALSE(sim.fake.loop.IsTimerRunning(main().Ctl("tmrBalloonTip")));
}

TEST_F(TrayTest, BalloonSwitchReadsOnlyADword) {
  Plant({});
  sim.Start();
  const std::string key = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\";
  EXPECT_TRUE(BalloonTipsAllowedBySystem(sim.app()));
  sim.fake.registry.Plant(kHkeyCurrentUser, key, "EnableBalloonTips", kRegDword, {0, 0, 0, 0});
  EXPECT_FALSE(BalloonTipsAllowedBySystem(sim.app()));
  sim.fake.registry.PlantText(kHkeyCurrentUser, key, "EnableBalloonTips", "0");
  EXPECT_TRUE(BalloonTipsAllowedBySystem(sim.app()));
}

TEST_F(TrayTest, MessagesOtherThanTheCallbackPassOnUntouched) {
  Plant({});
  sim.Start();
  const size_t sentBefore = tray().sent.size();
  for (std::intptr_t ignored : {0x200, 0x201, 0x204, 0x402, 0x403, 0x7B, 0x400})
    EXPECT_EQ(Callback(ignored), 0);
  EXPECT_TRUE(tray().passedOn.empty()) << "callbacks are never passed on";
  EXPECT_EQ(tray().sent.size(), sentBefore);
  sim.Do([this] { tray().Deliver(main().hWnd(), 0x0F, 0, 0); });
  sim.Do([this] { tray().Deliver(main().hWnd() + 1, kTrayCallbackMessage, 0, kWmLButtonUp); });
  EXPECT_EQ(tray().passedOn, (std::vector<uint32_t>{0x0F, kTrayCallbackMessage}));
}

TEST_F(TrayTest, ALeftClickRestoresTheHiddenWindow) {
  Plant({});
  sim.Start();
  sim.Close("frmTimer");
  ASSERT_FALSE(main().visible());
  Callback(kWmLButtonUp);
  EXPECT_TRUE(main().visible());
  EXPECT_EQ(main().windowState(), WindowState::kNormal);
  EXPECT_EQ(sim.fake.windows.foreground.back(), main().hWnd());
}

TEST_F(TrayTest, ARightClickOpensTheTrayMenuWithUnwindleAsDefault) {
  Plant({});
  sim.Start();
  Callback(kWmRButtonUp);
  ASSERT_EQ(sim.fake.view.popups.size(), 1u);
  EXPECT_EQ(sim.fake.view.popups[0]->name(), "mPopupSys");
  EXPECT_TRUE(main().Ctl("mnuUnwindle").isDefault());
  sim.Click("frmTimer", "mnuStart");
  EXPECT_TRUE(TickRunning());
}

TEST_F(TrayTest, ClicksAreIgnoredWhileTheExitQuestionIsUp) {
  Plant({});
  sim.Start();
  sim.Close("frmTimer");
  sim.Click("frmTimer", "mPopExit");
  Callback(kWmLButtonUp);
  Callback(kWmRButtonUp);
  EXPECT_FALSE(main().visible());
  EXPECT_TRUE(sim.fake.view.popups.empty());
  sim.Answer(kIdNo);
  Callback(kWmLButtonUp);
  EXPECT_TRUE(main().visible());
}

TEST_F(TrayTest, ANewTaskbarGetsTheIconBack) {
  Plant({});
  sim.Start();
  tray().icons.clear();  // Explorer restarted
  sim.Do([this] { tray().Deliver(main().hWnd(), FakeNotificationArea::kTaskbarCreated, 0, 0); });
  EXPECT_EQ(tray().icons.size(), 1u);
  EXPECT_NE(std::string(ShownText(last().szTip)).find(" - Stopped"), std::string::npos);
}

}  // namespace
}  // namespace unw

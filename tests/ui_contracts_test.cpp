// The fake message box, system fonts, shell, tray, sound player and monitors keep the contracts
// of the real ones.
#include "backends/fake/fake_event_loop.h"
#include "backends/fake/fake_files.h"
#include "backends/fake/fake_shell.h"
#include "backends/fake/fake_system.h"
#include "message_contract.h"
#include "monitors_contract.h"
#include "shell_contract.h"
#include "sound_contract.h"
#include "system_fonts_contract.h"
#include "tray_contract.h"

namespace unw {
namespace {

// The fake box is answered as it opens; what it showed is what the user of the fake sees.
struct FakeMessageFixture : ::testing::Test {
  Dialogs& dialogs() { return fake; }
  void PressWhenShown(MessageAnswer button) {
    fake.autoAnswer = button;
    before = fake.shown.size();
  }
  ShownMessage Shown() {
    fake.autoAnswer = MessageAnswer::kNone;
    if (fake.shown.size() != before + 1) return {};
    const FakeDialogs::Box& box = fake.shown.back();
    return {true,     box.title,      box.text, box.Buttons(), box.EnterPresses(),
            box.icon, box.alwaysOnTop};
  }
  Trace trace{nullptr, ""};
  FakeEventLoop loop;
  FakeDialogs fake{trace, loop};
  size_t before = 0;
};
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, MessageContract, ::testing::Types<FakeMessageFixture>);

struct FakeFontsFixture : ::testing::Test {
  SystemMetrics& metrics() { return fake; }
  FakeSystemMetrics fake;
};
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, SystemFontsContract, ::testing::Types<FakeFontsFixture>);

struct FakeShellFixture : ::testing::Test {
  FakeShellFixture() { fake.systemInformation = true; }
  Shell& shell() { return fake; }
  std::string PageToOpen() { return "https://korvante.example/unwindle"; }
  Trace trace{nullptr, ""};
  FakeShell fake{trace};
};
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, ShellContract, ::testing::Types<FakeShellFixture>);

struct FakeTrayFixture : ::testing::Test {
  NotificationArea& tray() { return area; }
  std::uintptr_t window() { return 0x1234; }
  bool NoticesExpected() { return true; }
  void Click() { area.Raise(TrayEvent::kLeftClick); }
  void ClickNotice() { area.Raise(TrayEvent::kNoticeClicked); }
  void NoticeTimesOut() {}  // the fake has no such report to give

  Trace trace{nullptr, ""};
  FakeNotificationArea area{trace};
};
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, TrayContract, ::testing::Types<FakeTrayFixture>);

struct FakeSoundFixture : ::testing::Test {
  SoundPlayer& player() { return sound; }
  std::string KnownClip() { return "CHIMES"; }

  Trace trace{nullptr, ""};
  FakeEventLoop loop;
  FakeSoundPlayer sound{trace, loop};
};
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, SoundContract, ::testing::Types<FakeSoundFixture>);

// Two monitors side by side, as a test plants them.
struct FakeMonitorsFixture : ::testing::Test {
  FakeMonitorsFixture() { fake.monitors = {{0, 0, 1280, 800}, {1280, 0, 2304, 768}}; }
  WindowSystem& windows() { return fake; }
  void Settle() {}
  Trace trace{nullptr, ""};
  FakeWindowSystem fake{trace};
};
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, MonitorsContract, ::testing::Types<FakeMonitorsFixture>);

}  // namespace
}  // namespace unw

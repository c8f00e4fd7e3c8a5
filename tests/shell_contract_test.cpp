// The recorded tray and sound player keep the contracts of the real ones.
#include "backends/fake/fake_shell.h"
#include "sound_contract.h"
#include "tray_contract.h"

namespace unw {
namespace {

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

using TrayBackends = ::testing::Types<FakeTrayFixture>;
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, TrayContract, TrayBackends);

struct FakeSoundFixture : ::testing::Test {
  SoundPlayer& player() { return sound; }
  std::string KnownClip() { return "CHIMES"; }

  Trace trace{nullptr, ""};
  FakeEventLoop loop;
  FakeSoundPlayer sound{trace, loop};
};

using SoundBackends = ::testing::Types<FakeSoundFixture>;
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, SoundContract, SoundBackends);

}  // namespace
}  // namespace unw

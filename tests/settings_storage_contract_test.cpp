// The in-memory settings and start at sign-in keep the contracts of the real ones.
#include "backends/fake/fake_settings_storage.h"
#include "settings_storage_contract.h"
#include "startup_launch_contract.h"

namespace unw {
namespace {

struct FakeSettingsFixture : ::testing::Test {
  SettingsStorage& storage() { return settings; }
  StartupLaunch& launch() { return startup; }

  Trace trace{nullptr, ""};
  FakeSettingsStorage settings{trace};
  FakeStartupLaunch startup{trace};
};

using Backends = ::testing::Types<FakeSettingsFixture>;
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, SettingsStorageContract, Backends);
INSTANTIATE_TYPED_TEST_SUITE_P(Fake, StartupLaunchContract, Backends);

TEST(FakeSettingsStorage, RefusesWhatTheTestSaysItMay) {
  Trace trace{nullptr, ""};
  FakeSettingsStorage s{trace};
  ASSERT_EQ(s.Write("Hours", "3"), SettingStatus::kOk);
  s.SetReadOnly(true);
  std::string text;
  EXPECT_EQ(s.Read("Hours", text), SettingStatus::kOk);
  EXPECT_EQ(s.Write("Hours", "4"), SettingStatus::kDenied);
  EXPECT_EQ(s.Remove("Hours"), SettingStatus::kDenied);
  s.SetUnavailable(true);
  EXPECT_EQ(s.Read("Hours", text), SettingStatus::kDenied);
  EXPECT_EQ(text, "3");
}

}  // namespace
}  // namespace unw

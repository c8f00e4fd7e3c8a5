// What every back end must tell of the monitors: at least one, each a whole rectangle, none over
// another, the primary first with its top left at the desktop's origin, the same when asked
// again, and no change reported while nothing changed. Each back end's test instantiates this
// suite with a fixture that gives its WindowSystem and lets the system's messages arrive.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "platform/window_system.h"

namespace unw {

// A fixture provides: WindowSystem& windows(); void Settle() (lets pending notices arrive).
template <typename Fixture>
class MonitorsContract : public Fixture {};

TYPED_TEST_SUITE_P(MonitorsContract);

TYPED_TEST_P(MonitorsContract, EachMonitorIsWholeApartFromTheOthersWithThePrimaryFirst) {
  const std::vector<ScreenRect> monitors = this->windows().Monitors();
  ASSERT_FALSE(monitors.empty());
  EXPECT_EQ(monitors[0].left, 0);
  EXPECT_EQ(monitors[0].top, 0);
  for (size_t i = 0; i < monitors.size(); ++i) {
    const ScreenRect& a = monitors[i];
    EXPECT_GE(a.right - a.left, 320) << i;
    EXPECT_GE(a.bottom - a.top, 200) << i;
    for (size_t j = i + 1; j < monitors.size(); ++j) {
      const ScreenRect& b = monitors[j];
      const bool apart =
          a.right <= b.left || b.right <= a.left || a.bottom <= b.top || b.bottom <= a.top;
      EXPECT_TRUE(apart) << i << " and " << j;
    }
  }
}

TYPED_TEST_P(MonitorsContract, AskedAgainTheyAreTheSameAndNoChangeIsReported) {
  int changes = 0;
  this->windows().SubscribeMonitors([&changes] { ++changes; });
  const std::vector<ScreenRect> first = this->windows().Monitors();
  this->Settle();
  EXPECT_EQ(this->windows().Monitors(), first);
  EXPECT_EQ(changes, 0);
}

REGISTER_TYPED_TEST_SUITE_P(MonitorsContract,
                            EachMonitorIsWholeApartFromTheOthersWithThePrimaryFirst,
                            AskedAgainTheyAreTheSameAndNoChangeIsReported);

}  // namespace unw

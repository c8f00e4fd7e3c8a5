// What every back end of the start at sign-in must do. Each back end's test instantiates this
// suite with a fixture that gives one set not to start the program.
#pragma once

#include <gtest/gtest.h>

#include "platform/startup_launch.h"

namespace unw {

// A fixture provides: StartupLaunch& launch();
template <typename Fixture>
class StartupLaunchContract : public Fixture {};

TYPED_TEST_SUITE_P(StartupLaunchContract);

TYPED_TEST_P(StartupLaunchContract, OnOnlyFromTurningOnToTurningOff) {
  StartupLaunch& l = this->launch();
  EXPECT_FALSE(l.IsOn());
  EXPECT_TRUE(l.TurnOff()) << "turning off what is off is no failure";
  EXPECT_FALSE(l.IsOn());
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(l.TurnOn());
    EXPECT_TRUE(l.IsOn());
  }
  for (int i = 0; i < 2; ++i) {
    ASSERT_TRUE(l.TurnOff());
    EXPECT_FALSE(l.IsOn());
  }
}

REGISTER_TYPED_TEST_SUITE_P(StartupLaunchContract, OnOnlyFromTurningOnToTurningOff);

}  // namespace unw

// What every back end's appearance must do: read the user's light or dark choice for apps as it
// stands, hear when the user changes it, and keep one watcher. Each back end's test instantiates
// this suite with a fixture that gives its Appearance, changes the user's setting as the system's
// own settings page would (UserSets) and lets the system's notice arrive (Settle).
#pragma once

#include <gtest/gtest.h>

#include "platform/appearance.h"

namespace unw {

// A fixture provides: Appearance& appearance(); void UserSets(bool appsDark); void Settle().
template <typename Fixture>
class AppearanceContract : public Fixture {};

TYPED_TEST_SUITE_P(AppearanceContract);

TYPED_TEST_P(AppearanceContract, ReadsTheUsersChoiceEachWay) {
  for (const bool dark : {true, false, true, false}) {
    this->UserSets(dark);
    this->Settle();
    EXPECT_EQ(this->appearance().Read().appsDark, dark) << (dark ? "set dark" : "set light");
  }
}

TYPED_TEST_P(AppearanceContract, AChangeIsHeardAndReadAfterwards) {
  this->UserSets(false);
  this->Settle();
  int heard = 0;
  bool darkWhenHeard = false;
  this->appearance().Watch([&] {
    ++heard;
    darkWhenHeard = this->appearance().Read().appsDark;
  });
  this->UserSets(true);
  this->Settle();
  EXPECT_GE(heard, 1);
  EXPECT_TRUE(darkWhenHeard) << "the watcher reads the new choice";
  heard = 0;
  this->UserSets(false);
  this->Settle();
  EXPECT_GE(heard, 1);
  EXPECT_FALSE(darkWhenHeard);
}

TYPED_TEST_P(AppearanceContract, ASecondWatcherReplacesTheFirst) {
  int first = 0, second = 0;
  this->appearance().Watch([&] { ++first; });
  this->appearance().Watch([&] { ++second; });
  this->UserSets(true);
  this->Settle();
  this->UserSets(false);
  this->Settle();
  EXPECT_EQ(first, 0);
  EXPECT_GE(second, 2);
}

REGISTER_TYPED_TEST_SUITE_P(AppearanceContract, ReadsTheUsersChoiceEachWay,
                            AChangeIsHeardAndReadAfterwards, ASecondWatcherReplacesTheFirst);

}  // namespace unw

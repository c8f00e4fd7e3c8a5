// What every back end's shell must do: say whether the System Information tool could start,
// the same each time it is asked, and offer one that starts, return from opening a web page, and
// read the program's version or leave it alone. Each back end's test instantiates this suite with a
// fixture that gives its Shell and a web page it may open.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/shell.h"

namespace unw {

// A fixture provides: Shell& shell(); std::string PageToOpen().
template <typename Fixture>
class ShellContract : public Fixture {};

TYPED_TEST_SUITE_P(ShellContract);

TYPED_TEST_P(ShellContract, SystemInformationSaysWhetherItStarted) {
  const bool there = this->shell().OpenSystemInformation();
  EXPECT_EQ(this->shell().OpenSystemInformation(), there) << "asked again";
  EXPECT_TRUE(!there || this->shell().HasSystemInformation()) << "a tool that starts is offered";
}

TYPED_TEST_P(ShellContract, OpeningAWebPageReturns) {
  // Whether a browser takes it depends on the machine; the call comes back either way.
  this->shell().OpenWebPage(0, this->PageToOpen());
  SUCCEED();
}

TYPED_TEST_P(ShellContract, TheProgramsVersionIsReadableOrLeftAlone) {
  int major = -1, minor = -1;
  if (this->shell().ProgramVersion(major, minor)) {
    EXPECT_GE(major, 0);
    EXPECT_GE(minor, 0);
  } else {
    EXPECT_EQ(major, -1) << "left as it was";
    EXPECT_EQ(minor, -1);
  }
}

REGISTER_TYPED_TEST_SUITE_P(ShellContract, SystemInformationSaysWhetherItStarted,
                            OpeningAWebPageReturns, TheProgramsVersionIsReadableOrLeftAlone);

}  // namespace unw

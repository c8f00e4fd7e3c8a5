// Whether the program starts when the user signs in. Where the system keeps that, and the
// command that starts the program, are the back end's business.
#pragma once

namespace unw {

class StartupLaunch {
 public:
  virtual ~StartupLaunch() = default;
  // The program starts at sign-in from now on; false when the system refused.
  virtual bool TurnOn() = 0;
  // It no longer does; turning off what is off is no failure. False when the system refused.
  virtual bool TurnOff() = 0;
  // Whether the system is set to start it.
  virtual bool IsOn() = 0;
};

}  // namespace unw

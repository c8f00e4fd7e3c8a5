// A stand-in for the person and the machine: the test says when the user goes away and comes
// back, when the last input was, whether a full-screen program is in front, a call is on or the
// system is set not to disturb, which programs run, and where the pointer is.
#pragma once

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "platform/presence.h"
#include "platform/trace.h"

namespace unw {

class FakeEventLoop;

class FakePresence : public Presence {
 public:
  explicit FakePresence(FakeEventLoop& loop) : loop_(loop) {}
  void Subscribe(std::function<void(bool away, AwayReason reason)> sink) override {
    sink_ = std::move(sink);
  }
  int64_t WallMs() override;  // the virtual clock, which goes on while the machine sleeps
  int64_t IdleMs() override;
  bool FullScreenInFront() override { return fullScreen && CanTell(BusySign::kFullScreen); }
  bool CallOn() override;
  bool DoNotDisturb() override;
  std::string FirstRunning(const std::vector<std::string>& names) override;
  std::vector<std::string> RunningPrograms() override;
  // The fake stands for Windows: programs are .exe files.
  std::string ProgramFileSuffix() override { return ".exe"; }
  ScreenRect PointerWorkArea() override;
  bool CanTell(BusySign sign) override { return !blind.count(sign); }

  // The user (or the machine) goes away or comes back.
  void Raise(bool away, AwayReason reason) {
    if (sink_) sink_(away, reason);
  }
  // The user touched the keyboard or the mouse now.
  void Input();
  // The signs this system cannot tell: their questions answer no, whatever the test set.
  std::set<BusySign> blind;
  bool fullScreen = false;
  bool camera = false, microphone = false;
  bool doNotDisturb = false;
  // The file names of the programs running in the user's session, as the system spells them; a
  // name may run more than once.
  std::vector<std::string> programs;
  // How often the program asked about a call, quiet time or its programs: what holding costs.
  int looks = 0;
  // The monitors' work areas (the first is the primary) and the pointer.
  std::vector<ScreenRect> monitors = {{0, 0, 1920, 1040}};
  int pointerX = 960, pointerY = 500;

 private:
  FakeEventLoop& loop_;
  std::function<void(bool, AwayReason)> sink_;
  int64_t lastInput_ = 0;
};

}  // namespace unw

// A stand-in for the person and the machine: the test says when the user goes away and comes
// back, when the last input was, whether a full-screen program is in front, and where the
// pointer is.
#pragma once

#include <functional>
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
  bool FullScreenInFront() override { return fullScreen; }
  ScreenRect PointerWorkArea() override;

  // The user (or the machine) goes away or comes back.
  void Raise(bool away, AwayReason reason) {
    if (sink_) sink_(away, reason);
  }
  // The user touched the keyboard or the mouse now.
  void Input();
  bool fullScreen = false;
  // The monitors' work areas (the first is the primary) and the pointer.
  std::vector<ScreenRect> monitors = {{0, 0, 1920, 1040}};
  int pointerX = 960, pointerY = 500;

 private:
  FakeEventLoop& loop_;
  std::function<void(bool, AwayReason)> sink_;
  int64_t lastInput_ = 0;
};

}  // namespace unw

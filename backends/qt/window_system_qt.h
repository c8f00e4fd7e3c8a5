// The window manager's side of the program's windows: above the others, to the front, the task
// bar entry, and the monitors from QScreen (primary first) with word when they change.
#pragma once

#include <functional>
#include <vector>

#include "platform/trace.h"

class QScreen;
#include "platform/window_system.h"

namespace unw {

class QtFormView;

class QtWindowSystem : public WindowSystem {
 public:
  QtWindowSystem(Trace& trace, QtFormView& view);
  long SetTopMost(std::uintptr_t window, bool topMost) override;
  void SetTaskVisible(bool visible) override;
  long SetForegroundWindow(std::uintptr_t window) override;
  std::vector<ScreenRect> Monitors() override;
  void SubscribeMonitors(std::function<void()> changed) override;

 private:
  void WatchScreen(QScreen* screen);

  Trace& trace_;
  QtFormView& view_;
  std::function<void()> changed_;
  bool watching_ = false;
};

}  // namespace unw

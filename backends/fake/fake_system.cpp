#include "backends/fake/fake_system.h"

#include <algorithm>

#include "backends/fake/fake_event_loop.h"

namespace unw {

long FakeWindowSystem::SetTopMost(std::uintptr_t window, bool on) {
  topMost.emplace_back(window, on);
  trace_.Line("window.zorder", {std::to_string(window), on ? "topmost" : "notopmost", "3"});
  return 1;
}

void FakeWindowSystem::SetTaskVisible(bool visible) {
  taskVisible = visible;
  taskVisibleCalls.push_back(visible);
  trace_.Line("task.visible", {visible ? "1" : "0"});
}

long FakeWindowSystem::SetForegroundWindow(std::uintptr_t window) {
  foreground.push_back(window);
  trace_.Line("window.foreground", {std::to_string(window)});
  return 1;
}

long FakeWorkstation::LockWorkStation() {
  ++locks;
  trace_.Line("lock", {std::to_string(lockResult)});
  return lockResult;
}

void FakeWorkstation::StartScreenSaver(std::uintptr_t window) {
  screenSavers.push_back(window);
  trace_.Line("screensaver", {std::to_string(window)});
}

int FakeDialogs::ShowMessageBox(std::uintptr_t /*owner*/, const std::string& text,
                                const std::string& title, int style) {
  Box box{text, title, style, autoAnswer};
  trace_.Line("msgbox.open", {text, title, std::to_string(style)});
  open.push_back(&box);
  loop_.RunUntil([&box] { return box.answer != 0; });
  std::erase(open, &box);
  shown.push_back(box);
  trace_.Line("msgbox", {text, title, std::to_string(style), std::to_string(box.answer)});
  return box.answer;
}

}  // namespace unw

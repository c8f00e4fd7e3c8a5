#include "platform/fake/fake_system.h"

#include <algorithm>

#include "platform/fake/fake_event_loop.h"

namespace unw {

long FakeWindowSystem::SetWindowPos(std::uintptr_t hwnd, std::intptr_t insertAfter, int x, int y,
                                    int cx, int cy, uint32_t flags) {
  setWindowPos.push_back({hwnd, insertAfter, x, y, cx, cy, flags});
  trace_.Line("window.zorder", {std::to_string(hwnd),
                                insertAfter == kHwndTopMost     ? "topmost"
                                : insertAfter == kHwndNoTopMost ? "notopmost"
                                                                : "other",
                                std::to_string(flags)});
  return 1;
}

void FakeWindowSystem::SetTaskVisible(bool visible) {
  taskVisible = visible;
  taskVisibleCalls.push_back(visible);
  trace_.Line("task.visible", {visible ? "1" : "0"});
}

long FakeWindowSystem::SetForegroundWindow(std::uintptr_t hwnd) {
  foreground.push_back(hwnd);
  trace_.Line("window.foreground", {std::to_string(hwnd)});
  return 1;
}

long FakeWindowSystem::PostMsg(std::uintptr_t hwnd, uint32_t msg, std::uintptr_t wParam,
                               std::intptr_t lParam) {
  posted.push_back({hwnd, msg, wParam, lParam});
  trace_.Line("window.post", {std::to_string(hwnd), std::to_string(msg), std::to_string(wParam),
                              std::to_string(lParam)});
  return 1;
}

std::intptr_t FakeWindowSystem::SendMsg(std::uintptr_t hwnd, uint32_t msg, std::uintptr_t wParam,
                                        std::intptr_t lParam) {
  sentMessages.push_back({hwnd, msg, wParam, lParam});
  trace_.Line("window.send", {std::to_string(hwnd), std::to_string(msg), std::to_string(wParam),
                              std::to_string(lParam)});
  return 0;
}

long FakeWorkstation::LockWorkStation() {
  ++locks;
  trace_.Line("lock", {std::to_string(lockResult)});
  return lockResult;
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

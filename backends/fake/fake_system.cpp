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

namespace {

const char* Word(MessageAnswer a) {
  switch (a) {
    case MessageAnswer::kOk:
      return "ok";
    case MessageAnswer::kYes:
      return "yes";
    case MessageAnswer::kNo:
      return "no";
    case MessageAnswer::kNone:
      break;
  }
  return "none";
}

}  // namespace

std::vector<MessageAnswer> FakeDialogs::Box::Buttons() const {
  if (buttons == MessageButtons::kYesNo) return {MessageAnswer::kYes, MessageAnswer::kNo};
  return {MessageAnswer::kOk};
}

MessageAnswer FakeDialogs::Box::EnterPresses() const {
  const std::vector<MessageAnswer> offered = Buttons();
  return std::find(offered.begin(), offered.end(), defaultButton) != offered.end()
             ? defaultButton
             : offered.front();
}

MessageAnswer FakeDialogs::ShowMessage(std::uintptr_t /*owner*/, const Message& message) {
  Box box{message, autoAnswer};
  std::string buttons;
  for (MessageAnswer b : box.Buttons())
    buttons += std::string(buttons.empty() ? "" : "/") + Word(b);
  trace_.Line("msgbox.open", {message.text, message.title, buttons});
  open.push_back(&box);
  loop_.RunUntil([&box] { return box.answer != MessageAnswer::kNone; });
  std::erase(open, &box);
  shown.push_back(box);
  trace_.Line("msgbox", {message.text, message.title, buttons, Word(box.answer)});
  return box.answer;
}

}  // namespace unw

// Recorded stand-ins for the window manager, the workstation and the
// message box.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <functional>

#include "platform/appearance.h"
#include "platform/dialogs.h"
#include "platform/window_system.h"
#include "platform/workstation.h"
#include "platform/trace.h"

namespace unw {

class FakeEventLoop;

class FakeWindowSystem : public WindowSystem {
 public:
  explicit FakeWindowSystem(Trace& trace) : trace_(trace) {}
  long SetTopMost(std::uintptr_t window, bool topMost) override;
  void SetTaskVisible(bool visible) override;
  long SetForegroundWindow(std::uintptr_t window) override;
  std::vector<ScreenRect> Monitors() override { return monitors; }
  void SubscribeMonitors(std::function<void()> changed) override {
    monitorsChanged = std::move(changed);
  }
  // The monitors change: the system tells the program (`told`), or says nothing.
  void SetMonitors(std::vector<ScreenRect> rects, bool told = true) {
    monitors = std::move(rects);
    if (told && monitorsChanged) monitorsChanged();
  }

  std::vector<ScreenRect> monitors = {{0, 0, 1920, 1080}};
  std::function<void()> monitorsChanged;
  // Every stacking-order change asked for: (window, topmost).
  std::vector<std::pair<std::uintptr_t, bool>> topMost;
  bool taskVisible = true;
  std::vector<bool> taskVisibleCalls;
  std::vector<std::uintptr_t> foreground;

 private:
  Trace& trace_;
};

// The system's light or dark mode and high contrast, as the test sets them.
class FakeAppearance : public Appearance {
 public:
  SystemAppearance Read() override { return now; }
  void Watch(std::function<void()> changed) override { watcher_ = std::move(changed); }
  // The user changes the system's setting: the watcher hears of it, as from the system.
  void Change(SystemAppearance to) {
    now = to;
    if (watcher_) watcher_();
  }
  SystemAppearance now;

 private:
  std::function<void()> watcher_;
};

class FakeWorkstation : public Workstation {
 public:
  explicit FakeWorkstation(Trace& trace) : trace_(trace) {}
  long LockWorkStation() override;
  void StartScreenSaver(std::uintptr_t window) override;
  unsigned GetCaretBlinkTime() override { return caretBlinkTime; }
  std::string AppPath() override { return appPath; }
  std::string AppExeName() override { return exeName; }
  bool CanLock() override { return canLock; }
  bool CanStartScreenSaver() override { return canStartScreenSaver; }

  int locks = 0;
  // Windows the screen saver was asked for through.
  std::vector<std::uintptr_t> screenSavers;
  long lockResult = 1;
  // Whether the system has a locker and a screen saver.
  bool canLock = true, canStartScreenSaver = true;
  unsigned caretBlinkTime = 530;
  std::string appPath = "C:\\Program Files\\KORVANTE\\Unwindle";
  std::string exeName = "Unwindle";

 private:
  Trace& trace_;
};

// Message boxes wait in a modal loop for the test's answer.
class FakeDialogs : public Dialogs {
 public:
  FakeDialogs(Trace& trace, FakeEventLoop& loop) : trace_(trace), loop_(loop) {}
  MessageAnswer ShowMessage(std::uintptr_t owner, const Message& message) override;

  struct Box : Message {
    MessageAnswer answer = MessageAnswer::kNone;
    // The buttons the user sees, in their order, and the one Enter presses.
    std::vector<MessageAnswer> Buttons() const;
    MessageAnswer EnterPresses() const;
  };
  // Open boxes, innermost last.
  std::vector<Box*> open;
  // Every box shown, with its answer once given.
  std::vector<Box> shown;
  // Answers every box at once with this unless kNone (for long random runs).
  MessageAnswer autoAnswer = MessageAnswer::kNone;

 private:
  Trace& trace_;
  FakeEventLoop& loop_;
};

}  // namespace unw

// Recorded stand-ins for the window manager, the workstation and the
// message box.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/window_system.h"
#include "platform/workstation.h"
#include "platform/trace.h"

namespace unw {

class FakeEventLoop;

class FakeWindowSystem : public WindowSystem {
 public:
  explicit FakeWindowSystem(Trace& trace) : trace_(trace) {}
  struct SetWindowPosCall {
    std::uintptr_t hwnd;
    std::intptr_t insertAfter;
    int x, y, cx, cy;
    uint32_t flags;
  };
  long SetWindowPos(std::uintptr_t hwnd, std::intptr_t insertAfter, int x, int y, int cx, int cy,
                    uint32_t flags) override;
  void SetTaskVisible(bool visible) override;
  long SetForegroundWindow(std::uintptr_t hwnd) override;
  long PostMsg(std::uintptr_t hwnd, uint32_t msg, std::uintptr_t wParam,
               std::intptr_t lParam) override;
  std::intptr_t SendMsg(std::uintptr_t hwnd, uint32_t msg, std::uintptr_t wParam,
                        std::intptr_t lParam) override;

  std::vector<SetWindowPosCall> setWindowPos;
  bool taskVisible = true;
  std::vector<bool> taskVisibleCalls;
  std::vector<std::uintptr_t> foreground;
  struct Posted {
    std::uintptr_t hwnd;
    uint32_t msg;
    std::uintptr_t wParam;
    std::intptr_t lParam;
  };
  std::vector<Posted> posted;
  std::vector<Posted> sentMessages;

 private:
  Trace& trace_;
};

class FakeWorkstation : public Workstation {
 public:
  explicit FakeWorkstation(Trace& trace) : trace_(trace) {}
  long LockWorkStation() override;
  unsigned GetCaretBlinkTime() override { return caretBlinkTime; }
  std::string AppPath() override { return appPath; }
  std::string AppExeName() override { return exeName; }

  int locks = 0;
  long lockResult = 1;
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
  int ShowMessageBox(std::uintptr_t owner, const std::string& text, const std::string& title,
                     int style) override;

  struct Box {
    std::string text, title;
    int style = 0;
    int answer = 0;
  };
  // Open boxes, innermost last.
  std::vector<Box*> open;
  // Every box shown, with its answer once given.
  std::vector<Box> shown;
  // Answers every box at once with this when non-zero (for long random runs).
  int autoAnswer = 0;

 private:
  Trace& trace_;
  FakeEventLoop& loop_;
};

}  // namespace unw

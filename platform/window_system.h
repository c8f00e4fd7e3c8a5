// Window-manager calls the program makes on its windows.
#pragma once

#include <cstdint>

namespace unw {

inline constexpr std::intptr_t kHwndTopMost = -1;
inline constexpr std::intptr_t kHwndNoTopMost = -2;
inline constexpr uint32_t kSwpNoSize = 0x1;
inline constexpr uint32_t kSwpNoMove = 0x2;

class WindowSystem {
 public:
  virtual ~WindowSystem() = default;
  // As SetWindowPos; returns non-zero on success.
  virtual long SetWindowPos(std::uintptr_t hwnd, std::intptr_t insertAfter, int x, int y, int cx,
                            int cy, uint32_t flags) = 0;
  // Whether the program has an entry in the task bar and the window switcher.
  virtual void SetTaskVisible(bool visible) = 0;
  // Brings a window to the front; returns non-zero on success.
  virtual long SetForegroundWindow(std::uintptr_t hwnd) = 0;
  // Sends a message to a window and returns its answer (SendMessage).
  virtual std::intptr_t SendMsg(std::uintptr_t hwnd, uint32_t msg, std::uintptr_t wParam,
                                std::intptr_t lParam) = 0;
  // Posts a message to a window; returns non-zero on success.
  virtual long PostMsg(std::uintptr_t hwnd, uint32_t msg, std::uintptr_t wParam,
                       std::intptr_t lParam) = 0;
};

}  // namespace unw

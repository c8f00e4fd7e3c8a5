// The task bar button of a visible window, through the shell's ITaskbarList.
#pragma once

#include <windows.h>

namespace unw::win32 {

// Adds or removes the button; failures (no shell, no COM) are ignored.
void SetTaskbarTab(HWND hwnd, bool present);

}  // namespace unw::win32

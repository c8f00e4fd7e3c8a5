// The user's light or dark mode for apps (the Personalize key's AppsUseLightTheme) and the
// high-contrast switch, and a hidden top-level window that hears the system announce a change.
#pragma once

#include <windows.h>

#include <functional>

#include "backends/win32/window_life.h"
#include "platform/appearance.h"
#include "platform/trace.h"

namespace unw {

inline constexpr wchar_t kAppearanceWindowClass[] = L"Unwindle.Appearance";

class Win32Appearance : public Appearance {
 public:
  explicit Win32Appearance(Trace& trace) : trace_(trace) {}
  ~Win32Appearance() override = default;
  Win32Appearance(const Win32Appearance&) = delete;
  Win32Appearance& operator=(const Win32Appearance&) = delete;

  SystemAppearance Read() override;
  void Watch(std::function<void()> changed) override;

  // Whether a message to a top-level window may mean the appearance changed.
  static bool MayChangeAppearance(UINT msg);

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  Trace& trace_;
  std::function<void()> changed_;
  win32::ListeningWindow window_;
};

}  // namespace unw

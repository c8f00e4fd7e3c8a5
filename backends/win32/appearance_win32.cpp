#include "backends/win32/appearance_win32.h"

#include "backends/win32/window_life.h"

namespace unw {

namespace {

constexpr wchar_t kPersonalizeKey[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Themes\\Personalize";

}  // namespace

SystemAppearance Win32Appearance::Read() {
  SystemAppearance now;
  // Missing (before Windows 10, or never set) is light, as the system then draws apps.
  DWORD light = 1, size = sizeof light;
  if (RegGetValueW(HKEY_CURRENT_USER, kPersonalizeKey, L"AppsUseLightTheme", RRF_RT_REG_DWORD,
                   nullptr, &light, &size) == ERROR_SUCCESS)
    now.appsDark = light == 0;
  HIGHCONTRASTW hc = {};
  hc.cbSize = sizeof hc;
  if (SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof hc, &hc, 0))
    now.highContrast = (hc.dwFlags & HCF_HIGHCONTRASTON) != 0;
  return now;
}

bool Win32Appearance::MayChangeAppearance(UINT msg) {
  // The settings page announces a light or dark choice as WM_SETTINGCHANGE "ImmersiveColorSet",
  // high contrast as WM_SETTINGCHANGE SPI_SETHIGHCONTRAST with WM_SYSCOLORCHANGE and
  // WM_THEMECHANGED. Any WM_SETTINGCHANGE is taken: a reading costs little, and the text another
  // program's message points to is never read.
  return msg == WM_SETTINGCHANGE || msg == WM_SYSCOLORCHANGE || msg == WM_THEMECHANGED;
}

void Win32Appearance::Watch(std::function<void()> changed) {
  changed_ = std::move(changed);
  // A top-level window, never shown: broadcasts do not reach message-only windows.
  const bool listening = window_.Open(kAppearanceWindowClass, WndProc, this);
  trace_.Line("appearance.listen", {listening ? "1" : "0"});
}

LRESULT CALLBACK Win32Appearance::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  Win32Appearance* self = nullptr;
  if (win32::AnswerLife(hwnd, msg, wParam, lParam, result, self)) return result;
  if (self && MayChangeAppearance(msg) && self->changed_) {
    // Held in a copy: the watcher may replace itself.
    const std::function<void()> changed = self->changed_;
    changed();
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace unw

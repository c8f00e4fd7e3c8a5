#include "backends/win32/win32_util.h"

#include "backends/win32/scoped.h"
#include "backends/win32/wide_text.h"

namespace unw::win32 {

namespace {

// Resolved at run time: the calls exist only from Windows 10 (1607) on, and
// the program must still start on older systems.
template <typename Fn>
Fn User32Proc(const char* name) {
  static HMODULE user32 = GetModuleHandleW(L"user32.dll");
  if (!user32) return nullptr;
  return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(GetProcAddress(user32, name)));
}

}  // namespace

std::string WindowText(HWND hwnd) {
  int n = GetWindowTextLengthW(hwnd);
  if (n <= 0) return {};
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  n = GetWindowTextW(hwnd, text.data(), n + 1);
  text.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return Utf8(text);
}

std::wstring ProgramFile() {
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return {};
    // A full buffer may mean the name was cut: grow and ask again.
    if (n < buf.size()) {
      buf.resize(n);
      return buf;
    }
    buf.resize(buf.size() * 2);
  }
}

UINT ScreenDpi() {
  ScopedGetDC dc(nullptr);
  const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
  return dpi > 0 ? static_cast<UINT>(dpi) : 96;
}

UINT DpiOf(HWND hwnd) {
  using Fn = UINT(WINAPI*)(HWND);
  static Fn getDpiForWindow = User32Proc<Fn>("GetDpiForWindow");
  if (getDpiForWindow && hwnd) {
    UINT dpi = getDpiForWindow(hwnd);
    if (dpi) return dpi;
  }
  return ScreenDpi();
}

bool WindowDpiKnown() {
  return User32Proc<UINT(WINAPI*)(HWND)>("GetDpiForWindow") != nullptr;
}

int SystemMetricForDpi(int index, UINT dpi) {
  using Fn = int(WINAPI*)(int, UINT);
  static Fn getForDpi = User32Proc<Fn>("GetSystemMetricsForDpi");
  if (getForDpi && dpi) return getForDpi(index, dpi);
  return GetSystemMetrics(index);
}

void AdjustRectForDpi(RECT& rc, DWORD style, bool menu, DWORD exStyle, UINT dpi) {
  using Fn = BOOL(WINAPI*)(LPRECT, DWORD, BOOL, DWORD, UINT);
  static Fn adjustForDpi = User32Proc<Fn>("AdjustWindowRectExForDpi");
  if (adjustForDpi && adjustForDpi(&rc, style, menu, exStyle, dpi)) return;
  AdjustWindowRectEx(&rc, style, menu, exStyle);
}

}  // namespace unw::win32

#include "platform/win32/notification_area_win32.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "platform/win32/form_view_win32.h"
#include "platform/win32/icons_win32.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_util.h"

namespace unw {

namespace {

// The record's size in the wide layout that has the same fields as the
// 8-bit layout the core chose. A size of no layout gets the first fields
// only, as the shell itself treats it.
DWORD WideLayoutSize(uint32_t size) {
  switch (size) {
    case NOTIFYICONDATAA_V1_SIZE:
      return NOTIFYICONDATAW_V1_SIZE;
    case NOTIFYICONDATAA_V2_SIZE:
      return NOTIFYICONDATAW_V2_SIZE;
    case NOTIFYICONDATAA_V3_SIZE:
      return NOTIFYICONDATAW_V3_SIZE;
    case sizeof(NOTIFYICONDATAA):
      return sizeof(NOTIFYICONDATAW);
    default:
      return NOTIFYICONDATAW_V1_SIZE;
  }
}

// One subclassed window: the core's procedure and the one it replaced.
struct Hook {
  WindowProc proc;
  WNDPROC previous = nullptr;
};

// Hooked windows of the program (all on its user-interface thread). Kept
// out of the window's user data, which belongs to the form window; shared,
// so that a hook removed by its own message lives until that message has
// been handled.
std::map<HWND, std::shared_ptr<Hook>>& Hooks() {
  static std::map<HWND, std::shared_ptr<Hook>> hooks;
  return hooks;
}

}  // namespace

Win32NotificationArea::Win32NotificationArea(Trace& trace, Win32FormView& view)
    : trace_(trace), view_(view), taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")) {}

Win32NotificationArea::~Win32NotificationArea() {
  // Windows still hooked get their own procedure back before the program's
  // objects behind the hook go away.
  for (auto& [hwnd, hook] : Hooks()) {
    if (IsWindow(hwnd))
      SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hook->previous));
  }
  Hooks().clear();
}

long Win32NotificationArea::NotifyIcon(uint32_t message, const TrayIconData& data) {
  NOTIFYICONDATAW nid;
  std::memset(&nid, 0, sizeof nid);
  // The layout the shell reads is the one cbSize names; the rest of our
  // larger structure (guidItem, hBalloonIcon) stays zero.
  nid.cbSize = WideLayoutSize(data.cbSize);
  nid.hWnd = win32::AsHwnd(data.hWnd);
  nid.uID = data.uID;
  nid.uFlags = data.uFlags;
  nid.uCallbackMessage = data.uCallbackMessage;
  nid.hIcon = reinterpret_cast<HICON>(data.hIcon);
  // The first layout's tip is half as long; every text ends with its NUL inside its field.
  const size_t tipChars = nid.cbSize == NOTIFYICONDATAW_V1_SIZE ? 64 : std::size(nid.szTip);
  win32::CopyToField(data.szTip, nid.szTip, tipChars);
  nid.dwState = data.dwState;
  nid.dwStateMask = data.dwStateMask;
  win32::CopyToField(data.szInfo, nid.szInfo);
  nid.uVersion = data.uTimeout;
  win32::CopyToField(data.szInfoTitle, nid.szInfoTitle);
  nid.dwInfoFlags = data.dwInfoFlags;
  const long ok = Shell_NotifyIconW(message, &nid) ? 1 : 0;
  trace_.Line("tray." + std::string(NotifyMessageName(message)),
              {std::to_string(data.cbSize), std::to_string(data.uFlags), std::to_string(data.hIcon),
               std::string(ShownText(data.szTip)), std::string(ShownText(data.szInfoTitle)),
               std::string(ShownText(data.szInfo)), std::to_string(data.dwInfoFlags)});
  return ok;
}

bool Win32NotificationArea::ShellFileVersionMS(uint32_t& versionMS) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(L"shell32.dll", &handle);
  if (size == 0) return false;
  std::vector<BYTE> buffer(size);
  if (!GetFileVersionInfoW(L"shell32.dll", 0, size, buffer.data())) return false;
  void* block = nullptr;
  UINT length = 0;
  if (VerQueryValueW(buffer.data(), L"\\", &block, &length) != 1) return false;
  if (!block || length < sizeof(VS_FIXEDFILEINFO)) return false;
  versionMS = static_cast<const VS_FIXEDFILEINFO*>(block)->dwFileVersionMS;
  return true;
}

LRESULT CALLBACK Win32NotificationArea::HookProc(HWND hwnd, UINT msg, WPARAM wParam,
                                                 LPARAM lParam) {
  auto it = Hooks().find(hwnd);
  if (it == Hooks().end()) return DefWindowProcA(hwnd, msg, wParam, lParam);
  // Held for the call: the core may unhook the window while handling it.
  std::shared_ptr<Hook> hook = it->second;
  const LRESULT result = hook->proc(win32::AsHandle(hwnd), msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    // The window is gone without being unhooked: forget it, so that a new
    // window with the same handle starts clean.
    auto again = Hooks().find(hwnd);
    if (again != Hooks().end() && again->second == hook) Hooks().erase(again);
  }
  return result;
}

std::uintptr_t Win32NotificationArea::HookWindow(std::uintptr_t hwnd, WindowProc proc) {
  HWND h = win32::AsHwnd(hwnd);
  if (!IsWindow(h) || !proc) return 0;
  auto& hooks = Hooks();
  auto hook = std::make_shared<Hook>();
  hook->proc = std::move(proc);
  auto it = hooks.find(h);
  if (it != hooks.end()) {
    // Hooked already: the new procedure takes the old one's place and passes
    // on to the window's own procedure, never to our hook (that would loop).
    // A new record, as the old procedure may be running right now.
    hook->previous = it->second->previous;
    it->second = std::move(hook);
    return reinterpret_cast<std::uintptr_t>(it->second->previous);
  }
  SetLastError(0);
  const LONG_PTR previous = SetWindowLongPtrA(
      h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32NotificationArea::HookProc));
  if (previous == 0 && GetLastError() != 0) return 0;
  hook->previous = reinterpret_cast<WNDPROC>(previous);
  hooks[h] = std::move(hook);
  return static_cast<std::uintptr_t>(previous);
}

void Win32NotificationArea::UnhookWindow(std::uintptr_t hwnd, std::uintptr_t previous) {
  HWND h = win32::AsHwnd(hwnd);
  if (IsWindow(h)) SetWindowLongPtrA(h, GWLP_WNDPROC, static_cast<LONG_PTR>(previous));
  Hooks().erase(h);
}

std::intptr_t Win32NotificationArea::CallPrevious(std::uintptr_t previous, std::uintptr_t hwnd,
                                                  uint32_t msg, std::uintptr_t wParam,
                                                  std::intptr_t lParam) {
  HWND h = win32::AsHwnd(hwnd);
  // Nothing saved to pass on to: the system's default handling at least.
  if (previous == 0) return DefWindowProcA(h, msg, wParam, lParam);
  return CallWindowProcA(reinterpret_cast<WNDPROC>(previous), h, msg, wParam, lParam);
}

int Win32NotificationArea::TrayIconSize(UINT dpi) {
  const int size = win32::SystemMetricForDpi(SM_CXSMICON, dpi);
  // The pictures are drawn from 16 to 64 pixels; the shell scales beyond that.
  return size < 16 ? 16 : (size > 64 ? 64 : size);
}

std::uintptr_t Win32NotificationArea::IconHandle(int set, int element) {
  const int size = TrayIconSize(win32::DpiOf(view_.MainWindow()));
  const auto key = std::make_tuple(set, element, size);
  auto it = icons_.find(key);
  if (it == icons_.end()) it = icons_.emplace(key, win32::RenderIcon(set, element, size)).first;
  return reinterpret_cast<std::uintptr_t>(it->second.get());
}

}  // namespace unw

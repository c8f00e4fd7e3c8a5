#include "backends/win32/notification_area_win32.h"

#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "backends/win32/form_view_win32.h"
#include "backends/win32/icons_win32.h"
#include "backends/win32/wide_text.h"
#include "backends/win32/win32_util.h"

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

// One subclassed window: where its icon's events go, and the procedure replaced.
struct Hook {
  std::function<void(TrayEvent)> sink;
  WNDPROC previous = nullptr;
};

// Registered once: Explorer broadcasts it when it builds a new taskbar.
UINT TaskbarCreated() {
  static const UINT message = RegisterWindowMessageW(L"TaskbarCreated");
  return message;
}

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
    : trace_(trace), view_(view) {
  TaskbarCreated();
}

Win32NotificationArea::~Win32NotificationArea() {
  // Windows still hooked get their own procedure back before the program's
  // objects behind the hook go away.
  for (auto& [hwnd, hook] : Hooks()) {
    if (IsWindow(hwnd))
      SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(hook->previous));
  }
  Hooks().clear();
}

long Win32NotificationArea::NotifyIcon(TrayCommand command, const TrayIconData& data) {
  NOTIFYICONDATAW nid;
  std::memset(&nid, 0, sizeof nid);
  // The layout the shell reads is the one cbSize names; the rest of our
  // larger structure (guidItem, hBalloonIcon) stays zero.
  nid.cbSize = WideLayoutSize(data.cbSize);
  nid.hWnd = win32::AsHwnd(data.hWnd);
  nid.uID = data.uID;
  nid.uFlags = data.uFlags;
  nid.uCallbackMessage = kCallbackMessage;
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
  const long ok = Shell_NotifyIconW(static_cast<DWORD>(command), &nid) ? 1 : 0;
  trace_.Line("tray." + std::string(TrayCommandName(command)),
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

bool Win32NotificationArea::EventOf(LPARAM lParam, TrayEvent& event) {
  switch (lParam) {
    case WM_LBUTTONUP:
      event = TrayEvent::kLeftClick;
      return true;
    case WM_LBUTTONDBLCLK:
      event = TrayEvent::kLeftDoubleClick;
      return true;
    case WM_RBUTTONUP:
      // Not WM_CONTEXTMENU as well: Wine sends both for one right click.
      event = TrayEvent::kRightClick;
      return true;
    case WM_RBUTTONDBLCLK:
      event = TrayEvent::kRightDoubleClick;
      return true;
    case NIN_BALLOONUSERCLICK:
      event = TrayEvent::kBalloonClicked;
      return true;
    case NIN_BALLOONTIMEOUT:
      event = TrayEvent::kBalloonEnded;
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK Win32NotificationArea::HookProc(HWND hwnd, UINT msg, WPARAM wParam,
                                                 LPARAM lParam) {
  auto it = Hooks().find(hwnd);
  if (it == Hooks().end()) return DefWindowProcW(hwnd, msg, wParam, lParam);
  // Held for the call: the program may unsubscribe while handling the event.
  std::shared_ptr<Hook> hook = it->second;
  if (msg == kCallbackMessage) {
    // The icon's events are the program's alone: none goes on to the window's procedure.
    TrayEvent event;
    if (EventOf(lParam, event) && hook->sink) hook->sink(event);
    return 0;
  }
  if (msg == TaskbarCreated() && hook->sink) hook->sink(TrayEvent::kRecreated);
  const LRESULT result = CallWindowProcW(hook->previous, hwnd, msg, wParam, lParam);
  if (msg == WM_NCDESTROY) {
    // The window is gone without an unsubscribe: forget it, so that a new window with the
    // same handle starts clean.
    auto again = Hooks().find(hwnd);
    if (again != Hooks().end() && again->second == hook) Hooks().erase(again);
  }
  return result;
}

bool Win32NotificationArea::Subscribe(std::uintptr_t window, std::function<void(TrayEvent)> sink) {
  HWND h = win32::AsHwnd(window);
  if (!IsWindow(h) || !sink) return false;
  auto& hooks = Hooks();
  auto it = hooks.find(h);
  if (it != hooks.end()) {
    // Subscribed already: a new record (the old one may be in use right now) with the new sink
    // and the window's own procedure.
    auto hook = std::make_shared<Hook>(Hook{std::move(sink), it->second->previous});
    it->second = std::move(hook);
    return true;
  }
  SetLastError(0);
  const LONG_PTR previous = SetWindowLongPtrW(
      h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32NotificationArea::HookProc));
  if (previous == 0 && GetLastError() != 0) return false;
  hooks[h] = std::make_shared<Hook>(Hook{std::move(sink), reinterpret_cast<WNDPROC>(previous)});
  return true;
}

void Win32NotificationArea::Unsubscribe(std::uintptr_t window) {
  HWND h = win32::AsHwnd(window);
  auto it = Hooks().find(h);
  if (it == Hooks().end()) return;
  if (IsWindow(h))
    SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(it->second->previous));
  Hooks().erase(it);
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

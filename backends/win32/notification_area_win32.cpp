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
#include "backends/win32/window_life.h"

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
  Win32NotificationArea* area = nullptr;  // whose records the window's icon is in
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

Win32NotificationArea::Win32NotificationArea(Trace& trace, Win32FormView& view, ShellCall shell)
    : trace_(trace), view_(view), shell_(std::move(shell)) {
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

namespace {

// Record flags: the callback, the icon and the tooltip; a balloon adds the state and its texts.
constexpr UINT kBaseFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
// The callback version the program asks for (the classic mouse messages).
constexpr UINT kCallbackVersion = NOTIFYICON_VERSION;
// Field widths of the record's texts, in bytes of UTF-8.
constexpr size_t kTipUnits = 128, kInfoUnits = 256, kInfoTitleUnits = 64;

const char* CommandName(DWORD command) {
  switch (command) {
    case NIM_ADD:
      return "add";
    case NIM_MODIFY:
      return "modify";
    case NIM_DELETE:
      return "delete";
    case NIM_SETVERSION:
      return "setversion";
    default:
      return "?";
  }
}

DWORD InfoIcon(NoticeKind kind) {
  switch (kind) {
    case NoticeKind::kNone:
      return NIIF_NONE;
    case NoticeKind::kInformation:
      return NIIF_INFO;
    case NoticeKind::kWarning:
      return NIIF_WARNING;
    case NoticeKind::kError:
      return NIIF_ERROR;
  }
  return NIIF_NONE;
}

// The notice's flags for a record of `size`: from the third layout on (the shells of Vista and
// later), it waits out the system's quiet time and shows its icon large.
DWORD InfoFlags(NoticeKind kind, uint32_t size) {
  const DWORD icon = InfoIcon(kind);
  if (size < NOTIFYICONDATAA_V3_SIZE) return icon;
  return icon | NIIF_RESPECT_QUIET_TIME | (icon != NIIF_NONE ? NIIF_LARGE_ICON : 0);
}

}  // namespace

uint32_t Win32NotificationArea::RecordSizeFor(int major) {
  if (major >= 6) return NOTIFYICONDATAA_V3_SIZE;
  if (major == 5) return NOTIFYICONDATAA_V2_SIZE;
  return NOTIFYICONDATAA_V1_SIZE;
}

std::string Win32NotificationArea::ShellText(const std::string& text, size_t width) {
  const std::string_view whole(text.data(), std::min(text.find('\0'), text.size()));
  std::string shown;
  // `width` counts what the shell counts: UTF-16 units, so a character is never cut in two.
  size_t units = 0;
  for (size_t i = 0; i < whole.size();) {
    const auto lead = static_cast<unsigned char>(whole[i]);
    const size_t length = lead < 0x80    ? 1
                          : lead >= 0xF0 ? 4
                          : lead >= 0xE0 ? 3
                          : lead >= 0xC0 ? 2
                                         : 1;
    const bool newline = whole[i] == '\n' && (i == 0 || whole[i - 1] != '\r');
    const size_t needs = (length == 4 ? 2 : 1) + (newline ? 1 : 0);
    if (units + needs > width || i + length > whole.size()) break;
    if (newline) shown += '\r';
    shown.append(whole.substr(i, length));
    units += needs;
    i += length;
  }
  return shown;
}

int Win32NotificationArea::ShellMajor() {
  if (shellMajor_ != -2) return shellMajor_;
  shellMajor_ = -1;
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(L"shell32.dll", &handle);
  if (size == 0) return shellMajor_;
  std::vector<BYTE> buffer(size);
  if (!GetFileVersionInfoW(L"shell32.dll", 0, size, buffer.data())) return shellMajor_;
  void* block = nullptr;
  UINT length = 0;
  if (VerQueryValueW(buffer.data(), L"\\", &block, &length) != 1) return shellMajor_;
  if (!block || length < sizeof(VS_FIXEDFILEINFO)) return shellMajor_;
  shellMajor_ = HIWORD(static_cast<const VS_FIXEDFILEINFO*>(block)->dwFileVersionMS);
  return shellMajor_;
}

bool Win32NotificationArea::NoticesAllowed() {
  return ShellMajor() >= 6;
}

bool Win32NotificationArea::Send(DWORD command, HWND window, const Record& record) {
  const uint32_t size = RecordSizeFor(ShellMajor());
  NOTIFYICONDATAW nid;
  std::memset(&nid, 0, sizeof nid);
  // The layout the shell reads is the one cbSize names; the rest of our
  // larger structure (guidItem, hBalloonIcon) stays zero.
  nid.cbSize = WideLayoutSize(size);
  nid.hWnd = window;
  nid.uID = 1;
  nid.uFlags = record.flags | (record.byGuid ? NIF_GUID : 0);
  if (record.byGuid) nid.guidItem = kIconGuid;
  nid.uCallbackMessage = kCallbackMessage;
  nid.hIcon = reinterpret_cast<HICON>(record.icon);
  // The first layout's tip is half as long; every text ends with its NUL inside its field.
  const size_t tipChars = nid.cbSize == NOTIFYICONDATAW_V1_SIZE ? 64 : std::size(nid.szTip);
  win32::CopyToField(record.tip, nid.szTip, tipChars);
  nid.dwState = NIS_SHAREDICON;
  win32::CopyToField(record.info, nid.szInfo);
  nid.uVersion = kCallbackVersion;
  win32::CopyToField(record.infoTitle, nid.szInfoTitle);
  nid.dwInfoFlags = record.infoFlags;
  const bool ok = shell_ ? shell_(command, nid) : Shell_NotifyIconW(command, &nid) != FALSE;
  trace_.Line(std::string("tray.") + CommandName(command),
              {std::to_string(size), std::to_string(nid.uFlags), std::to_string(record.icon),
               record.tip, record.infoTitle, record.info, std::to_string(record.infoFlags)});
  return ok;
}

bool Win32NotificationArea::ShowIcon(std::uintptr_t window, std::uintptr_t picture,
                                     const std::string& tip) {
  const HWND h = win32::AsHwnd(window);
  Record& r = records_[h];
  r.flags = kBaseFlags;
  r.icon = picture;
  r.tip = ShellText(tip, kTipUnits);
  r.infoTitle.clear();
  r.info.clear();
  r.infoFlags = NIIF_NONE;
  if (r.added) return Send(NIM_MODIFY, h, r);
  // Taken as added whatever the shell answers, as a later change would be: an icon the shell
  // refused comes back only with a new taskbar.
  r.added = true;
  // The identity is in the record from the third layout on.
  r.byGuid = RecordSizeFor(ShellMajor()) >= NOTIFYICONDATAA_V3_SIZE;
  bool ok = Send(NIM_ADD, h, r);
  if (!ok && r.byGuid) {
    // The identity belongs to the program at another path: the icon goes by its window alone.
    r.byGuid = false;
    ok = Send(NIM_ADD, h, r);
  }
  Send(NIM_SETVERSION, h, r);
  return ok;
}

bool Win32NotificationArea::RemoveIcon(std::uintptr_t window) {
  const HWND h = win32::AsHwnd(window);
  auto it = records_.find(h);
  Record r = it != records_.end() ? it->second : Record{};
  if (it != records_.end()) records_.erase(it);
  r.flags = kBaseFlags;
  return Send(NIM_DELETE, h, r);
}

bool Win32NotificationArea::ShowNotice(std::uintptr_t window, const std::string& title,
                                       const std::string& text, NoticeKind kind) {
  const HWND h = win32::AsHwnd(window);
  auto it = records_.find(h);
  if (it == records_.end() || !it->second.added) return false;
  Record& r = it->second;
  r.flags = kBaseFlags | NIF_STATE | NIF_INFO;
  r.infoFlags = InfoFlags(kind, RecordSizeFor(ShellMajor()));
  r.infoTitle = ShellText(title, kInfoTitleUnits);
  r.info = ShellText(text, kInfoUnits);
  const bool ok = Send(NIM_MODIFY, h, r);
  // Sent once: a later change (every tick of a countdown) must not show it again.
  r.flags = kBaseFlags;
  r.infoTitle.clear();
  r.info.clear();
  r.infoFlags = NIIF_NONE;
  return ok;
}

bool Win32NotificationArea::TakeDownNotice(std::uintptr_t window) {
  const HWND h = win32::AsHwnd(window);
  auto it = records_.find(h);
  if (it == records_.end() || !it->second.added) return false;
  Record& r = it->second;
  // An empty balloon text with the balloon flag takes a balloon off the screen.
  r.flags = kBaseFlags | NIF_INFO;
  const bool ok = Send(NIM_MODIFY, h, r);
  r.flags = kBaseFlags;
  return ok;
}

bool Win32NotificationArea::UserAllowsNotices() {
  HKEY opened = nullptr;
  if (RegOpenKeyW(HKEY_CURRENT_USER,
                  L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\",
                  &opened) != ERROR_SUCCESS)
    return true;
  const win32::ScopedKey key(opened);
  DWORD type = 0, value = 0, size = sizeof value;
  // A value of another type or size, or one too large for a DWORD, is no switch.
  if (RegQueryValueExW(key, L"EnableBalloonTips", nullptr, &type, reinterpret_cast<BYTE*>(&value),
                       &size) != ERROR_SUCCESS)
    return true;
  return type != REG_DWORD || size != sizeof value || value != 0;
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
      event = TrayEvent::kNoticeClicked;
      return true;
    default:
      return false;
  }
}

LRESULT CALLBACK Win32NotificationArea::HookProc(HWND hwnd, UINT msg, WPARAM wParam,
                                                 LPARAM lParam) {
  // The hook comes after the window's creation and goes with its destruction by the program:
  // another program's WM_NCDESTROY must not unhook the icon's events.
  if (win32::ForgedLifeMessage(msg)) return 0;
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
  if (msg == TaskbarCreated() && hook->sink) {
    // The icon went with the old taskbar: the next ShowIcon adds it again.
    if (hook->area) {
      auto record = hook->area->records_.find(hwnd);
      if (record != hook->area->records_.end()) record->second.added = false;
    }
    hook->sink(TrayEvent::kRecreated);
  }
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
    auto hook = std::make_shared<Hook>(Hook{std::move(sink), it->second->previous, this});
    it->second = std::move(hook);
    return true;
  }
  SetLastError(0);
  const LONG_PTR previous = SetWindowLongPtrW(
      h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Win32NotificationArea::HookProc));
  if (previous == 0 && GetLastError() != 0) return false;
  hooks[h] =
      std::make_shared<Hook>(Hook{std::move(sink), reinterpret_cast<WNDPROC>(previous), this});
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

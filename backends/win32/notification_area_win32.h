// The notification area over Shell_NotifyIconW: the icon's record, laid out for the shell
// library's version, and the subclassing of the owner window that turns the icon's callback
// messages into the program's tray events.
#pragma once

#include <windows.h>
#include <shellapi.h>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <tuple>

#include "platform/notification_area.h"
#include "platform/trace.h"
#include "backends/win32/scoped.h"

namespace unw {

class Win32FormView;

// NotificationArea service: the tray icon of the main window.
class Win32NotificationArea : public NotificationArea {
 public:
  // How a record reaches the shell: Shell_NotifyIconW, or a stand-in of a test that sees the
  // records and answers for the shell.
  using ShellCall = std::function<bool(DWORD command, NOTIFYICONDATAW& record)>;

  Win32NotificationArea(Trace& trace, Win32FormView& view, ShellCall shell = {});
  ~Win32NotificationArea() override;
  Win32NotificationArea(const Win32NotificationArea&) = delete;
  Win32NotificationArea& operator=(const Win32NotificationArea&) = delete;

  bool ShowIcon(std::uintptr_t window, std::uintptr_t picture, const std::string& tip) override;
  bool RemoveIcon(std::uintptr_t window) override;
  bool ShowNotice(std::uintptr_t window, const std::string& title, const std::string& text,
                  NoticeKind kind) override;
  bool TakeDownNotice(std::uintptr_t window) override;
  bool NoticesAllowed() override;
  // The Explorer's EnableBalloonTips: off only when it is a DWORD 0.
  bool UserAllowsNotices() override;
  bool Subscribe(std::uintptr_t window, std::function<void(TrayEvent)> sink) override;
  void Unsubscribe(std::uintptr_t window) override;
  std::uintptr_t IconHandle(int set, int element) override;

  // The private message the shell sends the icon's mouse and balloon events with.
  static constexpr UINT kCallbackMessage = WM_USER + 1;
  // The event a callback's lParam stands for; false for those the program ignores
  // (mouse moves, button presses, balloon shown or hidden).
  static bool EventOf(LPARAM lParam, TrayEvent& event);

  // The tray's icon size in pixels at `dpi`.
  static int TrayIconSize(UINT dpi);

  // The size of the record (in its 8-bit layout, as the trace gives it) that the shell library
  // of major version `major` (-1: unknown) understands: the oldest layout has no balloon.
  static uint32_t RecordSizeFor(int major);
  // `text` as the shell gets it in a field of `width` bytes: up to its first NUL, each lone "\n"
  // turned into "\r\n", cut at the width.
  static std::string ShellText(const std::string& text, size_t width);

  // The icon's identity, the same in every release and copy: the shell keeps the user's choice
  // to show the icon under it. The shell ties it to the program's path and refuses it to a copy
  // elsewhere (a portable one), whose icon goes by its window as before.
  static constexpr GUID kIconGuid = {
      0x5c0f91e3, 0x09c3, 0x488c, {0xa7, 0x54, 0x5a, 0xac, 0xc5, 0x55, 0xfa, 0x92}};

 private:
  // What the shell was last told of one window's icon.
  struct Record {
    bool added = false;
    bool byGuid = false;  // the shell took the icon under kIconGuid
    uint32_t flags = 0;
    std::uintptr_t icon = 0;
    std::string tip, infoTitle, info;
    DWORD infoFlags = 0;
  };
  // The shell library's major version, read once; -1 when it cannot be read.
  int ShellMajor();
  // Sends `command` with the record of `window`; true on success.
  bool Send(DWORD command, HWND window, const Record& record);

  static LRESULT CALLBACK HookProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

  Trace& trace_;
  Win32FormView& view_;
  ShellCall shell_;
  // Icons by (set, element, size in pixels), kept for the whole run: the
  // shell holds on to the handle last sent.
  std::map<std::tuple<int, int, int>, win32::ScopedIcon> icons_;
  std::map<HWND, Record> records_;
  int shellMajor_ = -2;  // not read yet
};

}  // namespace unw

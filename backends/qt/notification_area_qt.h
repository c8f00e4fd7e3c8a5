// The tray icon as QSystemTrayIcon (a StatusNotifierItem where the desktop hosts them, else the
// XEmbed tray): the pictures drawn by code, the tooltip, the clicks as neutral events. Notices go
// to the desktop's notification service (org.freedesktop.Notifications), which lets the program
// take one down when its own time is over and says when one was clicked; without the service,
// QSystemTrayIcon's own message stands in.
#pragma once

#include <QIcon>
#include <QObject>
#include <QPointer>
#include <QSystemTrayIcon>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/notification_area.h"
#include "platform/trace.h"

class QMenu;

namespace unw {

class QtNotificationArea : public QObject, public NotificationArea {
  Q_OBJECT

 public:
  explicit QtNotificationArea(Trace& trace);
  ~QtNotificationArea() override;

  bool ShowIcon(std::uintptr_t window, std::uintptr_t picture, const std::string& tip) override;
  bool RemoveIcon(std::uintptr_t window) override;
  bool ShowNotice(std::uintptr_t window, const std::string& title, const std::string& text,
                  NoticeKind kind) override;
  bool TakeDownNotice(std::uintptr_t window) override;
  bool NoticesAllowed() override;
  bool UserAllowsNotices() override { return true; }
  bool IconsShown() override;
  bool Subscribe(std::uintptr_t window, std::function<void(TrayEvent)> sink) override;
  void Unsubscribe(std::uintptr_t window) override;
  std::uintptr_t IconHandle(int set, int element) override;

  // Where the desktop shows an icon's menu itself (a StatusNotifierItem host), the icon of a
  // window offers the menu `menuOf` gives for that window (its popup menu) as a DBusMenu: before
  // the host opens it the program brings its items up to date (kMenuOpening), and an entry the
  // host reports clicked is chosen as in the popup, refused where the popup would refuse it.
  // Without a host (the XEmbed tray) a right click stays the program's to answer.
  void OfferMenus(std::function<QMenu*(std::uintptr_t window)> menuOf);

  // The icon of `window` as the desktop sees it, or null (for the tests, acting as the shell).
  QSystemTrayIcon* IconOf(std::uintptr_t window) const;

 private Q_SLOTS:
  void ActionInvoked(uint id, const QString& action);
  void NotificationClosed(uint id, uint reason);

 private:
  struct Icon {
    std::unique_ptr<QSystemTrayIcon> icon;
    uint32_t notice = 0;   // the desktop's id of the notice on the screen, 0 for none
    bool balloon = false;  // QSystemTrayIcon's own message is up
    QPointer<QMenu> menu;  // the menu the desktop shows for it, if it does
  };
  void OfferMenu(std::uintptr_t window, Icon& icon);
  void Tell(std::uintptr_t window, TrayEvent event);
  bool NotificationService() const;

  Trace& trace_;
  std::map<std::uintptr_t, Icon> icons_;
  std::map<std::uintptr_t, std::function<void(TrayEvent)>> sinks_;
  std::map<std::pair<int, int>, std::uintptr_t> handles_;
  std::vector<std::unique_ptr<QIcon>> pictures_;
  std::function<QMenu*(std::uintptr_t window)> menuOf_;
  bool listening_ = false;
};

}  // namespace unw

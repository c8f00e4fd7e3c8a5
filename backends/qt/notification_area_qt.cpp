#include "backends/qt/notification_area_qt.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusInterface>
#include <QDBusReply>
#include <QMenu>
#include <QPixmap>
#include <QVariantMap>

#include "backends/qt/pictures_qt.h"

namespace unw {

namespace {

constexpr char kService[] = "org.freedesktop.Notifications";
constexpr char kPath[] = "/org/freedesktop/Notifications";
// The tray's pictures are drawn at the sizes a desktop asks for.
constexpr int kIconSizes[] = {16, 22, 24, 32, 48, 64};

QSystemTrayIcon::MessageIcon MessageIconOf(NoticeKind kind) {
  switch (kind) {
    case NoticeKind::kInformation:
      return QSystemTrayIcon::Information;
    case NoticeKind::kWarning:
      return QSystemTrayIcon::Warning;
    case NoticeKind::kError:
      return QSystemTrayIcon::Critical;
    case NoticeKind::kNone:
      break;
  }
  return QSystemTrayIcon::NoIcon;
}

// The icon names of the freedesktop icon naming standard.
QString IconNameOf(NoticeKind kind) {
  switch (kind) {
    case NoticeKind::kInformation:
      return QStringLiteral("dialog-information");
    case NoticeKind::kWarning:
      return QStringLiteral("dialog-warning");
    case NoticeKind::kError:
      return QStringLiteral("dialog-error");
    case NoticeKind::kNone:
      break;
  }
  return QString();
}

QString TipText(const std::string& tip) {
  QString text = QString::fromStdString(tip);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

// Whether the desktop hosts StatusNotifierItems: Qt asks the watcher once, as the program's first
// icon is made, and keeps to that answer (an item then, else the XEmbed tray); so does this.
bool DesktopHostsItems() {
  static const bool hosts = [] {
    QDBusConnection bus = QDBusConnection::sessionBus();
    const QString watcher = QStringLiteral("org.kde.StatusNotifierWatcher");
    if (!bus.isConnected() || !bus.interface() ||
        !bus.interface()->isServiceRegistered(watcher).value())
      return false;
    QDBusInterface props(watcher, QStringLiteral("/StatusNotifierWatcher"), watcher, bus);
    return props.property("IsStatusNotifierHostRegistered").toBool();
  }();
  return hosts;
}

}  // namespace

QtNotificationArea::QtNotificationArea(Trace& trace) : trace_(trace) {}

QtNotificationArea::~QtNotificationArea() {
  for (auto& [window, icon] : icons_) {
    if (icon.notice) TakeDownNotice(window);
  }
}

bool QtNotificationArea::IconsShown() {
  // A StatusNotifierItem host or an XEmbed tray, asked each time: a panel may start after us.
  return QSystemTrayIcon::isSystemTrayAvailable();
}

bool QtNotificationArea::NotificationService() const {
  QDBusConnection bus = QDBusConnection::sessionBus();
  return bus.isConnected() && bus.interface() &&
         bus.interface()->isServiceRegistered(QString::fromLatin1(kService)).value();
}

std::uintptr_t QtNotificationArea::IconHandle(int set, int element) {
  if (auto it = handles_.find({set, element}); it != handles_.end()) return it->second;
  if (RenderTrayIcon(set, element, 16).pixels.empty()) return 0;
  auto icon = std::make_unique<QIcon>();
  for (int size : kIconSizes)
    icon->addPixmap(QPixmap::fromImage(qt::ImageOf(RenderTrayIcon(set, element, size))));
  const auto handle = reinterpret_cast<std::uintptr_t>(icon.get());
  pictures_.push_back(std::move(icon));
  handles_[{set, element}] = handle;
  return handle;
}

QSystemTrayIcon* QtNotificationArea::IconOf(std::uintptr_t window) const {
  auto it = icons_.find(window);
  return it == icons_.end() ? nullptr : it->second.icon.get();
}

bool QtNotificationArea::ShowIcon(std::uintptr_t window, std::uintptr_t picture,
                                  const std::string& tip) {
  const QIcon* shown = nullptr;
  for (const auto& p : pictures_) {
    if (reinterpret_cast<std::uintptr_t>(p.get()) == picture) shown = p.get();
  }
  if (!shown || !window) return false;
  Icon& icon = icons_[window];
  if (!icon.icon) {
    icon.icon = std::make_unique<QSystemTrayIcon>();
    icon.icon->setObjectName(QStringLiteral("trayIcon"));
    QSystemTrayIcon* raw = icon.icon.get();
    QObject::connect(raw, &QSystemTrayIcon::activated,
                     [this, window](QSystemTrayIcon::ActivationReason why) {
                       switch (why) {
                         case QSystemTrayIcon::Trigger:
                           Tell(window, TrayEvent::kLeftClick);
                           break;
                         case QSystemTrayIcon::DoubleClick:
                           Tell(window, TrayEvent::kLeftDoubleClick);
                           break;
                         case QSystemTrayIcon::Context:
                           Tell(window, TrayEvent::kRightClick);
                           break;
                         default:
                           break;
                       }
                     });
    // Only the icon's own message (without a notification service) is ours to report: on a
    // StatusNotifierItem, Qt relays a click on any program's notice as messageClicked.
    QObject::connect(raw, &QSystemTrayIcon::messageClicked, [this, window] {
      auto it = icons_.find(window);
      if (it != icons_.end() && it->second.balloon) Tell(window, TrayEvent::kNoticeClicked);
    });
    trace_.Line("tray.add", {TipText(tip).toStdString()});
  }
  OfferMenu(window, icon);
  icon.icon->setIcon(*shown);
  icon.icon->setToolTip(TipText(tip));
  if (!icon.icon->isVisible()) icon.icon->show();
  return true;
}

void QtNotificationArea::OfferMenus(std::function<QMenu*(std::uintptr_t window)> menuOf) {
  menuOf_ = std::move(menuOf);
}

void QtNotificationArea::OfferMenu(std::uintptr_t window, Icon& icon) {
  if (icon.menu || !menuOf_ || !DesktopHostsItems()) return;
  QMenu* menu = menuOf_(window);
  if (!menu) return;
  icon.menu = menu;
  // Qt exports the menu (com.canonical.dbusmenu, the item's Menu property), keeps the entries as
  // the actions stand and triggers an action whose entry is clicked; the action's own handler
  // asks the program whether the item can be chosen. The host's AboutToShow and "opened" come
  // as aboutToShow, as a popup of the menu's own does.
  icon.icon->setContextMenu(menu);
  QObject::connect(menu, &QMenu::aboutToShow, icon.icon.get(),
                   [this, window] { Tell(window, TrayEvent::kMenuOpening); });
  trace_.Line("tray.menu", {menu->objectName().toStdString()});
}

bool QtNotificationArea::RemoveIcon(std::uintptr_t window) {
  auto it = icons_.find(window);
  if (it == icons_.end()) return false;
  TakeDownNotice(window);
  it->second.icon->hide();
  icons_.erase(it);
  trace_.Line("tray.remove", {});
  return true;
}

bool QtNotificationArea::NoticesAllowed() {
  return NotificationService() || QSystemTrayIcon::supportsMessages();
}

bool QtNotificationArea::ShowNotice(std::uintptr_t window, const std::string& title,
                                    const std::string& text, NoticeKind kind) {
  auto it = icons_.find(window);
  if (it == icons_.end()) return false;
  Icon& icon = it->second;
  trace_.Line("tray.notice", {title, text});
  if (NotificationService()) {
    if (!listening_) {
      QDBusConnection bus = QDBusConnection::sessionBus();
      bus.connect(kService, kPath, kService, QStringLiteral("ActionInvoked"), this,
                  SLOT(ActionInvoked(uint, QString)));
      bus.connect(kService, kPath, kService, QStringLiteral("NotificationClosed"), this,
                  SLOT(NotificationClosed(uint, uint)));
      listening_ = true;
    }
    // It replaces the notice still up, and stays until the program takes it down.
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kService, QStringLiteral("Notify"));
    call << QStringLiteral("Unwindle") << icon.notice << IconNameOf(kind)
         << QString::fromStdString(title) << QString::fromStdString(text)
         << QStringList{QStringLiteral("default"), QString::fromStdString(title)} << QVariantMap()
         << 0;
    const QDBusReply<uint> reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 2000);
    if (reply.isValid()) {
      icon.notice = reply.value();
      return true;
    }
  }
  icon.icon->showMessage(QString::fromStdString(title), QString::fromStdString(text),
                         MessageIconOf(kind), 24 * 3600 * 1000);
  icon.balloon = true;
  return true;
}

bool QtNotificationArea::TakeDownNotice(std::uintptr_t window) {
  auto it = icons_.find(window);
  if (it == icons_.end()) return false;
  Icon& icon = it->second;
  if (icon.notice) {
    QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kService,
                                                       QStringLiteral("CloseNotification"));
    call << icon.notice;
    QDBusConnection::sessionBus().call(call, QDBus::NoBlock);
    icon.notice = 0;
  }
  if (icon.balloon) {
    // An empty message takes QSystemTrayIcon's own balloon down.
    icon.icon->showMessage(QString(), QString(), QSystemTrayIcon::NoIcon, 1);
    icon.balloon = false;
  }
  return true;
}

void QtNotificationArea::ActionInvoked(uint id, const QString& action) {
  if (action != QStringLiteral("default")) return;
  for (auto& [window, icon] : icons_) {
    if (icon.notice == id && id != 0) Tell(window, TrayEvent::kNoticeClicked);
  }
}

void QtNotificationArea::NotificationClosed(uint id, uint) {
  // Its end is not reported: the program keeps its own time. The id is spent.
  for (auto& [window, icon] : icons_) {
    if (icon.notice == id) icon.notice = 0;
  }
}

bool QtNotificationArea::Subscribe(std::uintptr_t window, std::function<void(TrayEvent)> sink) {
  if (!window) return false;
  sinks_[window] = std::move(sink);
  return true;
}

void QtNotificationArea::Unsubscribe(std::uintptr_t window) {
  sinks_.erase(window);
}

void QtNotificationArea::Tell(std::uintptr_t window, TrayEvent event) {
  auto it = sinks_.find(window);
  if (it == sinks_.end()) return;
  // A copy: the sink may unsubscribe while it runs.
  auto sink = it->second;
  sink(event);
}

}  // namespace unw

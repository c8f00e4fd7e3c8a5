// The end-to-end suite's stand-in desktop for the native program's tray (tests/e2e/native_tray.sh):
// on the session bus it is a StatusNotifierWatcher with a host, as KDE's or GNOME's tray is, so
// the program's icon registers its StatusNotifierItem here; and it offers the shell what a person
// does through such a tray (org.korvante.Unwindle.TrayStandIn at /StandIn):
//
//   ToolTip          the registered item's tooltip, as the host shows it ("" when none)
//   Activate         a click on the icon (the item's Activate)
//   Menu             the item's menu as the host opens it, one entry a line: its label, "-" for a
//                    separator, "  " before each level of a submenu, and " [disabled]",
//                    " [checked]" after; hidden entries are left out
//   Click LABEL      a click on the menu entry with that label, as the host reports it; false
//                    when no entry shown has it
//   Window           the X window of its own (a small window that holds the keyboard when the
//                    shell gives it the focus)
//
// It prints "ready" once it is on the bus.
#include <QApplication>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QLabel>
#include <QStringList>
#include <cstdio>

#include "qt/dbus_menu.h"

namespace {

const QString kItemPath = QStringLiteral("/StatusNotifierItem");

class Watcher : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
  Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
  Q_PROPERTY(int ProtocolVersion READ protocolVersion)
  Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)

 public:
  bool hostRegistered() const { return true; }
  int protocolVersion() const { return 0; }
  QStringList items() const { return items_; }

 public Q_SLOTS:
  Q_SCRIPTABLE void RegisterStatusNotifierItem(const QString& service) {
    // An item names its service, or its path on the caller's connection.
    const QString name = service.startsWith('/') ? message().service() : service;
    items_.removeAll(name);
    items_.append(name);
    emit StatusNotifierItemRegistered(name);
  }
  Q_SCRIPTABLE void RegisterStatusNotifierHost(const QString&) {}

 Q_SIGNALS:
  Q_SCRIPTABLE void StatusNotifierItemRegistered(const QString& service);

 private:
  QStringList items_;
};

class StandIn : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.korvante.Unwindle.TrayStandIn")

 public:
  StandIn(Watcher& watcher, QWidget& window) : watcher_(watcher), window_(window) {}

 public Q_SLOTS:
  Q_SCRIPTABLE QString ToolTip() {
    if (Item().isEmpty()) return QString();
    // The host shows the title over the text.
    const auto tip = unw::dbusmenu::ReadToolTip(Bus(), Item());
    if (!tip) return QString();
    return tip->text.isEmpty() ? tip->title : tip->title + '\n' + tip->text;
  }

  Q_SCRIPTABLE bool Activate() {
    if (Item().isEmpty()) return false;
    QDBusMessage call = QDBusMessage::createMethodCall(Item(), kItemPath,
                                                       QStringLiteral("org.kde.StatusNotifierItem"),
                                                       QStringLiteral("Activate"));
    call << 0 << 0;
    // What the click opens may run a while: the host does not wait for it.
    return Bus().send(call);
  }

  Q_SCRIPTABLE QString Menu() {
    QStringList lines;
    for (const auto& e : Entries()) {
      if (!e.visible) continue;
      QString line = QString(2 * e.depth, ' ') + (e.separator ? QStringLiteral("-") : e.label);
      if (!e.separator && !e.enabled) line += QStringLiteral(" [disabled]");
      if (e.checked) line += QStringLiteral(" [checked]");
      lines << line;
    }
    return lines.join('\n');
  }

  Q_SCRIPTABLE bool Click(const QString& label) {
    const auto menu = unw::dbusmenu::Menu::Of(Bus(), Item());
    for (const auto& e : menu.Open()) {
      if (e.visible && !e.separator && e.label == label) {
        menu.Click(e.id);
        return true;
      }
    }
    return false;
  }

  Q_SCRIPTABLE qulonglong Window() { return window_.winId(); }

 private:
  QString Item() const {
    const QStringList items = watcher_.items();
    return items.isEmpty() ? QString() : items.back();
  }
  // A connection of its own for the host's calls, as the host is another program than the tray.
  static QDBusConnection Bus() {
    return QDBusConnection::connectToBus(QDBusConnection::SessionBus,
                                         QStringLiteral("tray-stand-in-host"));
  }
  std::vector<unw::dbusmenu::Entry> Entries() {
    if (Item().isEmpty()) return {};
    return unw::dbusmenu::Menu::Of(Bus(), Item()).Open();
  }

  Watcher& watcher_;
  QWidget& window_;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QLabel window(QStringLiteral("Another program's window"));
  window.setWindowTitle(QStringLiteral("Tray stand-in"));
  window.resize(320, 120);
  window.move(40, 40);
  window.show();
  Watcher watcher;
  StandIn standIn(watcher, window);
  QDBusConnection bus = QDBusConnection::sessionBus();
  constexpr auto kExport = QDBusConnection::ExportScriptableSlots |
                           QDBusConnection::ExportScriptableSignals |
                           QDBusConnection::ExportAllProperties;
  if (!bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), &watcher, kExport) ||
      !bus.registerObject(QStringLiteral("/StandIn"), &standIn, kExport) ||
      !bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")) ||
      !bus.registerService(QStringLiteral("org.korvante.Unwindle.TrayStandIn"))) {
    std::fprintf(stderr, "tray stand-in: the session bus refused its names\n");
    return 1;
  }
  std::printf("ready\n");
  std::fflush(stdout);
  return app.exec();
}

#include "tray_stand_in.moc"

// A desktop of the tests' own for the Qt back end: a private X server (Xvfb, on a display it
// chooses free itself), a private session bus, and on that bus, served from a thread of their
// own, the desktop services the back end talks to: a StatusNotifierWatcher (so the tray icon is
// a StatusNotifierItem the tests reach over D-Bus), a notification service that records what it
// is asked and answers as a person's click or a time-out would, and the desktop portal's colour
// scheme. Everything is started by the tests' main and ended with it.
#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusVariant>
#include <QObject>
#include <QStringList>
#include <QThread>
#include <QVariantMap>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace unw::qttest {

// org.freedesktop.Notifications, as the tests' desktop shows notices.
class FakeNotifications : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

 public:
  struct Notice {
    uint id = 0, replaces = 0;
    QString icon, title, text;
    QStringList actions;
  };
  // What it was asked, in order (read from the tests' thread).
  std::vector<Notice> Shown();
  std::vector<uint> Closed();
  uint Last();

 public Q_SLOTS:
  Q_SCRIPTABLE uint Notify(const QString& app, uint replaces, const QString& icon,
                           const QString& summary, const QString& body, const QStringList& actions,
                           const QVariantMap& hints, int timeout);
  Q_SCRIPTABLE void CloseNotification(uint id);
  Q_SCRIPTABLE QStringList GetCapabilities();
  Q_SCRIPTABLE QString Ping() { return QStringLiteral("pong"); }
  // As the desktop: the person clicked notice `id`; notice `id` timed out.
  void Click(uint id);
  void TimeOut(uint id);

 Q_SIGNALS:
  Q_SCRIPTABLE void ActionInvoked(uint id, const QString& action);
  Q_SCRIPTABLE void NotificationClosed(uint id, uint reason);

 private:
  std::mutex mutex_;
  std::vector<Notice> shown_;
  std::vector<uint> closed_;
  uint next_ = 1;
};

// org.kde.StatusNotifierWatcher with a host: tray icons register their items here.
class FakeWatcher : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
  Q_PROPERTY(bool IsStatusNotifierHostRegistered READ hostRegistered)
  Q_PROPERTY(int ProtocolVersion READ protocolVersion)
  Q_PROPERTY(QStringList RegisteredStatusNotifierItems READ items)

 public:
  bool hostRegistered() const { return true; }
  int protocolVersion() const { return 0; }
  QStringList items();

 public Q_SLOTS:
  Q_SCRIPTABLE void RegisterStatusNotifierItem(const QString& service);
  Q_SCRIPTABLE void RegisterStatusNotifierHost(const QString&) {}

 Q_SIGNALS:
  Q_SCRIPTABLE void StatusNotifierItemRegistered(const QString& service);

 private:
  std::mutex mutex_;
  QStringList items_;
};

// org.freedesktop.portal.Settings: the desktop's colour scheme, as its settings page sets it.
class FakePortal : public QObject, protected QDBusContext {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

 public:
  // As the desktop's settings: the value, then the signal (from the service's thread).
  void Set(const QString& key, uint value);

 public Q_SLOTS:
  Q_SCRIPTABLE QDBusVariant Read(const QString& space, const QString& key);

 Q_SIGNALS:
  Q_SCRIPTABLE void SettingChanged(const QString& space, const QString& key,
                                   const QDBusVariant& value);

 private:
  std::mutex mutex_;
  std::map<QString, uint> values_;
};

// The services above on the private bus, served from their own thread.
class TestDesktop {
 public:
  // Starts Xvfb and the bus and sets DISPLAY and DBUS_SESSION_BUS_ADDRESS; false when either
  // cannot be started (the tests then run offscreen, without the desktop's services).
  bool Start();
  // Registers the services (after the QApplication exists).
  bool Serve();
  void Stop();
  ~TestDesktop() { Stop(); }

  FakeNotifications* notifications = nullptr;
  FakeWatcher* watcher = nullptr;
  FakePortal* portal = nullptr;
  bool running() const { return busPid_ > 0 && xPid_ > 0; }

 private:
  QThread thread_;
  int busPid_ = 0, xPid_ = 0;
};

// The tests' desktop (null when it could not start).
TestDesktop* Desktop();
// Lets what the desktop's services sent arrive: a round trip to them, then the events.
void Settle();

}  // namespace unw::qttest

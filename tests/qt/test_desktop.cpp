#include "test_desktop.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <csignal>
#include <fcntl.h>
#include <cstdlib>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace unw::qttest {

namespace {

constexpr char kBusName[] = "unwindle-test-desktop";
TestDesktop* theDesktop = nullptr;

// Starts `argv` with its standard output on a pipe and reads its first line (the display number,
// the bus address); 0 when it did not start.
int Spawn(std::vector<std::string> argv, std::string& firstLine, bool fdArgument) {
  int out[2];
  if (pipe(out) != 0) return 0;
  const pid_t pid = fork();
  if (pid == 0) {
    // Xvfb writes the display to a descriptor it is told; the bus prints to its output.
    if (fdArgument) {
      argv.push_back(std::to_string(out[1]));
    } else {
      dup2(out[1], 1);
    }
    close(out[0]);
    // Their talk stays out of the tests' output.
    const int quiet = open("/dev/null", O_WRONLY);
    if (fdArgument) dup2(quiet, 1);
    dup2(quiet, 2);
    std::vector<char*> args;
    for (auto& a : argv) args.push_back(a.data());
    args.push_back(nullptr);
    execvp(args[0], args.data());
    _exit(127);
  }
  close(out[1]);
  if (pid < 0) {
    close(out[0]);
    return 0;
  }
  char c;
  while (read(out[0], &c, 1) == 1 && c != '\n') firstLine += c;
  close(out[0]);
  if (firstLine.empty()) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    return 0;
  }
  return pid;
}

// A signal goes out on the bus from the service's own thread, before this returns: a round trip
// afterwards (Settle) then finds it delivered.
template <typename F>
void FromServiceThread(QObject* service, F emitIt) {
  QMetaObject::invokeMethod(service, emitIt, Qt::BlockingQueuedConnection);
}

void End(int& pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
  pid = 0;
}

}  // namespace

std::vector<FakeNotifications::Notice> FakeNotifications::Shown() {
  std::lock_guard lock(mutex_);
  return shown_;
}

std::vector<uint> FakeNotifications::Closed() {
  std::lock_guard lock(mutex_);
  return closed_;
}

uint FakeNotifications::Last() {
  std::lock_guard lock(mutex_);
  return shown_.empty() ? 0 : shown_.back().id;
}

uint FakeNotifications::Notify(const QString&, uint replaces, const QString& icon,
                               const QString& summary, const QString& body,
                               const QStringList& actions, const QVariantMap&, int) {
  std::lock_guard lock(mutex_);
  const uint id = replaces ? replaces : next_++;
  shown_.push_back({id, replaces, icon, summary, body, actions});
  return id;
}

void FakeNotifications::CloseNotification(uint id) {
  {
    std::lock_guard lock(mutex_);
    closed_.push_back(id);
  }
  emit NotificationClosed(id, 3);
}

QStringList FakeNotifications::GetCapabilities() {
  return {QStringLiteral("actions"), QStringLiteral("body")};
}

void FakeNotifications::Click(uint id) {
  FromServiceThread(this, [this, id] {
    emit ActionInvoked(id, QStringLiteral("default"));
    emit NotificationClosed(id, 2);
  });
}

void FakeNotifications::TimeOut(uint id) {
  FromServiceThread(this, [this, id] { emit NotificationClosed(id, 1); });
}

QStringList FakeWatcher::items() {
  std::lock_guard lock(mutex_);
  return items_;
}

void FakeWatcher::RegisterStatusNotifierItem(const QString& service) {
  // An item names its service, or its path on the caller's connection.
  QString name = service;
  if (name.startsWith('/') && calledFromDBus()) name = message().service();
  {
    std::lock_guard lock(mutex_);
    items_.append(name);
  }
  emit StatusNotifierItemRegistered(name);
}

void FakePortal::Set(const QString& key, uint value) {
  {
    std::lock_guard lock(mutex_);
    values_[key] = value;
  }
  FromServiceThread(this, [this, key, value] {
    emit SettingChanged(QStringLiteral("org.freedesktop.appearance"), key,
                        QDBusVariant(QVariant::fromValue(value)));
  });
}

QDBusVariant FakePortal::Read(const QString& space, const QString& key) {
  std::lock_guard lock(mutex_);
  auto it = values_.find(key);
  if (space != QLatin1String("org.freedesktop.appearance") || it == values_.end()) {
    sendErrorReply(QStringLiteral("org.freedesktop.portal.Error.NotFound"),
                   QStringLiteral("no such setting"));
    return {};
  }
  // The portal answers a variant in a variant.
  return QDBusVariant(QVariant::fromValue(QDBusVariant(QVariant::fromValue(it->second))));
}

bool TestDesktop::Start() {
  theDesktop = this;
  std::string display, address;
  xPid_ = Spawn({"Xvfb", "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-displayfd"}, display,
                true);
  busPid_ = Spawn({"dbus-daemon", "--session", "--nofork", "--print-address"}, address, false);
  if (!xPid_ || !busPid_) {
    Stop();
    return false;
  }
  setenv("DISPLAY", (":" + display).c_str(), 1);
  setenv("DBUS_SESSION_BUS_ADDRESS", address.c_str(), 1);
  return true;
}

bool TestDesktop::Serve() {
  notifications = new FakeNotifications;
  watcher = new FakeWatcher;
  portal = new FakePortal;
  QDBusConnection bus = QDBusConnection::connectToBus(QDBusConnection::SessionBus, kBusName);
  constexpr auto kExport = QDBusConnection::ExportScriptableSlots |
                           QDBusConnection::ExportScriptableSignals |
                           QDBusConnection::ExportAllProperties;
  // Registered first: the relays of their signals go with them to the services' thread.
  const bool served =
      bus.registerObject(QStringLiteral("/org/freedesktop/Notifications"), notifications,
                         kExport) &&
      bus.registerObject(QStringLiteral("/StatusNotifierWatcher"), watcher, kExport) &&
      bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), portal, kExport);
  for (QObject* o : std::initializer_list<QObject*>{notifications, watcher, portal})
    o->moveToThread(&thread_);
  thread_.start();
  return served && bus.registerService(QStringLiteral("org.freedesktop.Notifications")) &&
         bus.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")) &&
         bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop"));
}

void TestDesktop::Stop() {
  if (thread_.isRunning()) {
    QDBusConnection::disconnectFromBus(kBusName);
    // Each goes in its own thread, where its signals (destroyed too) are relayed.
    for (QObject* o : std::initializer_list<QObject*>{notifications, watcher, portal})
      QMetaObject::invokeMethod(
          o, [o] { delete o; }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
    notifications = nullptr;
    watcher = nullptr;
    portal = nullptr;
  }
  End(busPid_);
  End(xPid_);
  if (theDesktop == this) theDesktop = nullptr;
}

TestDesktop* Desktop() {
  return theDesktop && theDesktop->running() ? theDesktop : nullptr;
}

void Settle() {
  if (Desktop()) {
    // The services' signals went out before this answer: they are here once it is.
    QDBusMessage ping = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Ping"));
    QDBusConnection::sessionBus().call(ping, QDBus::Block, 2000);
  }
  for (int i = 0; i < 3; ++i) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

}  // namespace unw::qttest

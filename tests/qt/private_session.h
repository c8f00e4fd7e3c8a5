// What a desktop session offers, private to a test and gone after it: a D-Bus daemon on a socket
// of its own, an X server on a free display, and stand-in services that answer on a bus from a
// thread of their own (the code under test asks them with blocking calls).
#pragma once

#include <signal.h>
#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QThread>
#include <functional>
#include <string>

namespace unw {

// A process the test started and ends.
class OwnProcess {
 public:
  OwnProcess() = default;
  explicit OwnProcess(pid_t pid) : pid_(pid) {}
  ~OwnProcess() { End(); }
  OwnProcess(const OwnProcess&) = delete;
  OwnProcess& operator=(const OwnProcess&) = delete;
  void Adopt(pid_t pid) { pid_ = pid; }
  void End() {
    if (pid_ <= 0) return;
    kill(pid_, SIGTERM);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

 private:
  pid_t pid_ = -1;
};

// A bus daemon of the test's own (session rules), connected to under `name`.
class PrivateBus {
 public:
  explicit PrivateBus(const QString& name) : name_(name) {
    // --fork: the daemon runs on its own once it prints where it listens and its process id.
    FILE* out =
        popen("dbus-daemon --session --fork --nosyslog --print-address=1 --print-pid=1", "r");
    char address[512] = {}, pid[32] = {};
    if (out && fgets(address, sizeof address, out) && fgets(pid, sizeof pid, out)) {
      address_ = QString::fromUtf8(address).trimmed();
      daemon_.Adopt(static_cast<pid_t>(std::stol(pid)));
    }
    if (out) pclose(out);
    QDBusConnection::connectToBus(address_, name_);
  }
  ~PrivateBus() { QDBusConnection::disconnectFromBus(name_); }
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;
  const QString& name() const { return name_; }
  const QString& address() const { return address_; }
  QDBusConnection connection() const { return QDBusConnection(name_); }

 private:
  QString name_, address_;
  OwnProcess daemon_;
};

// A service on a bus that owns `service` and answers the method calls to `path` with `answer`
// (an empty list: an error) from a thread of its own; it can also send signals as that service.
class StandInService {
 public:
  using Answer = std::function<QVariantList(const QDBusMessage&)>;
  StandInService(const PrivateBus& bus, const QString& service, const QString& path, Answer answer)
      : StandInService(bus.address(), bus.name() + "-" + service, service, path,
                       std::move(answer)) {}
  // On the bus at `address` (one the caller did not start), connected to under `connectionName`.
  StandInService(const QString& address, const QString& connectionName, const QString& service,
                 const QString& path, Answer answer)
      : connectionName_(connectionName),
        connection_(QDBusConnection::connectToBus(address, connectionName_)),
        object_(new Object(std::move(answer))),
        path_(path) {
    thread_.start();
    object_->moveToThread(&thread_);
    connection_.registerService(service);
    connection_.registerVirtualObject(path, object_, QDBusConnection::SubPath);
  }
  ~StandInService() {
    connection_.unregisterObject(path_);
    // Deleted on its own thread, where the bus's ties to it are undone.
    QMetaObject::invokeMethod(
        object_, [o = object_] { delete o; }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
    QDBusConnection::disconnectFromBus(connectionName_);
  }
  StandInService(const StandInService&) = delete;
  StandInService& operator=(const StandInService&) = delete;

  void Signal(const QString& path, const QString& iface, const QString& name,
              const QVariantList& args) {
    QDBusMessage signal = QDBusMessage::createSignal(path, iface, name);
    signal.setArguments(args);
    connection_.send(signal);
  }

 private:
  struct Object : QDBusVirtualObject {
    explicit Object(Answer a) : answer(std::move(a)) {}
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
      const QVariantList values = answer(message);
      connection.send(values.isEmpty()
                          ? message.createErrorReply(QDBusError::UnknownMethod, "not here")
                          : message.createReply(values));
      return true;
    }
    Answer answer;
  };
  QString connectionName_;
  QDBusConnection connection_;
  Object* object_;
  QString path_;
  QThread thread_;
};

// An X server of the test's own on a free display: its name (":5"), empty when none could start.
class PrivateDisplay {
 public:
  PrivateDisplay() {
    // A display number nobody holds (its lock file says), tried until a server starts on one.
    for (int n = 100 + getpid() % 400, tries = 0; tries < 20 && name_.empty(); ++n, ++tries) {
      if (access(("/tmp/.X" + std::to_string(n) + "-lock").c_str(), F_OK) == 0) continue;
      const std::string display = ":" + std::to_string(n);
      const pid_t pid = fork();
      if (pid == 0) {
        execlp("Xvfb", "Xvfb", display.c_str(), "-nolisten", "tcp", "-screen", "0", "800x600x24",
               static_cast<char*>(nullptr));
        _exit(127);
      }
      const std::string socket = "/tmp/.X11-unix/X" + std::to_string(n);
      for (int waited = 0; waited < 5000; waited += 20) {
        if (access(socket.c_str(), F_OK) == 0) {
          server_.Adopt(pid);
          name_ = display;
          break;
        }
        if (waitpid(pid, nullptr, WNOHANG) == pid) break;  // it could not have that display
        usleep(20000);
      }
      if (name_.empty() && waitpid(pid, nullptr, WNOHANG) == 0) OwnProcess(pid).End();
    }
  }
  const std::string& name() const { return name_; }
  void End() { server_.End(); }

 private:
  OwnProcess server_;
  std::string name_;
};

}  // namespace unw

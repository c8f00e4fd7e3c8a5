// A login manager of the native suite's own (tests/e2e/native_presence.sh) on the bus that
// $DBUS_SYSTEM_BUS_ADDRESS names: org.freedesktop.login1 with one session, which every process is
// said to run in. The suite makes it tell what logind tells by calling it:
//
//   org.korvante.UnwindleTest.Login.Sleep(b)       Manager.PrepareForSleep(b)
//   org.korvante.UnwindleTest.Login.Lock()         the session's Lock
//   org.korvante.UnwindleTest.Login.Unlock()       the session's Unlock
//   org.korvante.UnwindleTest.Login.LockedHint(b)  the session's LockedHint changes
//   org.korvante.UnwindleTest.Login.Active(b)      the session's Active changes
//
// (on /org/freedesktop/login1); the properties read back as last told.
#include <QCoreApplication>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QVariantMap>
#include <atomic>
#include <cstdio>
#include <memory>

#include "qt/private_session.h"

namespace {

constexpr char kManagerPath[] = "/org/freedesktop/login1";
constexpr char kSessionPath[] = "/org/freedesktop/login1/session/_31";
constexpr char kSession[] = "org.freedesktop.login1.Session";

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const QString address = qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS");
  if (address.isEmpty()) {
    std::fprintf(stderr, "login_stand_in: DBUS_SYSTEM_BUS_ADDRESS is not set\n");
    return 2;
  }
  std::atomic<bool> lockedHint = false, active = true;
  std::atomic<unw::StandInService*> self = nullptr;
  auto changed = [&](const char* name, bool value) {
    self.load()->Signal(kSessionPath, "org.freedesktop.DBus.Properties", "PropertiesChanged",
                        {QString(kSession), QVariantMap{{name, value}}, QStringList()});
  };
  auto answer = [&](const QDBusMessage& m) -> QVariantList {
    const QString member = m.member();
    const QVariantList args = m.arguments();
    if (member == "GetSessionByPID" || member == "GetSession")
      return {QVariant::fromValue(QDBusObjectPath(kSessionPath))};
    if (m.path() == kSessionPath && member == "Get" && args.size() == 2) {
      const QString name = args[1].toString();
      if (name == "LockedHint") return {QVariant::fromValue(QDBusVariant(lockedHint.load()))};
      if (name == "Active") return {QVariant::fromValue(QDBusVariant(active.load()))};
      return {};
    }
    if (m.interface() != "org.korvante.UnwindleTest.Login" || !self.load()) return {};
    const bool on = !args.isEmpty() && args[0].toBool();
    if (member == "Sleep") {
      self.load()->Signal(kManagerPath, "org.freedesktop.login1.Manager", "PrepareForSleep", {on});
    } else if (member == "Lock" || member == "Unlock") {
      self.load()->Signal(kSessionPath, kSession, member, {});
    } else if (member == "LockedHint") {
      lockedHint = on;
      changed("LockedHint", on);
    } else if (member == "Active") {
      active = on;
      changed("Active", on);
    } else {
      return {};
    }
    return {true};
  };
  auto login = std::make_unique<unw::StandInService>(
      address, "login-stand-in", "org.freedesktop.login1", kManagerPath, answer);
  self = login.get();
  return app.exec();
}

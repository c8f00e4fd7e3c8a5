#include "backends/qt/shell_linux.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QProcess>
#include <QStringList>
#include <cstdlib>

#include "backends/qt/files_linux.h"
#include "backends/qt/settings_storage_linux.h"

namespace unw {

namespace {

// Starts `program` with `args` on its own (it outlives the call and leaves no zombie).
bool StartDetached(const std::string& program, const std::vector<std::string>& args) {
  QStringList list;
  for (const std::string& a : args) list << QString::fromStdString(a);
  return QProcess::startDetached(QString::fromStdString(program), list);
}

// A D-Bus call that waits at most a moment: true when it was answered without an error.
bool Call(const QDBusConnection& bus, const char* service, const char* path, const char* iface,
          const char* method, const QVariantList& args = {}, QDBusMessage* reply = nullptr) {
  if (!bus.isConnected()) return false;
  QDBusMessage call = QDBusMessage::createMethodCall(service, path, iface, method);
  call.setArguments(args);
  const QDBusMessage answer = bus.call(call, QDBus::Block, 2000);
  if (reply) *reply = answer;
  return answer.type() == QDBusMessage::ReplyMessage;
}

QDBusConnection Bus(const QString& name, bool system) {
  if (!name.isEmpty()) return QDBusConnection(name);
  return system ? QDBusConnection::systemBus() : QDBusConnection::sessionBus();
}

// This session's object at logind.
QString LogindSession(const QDBusConnection& system) {
  QDBusMessage reply;
  if (!Call(system, "org.freedesktop.login1", "/org/freedesktop/login1",
            "org.freedesktop.login1.Manager", "GetSessionByPID", {static_cast<uint>(getpid())},
            &reply) ||
      reply.arguments().isEmpty())
    return {};
  return qvariant_cast<QDBusObjectPath>(reply.arguments().first()).path();
}

}  // namespace

std::string FindOnPath(const std::string& program) {
  const char* path = std::getenv("PATH");
  std::string folders = path ? path : "/usr/bin:/bin";
  for (size_t at = 0; at <= folders.size();) {
    const size_t end = std::min(folders.find(':', at), folders.size());
    const std::string candidate = folders.substr(at, end - at) + "/" + program;
    struct stat st = {};
    if (end > at && stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
        access(candidate.c_str(), X_OK) == 0)
      return candidate;
    at = end + 1;
  }
  return "";
}

LinuxShell::LinuxShell(Trace& trace, std::vector<std::vector<std::string>> infoTools)
    : trace_(trace), infoTools_(std::move(infoTools)) {
  if (!infoTools_.empty()) return;
  // Each desktop's own tool, the one of the desktop in use first; hardinfo belongs to none.
  const std::pair<const char*, std::vector<std::string>> known[] = {
      {"KDE", {"kinfocenter"}},
      {"GNOME", {"gnome-control-center", "info-overview"}},
      {"XFCE", {"xfce4-about"}},
      {"X-Cinnamon", {"cinnamon-settings", "info"}},
      {"", {"hardinfo"}}};
  const char* env = std::getenv("XDG_CURRENT_DESKTOP");
  const std::string current = ":" + std::string(env ? env : "") + ":";
  for (bool ours : {true, false})
    for (const auto& [desktop, tool] : known)
      if ((*desktop && current.find(":" + std::string(desktop) + ":") != std::string::npos) == ours)
        infoTools_.push_back(tool);
}

bool LinuxShell::OpenWebPage(std::uintptr_t, const std::string& url) {
  const bool ok = StartDetached("xdg-open", {url});
  trace_.Line("shell.execute", {"open", url, ok ? "1" : "0"});
  return ok;
}

bool LinuxShell::OpenFolder(const std::string& path) {
  return OpenWebPage(0, path);
}

bool LinuxShell::OpenSystemInformation() {
  for (const auto& tool : infoTools_) {
    const std::string found = FindOnPath(tool.front());
    if (found.empty()) continue;
    const bool ok = StartDetached(found, {tool.begin() + 1, tool.end()});
    trace_.Line("shell.run", {found, ok ? "1" : "0"});
    return ok;
  }
  trace_.Line("shell.run", {"", "0"});
  return false;
}

bool LinuxShell::HasSystemInformation() {
  for (const auto& tool : infoTools_)
    if (!FindOnPath(tool.front()).empty()) return true;
  return false;
}

bool LinuxShell::ProgramVersion(int& major, int& minor) {
  major = UNWINDLE_VERSION_MAJOR;
  minor = UNWINDLE_VERSION_MINOR;
  return true;
}

long LinuxWorkstation::LockWorkStation() {
  const QDBusConnection session = Bus(sessionBus_, false), system = Bus(systemBus_, true);
  long rc = Call(session, "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                 "org.freedesktop.ScreenSaver", "Lock") ||
            Call(session, "org.gnome.ScreenSaver", "/org/gnome/ScreenSaver",
                 "org.gnome.ScreenSaver", "Lock");
  if (!rc) {
    const QString logind = LogindSession(system);
    rc = !logind.isEmpty() && Call(system, "org.freedesktop.login1", logind.toUtf8().constData(),
                                   "org.freedesktop.login1.Session", "Lock");
  }
  trace_.Line("lock", {std::to_string(rc)});
  return rc;
}

void LinuxWorkstation::StartScreenSaver(std::uintptr_t window) {
  const QDBusConnection session = Bus(sessionBus_, false);
  const bool ok = Call(session, "org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                       "org.freedesktop.ScreenSaver", "SetActive", {true}) ||
                  Call(session, "org.gnome.ScreenSaver", "/org/gnome/ScreenSaver",
                       "org.gnome.ScreenSaver", "SetActive", {true});
  trace_.Line("screensaver", {std::to_string(window), ok ? "1" : "0"});
}

bool LinuxWorkstation::CanStartScreenSaver() {
  const QDBusConnection session = Bus(sessionBus_, false);
  if (!session.isConnected()) return false;
  QDBusConnectionInterface* bus = session.interface();
  return bus->isServiceRegistered("org.freedesktop.ScreenSaver").value() ||
         bus->isServiceRegistered("org.gnome.ScreenSaver").value();
}

bool LinuxWorkstation::CanLock() {
  return CanStartScreenSaver() || !LogindSession(Bus(systemBus_, true)).isEmpty();
}

std::string LinuxWorkstation::AppPath() {
  return linux_sys::FolderOf(ProgramPath());
}

std::string LinuxWorkstation::AppExeName() {
  const std::string path = ProgramPath();
  return path.substr(path.find_last_of('/') + 1);
}

}  // namespace unw

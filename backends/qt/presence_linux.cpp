#include "backends/qt/presence_linux.h"

#include <time.h>
#include <unistd.h>
#include <xcb/screensaver.h>
#include <xcb/xcb.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QObject>
#include <QStringList>
#include <QVariantMap>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <map>

#include "backends/qt/busy_signs_linux.h"

namespace unw {

namespace {

constexpr char kLogind[] = "org.freedesktop.login1";
constexpr char kLogindPath[] = "/org/freedesktop/login1";
constexpr char kManager[] = "org.freedesktop.login1.Manager";
constexpr char kSession[] = "org.freedesktop.login1.Session";
constexpr char kProperties[] = "org.freedesktop.DBus.Properties";
// How long a question to another service may hold the program up.
constexpr int kCallMs = 500;

int64_t ClockMs(clockid_t clock) {
  timespec ts = {};
  clock_gettime(clock, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

QDBusConnection Bus(const QString& name, bool system) {
  if (!name.isEmpty()) return QDBusConnection(name);
  return system ? QDBusConnection::systemBus() : QDBusConnection::sessionBus();
}

// A method call answered within kCallMs: its first value, or an invalid QVariant.
QVariant Ask(const QDBusConnection& bus, const QString& service, const QString& path,
             const QString& iface, const QString& method, const QVariantList& args = {}) {
  if (!bus.isConnected()) return {};
  QDBusMessage call = QDBusMessage::createMethodCall(service, path, iface, method);
  call.setArguments(args);
  const QDBusMessage reply = bus.call(call, QDBus::Block, kCallMs);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return {};
  return reply.arguments().first();
}

// A property's value (Properties.Get answers a variant in a variant).
QVariant Property(const QDBusConnection& bus, const QString& service, const QString& path,
                  const QString& iface, const QString& name) {
  const QVariant v = Ask(bus, service, path, kProperties, "Get", {iface, name});
  return v.canConvert<QDBusVariant>() ? qvariant_cast<QDBusVariant>(v).variant() : v;
}

}  // namespace

// What the buses tell, on the thread that subscribed; each reason's going and coming told once.
class PresenceListener : public QObject {
  Q_OBJECT

 public:
  PresenceListener(Trace& trace, QDBusConnection system, QDBusConnection session,
                   std::function<void(bool, AwayReason)> sink)
      : trace_(trace), system_(system), session_(session), sink_(std::move(sink)) {
    bool sleep = false, lock = false, saver = false;
    if (system_.isConnected()) {
      sleep = system_.connect(kLogind, kLogindPath, kManager, "PrepareForSleep", this,
                              SLOT(PrepareForSleep(bool)));
      session_path_ = SessionPath();
      if (!session_path_.isEmpty()) {
        lock = system_.connect(kLogind, session_path_, kSession, "Lock", this, SLOT(Locked()));
        system_.connect(kLogind, session_path_, kSession, "Unlock", this, SLOT(Unlocked()));
        system_.connect(kLogind, session_path_, kProperties, "PropertiesChanged", this,
                        SLOT(SessionChanged(QString, QVariantMap, QStringList)));
      }
    }
    if (session_.isConnected()) {
      saver = session_.connect("org.freedesktop.ScreenSaver", "/org/freedesktop/ScreenSaver",
                               "org.freedesktop.ScreenSaver", "ActiveChanged", this,
                               SLOT(ScreenSaverActive(bool)));
      session_.connect("org.gnome.ScreenSaver", "/org/gnome/ScreenSaver", "org.gnome.ScreenSaver",
                       "ActiveChanged", this, SLOT(ScreenSaverActive(bool)));
    }
    trace_.Line("presence.listen", {sleep ? "1" : "0", lock ? "1" : "0", saver ? "1" : "0"});
  }

 private slots:
  void PrepareForSleep(bool start) { Tell(start, AwayReason::kSleep); }
  void Locked() { Tell(true, AwayReason::kLock); }
  void Unlocked() { Tell(false, AwayReason::kLock); }
  void ScreenSaverActive(bool on) { Tell(on, AwayReason::kLock); }
  void SessionChanged(const QString& iface, const QVariantMap& changed,
                      const QStringList& invalidated) {
    if (iface != kSession) return;
    auto value = [&](const char* name, bool& out) {
      if (changed.contains(name)) {
        out = changed.value(name).toBool();
        return true;
      }
      if (!invalidated.contains(name)) return false;
      const QVariant v = Property(system_, kLogind, session_path_, kSession, name);
      if (!v.isValid()) return false;
      out = v.toBool();
      return true;
    };
    bool active = true, locked = false;
    if (value("Active", active)) Tell(!active, AwayReason::kSwitchedAway);
    if (value("LockedHint", locked)) Tell(locked, AwayReason::kLock);
  }

 private:
  // This session's object at logind: the one this process runs in, else the one the environment
  // names, else the user's display session.
  QString SessionPath() {
    QVariant path = Ask(system_, kLogind, kLogindPath, kManager, "GetSessionByPID",
                        {static_cast<uint>(getpid())});
    if (!path.isValid()) {
      const char* id = std::getenv("XDG_SESSION_ID");
      path = Ask(system_, kLogind, kLogindPath, kManager, "GetSession",
                 {QString::fromUtf8(id && *id ? id : "auto")});
    }
    return path.isValid() ? qvariant_cast<QDBusObjectPath>(path).path() : QString();
  }

  void Tell(bool away, AwayReason reason) {
    bool& was = away_[reason];
    trace_.Line("presence.event", {AwayReasonName(reason), away ? "1" : "0"});
    if (was == away) return;
    was = away;
    sink_(away, reason);
  }

  Trace& trace_;
  QDBusConnection system_, session_;
  QString session_path_;
  std::function<void(bool, AwayReason)> sink_;
  std::map<AwayReason, bool> away_;
};

// The presence's own X connection and the atoms it asks about.
struct XConnection {
  explicit XConnection(const std::string& display) {
    c = xcb_connect(display.empty() ? nullptr : display.c_str(), &screenNumber);
    if (xcb_connection_has_error(c)) return;
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; it.rem && i < screenNumber; ++i) xcb_screen_next(&it);
    if (it.rem) screen = it.data;
    const char* names[] = {"_NET_ACTIVE_WINDOW", "_NET_WM_STATE", "_NET_WM_STATE_FULLSCREEN",
                           "_NET_WM_PID"};
    xcb_intern_atom_cookie_t cookies[4];
    for (int i = 0; i < 4; ++i)
      cookies[i] = xcb_intern_atom(c, 0, static_cast<uint16_t>(strlen(names[i])), names[i]);
    for (int i = 0; i < 4; ++i) {
      xcb_generic_error_t* error = nullptr;
      xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(c, cookies[i], &error);
      atoms[i] = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
      free(reply);
      free(error);
    }
    const xcb_query_extension_reply_t* ext = xcb_get_extension_data(c, &xcb_screensaver_id);
    idle = ext && ext->present;
  }
  ~XConnection() { xcb_disconnect(c); }
  XConnection(const XConnection&) = delete;
  XConnection& operator=(const XConnection&) = delete;
  bool ok() const { return !xcb_connection_has_error(c) && screen; }

  // The values of the property `atom` of `window` (32-bit items), checked: none on any error.
  std::vector<uint32_t> Values(xcb_window_t window, xcb_atom_t atom, xcb_atom_t type) {
    std::vector<uint32_t> out;
    if (atom == XCB_ATOM_NONE) return out;
    xcb_generic_error_t* error = nullptr;
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, window, atom, type, 0, 64), &error);
    if (reply && reply->format == 32) {
      const auto* v = static_cast<const uint32_t*>(xcb_get_property_value(reply));
      out.assign(v, v + xcb_get_property_value_length(reply) / 4);
    }
    free(reply);
    free(error);
    return out;
  }

  xcb_connection_t* c = nullptr;
  int screenNumber = 0;
  xcb_screen_t* screen = nullptr;
  xcb_atom_t atoms[4] = {};  // active window, state, full screen, pid
  bool idle = false;
};

LinuxPresence::LinuxPresence(Trace& trace, Options options)
    : trace_(trace), options_(std::move(options)) {}

LinuxPresence::~LinuxPresence() = default;

void LinuxPresence::Subscribe(std::function<void(bool away, AwayReason reason)> sink) {
  listener_ = std::make_unique<PresenceListener>(trace_, Bus(options_.systemBus, true),
                                                 Bus(options_.sessionBus, false), std::move(sink));
}

int64_t LinuxPresence::WallMs() {
  // Goes on while the machine sleeps, unlike the monotonic clock.
  return ClockMs(CLOCK_BOOTTIME);
}

XConnection* LinuxPresence::X() {
  if (x_ && x_->ok()) return x_.get();
  x_.reset();
  // A display that is not there is asked again now and then, not on every question.
  const int64_t now = ClockMs(CLOCK_MONOTONIC);
  if (now < nextXTryMs_) return nullptr;
  nextXTryMs_ = now + 10000;
  const char* display = std::getenv("DISPLAY");
  if (options_.display.empty() && !(display && *display)) return nullptr;
  auto x = std::make_unique<XConnection>(options_.display);
  if (!x->ok()) {
    trace_.Line("presence.x", {"0"});
    return nullptr;
  }
  x_ = std::move(x);
  return x_.get();
}

int64_t LinuxPresence::IdleMs() {
  const bool wayland = options_.wayland.value_or(!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"));
  if (XConnection* x = wayland ? nullptr : X(); x && x->idle) {
    xcb_generic_error_t* error = nullptr;
    xcb_screensaver_query_info_reply_t* info = xcb_screensaver_query_info_reply(
        x->c, xcb_screensaver_query_info(x->c, x->screen->root), &error);
    const int64_t ms = info ? info->ms_since_user_input : -1;
    free(info);
    free(error);
    if (ms >= 0) return ms;
  }
  // GNOME tells its own, on Wayland too; where nobody tells, nobody is idle: a count that misses
  // the person's typing would take their work for a break.
  const QVariant ms =
      Ask(Bus(options_.sessionBus, false), "org.gnome.Mutter.IdleMonitor",
          "/org/gnome/Mutter/IdleMonitor/Core", "org.gnome.Mutter.IdleMonitor", "GetIdletime");
  return ms.isValid() ? static_cast<int64_t>(ms.toULongLong()) : 0;
}

bool LinuxPresence::FullScreenInFront() {
  XConnection* x = X();
  if (!x) return false;
  const std::vector<uint32_t> active = x->Values(x->screen->root, x->atoms[0], XCB_ATOM_WINDOW);
  if (active.empty() || active[0] == XCB_WINDOW_NONE) return false;
  // The window may be gone by now: then its properties are an error reply, and it is no more.
  const std::vector<uint32_t> state = x->Values(active[0], x->atoms[1], XCB_ATOM_ATOM);
  if (std::find(state.begin(), state.end(), x->atoms[2]) == state.end()) return false;
  // The program's own break screen covers the monitor too, and is no reason to wait.
  const std::vector<uint32_t> pid = x->Values(active[0], x->atoms[3], XCB_ATOM_CARDINAL);
  return pid.empty() || pid[0] != static_cast<uint32_t>(getpid());
}

bool LinuxPresence::CallOn() {
  const bool on = linux_sys::OtherProcessHolds(options_.videoPrefix, options_.procRoot) ||
                  linux_sys::CaptureRunning(options_.asoundRoot);
  if (on != callWas_) trace_.Line("presence.call", {on ? "1" : "0"});
  callWas_ = on;
  return on;
}

bool LinuxPresence::DoNotDisturb() {
  return QuietTime().value_or(false);
}

std::optional<bool> LinuxPresence::QuietTime() {
  const QDBusConnection session = Bus(options_.sessionBus, false);
  const QVariant inhibited =
      Property(session, "org.freedesktop.Notifications", "/org/freedesktop/Notifications",
               "org.freedesktop.Notifications", "Inhibited");
  if (inhibited.isValid() && inhibited.toBool()) return true;
  // GNOME's switch has no service of its own; the desktop portal reads it out of its settings
  // (its answer a variant, in another one on older portals).
  QVariant banners =
      Ask(session, "org.freedesktop.portal.Desktop", "/org/freedesktop/portal/desktop",
          "org.freedesktop.portal.Settings", "Read",
          {QString("org.gnome.desktop.notifications"), QString("show-banners")});
  while (banners.canConvert<QDBusVariant>() && banners.userType() == qMetaTypeId<QDBusVariant>())
    banners = qvariant_cast<QDBusVariant>(banners).variant();
  if (banners.userType() == QMetaType::Bool) return !banners.toBool();
  if (inhibited.isValid()) return false;
  return std::nullopt;
}

bool LinuxPresence::CanTell(BusySign sign) {
  switch (sign) {
    case BusySign::kFullScreen: {
      XConnection* x = X();
      return x && !x->Values(x->screen->root, x->atoms[0], XCB_ATOM_WINDOW).empty();
    }
    case BusySign::kDoNotDisturb:
      return QuietTime().has_value();
    case BusySign::kCall:
    case BusySign::kPrograms:
      return access(options_.procRoot.c_str(), R_OK) == 0;
  }
  return true;
}

std::string LinuxPresence::FirstRunning(const std::vector<std::string>& names) {
  const std::vector<std::string> running = RunningPrograms();
  // Exact names: on Linux "Zoom" and "zoom" are two programs.
  for (const std::string& name : names)
    if (std::find(running.begin(), running.end(), name) != running.end()) return name;
  return "";
}

std::vector<std::string> LinuxPresence::RunningPrograms() {
  return linux_sys::RunningPrograms(options_.procRoot);
}

ScreenRect LinuxPresence::PointerWorkArea() {
  if (options_.pointerWorkArea) return options_.pointerWorkArea();
  XConnection* x = X();
  if (!x) return {};
  return {0, 0, x->screen->width_in_pixels, x->screen->height_in_pixels};
}

}  // namespace unw

#include "presence_linux.moc"

#include "backends/qt/appearance_qt.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>

namespace unw {

namespace {

constexpr char kPortal[] = "org.freedesktop.portal.Desktop";
constexpr char kPath[] = "/org/freedesktop/portal/desktop";
constexpr char kSettings[] = "org.freedesktop.portal.Settings";
constexpr char kAppearance[] = "org.freedesktop.appearance";

// A portal setting as a number; -1 when the portal does not say.
int PortalNumber(const char* key) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected()) return -1;
  QDBusMessage call =
      QDBusMessage::createMethodCall(kPortal, kPath, kSettings, QStringLiteral("Read"));
  call << QString::fromLatin1(kAppearance) << QString::fromLatin1(key);
  const QDBusMessage reply = bus.call(call, QDBus::Block, 1000);
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return -1;
  // Read answers a variant in a variant.
  QVariant v = reply.arguments().first();
  while (v.canConvert<QDBusVariant>()) v = v.value<QDBusVariant>().variant();
  bool ok = false;
  const int n = v.toInt(&ok);
  return ok ? n : -1;
}

}  // namespace

QtAppearance::QtAppearance(Trace& trace) : trace_(trace) {}

SystemAppearance QtAppearance::Read() {
  SystemAppearance a;
  a.appsDark = PortalNumber("color-scheme") == 1;
  a.highContrast = PortalNumber("contrast") == 1;
  return a;
}

void QtAppearance::Watch(std::function<void()> changed) {
  changed_ = std::move(changed);
  if (listening_) return;
  listening_ = QDBusConnection::sessionBus().connect(
      kPortal, kPath, kSettings, QStringLiteral("SettingChanged"), this,
      SLOT(SettingChanged(QString, QString, QDBusVariant)));
  trace_.Line("appearance.watch", {listening_ ? "1" : "0"});
}

void QtAppearance::SettingChanged(const QString& space, const QString& key, const QDBusVariant&) {
  if (space != QLatin1String(kAppearance) ||
      (key != QLatin1String("color-scheme") && key != QLatin1String("contrast")))
    return;
  if (changed_) {
    auto changed = changed_;
    changed();
  }
}

}  // namespace unw

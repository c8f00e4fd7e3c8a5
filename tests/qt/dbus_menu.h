// A StatusNotifierItem host's side of an item's menu (com.canonical.dbusmenu), for the tests and
// the end-to-end stand-in desktop: the entries as a host reads them before it shows the menu, and
// a click on one as a host reports it.
#pragma once

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusVariant>
#include <QDateTime>
#include <QString>
#include <QVariantMap>
#include <optional>
#include <vector>

namespace unw::dbusmenu {

struct Entry {
  int id = 0;
  int depth = 0;  // 0 for the menu's own entries, 1 for those of a submenu of it...
  QString label;  // without the access key's mark
  bool separator = false, enabled = true, visible = true, checked = false;
};

// The answer to `call`, waiting with the events running (the item may live in this thread).
inline QDBusMessage Ask(const QDBusConnection& bus, const QDBusMessage& call) {
  QDBusPendingCall pending = bus.asyncCall(call, 5000);
  while (!pending.isFinished()) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  return pending.reply();
}

// The item's tooltip as a host reads it (its ToolTip property): the title, and the text under it;
// none when the item did not answer.
struct ToolTip {
  QString title, text;
};
inline std::optional<ToolTip> ReadToolTip(const QDBusConnection& bus, const QString& service) {
  QDBusMessage get = QDBusMessage::createMethodCall(
      service, QStringLiteral("/StatusNotifierItem"),
      QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
  get << QStringLiteral("org.kde.StatusNotifierItem") << QStringLiteral("ToolTip");
  const QDBusMessage reply = Ask(bus, get);
  if (reply.arguments().isEmpty()) return std::nullopt;
  // (icon name, icon pictures, title, text)
  const QDBusArgument arg =
      reply.arguments().first().value<QDBusVariant>().variant().value<QDBusArgument>();
  QString icon;
  ToolTip tip;
  arg.beginStructure();
  arg >> icon;
  arg.beginArray();
  while (!arg.atEnd()) {
    int width = 0, height = 0;
    QByteArray pixels;
    arg.beginStructure();
    arg >> width >> height >> pixels;
    arg.endStructure();
  }
  arg.endArray();
  arg >> tip.title >> tip.text;
  arg.endStructure();
  return tip;
}

// "_Open" as a person reads it: "Open" ("__" is a "_" of the text).
inline QString PlainLabel(const QString& label) {
  QString plain;
  for (qsizetype i = 0; i < label.size(); ++i) {
    if (label[i] != '_') {
      plain += label[i];
    } else if (i + 1 < label.size() && label[i + 1] == '_') {
      plain += label[++i];
    }
  }
  return plain;
}

inline void ReadEntry(const QDBusArgument& arg, int depth, std::vector<Entry>& out) {
  Entry e;
  QVariantMap props;
  arg.beginStructure();
  arg >> e.id >> props;
  e.depth = depth;
  e.label = PlainLabel(props.value(QStringLiteral("label")).toString());
  e.separator = props.value(QStringLiteral("type")).toString() == QStringLiteral("separator");
  e.enabled = props.value(QStringLiteral("enabled"), true).toBool();
  e.visible = props.value(QStringLiteral("visible"), true).toBool();
  e.checked = props.value(QStringLiteral("toggle-state"), 0).toInt() == 1;
  if (depth >= 0) out.push_back(e);
  arg.beginArray();
  while (!arg.atEnd()) {
    QDBusVariant child;
    arg >> child;
    ReadEntry(child.variant().value<QDBusArgument>(), depth + 1, out);
  }
  arg.endArray();
  arg.endStructure();
}

// The menu the item at `service` offers (its Menu property), as a host opens it: AboutToShow on
// the root, then the whole layout. Empty when there is none.
struct Menu {
  QDBusConnection bus;
  QString service, path;

  static Menu Of(const QDBusConnection& bus, const QString& service) {
    QDBusMessage get = QDBusMessage::createMethodCall(
        service, QStringLiteral("/StatusNotifierItem"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get << QStringLiteral("org.kde.StatusNotifierItem") << QStringLiteral("Menu");
    const QDBusMessage reply = Ask(bus, get);
    QString path;
    if (!reply.arguments().isEmpty())
      path =
          reply.arguments().first().value<QDBusVariant>().variant().value<QDBusObjectPath>().path();
    return Menu{bus, service, path};
  }
  QDBusMessage Call(const QString& method, const QVariantList& args) const {
    QDBusMessage call = QDBusMessage::createMethodCall(
        service, path, QStringLiteral("com.canonical.dbusmenu"), method);
    call.setArguments(args);
    return call;
  }
  std::vector<Entry> Open() const {
    std::vector<Entry> entries;
    if (path.isEmpty() || path == QStringLiteral("/NO_DBUSMENU")) return entries;
    Ask(bus, Call(QStringLiteral("AboutToShow"), {0}));
    const QDBusMessage layout = Ask(bus, Call(QStringLiteral("GetLayout"), {0, -1, QStringList()}));
    if (layout.arguments().size() == 2)
      ReadEntry(layout.arguments().at(1).value<QDBusArgument>(), -1, entries);
    return entries;
  }
  // The host's report of a click on entry `id`; it does not wait for what the click does.
  void Click(int id) const {
    const QVariantList args{id, QStringLiteral("clicked"),
                            QVariant::fromValue(QDBusVariant(QVariant(0))),
                            static_cast<uint>(QDateTime::currentSecsSinceEpoch())};
    bus.call(Call(QStringLiteral("Event"), args), QDBus::NoBlock);
  }
};

}  // namespace unw::dbusmenu

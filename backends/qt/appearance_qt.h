// Light or dark as the desktop says: the colour scheme the desktop portal gives
// (org.freedesktop.appearance color-scheme: 1 prefers dark) where one runs, heard when it changes;
// a desktop that does not say is light. High contrast: GNOME's and the portal's contrast setting.
#pragma once

#include <QObject>
#include <QDBusVariant>
#include <QVariant>
#include <functional>

#include "platform/appearance.h"
#include "platform/trace.h"

namespace unw {

class QtAppearance : public QObject, public Appearance {
  Q_OBJECT

 public:
  explicit QtAppearance(Trace& trace);
  SystemAppearance Read() override;
  void Watch(std::function<void()> changed) override;

 private Q_SLOTS:
  void SettingChanged(const QString& space, const QString& key, const QDBusVariant& value);

 private:
  Trace& trace_;
  std::function<void()> changed_;
  bool listening_ = false;
};

}  // namespace unw

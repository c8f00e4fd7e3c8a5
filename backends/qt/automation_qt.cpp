#include "backends/qt/automation_qt.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDBusConnection>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

#include "backends/qt/form_view_qt.h"
#include "forms/form.h"

namespace unw {

namespace {

constexpr char kService[] = "org.korvante.Unwindle";
constexpr char kPath[] = "/Automation";

QString Plain(QString text) {
  return text.remove('&');
}

}  // namespace

QtAutomation::QtAutomation(Trace& trace, QtFormView& view) : trace_(trace), view_(view) {}

QtAutomation::~QtAutomation() {
  if (!serving_) return;
  QDBusConnection bus = QDBusConnection::sessionBus();
  bus.unregisterObject(QString::fromLatin1(kPath));
  bus.unregisterService(QString::fromLatin1(kService));
}

bool QtAutomation::Serve() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  serving_ = bus.isConnected() &&
             bus.registerObject(QString::fromLatin1(kPath), this,
                                QDBusConnection::ExportScriptableSlots) &&
             bus.registerService(QString::fromLatin1(kService));
  trace_.Line("automation.serve", {serving_ ? "1" : "0"});
  return serving_;
}

bool QtAutomation::Invoke(const QString& form, const QString& control) {
  // The answer goes back before the click, which may open a modal window: the caller is not held
  // behind it.
  const std::string f = form.toStdString(), c = control.toStdString();
  const Form* target = nullptr;
  for (const Form* loaded : view_.Forms()) {
    if (loaded->name() == f) target = loaded;
  }
  if (!target || !view_.FindControl(*target, c)) {
    trace_.Line("invoke.refused", {f, c, "missing"});
    return false;
  }
  if (const char* refused = view_.Unreachable(*target, c)) {
    trace_.Line("invoke.refused", {f, c, refused});
    return false;
  }
  QTimer::singleShot(0, [this, f, c] { view_.Invoke(f, c); });
  return true;
}

QString QtAutomation::Read(const QString& form, const QString& control) {
  for (const Form* loaded : view_.Forms()) {
    if (loaded->name() != form.toStdString()) continue;
    if (control.isEmpty()) return QString::fromStdString(loaded->caption());
    const Control* c = view_.FindControl(*loaded, control.toStdString());
    if (!c) return {};
    switch (c->kind()) {
      case ControlKind::kTextBox:
        return QString::fromStdString(c->text());
      case ControlKind::kComboBox:
      case ControlKind::kListBox:
        return c->value() >= 0 && c->value() < static_cast<int>(c->items().size())
                   ? QString::fromStdString(c->items()[static_cast<size_t>(c->value())])
                   : QString();
      case ControlKind::kCheckBox:
      case ControlKind::kOption:
        return QString::number(c->value());
      default:
        return Plain(QString::fromStdString(
            c->kind() == ControlKind::kButton && !c->picture().empty() ? c->toolTip()
                                                                       : c->caption()));
    }
  }
  return {};
}

QStringList QtAutomation::Windows() {
  QStringList out;
  for (const Form* f : view_.Forms())
    out << QString::fromStdString(f->name()) + (f->visible() ? " visible" : " hidden");
  if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
    out << QStringLiteral("msgbox ") + box->text();
  return out;
}

bool QtAutomation::Answer(const QString& button) {
  auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
  if (!box) return false;
  for (QAbstractButton* b : box->buttons()) {
    if (Plain(b->text()) != Plain(button)) continue;
    trace_.Line("automation.answer", {Plain(button).toStdString()});
    QTimer::singleShot(0, b, [b] { b->click(); });
    return true;
  }
  return false;
}

}  // namespace unw

// The program's automation seam on the session bus, for the end-to-end checks and the run
// script: what any program of the same user in the same session could do with the windows
// anyway, no more. It presses a control or menu item only when a person could (as a click
// would: QtFormView::Invoke), reads what a window shows, and answers the message box on the
// screen with one of its buttons. Service org.korvante.Unwindle, object /Automation.
#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include "platform/trace.h"

namespace unw {

class QtFormView;

class QtAutomation : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.korvante.Unwindle.Automation")

 public:
  QtAutomation(Trace& trace, QtFormView& view);
  ~QtAutomation() override;
  // Takes the service's name on the session bus; false when there is no bus or the name is taken.
  bool Serve();

 public Q_SLOTS:
  // Presses control `control` ("cmdStart", "optWay(1)", "mnuExit") of the loaded form `form`.
  Q_SCRIPTABLE bool Invoke(const QString& form, const QString& control);
  // What control `control` of `form` shows (its caption, its text, or its entry chosen); with an
  // empty control, the window's title. Empty when there is no such control.
  Q_SCRIPTABLE QString Read(const QString& form, const QString& control);
  // The forms loaded now, each "name visible" or "name hidden", in load order; a message box
  // on the screen as "msgbox TEXT".
  Q_SCRIPTABLE QStringList Windows();
  // Presses the button of the message box on the screen whose text is `button` ("&Yes" or
  // "Yes"); false when no box or no such button is there.
  Q_SCRIPTABLE bool Answer(const QString& button);

 private:
  Trace& trace_;
  QtFormView& view_;
  bool serving_ = false;
};

}  // namespace unw

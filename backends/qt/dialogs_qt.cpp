#include "backends/qt/dialogs_qt.h"

#include <QMessageBox>
#include <QPushButton>
#include <string>

#include "backends/qt/form_view_qt.h"

namespace unw {

namespace {

QMessageBox::Icon IconOf(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kInformation:
      return QMessageBox::Information;
    case MessageIcon::kWarning:
      return QMessageBox::Warning;
    case MessageIcon::kQuestion:
      return QMessageBox::Question;
    case MessageIcon::kError:
      return QMessageBox::Critical;
    case MessageIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

}  // namespace

MessageAnswer QtDialogs::ShowMessage(std::uintptr_t owner, const Message& message) {
  std::string text = message.text;
  // Lines end in "\n" on this desktop.
  for (size_t at; (at = text.find("\r\n")) != std::string::npos;) text.erase(at, 1);
  trace_.Line("msgbox.open", {text, message.title});
  QMessageBox box(IconOf(message.icon), QString::fromStdString(message.title),
                  QString::fromStdString(text), QMessageBox::NoButton, view_.WindowOf(owner));
  box.setObjectName(QStringLiteral("msgbox"));
  box.setTextFormat(Qt::PlainText);
  if (message.buttons == MessageButtons::kYesNo) {
    box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
    box.setDefaultButton(message.defaultButton == MessageAnswer::kNo ? QMessageBox::No
                                                                     : QMessageBox::Yes);
    // Closing the box answers nothing; the question stays until a button is pressed.
    box.setEscapeButton(QMessageBox::NoButton);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
  }
  box.setWindowModality(Qt::ApplicationModal);
  if (message.alwaysOnTop) box.setWindowFlag(Qt::WindowStaysOnTopHint, true);
  const int pressed = box.exec();
  MessageAnswer answer = MessageAnswer::kNone;
  if (pressed == QMessageBox::Ok) answer = MessageAnswer::kOk;
  if (pressed == QMessageBox::Yes) answer = MessageAnswer::kYes;
  if (pressed == QMessageBox::No) answer = MessageAnswer::kNo;
  trace_.Line("msgbox", {text, message.title, std::to_string(static_cast<int>(answer))});
  return answer;
}

}  // namespace unw

#include "backends/win32/dialogs_win32.h"

#include <windows.h>

#include "backends/win32/wide_text.h"
#include "backends/win32/win32_util.h"

namespace unw {

namespace {

UINT StyleOf(const Message& m) {
  UINT style = m.buttons == MessageButtons::kYesNo ? MB_YESNO : MB_OK;
  switch (m.icon) {
    case MessageIcon::kNone:
      break;
    case MessageIcon::kInformation:
      style |= MB_ICONINFORMATION;
      break;
    case MessageIcon::kWarning:
      style |= MB_ICONEXCLAMATION;
      break;
    case MessageIcon::kQuestion:
      style |= MB_ICONQUESTION;
      break;
    case MessageIcon::kError:
      style |= MB_ICONERROR;
      break;
  }
  // Only No is ever a second button.
  if (m.buttons == MessageButtons::kYesNo && m.defaultButton == MessageAnswer::kNo)
    style |= MB_DEFBUTTON2;
  if (m.alwaysOnTop) style |= MB_SYSTEMMODAL;
  return style;
}

MessageAnswer AnswerOf(int id) {
  switch (id) {
    case IDOK:
      return MessageAnswer::kOk;
    case IDYES:
      return MessageAnswer::kYes;
    case IDNO:
      return MessageAnswer::kNo;
    default:
      return MessageAnswer::kNone;
  }
}

}  // namespace

std::string MessageBoxText(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

MessageAnswer Win32Dialogs::ShowMessage(std::uintptr_t owner, const Message& message) {
  const std::string text = MessageBoxText(message.text);
  const UINT style = StyleOf(message);
  const std::string styleText = std::to_string(style);
  trace_.Line("msgbox.open", {text, message.title, styleText});
  HWND ownerWnd = win32::AsHwnd(owner);
  if (ownerWnd && !IsWindow(ownerWnd)) ownerWnd = nullptr;
  const int answer =
      MessageBoxW(ownerWnd, win32::Wide(text).c_str(), win32::Wide(message.title).c_str(), style);
  trace_.Line("msgbox", {text, message.title, styleText, std::to_string(answer)});
  return AnswerOf(answer);
}

}  // namespace unw

// Standard dialogs of the system.
#pragma once

#include <cstdint>
#include <string>
#include <utility>

namespace unw {

// The buttons a message offers.
enum class MessageButtons { kOk, kYesNo };
// The picture beside the text.
enum class MessageIcon { kNone, kInformation, kWarning, kQuestion, kError };
// The button the user pressed; kNone when the box could not be shown.
enum class MessageAnswer { kNone, kOk, kYes, kNo };

// A message for the user: lines end in "\n".
struct Message {
  std::string text;
  std::string title;
  MessageButtons buttons = MessageButtons::kOk;
  MessageIcon icon = MessageIcon::kNone;
  MessageAnswer defaultButton = MessageAnswer::kNone;  // kNone: the first button
  bool alwaysOnTop = false;                            // above the windows of every program
};

// The usual kinds: a warning and a piece of information with an OK button, a question with Yes
// and No.
inline Message Warning(std::string text, std::string title) {
  return {std::move(text), std::move(title), MessageButtons::kOk, MessageIcon::kWarning};
}
inline Message Information(std::string text, std::string title) {
  return {std::move(text), std::move(title), MessageButtons::kOk, MessageIcon::kInformation};
}
inline Message Question(std::string text, std::string title) {
  return {std::move(text), std::move(title), MessageButtons::kYesNo, MessageIcon::kQuestion};
}

class Dialogs {
 public:
  virtual ~Dialogs() = default;
  // Shows a message box owned by `owner` (0 for none) until the user answers it; events go on
  // while it is open.
  virtual MessageAnswer ShowMessage(std::uintptr_t owner, const Message& message) = 0;
};

}  // namespace unw

// What every back end's message box must do the way the system's does it: show the text, the
// title, the buttons and the picture asked for, let Enter press the default button, stand above
// other programs' windows when asked, and give the button pressed. Each back end's test
// instantiates this suite with a fixture that presses a button of the next box once it is on the
// screen and looks at the box itself, not through the service.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/dialogs.h"

namespace unw {

// What the user saw of a box.
struct ShownMessage {
  bool shown = false;
  std::string title, text;
  std::vector<MessageAnswer> buttons;  // in their order
  MessageAnswer enterPresses = MessageAnswer::kNone;
  MessageIcon icon = MessageIcon::kNone;
  bool onTop = false;
};

// A fixture provides: Dialogs& dialogs(); void PressWhenShown(MessageAnswer button), for the
// next box; ShownMessage Shown(), what that box showed.
template <typename Fixture>
class MessageContract : public Fixture {};

TYPED_TEST_SUITE_P(MessageContract);

// The lines of a text, whichever way they end.
inline std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (text[i] == '\n')
      lines.emplace_back();
    else
      lines.back() += text[i];
  }
  return lines;
}

TYPED_TEST_P(MessageContract, AQuestionShowsEveryCharacterOfItsLinesAndGivesTheButtonPressed) {
  const Message question = Question("Zeit für eine Pause?\n\nベル läutet.", "Übung ベル");
  this->PressWhenShown(MessageAnswer::kNo);
  EXPECT_EQ(this->dialogs().ShowMessage(0, question), MessageAnswer::kNo);
  const ShownMessage shown = this->Shown();
  ASSERT_TRUE(shown.shown);
  EXPECT_EQ(shown.title, "Übung ベル");
  EXPECT_EQ(LinesOf(shown.text),
            (std::vector<std::string>{"Zeit für eine Pause?", "", "ベル läutet."}));
  EXPECT_EQ(shown.buttons, (std::vector{MessageAnswer::kYes, MessageAnswer::kNo}));
  EXPECT_EQ(shown.enterPresses, MessageAnswer::kYes);
  EXPECT_EQ(shown.icon, MessageIcon::kQuestion);
  EXPECT_FALSE(shown.onTop);
}

TYPED_TEST_P(MessageContract, EachKindShowsItsButtonsItsPictureAndItsDefault) {
  struct Case {
    MessageButtons buttons;
    MessageIcon icon;
    MessageAnswer defaultButton;
    bool onTop;
    MessageAnswer press;
    std::vector<MessageAnswer> shown;
    MessageAnswer enter;
  };
  using A = MessageAnswer;
  const Case cases[] = {
      {MessageButtons::kOk, MessageIcon::kInformation, A::kNone, false, A::kOk, {A::kOk}, A::kOk},
      {MessageButtons::kOk, MessageIcon::kWarning, A::kNone, false, A::kOk, {A::kOk}, A::kOk},
      {MessageButtons::kOk, MessageIcon::kError, A::kNone, false, A::kOk, {A::kOk}, A::kOk},
      {MessageButtons::kOk, MessageIcon::kNone, A::kNone, false, A::kOk, {A::kOk}, A::kOk},
      {MessageButtons::kYesNo,
       MessageIcon::kQuestion,
       A::kNo,
       false,
       A::kYes,
       {A::kYes, A::kNo},
       A::kNo},
      {MessageButtons::kYesNo,
       MessageIcon::kQuestion,
       A::kNone,
       true,
       A::kYes,
       {A::kYes, A::kNo},
       A::kYes},
  };
  for (const Case& c : cases) {
    const size_t index = static_cast<size_t>(&c - cases);
    Message m{
        "Text " + std::to_string(index), "Title", c.buttons, c.icon, c.defaultButton, c.onTop};
    this->PressWhenShown(c.press);
    EXPECT_EQ(this->dialogs().ShowMessage(0, m), c.press) << index;
    const ShownMessage shown = this->Shown();
    ASSERT_TRUE(shown.shown) << index;
    EXPECT_EQ(shown.text, m.text) << index;
    EXPECT_EQ(shown.buttons, c.shown) << index;
    EXPECT_EQ(shown.enterPresses, c.enter) << index;
    EXPECT_EQ(shown.icon, c.icon) << index;
    EXPECT_EQ(shown.onTop, c.onTop) << index;
  }
}

REGISTER_TYPED_TEST_SUITE_P(MessageContract,
                            AQuestionShowsEveryCharacterOfItsLinesAndGivesTheButtonPressed,
                            EachKindShowsItsButtonsItsPictureAndItsDefault);

}  // namespace unw

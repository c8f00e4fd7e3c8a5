// Texts and layout shared by the break windows.
#pragma once

#include <string>

namespace unw {

class App;
class Control;
class Texts;

// The prompt's tooltips for a time: "Reminder in 10 minutes", "Unwindle for 30 seconds"; minutes
// when there are any, else seconds, each in its plural form.
std::string ReminderInText(const Texts& texts, int minutes, int seconds);
std::string UnwindleForText(const Texts& texts, int minutes, int seconds);
// Gives a label the size of its caption in its font (a label that sizes itself).
void AutoSizeLabel(App& app, Control& label);
// The caption of the windows of a break: `caption` with the maker's address as its {url}.
std::string MakerCaption(const Texts& texts, const char* caption);

}  // namespace unw

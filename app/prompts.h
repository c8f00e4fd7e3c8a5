// Texts and layout shared by the break windows.
#pragma once

#include <string>

namespace unw {

class App;
class Control;

// "10 minutes", "1 minute", "30 seconds", "1 second": minutes when there are any.
std::string DurationText(int minutes, int seconds);
// Gives a label the size of its caption in its font (a label that sizes itself).
void AutoSizeLabel(App& app, Control& label);
// The caption of the windows of a break: "KORVANTE - " and the maker's address.
std::string MakerCaption(const char* lead);

}  // namespace unw

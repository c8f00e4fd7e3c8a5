// Helpers of the number fields the user types time into.
#pragma once

#include <string>

namespace unw {

class Control;

// True when `text` is made of decimal digits only (and not empty); `value` is its number.
bool DigitsOnly(const std::string& text, long& value);
// The key filter of number fields: digits and Backspace pass, anything else is dropped.
void FilterDigitKey(int& keyAscii);
// Selects the whole text of a box, so that typing replaces it.
void SelectAll(Control& box);

}  // namespace unw

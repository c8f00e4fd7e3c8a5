// Helpers of the number fields the user types time into.
#pragma once

#include <optional>
#include <string>

namespace unw {

class Control;
struct SettingInfo;

// True when `text` is made of decimal digits only (and not empty); `value` is its number.
bool DigitsOnly(const std::string& text, long& value);
// The key filter of number fields: digits and Backspace pass, anything else is dropped.
void FilterDigitKey(int& keyAscii);
// Selects the whole text of a box, so that typing replaces it.
void SelectAll(Control& box);
// The number a field holds for `setting`, cut to the setting's largest value (the field then
// shows that value). None when the field is empty or holds anything but digits (pasted text):
// such a field changes nothing.
std::optional<long> FieldNumber(Control& box, const SettingInfo& setting);

}  // namespace unw

#include "app/time_entry.h"

#include "forms/control.h"
#include "platform/decimal.h"
#include "settings/settings.h"

namespace unw {

bool DigitsOnly(const std::string& text, long& value) {
  if (text.size() > 9) return false;
  const std::optional<int64_t> digits = ReadDigits(text);
  if (!digits) return false;
  value = static_cast<long>(*digits);
  return true;
}

void FilterDigitKey(int& keyAscii) {
  if (keyAscii != 8 && (keyAscii < '0' || keyAscii > '9')) keyAscii = 0;
}

void SelectAll(Control& box) {
  box.SetSelection(0, static_cast<int>(box.text().size()));
}

std::optional<long> FieldNumber(Control& box, const SettingInfo& setting) {
  long v = 0;
  if (!DigitsOnly(box.text(), v)) return std::nullopt;
  if (v > setting.hi) {
    v = setting.hi;
    box.SetText(std::to_string(v));
  }
  return v;
}

}  // namespace unw

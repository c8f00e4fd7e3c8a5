// The one-time change of the work interval in the main window: edited in
// place, used by the next start, never stored.
#include "app/app.h"
#include "app/frm_timer.h"
#include "cycle/time_entry.h"
#include "settings/number_text.h"

#include <type_traits>

namespace unw {

bool DigitsOnly(const std::string& text, long& value) {
  if (text.empty() || text.size() > 9) return false;
  value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  return true;
}

void FilterDigitKey(int& keyAscii) {
  if (keyAscii != 8 && (keyAscii < '0' || keyAscii > '9')) keyAscii = 0;
}

void SelectAll(Control& box) {
  box.SetSelection(0, static_cast<int>(box.text().size()));
}

void FrmTimer::SetEditing(bool editing) {
  Ctl("cmdStart").SetEnabled(!editing);
  Ctl("cmdUnwindle").SetEnabled(!editing);
  for (const char* item : {"mnuStart", "mnuPause", "mnuStop", "mnuUnwindle", "mnuSep02"})
    Ctl(item).SetVisible(!editing);
  Ctl("cmdSave").SetVisible(editing);
  Ctl("cmdChange").SetVisible(!editing);
}

void FrmTimer::cmdChange_Click() {
  SetEditing(true);
  const Settings& s = app_.settings;
  Ctl("txtHours").SetText(TwoDigit(s.Hours));
  Ctl("txtMinutes").SetText(TwoDigit(s.Minutes));
  Ctl("txtSeconds").SetText(TwoDigit(s.Seconds));
  for (const char* box : {"txtHours", "txtMinutes", "txtSeconds"}) Ctl(box).SetVisible(true);
  Ctl("txtHours").SetFocus();
}

void FrmTimer::cmdSave_Click() {
  SetEditing(false);
  for (const char* box : {"txtHours", "txtMinutes", "txtSeconds"}) Ctl(box).SetVisible(false);
  Settings& s = app_.settings;
  // Only digits can be typed; anything pasted that is not a number counts as empty.
  auto take = [this](const char* name, long limit, auto& target) {
    Control& box = Ctl(name);
    long v = 0;
    if (!DigitsOnly(box.text(), v)) return;
    if (v > limit) {
      box.SetText(std::to_string(limit));
      v = limit;
    }
    target = static_cast<std::remove_reference_t<decltype(target)>>(v);
  };
  take("txtHours", 99, s.Hours);
  take("txtMinutes", 59, s.Minutes);
  take("txtSeconds", 59, s.Seconds);
  ShowInterval();
}

}  // namespace unw

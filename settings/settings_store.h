// The settings store: the settings' texts in the platform's settings storage, and the load and
// repair of the working copies.
#pragma once

#include <string>

#include "platform/settings_storage.h"
#include "settings/settings.h"

namespace unw {

class SettingsStore {
 public:
  explicit SettingsStore(SettingsStorage& storage) : storage_(storage) {}

  // Text of a stored setting; empty when missing or unreadable.
  std::string ReadSettingValue(const std::string& name);
  // Stores `text`; an empty text is stored as " ". False when the storage refused.
  bool WriteSettingValue(const std::string& name, const std::string& text);

  // Loads every setting into `s`, repairing each value that is missing, not a number or out of
  // range by itself. The working copies end up in range even when the store refuses the repairs.
  void LoadSettings(Settings& s);

  // Loads one setting. A missing value gets its default stored; a value out of range, a text its
  // setting cannot use, or (when `repairUnreadable`) one that is not a number, is repaired: its
  // default is stored and used, whether or not the store takes the write. A value that is not a
  // number is otherwise left as it is, with its working copy. False when the stored value could
  // not be used.
  bool LoadSetting(const SettingInfo& info, Settings& s, bool repairUnreadable = true);
  // Reads one stored setting into its working copy; false when not a number.
  bool ReadInto(const SettingInfo& info, Settings& s);

 private:
  SettingsStorage& storage_;
};

}  // namespace unw

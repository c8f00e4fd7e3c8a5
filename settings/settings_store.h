// The settings store: text values under the current user's key, the load
// and repair of the working copies, and the launch-on-startup entry.
#pragma once

#include <cstdint>
#include <string>

#include "platform/registry.h"
#include "settings/settings.h"

namespace unw {

class Workstation;

class SettingsStore {
 public:
  explicit SettingsStore(Registry& reg) : reg_(reg) {}

  // Text of a value in the current user's keys; empty when missing or unreadable.
  std::string ReadSettingValue(const std::string& key, const std::string& name);
  // Stores `text` as REG_SZ with its NUL; an empty text is stored as " ".
  bool WriteSettingValue(const std::string& key, const std::string& name, const std::string& text);
  bool DeleteSettingValue(const std::string& key, const std::string& name);
  // A REG_DWORD below any root; `def` when missing or of another type.
  int32_t ReadDwordValue(RegKey root, const std::string& key, const std::string& name, int32_t def);

  // Loads every setting into `s`, repairing each value that is missing, not a number or out of
  // range by itself. The working copies end up in range even when the store refuses the repairs.
  void LoadSettings(Settings& s);
  // Writes or removes the Run entry for the program at `exePath`; false when the store refused.
  bool SetLaunchOnStartup(bool enable, const std::string& exePath);

  // Loads one setting. A missing value gets its default stored; a value out of range, a text its
  // setting cannot use, or (when `repairUnreadable`) one that is not a number, is repaired: its
  // default is stored and used, whether or not the store takes the write. A value that is not a
  // number is otherwise left as it is, with its working copy. False when the stored value could
  // not be used.
  bool LoadSetting(const SettingInfo& info, Settings& s, bool repairUnreadable = true);
  // Reads one stored setting into its working copy; false when not a number.
  bool ReadInto(const SettingInfo& info, Settings& s);

 private:
  Registry& reg_;
};

// Full path of the running program, as the Run entry stores it (quoted).
std::string LaunchCommand(Workstation& ws);

}  // namespace unw

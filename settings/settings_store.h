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

  // Text of a value below HKEY_CURRENT_USER; empty when missing or unreadable.
  std::string ReadSettingValue(const std::string& key, const std::string& name);
  // Stores `text` as REG_SZ with its NUL; an empty text is stored as " ".
  bool WriteSettingValue(const std::string& key, const std::string& name, const std::string& text);
  bool DeleteSettingValue(const std::string& key, const std::string& name);
  // A REG_DWORD below any root; `def` when missing or of another type.
  int32_t ReadDwordValue(RegKey root, const std::string& key, const std::string& name, int32_t def);

  // Loads every setting into `s`, repairing missing and out-of-range values.
  // False as soon as a stored value is not a number.
  bool LoadSettings(Settings& s);
  // Writes every default and reads it back.
  void ResetSettings(Settings& s);
  // Writes or removes the Run entry for the program at `exePath`.
  void SetLaunchOnStartup(bool enable, const std::string& exePath);

  // Loads one setting, writing its default when missing or out of range;
  // false when the stored text is not a number (the working copy is kept).
  bool LoadSetting(const SettingInfo& info, Settings& s);
  // Reads one stored setting into its working copy; false when not a number.
  bool ReadInto(const SettingInfo& info, Settings& s);

 private:
  Registry& reg_;
};

// Full path of the running program, as the Run entry stores it (quoted).
std::string LaunchCommand(Workstation& ws);

}  // namespace unw

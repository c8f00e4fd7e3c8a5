// The settings and the start at sign-in, kept in the current user's registry: each setting is a
// REG_SZ value (with its NUL) of the program's key, the start at sign-in the program's quoted
// path as the value "Unwindle" of the Run key. Writes are traced with full key paths.
#pragma once

#include <string>
#include <utility>

#include "platform/settings_storage.h"
#include "platform/startup_launch.h"
#include "platform/trace.h"

namespace unw {

// Below HKEY_CURRENT_USER.
inline constexpr const char* kSettingsKey = "Software\\KORVANTE\\Unwindle";
inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

// Values longer than this (as UTF-8) are no setting's text: refusing them keeps a corrupt store
// from asking for an absurd buffer.
inline constexpr size_t kLargestSettingBytes = size_t{1} << 20;

// A setting reads as the text of its value, up to its first NUL (a value stored without one keeps
// every character), whatever its type; a DWORD that another tool stored reads as its number. The
// key is made when first read or written; a key the user may read but not write is still read.
class Win32SettingsStorage : public SettingsStorage {
 public:
  explicit Win32SettingsStorage(Trace& trace, std::string key = kSettingsKey)
      : trace_(trace), key_(std::move(key)) {}
  SettingStatus Read(const std::string& name, std::string& text) override;
  SettingStatus Write(const std::string& name, const std::string& text) override;
  SettingStatus Remove(const std::string& name) override;

 private:
  Trace& trace_;
  std::string key_;
};

// The entry names the running program (LaunchCommand).
class Win32StartupLaunch : public StartupLaunch {
 public:
  explicit Win32StartupLaunch(Trace& trace, std::string key = kRunKey,
                              std::string value = "Unwindle")
      : trace_(trace), key_(std::move(key)), value_(std::move(value)) {}
  bool TurnOn() override;
  bool TurnOff() override;
  bool IsOn() override;

 private:
  Trace& trace_;
  std::string key_, value_;
};

// What the Run entry holds: the program in `folder`, quoted so that a folder with spaces cannot
// start another program.
std::string LaunchCommand(const std::string& folder, const std::string& exeName);

}  // namespace unw

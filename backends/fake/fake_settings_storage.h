// The stored settings as named texts in memory (names ignore case), which the test can make
// read-only or unavailable; and the start at sign-in as a switch. Writes are traced.
#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>

#include "platform/settings_storage.h"
#include "platform/startup_launch.h"
#include "platform/trace.h"

namespace unw {

class FakeSettingsStorage : public SettingsStorage {
 public:
  explicit FakeSettingsStorage(Trace& trace) : trace_(trace) {}
  SettingStatus Read(const std::string& name, std::string& text) override;
  SettingStatus Write(const std::string& name, const std::string& text) override;
  SettingStatus Remove(const std::string& name) override;

  // Everything is denied while unavailable.
  void SetUnavailable(bool on) { unavailable_ = on; }
  // The user may read but not write: writes and removals are denied.
  void SetReadOnly(bool on) { readOnly_ = on; }

  // Direct access for tests.
  void Plant(const std::string& name, const std::string& text);
  // A value that is there but cannot be read as a text (kFailed) until it is written or removed.
  void PlantUnreadable(const std::string& name);
  std::optional<std::string> Text(const std::string& name) const;
  size_t Count() const { return values_.size(); }
  // Writes and removals carried out.
  int writes() const { return writes_; }

 private:
  static std::string Lower(const std::string& s);

  Trace& trace_;
  std::map<std::string, std::string> values_;  // by lower-case name
  std::set<std::string> unreadable_;           // lower-case names
  bool unavailable_ = false;
  bool readOnly_ = false;
  int writes_ = 0;
};

class FakeStartupLaunch : public StartupLaunch {
 public:
  explicit FakeStartupLaunch(Trace& trace) : trace_(trace) {}
  bool TurnOn() override;
  bool TurnOff() override;
  bool IsOn() override { return on; }

  bool on = false;
  // The system refuses every change.
  bool refuses = false;

 private:
  Trace& trace_;
};

}  // namespace unw

#include "backends/fake/fake_settings_storage.h"

#include <algorithm>
#include <cctype>

namespace unw {

std::string FakeSettingsStorage::Lower(const std::string& s) {
  std::string l = s;
  std::transform(l.begin(), l.end(), l.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return l;
}

SettingStatus FakeSettingsStorage::Read(const std::string& name, std::string& text) {
  if (unavailable_) return SettingStatus::kDenied;
  auto v = values_.find(Lower(name));
  if (v == values_.end()) return SettingStatus::kMissing;
  if (unreadable_.count(v->first)) return SettingStatus::kFailed;
  text = v->second;
  return SettingStatus::kOk;
}

SettingStatus FakeSettingsStorage::Write(const std::string& name, const std::string& text) {
  if (unavailable_ || readOnly_) return SettingStatus::kDenied;
  values_[Lower(name)] = text;
  unreadable_.erase(Lower(name));
  ++writes_;
  trace_.Line("reg.set", {"settings", name, "REG_SZ", text});
  return SettingStatus::kOk;
}

SettingStatus FakeSettingsStorage::Remove(const std::string& name) {
  if (unavailable_ || readOnly_) return SettingStatus::kDenied;
  const bool removed = values_.erase(Lower(name)) > 0;
  unreadable_.erase(Lower(name));
  if (removed) ++writes_;
  trace_.Line("reg.delete", {"settings", name, removed ? "ok" : "missing"});
  return removed ? SettingStatus::kOk : SettingStatus::kMissing;
}

void FakeSettingsStorage::Plant(const std::string& name, const std::string& text) {
  values_[Lower(name)] = text;
  unreadable_.erase(Lower(name));
}

void FakeSettingsStorage::PlantUnreadable(const std::string& name) {
  values_[Lower(name)] = "";
  unreadable_.insert(Lower(name));
}

std::optional<std::string> FakeSettingsStorage::Text(const std::string& name) const {
  auto v = values_.find(Lower(name));
  return v == values_.end() ? std::nullopt : std::optional<std::string>(v->second);
}

bool FakeStartupLaunch::TurnOn() {
  if (refuses) return false;
  on = true;
  trace_.Line("reg.set", {"startup", "Unwindle", "REG_SZ", "on"});
  return true;
}

bool FakeStartupLaunch::TurnOff() {
  if (!on) return true;
  if (refuses) return false;
  on = false;
  trace_.Line("reg.delete", {"startup", "Unwindle", "ok"});
  return true;
}

}  // namespace unw

#include "settings/settings_store.h"

#include "settings/number_text.h"
#include "settings/utf8_text.h"

namespace unw {

std::string SettingsStore::ReadSettingValue(const std::string& name) {
  std::string text;
  if (storage_.Read(name, text) != SettingStatus::kOk) return {};
  return text;
}

bool SettingsStore::WriteSettingValue(const std::string& name, const std::string& text) {
  return storage_.Write(name, text.empty() ? std::string(" ") : text) == SettingStatus::kOk;
}

bool SettingsStore::ReadInto(const SettingInfo& info, Settings& s) {
  std::string text = ReadSettingValue(info.name);
  if (info.text) {
    if (!WellFormedUtf8(text)) return false;
    s.*info.text = text;
    return true;
  }
  int16_t v = 0;
  if (!TextToInt16(text, v)) return false;
  info.Set(s, v);
  return true;
}

bool SettingsStore::LoadSetting(const SettingInfo& info, Settings& s, bool repairUnreadable) {
  if (ReadSettingValue(info.name).empty()) WriteSettingValue(info.name, info.defaultText);
  const std::string text = ReadSettingValue(info.name);
  if (info.text) {
    // Bytes that are not UTF-8 are no text at all: the default, as for an unreadable number.
    if (!WellFormedUtf8(text)) {
      WriteSettingValue(info.name, info.defaultText);
      s.*info.text = *info.defaultText ? info.defaultText : " ";
      return false;
    }
    // Any text will do, unless the setting has a form of its own: then what cannot be used is
    // repaired by itself. An unset one reads as the blank the store keeps for it.
    if (info.repairText && !text.empty()) {
      const std::string repaired = info.repairText(text);
      if (repaired != text) {
        WriteSettingValue(info.name, repaired);
        s.*info.text = repaired.empty() ? " " : repaired;
        return false;
      }
    }
    s.*info.text = text.empty() ? " " : text;
    return !text.empty();
  }
  int16_t v = 0;
  const bool readable = TextToInt16(text, v);
  if (readable && info.InRange(v)) {
    info.Set(s, v);
    return true;
  }
  if (!readable && !repairUnreadable) return false;
  WriteSettingValue(info.name, info.defaultText);
  TextToInt16(info.defaultText, v);
  info.Set(s, v);
  return false;
}

void SettingsStore::LoadSettings(Settings& s) {
  for (const SettingInfo& info : SettingsTable()) LoadSetting(info, s);
}

}  // namespace unw

#include "settings/settings_store.h"

#include <vector>

#include "platform/workstation.h"
#include "settings/number_text.h"

namespace unw {

namespace {

// Larger values are not settings; refusing them keeps a corrupt store from
// asking for an absurd buffer.
constexpr uint32_t kMaxValueBytes = 1u << 20;

}  // namespace

std::string SettingsStore::ReadSettingValue(const std::string& key, const std::string& name) {
  RegKey h = 0;
  uint32_t disposition = 0;
  long rc = reg_.CreateKeyEx(kHkeyCurrentUser, key, kKeyAllAccess, h, disposition);
  // A key the user may read but not write still has its values to read.
  if (rc == kErrorAccessDenied) rc = reg_.OpenKeyEx(kHkeyCurrentUser, key, kKeyRead, h);
  if (rc != kErrorSuccess) return {};
  std::string result;
  uint8_t scratch[4] = {};
  uint32_t size = 0;
  uint32_t type = 0;
  reg_.QueryValueEx(h, name, &type, scratch, &size);
  if (size > 0 && size <= kMaxValueBytes) {
    std::vector<uint8_t> buf(size);
    if (reg_.QueryValueEx(h, name, &type, buf.data(), &size) == kErrorSuccess &&
        size <= buf.size()) {
      if (type == kRegDword && size == 4) {
        // Another tool may store a number as a DWORD: read it as that number.
        uint32_t v = buf[0] | (buf[1] << 8) | (buf[2] << 16) | (uint32_t(buf[3]) << 24);
        result = std::to_string(v);
      } else {
        // The text ends at its NUL; a value stored without one keeps every character.
        size_t n = 0;
        while (n < size && buf[n] != 0) ++n;
        result.assign(reinterpret_cast<const char*>(buf.data()), n);
      }
    }
  }
  reg_.CloseKey(h);
  return result;
}

bool SettingsStore::WriteSettingValue(const std::string& key, const std::string& name,
                                      const std::string& text) {
  const std::string& t = text.empty() ? std::string(" ") : text;
  RegKey h = 0;
  uint32_t disposition = 0;
  if (reg_.CreateKeyEx(kHkeyCurrentUser, key, kKeyAllAccess, h, disposition) != kErrorSuccess)
    return false;
  long rc = reg_.SetValueEx(h, name, kRegSz, reinterpret_cast<const uint8_t*>(t.c_str()),
                            static_cast<uint32_t>(t.size() + 1));
  reg_.CloseKey(h);
  return rc == kErrorSuccess;
}

bool SettingsStore::DeleteSettingValue(const std::string& key, const std::string& name) {
  RegKey h = 0;
  if (reg_.OpenKeyEx(kHkeyCurrentUser, key, kKeyWrite, h) != kErrorSuccess) return false;
  bool ok = reg_.DeleteValue(h, name) == kErrorSuccess;
  reg_.CloseKey(h);
  return ok;
}

int32_t SettingsStore::ReadDwordValue(RegKey root, const std::string& key, const std::string& name,
                                      int32_t def) {
  RegKey h = 0;
  if (reg_.OpenKey(root, key, h) != kErrorSuccess) return def;
  int32_t result = def;
  uint8_t buf[4] = {};
  uint32_t size = 4;
  uint32_t type = 0;
  if (reg_.QueryValueEx(h, name, &type, buf, &size) == kErrorSuccess && type == kRegDword &&
      size == 4)
    result =
        static_cast<int32_t>(buf[0] | (buf[1] << 8) | (buf[2] << 16) | (uint32_t(buf[3]) << 24));
  reg_.CloseKey(h);
  return result;
}

bool SettingsStore::ReadInto(const SettingInfo& info, Settings& s) {
  std::string text = ReadSettingValue(kSettingsKey, info.name);
  if (info.text) {
    s.*info.text = text;
    return true;
  }
  int16_t v = 0;
  if (!TextToInt16(text, v)) return false;
  info.Set(s, v);
  return true;
}

bool SettingsStore::LoadSetting(const SettingInfo& info, Settings& s, bool repairUnreadable) {
  if (ReadSettingValue(kSettingsKey, info.name).empty())
    WriteSettingValue(kSettingsKey, info.name, info.defaultText);
  const std::string text = ReadSettingValue(kSettingsKey, info.name);
  if (info.text) {
    // Any text will do, unless the setting has a form of its own: then what cannot be used is
    // repaired by itself. An unset one reads as the blank the store keeps for it.
    if (info.repairText && !text.empty()) {
      const std::string repaired = info.repairText(text);
      if (repaired != text) {
        WriteSettingValue(kSettingsKey, info.name, repaired);
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
  WriteSettingValue(kSettingsKey, info.name, info.defaultText);
  TextToInt16(info.defaultText, v);
  info.Set(s, v);
  return false;
}

void SettingsStore::LoadSettings(Settings& s) {
  for (const SettingInfo& info : SettingsTable()) LoadSetting(info, s);
}

bool SettingsStore::SetLaunchOnStartup(bool enable, const std::string& exePath) {
  if (enable) return WriteSettingValue(kRunKey, kRunValue, exePath);
  // An entry (or a key) that is not there is as good as deleted.
  RegKey h = 0;
  long rc = reg_.OpenKeyEx(kHkeyCurrentUser, kRunKey, kKeyWrite, h);
  if (rc == kErrorFileNotFound) return true;
  if (rc != kErrorSuccess) return false;
  rc = reg_.DeleteValue(h, kRunValue);
  reg_.CloseKey(h);
  return rc == kErrorSuccess || rc == kErrorFileNotFound;
}

std::string LaunchCommand(Workstation& ws) {
  std::string dir = ws.AppPath();
  if (!dir.empty() && dir.back() != '\\') dir += '\\';
  // Quoted, so a folder with spaces cannot start another program.
  return "\"" + dir + ws.AppExeName() + ".exe\"";
}

}  // namespace unw

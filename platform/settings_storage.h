// Where the program keeps its settings: named texts of the current user's that outlive the
// program. How and where they are kept (on Windows, values below the user's registry key) is the
// back end's business; the core sees names, texts and what became of each request.
#pragma once

#include <string>

namespace unw {

enum class SettingStatus {
  kOk,
  kMissing,  // there is no such value (removing: it was not there)
  kDenied,   // the user may not read or write it
  kFailed,   // anything else: a value that is no setting's text, a broken store
};

class SettingsStorage {
 public:
  virtual ~SettingsStorage() = default;
  // The text stored as `name` (names ignore case). `text` is left alone unless kOk.
  virtual SettingStatus Read(const std::string& name, std::string& text) = 0;
  // Stores `text` as `name`, replacing what was there; it reads back as written.
  virtual SettingStatus Write(const std::string& name, const std::string& text) = 0;
  // Removes the value `name`; kMissing when there was none.
  virtual SettingStatus Remove(const std::string& name) = 0;
};

}  // namespace unw

// The settings and the start at sign-in on a Linux desktop. Each setting is a line "Name=text" of
// the section [Unwindle] in $XDG_CONFIG_HOME/KORVANTE/Unwindle.ini, under the same names as the
// values of the Windows registry key; the start at sign-in is the desktop entry
// $XDG_CONFIG_HOME/autostart/unwindle.desktop, there only while the user wants it.
//
// The file is read afresh for every request (it is small, and another copy of the program or the
// user may have changed it) and replaced whole for every change, by a temporary file renamed over
// it: a crash loses at most the change it interrupted. Each change holds an advisory lock (flock
// of Unwindle.ini.lock beside it) from reading the file to replacing it, so that the changes of two
// processes follow each other instead of one losing the other's. A text is stored so that it reads
// back as written: a backslash, a line break, a tab or a NUL is escaped (\\ \n \r \t \0), and a
// text with a space at either end or a quote at its start is quoted. What a person typed into the
// file is read leniently: a backslash before anything else stays as it is, spaces around the '='
// go.
#pragma once

#include <string>
#include <string_view>

#include "platform/settings_storage.h"
#include "platform/startup_launch.h"
#include "platform/trace.h"

namespace unw {

class IniSettingsStorage : public SettingsStorage {
 public:
  // `path` empty: $XDG_CONFIG_HOME/KORVANTE/Unwindle.ini.
  explicit IniSettingsStorage(Trace& trace, std::string path = "");
  SettingStatus Read(const std::string& name, std::string& text) override;
  SettingStatus Write(const std::string& name, const std::string& text) override;
  SettingStatus Remove(const std::string& name) override;

  const std::string& path() const { return path_; }

 private:
  // The file's lines as they are, and why it could not be read.
  SettingStatus Load(std::string& content);
  SettingStatus Change(const std::string& name, const std::string* text);

  Trace& trace_;
  std::string path_;
};

// How a text is written after "Name=" and read back from it.
std::string IniValue(std::string_view text);
std::string IniText(std::string_view value);

class DesktopStartupLaunch : public StartupLaunch {
 public:
  // `entry` empty: $XDG_CONFIG_HOME/autostart/unwindle.desktop; `program`: the path it starts
  // (empty: this program).
  explicit DesktopStartupLaunch(Trace& trace, std::string entry = "", std::string program = "");
  bool TurnOn() override;
  bool TurnOff() override;
  bool IsOn() override;

 private:
  Trace& trace_;
  std::string entry_, program_;
};

// The desktop entry that starts `program` at sign-in (its Exec quoted as the entry rules ask).
std::string AutostartEntry(const std::string& program);
// The full path of the running program (/proc/self/exe).
std::string ProgramPath();

}  // namespace unw

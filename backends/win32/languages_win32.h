// The user's preferred user interface languages (GetUserPreferredUILanguages, not the regional
// format) and the catalogues compiled into the program as resources of type MO (of another module
// when given one: unwindle.com reads unwindle.exe's).
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

#include "platform/languages.h"
#include "platform/trace.h"

namespace unw {

class Win32Languages : public Languages {
 public:
  explicit Win32Languages(Trace& trace, HMODULE module = nullptr)
      : trace_(trace), module_(module) {}
  std::vector<std::string> PreferredUiLanguages() override;
  std::vector<std::string_view> Catalogues() override;

 private:
  Trace& trace_;
  HMODULE module_;
};

}  // namespace unw

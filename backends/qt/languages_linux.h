// The languages on Linux: the user's from the environment as gettext reads it (LANGUAGE, a list,
// then LC_ALL, LC_MESSAGES, LANG, the first that is set), and the catalogues the program carries.
#pragma once

#include <string>
#include <vector>

#include "platform/languages.h"
#include "platform/trace.h"

namespace unw {

class LinuxLanguages : public Languages {
 public:
  explicit LinuxLanguages(Trace& trace) : trace_(trace) {}
  std::vector<std::string> PreferredUiLanguages() override;
  std::vector<std::string_view> Catalogues() override;

 private:
  Trace& trace_;
};

// The languages that the variables' values ask for, most wanted first, as tags ("de-DE"): a locale
// "de_DE.UTF-8@euro" is "de-DE"; the C locale asks for none (the program's own English), and so
// does a LANGUAGE list under it, as gettext has it.
std::vector<std::string> LanguagesFromEnvironment(const char* language, const char* lcAll,
                                                  const char* lcMessages, const char* lang);

}  // namespace unw

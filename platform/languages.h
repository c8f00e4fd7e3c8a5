// The languages: which ones the user wants the system's windows in, and the message catalogues
// the program carries.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace unw {

class Languages {
 public:
  virtual ~Languages() = default;
  // The user's preferred languages for the user interface, most wanted first, as tags ("de-DE",
  // "zh-CN"); not the regional format, which says how dates are written. Empty when unknown.
  virtual std::vector<std::string> PreferredUiLanguages() = 0;
  // The compiled catalogues (.mo) the program carries, as they are stored; the bytes live as
  // long as the program.
  virtual std::vector<std::string_view> Catalogues() = 0;
};

}  // namespace unw

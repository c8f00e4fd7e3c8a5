// The user's languages as a test sets them, and the catalogues the program carries as a test
// plants them (the build's own, or spoilt ones).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/languages.h"

namespace unw {

class FakeLanguages : public Languages {
 public:
  std::vector<std::string> PreferredUiLanguages() override { return preferred; }
  std::vector<std::string_view> Catalogues() override {
    return std::vector<std::string_view>(catalogues.begin(), catalogues.end());
  }

  std::vector<std::string> preferred = {"en-US"};
  std::vector<std::string> catalogues;  // the bytes of each
};

}  // namespace unw

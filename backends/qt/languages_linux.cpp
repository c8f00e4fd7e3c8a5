#include "backends/qt/languages_linux.h"

#include <algorithm>
#include <cstdlib>

#include "backends/qt/embedded_linux.h"

namespace unw {

namespace {

// "de_DE.UTF-8@euro" -> "de-DE"; "" for the C locale or nothing.
std::string TagOfLocale(std::string locale) {
  locale = locale.substr(0, locale.find_first_of(".@"));
  if (locale.empty() || locale == "C" || locale == "POSIX") return "";
  for (char& c : locale)
    if (c == '_') c = '-';
  return locale;
}

bool Set(const char* value) {
  return value && *value;
}

}  // namespace

std::vector<std::string> LanguagesFromEnvironment(const char* language, const char* lcAll,
                                                  const char* lcMessages, const char* lang) {
  const char* locale = Set(lcAll) ? lcAll : Set(lcMessages) ? lcMessages : lang;
  const std::string own = TagOfLocale(Set(locale) ? locale : "");
  std::vector<std::string> out;
  if (own.empty()) return out;
  auto add = [&](const std::string& tag) {
    if (!tag.empty() && std::find(out.begin(), out.end(), tag) == out.end()) out.push_back(tag);
  };
  const std::string list = Set(language) ? language : "";
  for (size_t at = 0; at < list.size();) {
    const size_t end = std::min(list.find(':', at), list.size());
    add(TagOfLocale(list.substr(at, end - at)));
    at = end + 1;
  }
  add(own);
  return out;
}

std::vector<std::string> LinuxLanguages::PreferredUiLanguages() {
  std::vector<std::string> out =
      LanguagesFromEnvironment(std::getenv("LANGUAGE"), std::getenv("LC_ALL"),
                               std::getenv("LC_MESSAGES"), std::getenv("LANG"));
  std::string joined;
  for (const std::string& tag : out) joined += (joined.empty() ? "" : ";") + tag;
  trace_.Line("language.preferred", {joined});
  return out;
}

std::vector<std::string_view> LinuxLanguages::Catalogues() {
  std::vector<std::string_view> out;
  for (const linux_sys::Embedded& e : linux_sys::kCatalogues) out.push_back(e.bytes);
  trace_.Line("language.catalogues", {std::to_string(out.size())});
  return out;
}

}  // namespace unw

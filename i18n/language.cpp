#include "i18n/language.h"

namespace unw {

namespace {

bool Letter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
bool Digit(char c) {
  return c >= '0' && c <= '9';
}
char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
bool Separator(char c) {
  return c == '-' || c == '_';
}

// The tag of `available` that `wanted` names, whole or by its base language: "" for none,
// "en" for English.
std::string Match(std::string_view wanted, const std::vector<std::string>& available) {
  for (const std::string_view tag : {wanted, BaseLanguage(wanted)})
    for (const auto& a : available)
      if (SameTag(a, tag)) return a;
  return SameTag(BaseLanguage(wanted), "en") ? "en" : "";
}

}  // namespace

bool LanguageTagUsable(std::string_view tag) {
  if (tag.empty()) return true;
  if (tag.size() > 35) return false;
  size_t start = 0;
  bool first = true;
  while (start <= tag.size()) {
    size_t end = tag.find('-', start);
    if (end == std::string_view::npos) end = tag.size();
    const std::string_view part = tag.substr(start, end - start);
    if (part.empty() || part.size() > 8) return false;
    for (const char c : part)
      if (!Letter(c) && !(Digit(c) && !first)) return false;
    if (first && (part.size() < 2 || part.size() > 3)) return false;
    first = false;
    start = end + 1;
  }
  return true;
}

std::string_view BaseLanguage(std::string_view tag) {
  size_t end = 0;
  while (end < tag.size() && !Separator(tag[end])) ++end;
  return tag.substr(0, end);
}

bool SameTag(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Separator(a[i]) && Separator(b[i])) continue;
    if (Lower(a[i]) != Lower(b[i])) return false;
  }
  return true;
}

std::string ChooseLanguage(std::string_view chosen, const std::vector<std::string>& preferred,
                           const std::vector<std::string>& available) {
  std::vector<std::string_view> order;
  if (!chosen.empty()) order.push_back(chosen);
  for (const auto& p : preferred) order.push_back(p);
  for (const std::string_view wanted : order) {
    if (wanted.empty()) continue;
    const std::string found = Match(wanted, available);
    if (found == "en") return {};
    if (!found.empty()) return found;
  }
  return {};
}

bool CarryCatalogue(std::vector<CarriedLanguage>& carried, std::string_view bytes) {
  auto catalog = Catalog::Read(bytes);
  std::string tag = catalog ? catalog->HeaderField("Language") : std::string();
  for (char& c : tag) c = c == '_' ? '-' : c;  // msgfmt's "zh_CN" is the tag zh-CN
  std::string name = catalog ? catalog->HeaderField("X-Language-Name") : std::string();
  bool known = false;
  for (const auto& c : carried) known = known || SameTag(c.tag, tag);
  if (!catalog || tag.empty() || !LanguageTagUsable(tag) || name.empty() || known) return false;
  carried.push_back(
      {std::move(tag), std::move(name), std::make_shared<const Catalog>(std::move(*catalog))});
  return true;
}

}  // namespace unw

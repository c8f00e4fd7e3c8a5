#include "settings/program_list.h"

#include <algorithm>

namespace unw {

namespace {

// Windows' limit for one part of a path, in characters.
constexpr size_t kMaxNameChars = 255;

std::string_view Trimmed(std::string_view s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

size_t Characters(std::string_view utf8) {
  size_t n = 0;
  for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;  // continuation bytes are no characters
  return n;
}

char Folded(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

ProgramNameFault CheckProgramName(std::string_view name) {
  if (Trimmed(name).empty()) return ProgramNameFault::kEmpty;
  if (name.find_first_of("\\/:") != std::string_view::npos) return ProgramNameFault::kPath;
  if (name.find_first_of("*?") != std::string_view::npos) return ProgramNameFault::kWildcard;
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7F ||
        std::string_view("\"<>|;").find(static_cast<char>(c)) != std::string_view::npos)
      return ProgramNameFault::kIllegal;
  }
  // Windows drops a trailing dot or blank from a file name: no program is called so.
  if (name == "." || name == ".." || name.back() == '.' || name.back() == ' ')
    return ProgramNameFault::kIllegal;
  if (Characters(name) > kMaxNameChars) return ProgramNameFault::kTooLong;
  return ProgramNameFault::kNone;
}

std::vector<std::string> SplitProgramList(std::string_view text) {
  std::vector<std::string> names;
  for (size_t at = 0; at <= text.size();) {
    const size_t end = std::min(text.find(';', at), text.size());
    const std::string_view name = Trimmed(text.substr(at, end - at));
    if (!name.empty()) names.emplace_back(name);
    at = end + 1;
  }
  return names;
}

std::string JoinProgramList(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ";") + name;
  return text;
}

bool ProgramListUsable(std::string_view text) {
  const std::vector<std::string> names = SplitProgramList(text);
  if (names.size() > kMaxHeldPrograms) return false;
  for (const std::string& name : names) {
    if (CheckProgramName(name) != ProgramNameFault::kNone) return false;
  }
  return true;
}

bool SameProgram(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (Folded(a[i]) != Folded(b[i])) return false;
  }
  return true;
}

}  // namespace unw

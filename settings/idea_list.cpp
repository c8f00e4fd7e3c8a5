#include "settings/idea_list.h"

#include "settings/utf8_text.h"

namespace unw {

namespace {

size_t Characters(std::string_view utf8) {
  size_t n = 0;
  for (unsigned char c : utf8) n += (c & 0xC0) != 0x80;  // continuation bytes are no characters
  return n;
}

bool Control(unsigned char c) {
  return c < 0x20 || c == 0x7F;
}

}  // namespace

IdeaFault CheckIdea(std::string_view idea) {
  bool blank = true;
  for (unsigned char c : idea) {
    if (c == '\n') continue;
    if (Control(c)) return IdeaFault::kControl;
    if (c != ' ') blank = false;
  }
  if (blank) return IdeaFault::kEmpty;
  if (Characters(idea) > kMaxIdeaChars) return IdeaFault::kTooLong;
  return IdeaFault::kNone;
}

std::optional<std::vector<std::string>> ReadIdeaList(std::string_view stored) {
  std::vector<std::string> ideas;
  if (stored.empty() || stored == " ") return ideas;
  if (!WellFormedUtf8(stored)) return std::nullopt;
  std::string idea;
  for (size_t i = 0; i <= stored.size(); ++i) {
    const char c = i < stored.size() ? stored[i] : '\n';
    if (c == '\n') {
      if (CheckIdea(idea) != IdeaFault::kNone || ideas.size() == kMaxIdeas) return std::nullopt;
      ideas.push_back(std::move(idea));
      idea.clear();
    } else if (c == '\\') {
      const char next = i + 1 < stored.size() ? stored[++i] : '\0';
      if (next == '\\')
        idea += '\\';
      else if (next == 'n')
        idea += '\n';
      else
        return std::nullopt;
    } else {
      idea += c;
    }
  }
  return ideas;
}

std::string WriteIdeaList(const std::vector<std::string>& ideas) {
  std::string stored;
  for (const std::string& idea : ideas) {
    if (!stored.empty()) stored += '\n';
    for (char c : idea) {
      if (c == '\\')
        stored += "\\\\";
      else if (c == '\n')
        stored += "\\n";
      else
        stored += c;
    }
  }
  return stored;
}

std::string RepairIdeaList(const std::string& stored) {
  return ReadIdeaList(stored) ? stored : "";
}

}  // namespace unw

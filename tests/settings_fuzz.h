// Random stored settings and what loading them must keep: seeded, so a failing case replays.
// The unit tests run thousands of cases; unwindle_settings_fuzz runs as many as it is asked.
#pragma once

#include <cctype>
#include <cstdint>
#include <optional>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "backends/fake/fake_settings_storage.h"
#include "settings/number_text.h"
#include "settings/program_list.h"
#include "settings/settings_store.h"

namespace unw {

// One stored value as another program (or a broken disk) may leave it.
inline void PlantRandomValue(FakeSettingsStorage& storage, const std::string& name,
                             std::mt19937& rng) {
  auto pick = [&](int n) { return std::uniform_int_distribution<int>(0, n - 1)(rng); };
  static const char* const kTexts[] = {" ",   "1e3",  "0x10", "7\n", "32768", "-32769",    "5.5",
                                       "4.5", " 12 ", "+3",   "-1",  "99",    "100",       "",
                                       "abc", "1,5",  "١",    "\t2", "0.49",  "9999999999"};
  // Texts that are not UTF-8 (a lead byte without its continuation, a surrogate), and one that is.
  static const char* const kBytes[] = {"\xc3\x28", "a\xed\xa0\x80", "\xf0\x9f\x98\x80"};
  if (name == "WorkingHours" && pick(2)) {
    // Whole week texts, most of them readable, some with one day spoilt.
    static const char* const kWeeks[] = {
        "Mon=09:00-17:00;Tue=09:00-17:00;Wed=09:00-17:00;Thu=09:00-17:00;Fri=09:00-17:00;Sat=;Sun=",
        "sun=;SAT=10:00-12:00; fri = "
        "8:30-24:00;Thu=0:00-23:59;wed=;tue=07:15-07:16;mon=06:00-18:00;",
        "Mon=09:00-17:00;Tue=17:00-09:00;Wed=;Thu=;Fri=;Sat=;Sun=",
        "Mon=9-17;Tue=;Wed=;Thu=;Fri=;Sat=;Sun=",
        "Mon=;Mon=;Tue=;Wed=;Thu=;Fri=;Sat=;Sun=",
        "Mon=;Tue=;Wed=;Thu=;Fri=;Sat=;Sun=;Xyz=01:00-02:00",
        "Mon=;Tue=;Wed=;Thu=;Fri=;Sat=",
        "Mon=24:00-24:00;Tue=;Wed=;Thu=;Fri=;Sat=;Sun=12:60-13:00"};
    storage.Plant(name, kWeeks[pick(sizeof kWeeks / sizeof *kWeeks)]);
    return;
  }
  if (name == "CustomIdeas" && pick(2)) {
    // Lists of ideas, some readable, some with one idea or one escape spoilt.
    static const char* const kLists[] = {
        "Look up.\\nThen look down.\nBreathe.",  // one idea over two lines, one more
        "Look up.\nThen look down.",
        "Back\\\\slash\\\\n stays one idea",
        "Look up.\n",
        "Look up.\\t",
        "Look up.\\x41",
        "Look up.\\",
        "  \\n  ",
        "Tab\tin it",
        "\n\nleading empty ones",
        "ü\xc3",
        "a\r\nb"};
    storage.Plant(name, kLists[pick(sizeof kLists / sizeof *kLists)]);
    return;
  }
  if (name == "Language" && pick(2)) {
    // Tags as a person or another program may write them.
    static const char* const kTags[] = {"de",      "zh-CN", "sr-Latn-RS", "de_DE",
                                        "deutsch", "d",     "es-419",     "de-",
                                        "ZH-cn",   " ",     "1de",        "de DE"};
    storage.Plant(name, kTags[pick(sizeof kTags / sizeof *kTags)]);
    return;
  }
  switch (pick(7)) {
    case 0:
      return;  // missing
    case 1:    // a number around the ranges
      storage.Plant(name, std::to_string(pick(140) - 20));
      return;
    case 2:  // a text seen in the wild
      if (pick(4) == 0)
        storage.Plant(name, kBytes[pick(sizeof kBytes / sizeof *kBytes)]);
      else
        storage.Plant(name, kTexts[pick(sizeof kTexts / sizeof *kTexts)]);
      return;
    case 3:  // there, but no text can be read from it
      storage.PlantUnreadable(name);
      return;
    default: {  // characters of any kind, any number of them
      std::string text(static_cast<size_t>(pick(3) == 0 ? pick(2000) : pick(12)), ' ');
      for (char& c : text) c = static_cast<char>(pick(3) ? '0' + pick(10) : 1 + pick(255));
      storage.Plant(name, text);
      return;
    }
  }
}

// Whether a stored week of working hours can be read as it is: each day once, by its three
// letters in any case, off ("Mon=") or from H:MM to H:MM later the same day (24:00 the latest end);
// blanks around the parts and empty items between semicolons do no harm.
inline bool UsableWeek(const std::string& text) {
  static const std::regex kItem(
      R"(\s*(mon|tue|wed|thu|fri|sat|sun)\s*=\s*(?:(\d{1,2}):(\d\d)\s*-\s*(\d{1,2}):(\d\d))?\s*)",
      std::regex::icase);
  static const std::string kDays[] = {"mon", "tue", "wed", "thu", "fri", "sat", "sun"};
  int seen[7] = {};
  size_t at = 0;
  for (;;) {
    const size_t semi = text.find(';', at);
    const std::string item = text.substr(at, semi == std::string::npos ? semi : semi - at);
    std::smatch m;
    if (item.find_first_not_of(" \t") != std::string::npos) {
      if (!std::regex_match(item, m, kItem)) return false;
      std::string day = m[1];
      for (char& c : day) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      for (int d = 0; d < 7; ++d) seen[d] += day == kDays[d];
      if (m[2].matched) {
        const int from = std::stoi(m[2]) * 60 + std::stoi(m[3]);
        const int to = std::stoi(m[4]) * 60 + std::stoi(m[5]);
        if (std::stoi(m[3]) > 59 || std::stoi(m[5]) > 59 || from >= 24 * 60 || to > 24 * 60 ||
            to <= from)
          return false;
      }
    }
    if (semi == std::string::npos) break;
    at = semi + 1;
  }
  for (int n : seen)
    if (n != 1) return false;
  return true;
}

// Whether a stored list of programs names file names only: between its ";" no folder, wildcard,
// quote, bar, angle bracket or control character, no name ending in a dot, none longer than 255
// characters, and at most kMaxHeldPrograms of them.
inline bool ProgramsUsable(const std::string& text) {
  size_t names = 0;
  std::string name;
  for (size_t i = 0; i <= text.size(); ++i) {
    const char c = i < text.size() ? text[i] : ';';
    if (c != ';') {
      name += c;
      continue;
    }
    while (!name.empty() && (name.back() == ' ' || name.back() == '\t')) name.pop_back();
    while (!name.empty() && (name.front() == ' ' || name.front() == '\t')) name.erase(0, 1);
    if (!name.empty()) {
      ++names;
      size_t chars = 0;
      for (unsigned char b : name) {
        if (b < 32 || b == 127 || std::string("\\/:*?\"<>|").find(char(b)) != std::string::npos)
          return false;
        chars += (b & 0xC0) != 0x80;
      }
      if (name.back() == '.' || chars > 255) return false;
    }
    name.clear();
  }
  return names <= kMaxHeldPrograms;
}

// Whether a stored list of ideas reads as it is: split at each line feed into at most 200 ideas,
// each made of characters (not control ones) and the pairs \\ and \n, at most 200 characters
// once a pair is one, and not only blanks and line breaks; one blank alone is the empty list.
inline bool IdeasUsable(const std::string& text) {
  if (text == " ") return true;
  static const std::regex kIdea(R"(^(?:[^\\\x00-\x1f\x7f]|\\[\\n])*$)");
  static const std::regex kBlank(R"(^(?: |\\n)*$)");
  static const std::regex kPair(R"(\\[\\n])");
  size_t ideas = 0;
  size_t at = 0;
  for (;;) {
    const size_t lf = text.find('\n', at);
    const std::string idea = text.substr(at, lf == std::string::npos ? lf : lf - at);
    if (++ideas > 200 || !std::regex_match(idea, kIdea) || std::regex_match(idea, kBlank))
      return false;
    size_t chars = 0;
    for (unsigned char b : std::regex_replace(idea, kPair, "x")) chars += (b & 0xC0) != 0x80;
    if (chars > 200) return false;
    if (lf == std::string::npos) return true;
    at = lf + 1;
  }
}

// Whether the bytes decode as UTF-8: each code point in its shortest form, and a scalar value.
inline bool DecodesAsUtf8(const std::string& text) {
  for (size_t i = 0; i < text.size();) {
    const auto b = static_cast<unsigned char>(text[i]);
    const size_t n = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (n == 0 || i + n > text.size()) return false;
    uint32_t cp = n == 1 ? b : b & (0x7Fu >> n);
    for (size_t k = 1; k < n; ++k) {
      const auto c = static_cast<unsigned char>(text[i + k]);
      if ((c >> 6) != 2) return false;
      cp = cp << 6 | (c & 0x3Fu);
    }
    static constexpr uint32_t kLeast[] = {0, 0, 0x80, 0x800, 0x10000};
    if (cp < kLeast[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    i += n;
  }
  return true;
}

// Whether a stored text is one that loading takes as it is.
inline bool Usable(const SettingInfo& info, const std::string& text) {
  if (info.text && !DecodesAsUtf8(text)) return false;
  if (info.text == &Settings::HoldForPrograms) return !text.empty() && ProgramsUsable(text);
  if (info.text == &Settings::CustomIdeas) return !text.empty() && IdeasUsable(text);
  if (info.text == &Settings::Language) {
    // A language tag: a language of two or three letters, then parts of one to eight letters or
    // digits, each after a hyphen; or blank (follow Windows).
    static const std::regex kTag("[A-Za-z]{2,3}(-[A-Za-z0-9]{1,8})*");
    return text == " " || (text.size() <= 35 && std::regex_match(text, kTag));
  }
  if (info.text)
    return !text.empty() && (info.name != std::string("WorkingHours") || UsableWeek(text));
  int16_t v = 0;
  return TextToInt16(text, v) && info.InRange(v);
}

// Plants random values for every setting, loads them, and returns what went wrong (empty when
// every working copy is in range, every stored value is usable, and every value that was usable
// before is unchanged).
inline std::string FuzzSettingsOnce(std::mt19937& rng) {
  Trace trace{nullptr, ""};
  FakeSettingsStorage storage{trace};
  SettingsStore store{storage};
  std::vector<std::pair<std::string, std::optional<std::string>>> before;
  for (const SettingInfo& info : SettingsTable()) PlantRandomValue(storage, info.name, rng);
  for (const SettingInfo& info : SettingsTable()) {
    const bool usable = Usable(info, store.ReadSettingValue(info.name));
    before.emplace_back(info.name, usable ? storage.Text(info.name) : std::nullopt);
  }
  Settings s;
  store.LoadSettings(s);
  std::string wrong;
  size_t i = 0;
  for (const SettingInfo& info : SettingsTable()) {
    const std::string stored = store.ReadSettingValue(info.name);
    if (!Usable(info, stored))
      wrong += " " + std::string(info.name) + " stored \"" + stored + "\";";
    if (!info.text && !info.InRange(info.Get(s)))
      wrong += " " + std::string(info.name) + " = " + std::to_string(info.Get(s)) + ";";
    if (info.text && (s.*info.text).empty()) wrong += " " + std::string(info.name) + " empty;";
    const auto& [name, kept] = before[i++];
    if (kept && storage.Text(name) != kept) wrong += " " + name + " was usable and changed;";
  }
  return wrong;
}

}  // namespace unw

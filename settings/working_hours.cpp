#include "settings/working_hours.h"

#include "platform/decimal.h"
#include "settings/number_text.h"

namespace unw {

namespace {

// Marked for translation: whoever shows a day's name to the user says it in the user's language.
constexpr const char* kDayNames[7] = {NT("Monday"), NT("Tuesday"),  NT("Wednesday"), NT("Thursday"),
                                      NT("Friday"), NT("Saturday"), NT("Sunday")};
constexpr const char* kDayAbbreviations[7] = {"Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool SameLetters(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// One day's stored value: empty for a day off, "HH:MM-HH:MM" for a working day that ends after
// it starts.
std::optional<DayHours> ReadDay(std::string_view value) {
  value = Trim(value);
  if (value.empty()) return DayHours{};
  const size_t dash = value.find('-');
  if (dash == std::string_view::npos) return std::nullopt;
  const auto from = ReadClock(value.substr(0, dash), false);
  const auto to = ReadClock(value.substr(dash + 1), true);
  if (!from || !to || *to <= *from) return std::nullopt;
  return DayHours{true, *from, *to};
}

const WorkingHours& Defaults() {
  static const WorkingHours defaults = ReadWorkingHours(kDefaultWorkingHoursText).hours;
  return defaults;
}

}  // namespace

bool WorkingHours::AnyDay() const {
  for (const DayHours& d : days)
    if (d.working) return true;
  return false;
}

const char* DayName(int weekday) {
  return weekday >= 0 && weekday < 7 ? kDayNames[weekday] : "";
}

const char* DayAbbreviation(int weekday) {
  return weekday >= 0 && weekday < 7 ? kDayAbbreviations[weekday] : "";
}

std::string ClockText(int minutes) {
  return TwoDigit(minutes / 60) + ":" + TwoDigit(minutes % 60);
}

std::optional<int> ReadClock(std::string_view text, bool end) {
  text = Trim(text);
  const size_t colon = text.find(':');
  if (colon == std::string_view::npos || colon < 1 || colon > 2 || text.size() != colon + 3)
    return std::nullopt;
  const std::optional<int64_t> hour = ReadDigits(text.substr(0, colon));
  const std::optional<int64_t> minute = ReadDigits(text.substr(colon + 1), 59);
  if (!hour || !minute) return std::nullopt;
  const int minutes = static_cast<int>(*hour * 60 + *minute);
  if (minutes > (end ? kMinutesPerDay : kMinutesPerDay - 1)) return std::nullopt;
  return minutes;
}

std::string FormatWorkingHours(const WorkingHours& hours) {
  std::string text;
  for (int d = 0; d < 7; ++d) {
    const DayHours& day = hours.days[d];
    text += std::string(d ? ";" : "") + kDayAbbreviations[d] + "=";
    if (day.working) text += ClockText(day.from) + "-" + ClockText(day.to);
  }
  return text;
}

WorkingHoursRead ReadWorkingHours(std::string_view text) {
  WorkingHoursRead read;
  bool seen[7] = {}, usable[7] = {};
  for (bool more = true; more;) {
    const size_t semi = text.find(';');
    more = semi != std::string_view::npos;
    const std::string_view item = Trim(text.substr(0, semi));
    text = more ? text.substr(semi + 1) : std::string_view();
    if (item.empty()) continue;  // "Mon=;;Tue=" or a closing ";" loses nothing
    const size_t eq = item.find('=');
    int day = -1;
    for (int d = 0; d < 7 && eq != std::string_view::npos; ++d)
      if (SameLetters(Trim(item.substr(0, eq)), kDayAbbreviations[d])) day = d;
    if (day < 0) {
      read.repaired = true;
      continue;
    }
    // A day given twice: which was meant cannot be known, so it is as unreadable as a bad one.
    const auto hours = seen[day] ? std::nullopt : ReadDay(item.substr(eq + 1));
    usable[day] = !seen[day] && hours;
    seen[day] = true;
    if (hours) read.hours.days[day] = *hours;
  }
  // The defaults are read by this very function; their text has every day, each readable.
  for (int d = 0; d < 7; ++d) {
    if (usable[d]) continue;
    read.repaired = true;
    read.hours.days[d] = Defaults().days[d];
  }
  return read;
}

WorkingHoursCheck CheckWorkingHours(const Texts& t, const std::array<DayEntry, 7>& entries,
                                    bool enabled) {
  WorkingHoursCheck check;
  WorkingHours hours;
  for (int d = 0; d < 7; ++d) {
    const DayEntry& e = entries[d];
    if (!e.working) continue;
    const std::string day = t.T(kDayNames[d]);
    const auto from = ReadClock(e.from, false), to = ReadClock(e.to, true);
    auto refuse = [&](std::string message, bool atEnd) {
      check.message = std::move(message);
      check.day = d;
      check.atEnd = atEnd;
      return check;
    };
    const std::string typedFrom(Trim(e.from)), typedTo(Trim(e.to));
    if (!from)
      return refuse(
          typedFrom.empty()
              ? t.T("{day}: enter when your working hours start, as HH:MM (for example 09:00).",
                    {{"day", day}})
              : t.T("{day}: \"{typed}\" is not a time. Enter the start as HH:MM, from 00:00 to "
                    "23:59.",
                    {{"day", day}, {"typed", typedFrom}}),
          false);
    if (!to)
      return refuse(
          typedTo.empty()
              ? t.T("{day}: enter when your working hours end, as HH:MM (for example 17:00).",
                    {{"day", day}})
              : t.T("{day}: \"{typed}\" is not a time. Enter the end as HH:MM, from 00:01 to "
                    "24:00.",
                    {{"day", day}, {"typed", typedTo}}),
          true);
    if (*to == *from)
      return refuse(t.T("{day}: your working hours start and end at {time}. The end must come "
                        "after the start.",
                        {{"day", day}, {"time", ClockText(*from)}}),
                    true);
    if (*to < *from)
      return refuse(t.T("{day}: your working hours end at {end}, before they start at {start}. The "
                        "end must come after the start, on the same day.",
                        {{"day", day}, {"end", ClockText(*to)}, {"start", ClockText(*from)}}),
                    true);
    hours.days[d] = DayHours{true, *from, *to};
  }
  if (enabled && !hours.AnyDay()) {
    check.message = t.T(
        "Choose at least one working day, or turn off \"Remind me only during working hours\".");
    return check;
  }
  check.hours = hours;
  return check;
}

}  // namespace unw

#include "platform/iso_time.h"

#include <cstdio>

#include "platform/calendar.h"
#include "platform/decimal.h"

namespace unw {

namespace {

// `text` matches `shape`, where 'd' stands for a decimal digit.
bool Shaped(std::string_view text, std::string_view shape) {
  if (text.size() != shape.size()) return false;
  for (size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (shape[i] == 'd' ? !digit : text[i] != shape[i]) return false;
  }
  return true;
}

int Field(std::string_view text, size_t at, size_t count) {
  return static_cast<int>(*ReadDigits(text.substr(at, count)));
}

}  // namespace

std::string FormatIsoTime(int64_t utcMs, int offsetMinutes) {
  const LocalTime t = UtcTime(utcMs + offsetMinutes * 60000LL);
  const int offset = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
  char text[40];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02d%c%02d:%02d", t.year, t.month,
                t.day, t.hour, t.minute, t.second, offsetMinutes < 0 ? '-' : '+', offset / 60,
                offset % 60);
  return text;
}

std::string FormatIsoUtc(int64_t utcMs) {
  const LocalTime t = UtcTime(utcMs);
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return text;
}

std::optional<IsoTime> ParseIsoTime(std::string_view text) {
  IsoTime at;
  at.utc = Shaped(text, "dddd-dd-ddTdd:dd:ddZ");
  if (!at.utc && !Shaped(text, "dddd-dd-ddTdd:dd:dd+dd:dd") &&
      !Shaped(text, "dddd-dd-ddTdd:dd:dd-dd:dd"))
    return std::nullopt;
  const int year = Field(text, 0, 4), month = Field(text, 5, 2), day = Field(text, 8, 2);
  const int hour = Field(text, 11, 2), minute = Field(text, 14, 2), second = Field(text, 17, 2);
  if (month < 1 || month > 12 || day < 1 || hour > 23 || minute > 59 || second > 59)
    return std::nullopt;
  if (!at.utc) {
    const int offHours = Field(text, 20, 2), offMinutes = Field(text, 23, 2);
    if (offHours > 14 || offMinutes > 59) return std::nullopt;
    at.offsetMinutes = (offHours * 60 + offMinutes) * (text[19] == '-' ? -1 : 1);
  }
  // A day the month does not have (February 30) comes back as another date.
  const int64_t days = DaysFromCivil(year, month, day);
  int y = 0, m = 0, d = 0;
  CivilFromDays(days, y, m, d);
  if (y != year || m != month || d != day) return std::nullopt;
  at.utcMs =
      (days * 86400 + hour * 3600 + minute * 60 + second) * 1000LL - at.offsetMinutes * 60000LL;
  return at;
}

}  // namespace unw

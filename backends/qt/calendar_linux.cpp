#include "backends/qt/calendar_linux.h"

#include <time.h>

#include <QDate>
#include <QLocale>
#include <QTime>
#include <algorithm>
#include <vector>

namespace unw {

namespace {

// The local wall time of a UTC moment, in milliseconds as if it were UTC.
int64_t WallMs(int64_t utcMs) {
  const time_t seconds = static_cast<time_t>(utcMs >= 0 ? utcMs / 1000 : (utcMs - 999) / 1000);
  tm local = {};
  if (!localtime_r(&seconds, &local)) return utcMs;
  return utcMs + static_cast<int64_t>(local.tm_gmtoff) * 1000;
}

}  // namespace

int64_t LinuxCalendar::UtcMs() {
  timespec ts = {};
  clock_gettime(CLOCK_REALTIME, &ts);
  return static_cast<int64_t>(ts.tv_sec) * 1000 + ts.tv_nsec / 1000000;
}

LocalTime LinuxCalendar::ToLocal(int64_t utcMs) {
  return LocalTimeOf(utcMs, WallMs);
}

int64_t LinuxCalendar::FromLocal(const LocalTime& l) {
  return UtcOfLocal(l, WallMs);
}

std::string LinuxCalendar::ShortTime(int hour, int minute) {
  const QLocale locale = QLocale::system();
  return locale.toString(QTime(hour, minute), locale.timeFormat(QLocale::ShortFormat))
      .toStdString();
}

std::string LinuxCalendar::ShortDayMonth(int month, int day) {
  const QLocale locale = QLocale::system();
  const std::string pattern =
      DayMonthPattern(locale.dateFormat(QLocale::ShortFormat).toStdString());
  // A leap year, so that the 29th of February has a date.
  return locale.toString(QDate(2000, month, day), QString::fromStdString(pattern)).toStdString();
}

std::string DayMonthPattern(const std::string& shortDate) {
  // The pattern as runs of one letter (fields) and the text between them (quoted text included).
  struct Piece {
    std::string text;
    bool field;
  };
  std::vector<Piece> pieces;
  for (size_t i = 0; i < shortDate.size();) {
    const char c = shortDate[i];
    size_t end = i + 1;
    const bool letter = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
    if (c == '\'') {
      const size_t close = shortDate.find('\'', i + 1);
      end = close == std::string::npos ? shortDate.size() : close + 1;
    } else if (letter) {
      while (end < shortDate.size() && shortDate[end] == c) ++end;
    } else {
      while (end < shortDate.size() && shortDate[end] != '\'' &&
             !((shortDate[end] >= 'a' && shortDate[end] <= 'z') ||
               (shortDate[end] >= 'A' && shortDate[end] <= 'Z')))
        ++end;
    }
    const std::string text = shortDate.substr(i, end - i);
    if (!pieces.empty() && !letter && !pieces.back().field)
      pieces.back().text += text;
    else
      pieces.push_back({text, letter});
    i = end;
  }
  // Only the day and the month stay; what stood between a field that goes and a field that stays
  // goes with it.
  std::vector<Piece> kept;
  bool cutBefore = false;
  for (const Piece& p : pieces) {
    // "ddd" and "dddd" name the weekday.
    const bool dayOrMonth = (p.text[0] == 'd' && p.text.size() <= 2) || p.text[0] == 'M';
    if (p.field && !dayOrMonth) {
      if (!kept.empty() && !kept.back().field) kept.pop_back();
      cutBefore = kept.empty();
      continue;
    }
    if (!p.field && (kept.empty() || cutBefore)) {
      cutBefore = false;
      continue;  // a separator at the start, or one that joined a removed field to this
    }
    cutBefore = false;
    kept.push_back(p);
  }
  while (!kept.empty() && !kept.back().field) kept.pop_back();
  std::string out;
  for (const Piece& p : kept) out += p.text;
  return out.empty() ? "d/M" : out;
}

}  // namespace unw

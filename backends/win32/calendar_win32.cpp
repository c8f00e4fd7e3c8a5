#include "backends/win32/calendar_win32.h"

#include <windows.h>

#include <algorithm>
#include <cctype>

#include "backends/win32/wide_text.h"

namespace unw {

namespace {

// FILETIME counts 100 ns from 1601-01-01; Unix time from 1970-01-01.
constexpr int64_t kEpochDelta100ns = 116444736000000000LL;

int64_t MsOfSystemTime(const SYSTEMTIME& st) {
  return (DaysFromCivil(st.wYear, st.wMonth, st.wDay) * 86400 + st.wHour * 3600 + st.wMinute * 60 +
          st.wSecond) *
             1000LL +
         st.wMilliseconds;
}

SYSTEMTIME SystemTimeOfMs(int64_t ms) {
  const LocalTime t = UtcTime(ms);
  SYSTEMTIME st = {};
  st.wYear = static_cast<WORD>(t.year);
  st.wMonth = static_cast<WORD>(t.month);
  st.wDay = static_cast<WORD>(t.day);
  st.wDayOfWeek = static_cast<WORD>((t.weekday + 1) % 7);
  st.wHour = static_cast<WORD>(t.hour);
  st.wMinute = static_cast<WORD>(t.minute);
  st.wSecond = static_cast<WORD>(t.second);
  st.wMilliseconds = static_cast<WORD>(((ms % 1000) + 1000) % 1000);
  return st;
}

// The local wall time of a UTC moment in milliseconds, by the current time zone's rules for
// that year; the UTC time itself when the system cannot say.
int64_t WallMs(int64_t utcMs) {
  SYSTEMTIME utc = SystemTimeOfMs(utcMs), local = {};
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return utcMs;
  return MsOfSystemTime(local);
}

}  // namespace

std::string DayMonthPicture(const std::string& shortDate) {
  // The picture as runs of one letter (fields) and the text between them. A year or an era goes,
  // and so does a weekday's name; what stood between a removed field and the fields kept goes with
  // it, so no separator is left dangling.
  std::string out, pending, beforeCut;
  bool cut = false, any = false;
  for (size_t i = 0; i < shortDate.size();) {
    const char c = shortDate[i];
    if (c == '\'') {
      const size_t close = shortDate.find('\'', i + 1);
      const size_t end = close == std::string::npos ? shortDate.size() : close + 1;
      pending += shortDate.substr(i, end - i);
      i = end;
      continue;
    }
    if (!std::isalpha(static_cast<unsigned char>(c))) {
      pending += c;
      ++i;
      continue;
    }
    size_t end = i;
    while (end < shortDate.size() && shortDate[end] == c) ++end;
    const std::string field = shortDate.substr(i, end - i);
    i = end;
    const bool kept = c == 'M' || (c == 'd' && field.size() <= 2);
    const bool dropped = !kept && (c == 'y' || c == 'g' || c == 'd');
    if (!kept && !dropped) {  // not a field of a date: plain text
      pending += field;
      continue;
    }
    if (dropped) {
      if (!cut) beforeCut = pending;
      cut = true;
      pending.clear();
      continue;
    }
    if (any)
      out += cut ? beforeCut : pending;
    else if (!cut)
      out += pending;
    out += field;
    any = true;
    cut = false;
    pending.clear();
    beforeCut.clear();
  }
  if (!any) return "";
  if (!cut) out += pending;
  return out;
}

int64_t Win32Calendar::UtcMs() {
  FILETIME ft = {};
  GetSystemTimeAsFileTime(&ft);
  const int64_t t = (static_cast<int64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
  return (t - kEpochDelta100ns) / 10000;
}

LocalTime Win32Calendar::ToLocal(int64_t utcMs) {
  return LocalTimeOf(utcMs, WallMs);
}

int64_t Win32Calendar::FromLocal(const LocalTime& l) {
  return UtcOfLocal(l, WallMs);
}

std::string Win32Calendar::ShortTime(int hour, int minute) {
  SYSTEMTIME st = {};
  st.wYear = 2000;
  st.wMonth = 1;
  st.wDay = 1;
  st.wHour = static_cast<WORD>(hour);
  st.wMinute = static_cast<WORD>(minute);
  wchar_t buf[64] = {};
  if (GetTimeFormatW(LOCALE_USER_DEFAULT, TIME_NOSECONDS, &st, nullptr, buf, 64) <= 0) {
    char fallback[8];
    wsprintfA(fallback, "%02d:%02d", hour, minute);
    return fallback;
  }
  return win32::Utf8(buf);
}

std::string Win32Calendar::ShortDayMonth(int month, int day) {
  wchar_t shortDate[96] = {};
  std::wstring picture;
  if (GetLocaleInfoW(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, shortDate, 96) > 0)
    picture = win32::Wide(DayMonthPicture(win32::Utf8(shortDate)));
  // A leap year, so that the 29th of February is a date.
  SYSTEMTIME st = {};
  st.wYear = 2000;
  st.wMonth = static_cast<WORD>(month);
  st.wDay = static_cast<WORD>(day);
  wchar_t buf[64] = {};
  if (picture.empty() ||
      GetDateFormatW(LOCALE_USER_DEFAULT, 0, &st, picture.c_str(), buf, 64) <= 0) {
    char fallback[16];
    wsprintfA(fallback, "%02d-%02d", month, day);
    return fallback;
  }
  return win32::Utf8(buf);
}

}  // namespace unw

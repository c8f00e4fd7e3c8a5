// Moments written as ISO 8601 text, as the program keeps them: the local date and time with the
// UTC offset in force ("2026-12-07T10:00:00+01:00", the history), or the UTC date and time
// ("2026-12-07T14:30:00Z", the end of a timed pause). Whole seconds; the date is the proleptic
// Gregorian calendar's (platform/calendar.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace unw {

struct IsoTime {
  int64_t utcMs = 0;
  int offsetMinutes = 0;  // local time minus UTC
  bool utc = false;       // written with "Z" rather than an offset
  bool operator==(const IsoTime&) const = default;
};

// "2026-12-07T10:00:00+01:00": the local time at `utcMs` with `offsetMinutes`, "+00:00" for none.
std::string FormatIsoTime(int64_t utcMs, int offsetMinutes);
// "2026-12-07T14:30:00Z".
std::string FormatIsoUtc(int64_t utcMs);
// The moment the whole of `text` names, in either form: four digits of the year, two of every
// other field, a date the month has, hours 00..23, an offset of 14:59 at most. Nothing else
// (no blanks, no fraction of a second) reads.
std::optional<IsoTime> ParseIsoTime(std::string_view text);

}  // namespace unw

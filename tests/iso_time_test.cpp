// ISO times as the history and a timed pause keep them: written and read back, and every text
// that must not read as a moment.
#include "platform/iso_time.h"

#include <gtest/gtest.h>

namespace unw {
namespace {

TEST(IsoTime, WrittenAndReadBackInBothForms) {
  // The moments are worked out independently of the program (Python's datetime).
  struct Case {
    const char* text;
    int64_t utcMs;
    int offsetMinutes;
    bool utc;
  } cases[] = {
      {"2026-12-07T10:00:00+01:00", 1796634000000, 60, false},
      {"2028-02-29T23:59:59-03:30", 1835494199000, -210, false},  // a leap day, west of UTC
      {"2000-02-29T00:00:00+05:45", 951761700000, 345, false},    // a century's leap day
      {"2026-03-29T01:00:00+14:00", 1774695600000, 840, false},   // the furthest east
      {"9999-12-31T23:59:59+14:59", 253402246859000, 899, false},
      {"2027-10-31T23:10:00+00:00", 1825024200000, 0, false},
      {"1970-01-01T00:00:00Z", 0, 0, true},
      {"1969-12-31T23:59:59Z", -1000, 0, true},
      {"2026-07-15T12:30:00Z", 1784118600000, 0, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ParseIsoTime(c.text), (IsoTime{c.utcMs, c.offsetMinutes, c.utc})) << c.text;
    EXPECT_EQ(c.utc ? FormatIsoUtc(c.utcMs) : FormatIsoTime(c.utcMs, c.offsetMinutes), c.text);
  }
  // A zero offset written with a minus names the same moment; the program writes a plus.
  EXPECT_EQ(ParseIsoTime("2026-12-07T10:00:00-00:00"), (IsoTime{1796637600000, 0, false}));
  // Milliseconds are dropped, never rounded: the second that has begun.
  EXPECT_EQ(FormatIsoUtc(1999), "1970-01-01T00:00:01Z");
  EXPECT_EQ(FormatIsoTime(-1, 0), "1969-12-31T23:59:59+00:00");
}

TEST(IsoTime, AnythingElseIsNoMoment) {
  const std::string bad[] = {
      "",
      " ",
      "garbage",
      "2026-02-29T10:00:00Z",       // not a leap year
      "2100-02-29T10:00:00Z",       // nor a century that is not divisible by 400
      "2026-02-30T10:00:00+01:00",  // a day the month does not have
      "2026-04-31T10:00:00Z",
      "2026-12-00T10:00:00Z",
      "2026-12-32T10:00:00Z",
      "2026-13-01T10:00:00Z",
      "2026-00-10T10:00:00Z",
      "2026-12-07T24:00:00Z",
      "2026-12-07T25:00:00+01:00",
      "2026-12-07T13:60:00Z",
      "2026-12-07T13:00:60Z",
      "2026-12-07T10:00:00+15:00",  // no zone lies so far east
      "2026-12-07T10:00:00+01:60",
      "2026-12-07T10:00:00+0100",
      "2026-12-07T10:00:00+01",
      "2026-12-07T10:00:00",
      "2026-12-07T10:00:00z",
      "2026-12-07 14:30:00Z",
      "2026-12-07T14:30Z",
      "2026-12-07T14:30:00.000Z",
      "2026-12-07T14:30:00ZZ",
      " 2026-12-07T14:30:00Z",
      "2026-12-07T14:30:00Z ",
      "+026-12-07T14:30:00Z",
      "-2026-12-07T14:30:00Z",
      "2026-12-07T14:3\xff:00Z",
      "２026-12-07T14:30:00Z",  // a full-width digit
      std::string("2026-12-07T14:30:00Z\0", 21),
      std::string("2026-12-07T10:00:00+01:00\0", 26),
      std::string(100000, '9'),
  };
  for (const std::string& text : bad)
    EXPECT_EQ(ParseIsoTime(text), std::nullopt) << text.substr(0, 40);
}

}  // namespace
}  // namespace unw

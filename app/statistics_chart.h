// What the Statistics window shows, decided from the figures alone: the texts of a day's figures,
// the chart of the last days (bars, scale, labels, rows of counts, key) and what an export holds.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "forms/chart.h"
#include "history/figures.h"
#include "i18n/texts.h"

namespace unw {

class Calendar;

// The days the chart shows, today the last.
inline constexpr int kChartDays = 14;

// A time worked, in rounded minutes as the CSV counts them: "0 min", "45 min", "2 h 05 min".
std::string WorkedText(const Texts& texts, int64_t ms);
// The title of a day's figures: "Today, Monday 2026-12-07", "Yesterday, ...", "Friday 2026-12-04".
std::string DayTitle(const Texts& texts, int64_t day, int64_t today);
// The chart of `days` (oldest first): a bar of the time worked (in seconds) on a scale of round
// hours or quarter hours; under each day its weekday and the day of the month (the first day and
// the first of a month in the user's short date, day and month), then the breaks taken, short
// breaks taken and breaks skipped as counts in rows of their own; `chosen` is the day shown as
// chosen.
Chart FiguresChart(const Texts& texts, std::span<const DayFigures> days, int chosen,
                   Calendar& calendar);
// What an export holds: every day from the first with anything to the last (today, or later when
// the clock was set back), empty days as zeros; only the days with anything when that span is
// longer than any history kept.
std::vector<DayFigures> ExportDays(std::span<const DayFigures> byDay, int64_t today);

}  // namespace unw

#include "app/statistics_chart.h"

#include <algorithm>
#include <cstdio>

#include "history/journal.h"
#include "platform/calendar.h"

namespace unw {

namespace {

constexpr const char* kWeekdays[] = {NT("Monday"), NT("Tuesday"),  NT("Wednesday"), NT("Thursday"),
                                     NT("Friday"), NT("Saturday"), NT("Sunday")};
// The scale's steps, in minutes: the first that needs no more than four of them to pass the
// highest bar. Four lines keep the labels apart on a chart of any height.
constexpr int64_t kStepMinutes[] = {15, 30, 60, 120, 180, 240, 360, 480};
constexpr int64_t kMostSteps = 4;

std::string TickLabel(const Texts& t, int64_t minutes) {
  if (minutes == 0) return "0";
  if (minutes < 60) return t.T("{minutes} min", {{"minutes", std::to_string(minutes)}});
  std::string hours = std::to_string(minutes / 60);
  if (minutes % 60 != 0) hours += "." + std::to_string(minutes % 60 * 10 / 60);
  // TRANSLATORS: a label of the chart's scale; {hours} may have a tenth ("1.5").
  return t.T("{hours} h", {{"hours", hours}});
}

// The weekday under a bar, in two letters or as the language shortens it.
std::string ShortWeekday(const Texts& t, int weekday) {
  switch (weekday) {
    case 0:
      return t.TC("weekday, short", "Mo");
    case 1:
      return t.TC("weekday, short", "Tu");
    case 2:
      return t.TC("weekday, short", "We");
    case 3:
      return t.TC("weekday, short", "Th");
    case 4:
      return t.TC("weekday, short", "Fr");
    case 5:
      return t.TC("weekday, short", "Sa");
    default:
      return t.TC("weekday, short", "Su");
  }
}

}  // namespace

std::string WorkedText(const Texts& t, int64_t ms) {
  const int64_t minutes = (std::max<int64_t>(ms, 0) + 30000) / 60000;
  if (minutes < 60) return t.T("{minutes} min", {{"minutes", std::to_string(minutes)}});
  char twoDigits[8];
  std::snprintf(twoDigits, sizeof twoDigits, "%02lld", static_cast<long long>(minutes % 60));
  return t.T("{hours} h {minutes} min",
             {{"hours", std::to_string(minutes / 60)}, {"minutes", twoDigits}});
}

std::string DayTitle(const Texts& t, int64_t day, int64_t today) {
  const std::string weekday = t.T(kWeekdays[WeekdayOfDays(day)]), date = DateText(day);
  const Fills fills = {{"weekday", weekday}, {"date", date}};
  if (day == today) return t.T("Today, {weekday} {date}", fills);
  if (day == today - 1) return t.T("Yesterday, {weekday} {date}", fills);
  // TRANSLATORS: the title of a day's figures; {date} is written 2026-12-07.
  return t.T("{weekday} {date}", fills);
}

Chart FiguresChart(const Texts& t, std::span<const DayFigures> days, int chosen,
                   Calendar& calendar) {
  Chart chart;
  chart.rows = {{t.T("Breaks taken"), {}}, {t.T("Short breaks"), {}}, {t.T("Breaks skipped"), {}}};
  int64_t highest = 0;
  for (size_t i = 0; i < days.size(); ++i) {
    const DayFigures& f = days[i];
    int y = 0, m = 0, d = 0;
    CivilFromDays(f.day, y, m, d);
    // The month where the chart begins and where it changes; elsewhere the day says enough.
    const std::string date = i == 0 || d == 1 ? calendar.ShortDayMonth(m, d) : std::to_string(d);
    ChartBar bar;
    bar.label = ShortWeekday(t, WeekdayOfDays(f.day)) + "\n" + date;
    bar.value = std::max<int64_t>(f.workedMs, 0) / 1000;
    highest = std::max(highest, bar.value);
    chart.bars.push_back(std::move(bar));
    chart.rows[0].counts.push_back(f.breaksTaken);
    chart.rows[1].counts.push_back(f.shortBreaksTaken);
    chart.rows[2].counts.push_back(f.breaksSkipped);
  }
  // An empty fortnight still shows an hour: a scale of nothing reads as nothing.
  const int64_t reach = std::max<int64_t>(highest, 3600);
  int64_t step = kStepMinutes[std::size(kStepMinutes) - 1] * 60;
  for (int64_t minutes : kStepMinutes) {
    if ((reach + minutes * 60 - 1) / (minutes * 60) <= kMostSteps) {
      step = minutes * 60;
      break;
    }
  }
  const int64_t steps = (reach + step - 1) / step;
  chart.top = steps * step;
  for (int64_t i = 0; i <= steps; ++i)
    chart.ticks.push_back({i * step, TickLabel(t, i * step / 60)});
  chart.barKey = t.T("Time worked");
  chart.chosen = chosen >= 0 && chosen < static_cast<int>(days.size()) ? chosen : -1;
  return chart;
}

std::vector<DayFigures> ExportDays(std::span<const DayFigures> byDay, int64_t today) {
  if (byDay.empty()) return {};
  const int64_t first = std::min(byDay.front().day, today);
  const int64_t last = std::max(byDay.back().day, today);
  if (last - first >= kJournalKeepDays * 2) return {byDay.begin(), byDay.end()};
  return LastDays(byDay, last, static_cast<int>(last - first + 1));
}

}  // namespace unw

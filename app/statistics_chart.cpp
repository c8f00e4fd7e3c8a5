#include "app/statistics_chart.h"

#include <algorithm>
#include <cstdio>

#include "history/journal.h"
#include "platform/calendar.h"

namespace unw {

namespace {

constexpr const char* kWeekdays[] = {"Monday", "Tuesday",  "Wednesday", "Thursday",
                                     "Friday", "Saturday", "Sunday"};
// The scale's steps, in minutes: the first that needs no more than four of them to pass the
// highest bar. Four lines keep the labels apart on a chart of any height.
constexpr int64_t kStepMinutes[] = {15, 30, 60, 120, 180, 240, 360, 480};
constexpr int64_t kMostSteps = 4;

std::string TickLabel(int64_t minutes) {
  if (minutes == 0) return "0";
  if (minutes < 60) return std::to_string(minutes) + " min";
  if (minutes % 60 == 0) return std::to_string(minutes / 60) + " h";
  return std::to_string(minutes / 60) + "." + std::to_string(minutes % 60 * 10 / 60) + " h";
}

}  // namespace

std::string WorkedText(int64_t ms) {
  const int64_t minutes = (std::max<int64_t>(ms, 0) + 30000) / 60000;
  if (minutes < 60) return std::to_string(minutes) + " min";
  char text[32];
  std::snprintf(text, sizeof text, "%lld h %02lld min", static_cast<long long>(minutes / 60),
                static_cast<long long>(minutes % 60));
  return text;
}

std::string DayTitle(int64_t day, int64_t today) {
  const std::string date = std::string(kWeekdays[WeekdayOfDays(day)]) + " " + DateText(day);
  if (day == today) return "Today, " + date;
  if (day == today - 1) return "Yesterday, " + date;
  return date;
}

Chart FiguresChart(std::span<const DayFigures> days, int chosen, Calendar& calendar) {
  Chart chart;
  chart.rows = {{"Breaks taken", {}}, {"Short breaks", {}}, {"Breaks skipped", {}}};
  int64_t highest = 0;
  for (size_t i = 0; i < days.size(); ++i) {
    const DayFigures& f = days[i];
    int y = 0, m = 0, d = 0;
    CivilFromDays(f.day, y, m, d);
    // The month where the chart begins and where it changes; elsewhere the day says enough.
    const std::string date = i == 0 || d == 1 ? calendar.ShortDayMonth(m, d) : std::to_string(d);
    ChartBar bar;
    bar.label = std::string(kWeekdays[WeekdayOfDays(f.day)], 2) + "\n" + date;
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
  for (int64_t i = 0; i <= steps; ++i) chart.ticks.push_back({i * step, TickLabel(i * step / 60)});
  chart.barKey = "Time worked";
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

// A chart as data, for a picture control to show. The program decides all that is shown: the bars
// and their scale, the marks, the labels, the key and the chosen bar. A renderer only lays it out
// in the control's pixels, paints it in the system's colours (so a high-contrast scheme holds) and
// tells which bar the user clicked.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace unw {

// What a renderer draws for each count and in the key: the bar, a dot, a cross.
enum class ChartMark { kBar, kDot, kCross };

struct ChartBar {
  std::string label;  // below the bar; "\n" begins its second line
  int64_t value = 0;  // the bar's height, in the scale's unit (0: no bar)
  int dots = 0;       // marks beside the bar: dots, then crosses above them
  int crosses = 0;
  bool operator==(const ChartBar&) const = default;
};

// A line across the chart at `value`, with its label at the scale.
struct ChartTick {
  int64_t value = 0;
  std::string label;
  bool operator==(const ChartTick&) const = default;
};

// One entry of the key below the chart.
struct ChartKey {
  ChartMark mark = ChartMark::kBar;
  std::string text;
  bool operator==(const ChartKey&) const = default;
};

struct Chart {
  std::vector<ChartBar> bars;  // left to right
  int64_t top = 0;             // the value at the top of the scale; higher bars are cut there
  std::vector<ChartTick> ticks;
  std::vector<ChartKey> key;
  int chosen = -1;  // the bar shown as chosen, -1 for none
  bool operator==(const Chart&) const = default;
};

}  // namespace unw

// A chart as data, for a picture control to show. The program decides all that is shown: the bars
// and their scale, the rows of counts under them, the labels, the key and the chosen bar. A
// renderer only lays it out in the control's pixels, paints it (in the system's colours where a
// high-contrast scheme asks for them), marks the chosen bar, and tells which bar the user clicked
// or stepped to with the keys.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace unw {

struct ChartBar {
  std::string label;  // below the bar; "\n" begins its second line
  int64_t value = 0;  // the bar's height, in the scale's unit (0: no bar)
  bool operator==(const ChartBar&) const = default;
};

// A line across the chart at `value`, with its label at the scale.
struct ChartTick {
  int64_t value = 0;
  std::string label;
  bool operator==(const ChartTick&) const = default;
};

// A row of counts under the bars' labels: its name at the left, a number under each bar.
struct ChartRow {
  std::string name;
  std::vector<int> counts;  // one per bar, left to right
  bool operator==(const ChartRow&) const = default;
};

struct Chart {
  std::vector<ChartBar> bars;  // left to right
  int64_t top = 0;             // the value at the top of the scale; higher bars are cut there
  std::vector<ChartTick> ticks;
  std::string barKey;  // what a bar shows, in the key below the chart
  std::vector<ChartRow> rows;
  int chosen = -1;  // the bar shown as chosen, -1 for none
  bool operator==(const Chart&) const = default;
};

// The keys that choose a bar while the chart has the keyboard.
enum class ChartStep { kPrevious, kNext, kFirst, kLast };

// The bar a step chooses among `count` bars from `chosen`: it stops at either end; with none
// chosen, the next is the first and the previous the last. -1 when there are no bars.
inline int SteppedBar(int chosen, int count, ChartStep step) {
  if (count <= 0) return -1;
  const bool none = chosen < 0 || chosen >= count;
  switch (step) {
    case ChartStep::kPrevious:
      return none ? count - 1 : (chosen > 0 ? chosen - 1 : 0);
    case ChartStep::kNext:
      return none ? 0 : (chosen + 1 < count ? chosen + 1 : chosen);
    case ChartStep::kFirst:
      return 0;
    case ChartStep::kLast:
      return count - 1;
  }
  return chosen;
}

}  // namespace unw

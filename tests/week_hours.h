// Working hours written as what they mean, "Mon 09:00-17:00, the rest off", independently of the
// stored syntax: Hours({{0, H(9), H(17)}}).
#pragma once

#include <initializer_list>
#include <tuple>

#include "settings/working_hours.h"

namespace unw {

// Minutes since midnight.
constexpr int H(int hour, int minute = 0) {
  return hour * 60 + minute;
}

// The days (0 is Monday) worked from and to; every other day is off.
inline WorkingHours Hours(std::initializer_list<std::tuple<int, int, int>> working) {
  WorkingHours h;
  for (const auto& [day, from, to] : working) h.days[day] = {true, from, to};
  return h;
}

inline const WorkingHours kWeekdays = Hours(
    {{0, H(9), H(17)}, {1, H(9), H(17)}, {2, H(9), H(17)}, {3, H(9), H(17)}, {4, H(9), H(17)}});

}  // namespace unw

// A countdown of whole seconds: its length and the seconds counted so far.
// The work timer and the break count with it; every display of the time is
// computed from it.
#pragma once

#include <cstdint>
#include <string>

namespace unw {

// "m:ss" of `seconds` (none below 0), the minutes not limited to an hour: short breaks and
// their clock.
std::string MinutesSeconds(int32_t seconds);

class Countdown {
 public:
  // Starts over with a length of `total` seconds.
  void Reset(int32_t total) {
    total_ = total;
    elapsed_ = 0;
  }
  // Counts one second.
  void Tick() { ++elapsed_; }
  // Nothing left: the next tick acts on it.
  bool Done() const { return total_ <= elapsed_; }
  int32_t total() const { return total_; }
  int32_t elapsed() const { return elapsed_; }
  int32_t remaining() const { return total_ - elapsed_; }

  // The remaining time as "HH", "MM" and "SS", each at least two digits.
  std::string Hours() const;
  std::string Minutes() const;  // of the hour
  std::string Seconds() const;
  // "HH:MM:SS".
  std::string Hms() const;
  // "MM:SS", the minutes not limited to an hour.
  std::string Ms() const;

 private:
  int32_t total_ = 0;
  int32_t elapsed_ = 0;
};

}  // namespace unw

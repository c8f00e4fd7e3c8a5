#include "cycle/countdown.h"

#include "settings/number_text.h"

namespace unw {

std::string Countdown::Hours() const {
  return TwoDigit(remaining() / 3600);
}

std::string Countdown::Minutes() const {
  return TwoDigit(remaining() % 3600 / 60);
}

std::string Countdown::Seconds() const {
  return TwoDigit(remaining() % 60);
}

std::string Countdown::Hms() const {
  return Hours() + ":" + Minutes() + ":" + Seconds();
}

std::string MinutesSeconds(int32_t seconds) {
  if (seconds < 0) seconds = 0;
  return std::to_string(seconds / 60) + ":" + TwoDigit(seconds % 60);
}

std::string Countdown::Ms() const {
  return TwoDigit(remaining() / 60) + ":" + Seconds();
}

}  // namespace unw

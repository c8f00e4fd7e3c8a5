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

std::string Countdown::Ms() const {
  return TwoDigit(remaining() / 60) + ":" + Seconds();
}

}  // namespace unw

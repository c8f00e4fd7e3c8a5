#include "platform/tray_record.h"

namespace unw {

std::string FixedField(std::string_view text, int width) {
  std::string f(text.substr(0, static_cast<size_t>(width)));
  f.resize(static_cast<size_t>(width), ' ');
  return f;
}

std::string_view ShownText(const std::string& field) {
  std::string_view v(field);
  return v.substr(0, v.find('\0'));
}

}  // namespace unw

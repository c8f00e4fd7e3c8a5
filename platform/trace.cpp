#include "platform/trace.h"

#include <cstdlib>
#include <utility>

namespace unw {

Trace::Trace(std::function<int64_t()> now, std::string path) : now_(std::move(now)) {
  if (!path.empty()) file_ = std::fopen(path.c_str(), "ab");
}

Trace::~Trace() {
  if (file_) std::fclose(file_);
}

std::string Trace::PathFromEnvironment() {
  const char* p = std::getenv("UNWINDLE_TRACE");
  return p ? std::string(p) : std::string();
}

std::string Trace::Escape(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\0':
        out += "\\0";
        break;
      default:
        out += c;
    }
  }
  return out;
}

void Trace::Line(std::string_view event, std::initializer_list<std::string_view> fields) {
  if (!on()) return;
  std::string line = std::to_string(now_ ? now_() : 0);
  line += '\t';
  line += event;
  for (auto f : fields) {
    line += '\t';
    line += Escape(f);
  }
  if (keep_) lines_.push_back(line);
  if (file_) {
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), file_);
    std::fflush(file_);
  }
}

}  // namespace unw

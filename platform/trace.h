// The diagnostic trace: when UNWINDLE_TRACE names a file, each back end
// appends one line per platform call it carries out. Format: docs/TRACE.md.
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace unw {

class Trace {
 public:
  // `now` gives the timestamp in milliseconds; `path` empty means off.
  Trace(std::function<int64_t()> now, std::string path);
  ~Trace();
  Trace(const Trace&) = delete;
  Trace& operator=(const Trace&) = delete;

  // Reads the file name from the environment variable UNWINDLE_TRACE.
  static std::string PathFromEnvironment();

  bool on() const { return file_ != nullptr || keep_; }
  // Also keeps the lines in memory (for tests).
  void KeepLines(bool keep) { keep_ = keep; }
  const std::vector<std::string>& lines() const { return lines_; }

  // One line: the timestamp, the event and its fields, separated by tabs.
  void Line(std::string_view event, std::initializer_list<std::string_view> fields);

  // Backslash escapes for tab, CR, LF, NUL and the backslash itself.
  static std::string Escape(std::string_view text);

 private:
  std::function<int64_t()> now_;
  std::FILE* file_ = nullptr;
  bool keep_ = false;
  std::vector<std::string> lines_;
};

}  // namespace unw

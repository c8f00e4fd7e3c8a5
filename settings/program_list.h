// The programs a due alert waits for: file names such as "POWERPNT.EXE", kept in one setting
// separated by ";", compared with the running programs without regard to case.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace unw {

// Why a name cannot stand for a program, if anything.
enum class ProgramNameFault {
  kNone,
  kEmpty,
  kPath,      // a folder or a drive: only the file name is compared
  kWildcard,  // "*" or "?": names are compared whole
  kIllegal,   // a character no file name holds, or the list's separator
  kTooLong,   // longer than any file name may be
};

ProgramNameFault CheckProgramName(std::string_view name);

// The names of a stored list, each without the blanks around it; empty entries are skipped.
std::vector<std::string> SplitProgramList(std::string_view text);
std::string JoinProgramList(const std::vector<std::string>& names);
// Whether a stored list can be used as it is: every name good, and not more of them than the
// list holds.
bool ProgramListUsable(std::string_view text);
// The same program, as Windows compares file names (ASCII letters without regard to case).
bool SameProgram(std::string_view a, std::string_view b);

// The most names the list holds: each is looked for among the running programs once a second
// while an alert waits.
inline constexpr size_t kMaxHeldPrograms = 64;

}  // namespace unw

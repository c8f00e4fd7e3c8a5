// The command line of unwindle.exe and unwindle.com ("unwindle /pause 30"), and the command and
// answer the running program exchanges with them. A command ends in the same transitions as the
// menus; this only reads it and says what is wrong with it.
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history/journal.h"
#include "i18n/texts.h"

namespace unw {

// kShortBreak is "/break short".
enum class Verb {
  kPause,
  kResume,
  kStart,
  kStop,
  kBreak,
  kStatus,
  kExit,
  kHelp,
  kHistory,
  kShortBreak
};

struct Command {
  // Written as {verb} or {verb, minutes}: the days are only ever read from a command line.
  Command(Verb v = Verb::kStatus, std::optional<int> m = std::nullopt,
          std::optional<int> d = std::nullopt)
      : verb(v), minutes(m), days(d) {}
  Verb verb = Verb::kStatus;
  std::optional<int> minutes;  // /pause for so many minutes; none: a pause with no end
  std::optional<int> days;     // /history of so many days; none: kHistoryDays
  bool operator==(const Command&) const = default;
};

// How the programs end, for scripts to test.
inline constexpr int kExitDone = 0;
inline constexpr int kExitBadUsage = 2;
inline constexpr int kExitNotRunning = 3;
inline constexpr int kExitRefused = 4;
// The program's answer while it is still starting: never an exit code, the sender asks again
// until it is ready or the sender's patience ends (then kExitRefused).
inline constexpr int kReplyStarting = 5;

inline constexpr int kMaxPauseMinutes = 1440;
// /history: the days printed unless it says, and the most it prints (what the history keeps).
inline constexpr int kHistoryDays = 14;
inline constexpr int kMaxHistoryDays = kJournalKeepDays;

struct CommandLine {
  enum class Kind {
    kNone,     // no arguments: the program as it always started
    kCommand,  // one command
    kBad,      // `error` says what is wrong, in one line
  };
  Kind kind = Kind::kNone;
  Command command;
  std::string error;
};

// The arguments after the program's name. A command starts with "/" or "--", in any case; only
// /pause and /history take a value, and /break the word "short" (in any case).
// What is wrong is said in the language of `texts`.
CommandLine ParseCommandLine(const std::vector<std::string>& args, const Texts& texts = Texts());

// What /? prints, and bad usage after its line; ends with a line end.
std::string UsageText(const Texts& texts = Texts());

// The running program's answer: how the command line ends, and the one line it prints.
struct Reply {
  int code = kExitDone;
  std::string line;
  // What the command then does, from the program's own loop once the answer is on its way: a
  // window it opens or the program's end must not keep the sender waiting.
  std::function<void()> then;
};

inline constexpr const char* kNotRunningLine = NT("Unwindle is not running.");

class Storage;
class Calendar;
// /history, answered without the running program: the CSV of the journal in `storage` read as it
// stands, as the reply's line (lines ended by CR LF), or why it cannot be read (4).
Reply HistoryAnswer(Storage& storage, Calendar& calendar, const Command& command);

// The command and the answer as they travel between the programs: UTF-8 text of a bounded size,
// one line. The running program trusts nothing it receives.
inline constexpr size_t kMaxCommandBytes = 64;
inline constexpr size_t kMaxReplyBytes = 512;
// "/pause 30", "/status".
std::string EncodeCommand(const Command& command);
// A received command: one command, as the command line would give it, in at most
// kMaxCommandBytes of UTF-8 without control characters. Anything else is bad, with why; so are /?
// and /history, which the command line answers itself.
CommandLine DecodeCommand(std::string_view bytes, const Texts& texts = Texts());
// "0 counting 00:42:17": the code, a blank and the line, made one line of UTF-8 that fits.
std::string EncodeReply(int code, std::string_view line);
// A received answer; none unless it is one that EncodeReply makes, with one of the codes above.
std::optional<Reply> DecodeReply(std::string_view bytes);

}  // namespace unw

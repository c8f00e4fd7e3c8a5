#include "app/command_line.h"

#include <algorithm>
#include <utility>

#include "app/history_texts.h"
#include "history/journal.h"
#include "platform/decimal.h"
#include "settings/utf8_text.h"

namespace unw {

namespace {

struct Named {
  const char* name;
  Verb verb;
};
constexpr Named kCommands[] = {
    {"pause", Verb::kPause},     {"resume", Verb::kResume}, {"start", Verb::kStart},
    {"stop", Verb::kStop},       {"break", Verb::kBreak},   {"status", Verb::kStatus},
    {"exit", Verb::kExit},       {"?", Verb::kHelp},        {"help", Verb::kHelp},
    {"history", Verb::kHistory},
};

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

// "/Status" and "--STATUS" name /status; null for anything else.
const Named* CommandOf(std::string_view arg) {
  const size_t marker = arg.starts_with("--") ? 2 : arg.starts_with('/') ? 1 : 0;
  if (marker == 0) return nullptr;
  const std::string name = Lower(arg.substr(marker));
  for (const Named& c : kCommands)
    if (name == c.name) return &c;
  return nullptr;
}

// "/break short": the one word a command takes that is no number.
constexpr const char* kShortWord = "short";

bool LooksLikeCommand(std::string_view arg) {
  return arg.starts_with("--") || arg.starts_with('/');
}

// 1 to `most` written in decimal digits, nothing else.
std::optional<int> Count(std::string_view arg, int most) {
  if (arg.size() > 9) return std::nullopt;
  const std::optional<int64_t> value = ReadDigits(arg, most);
  if (!value || *value < 1) return std::nullopt;
  return static_cast<int>(*value);
}

// The value a command takes: what is said when it is wrong and when one more follows ({command},
// {most}, {value}), the most it may be, where it goes.
struct Value {
  const char* outOfRange;
  const char* oneTooMany;
  int most;
  std::optional<int> Command::*field;
};

const Value* ValueOf(Verb verb) {
  static constexpr Value kMinutes{
      NT("{command} takes a number of minutes from 1 to {most}, not \"{value}\"."),
      NT("{command} takes one number of minutes; \"{value}\" is one too many."), kMaxPauseMinutes,
      &Command::minutes};
  static constexpr Value kDays{
      NT("{command} takes a number of days from 1 to {most}, not \"{value}\"."),
      NT("{command} takes one number of days; \"{value}\" is one too many."), kMaxHistoryDays,
      &Command::days};
  return verb == Verb::kPause ? &kMinutes : verb == Verb::kHistory ? &kDays : nullptr;
}

CommandLine Bad(std::string error) {
  CommandLine out;
  out.kind = CommandLine::Kind::kBad;
  out.error = std::move(error);
  return out;
}

// The length of the UTF-8 sequence that starts `s` at `i`, or 0 when none does.
bool IsControl(unsigned char c) {
  return c < 0x20 || c == 0x7F;
}

}  // namespace

std::string UsageText(const Texts& texts) {
  // The limits it states are the ones the parser keeps.
  return texts.T(
      "Usage: unwindle [command]\n"
      "  /start            start the work timer (and Unwindle, if it is not running)\n"
      "  /pause [minutes]  pause the timer; for 1 to {most} minutes if given\n"
      "  /resume           end a pause\n"
      "  /stop             stop the timer\n"
      "  /break            take a break now\n"
      "  /break short      take a short break now\n"
      "  /status           print where the timer stands, e.g. \"counting 00:42:17\"\n"
      "  /exit             exit Unwindle\n"
      "  /history [days]   print the history of the last days as CSV ({days} unless given, up "
      "to {keeps})\n"
      "  /?                show this help\n"
      "Commands may also start with -- (--status) and be written in any case.\n"
      "Exit codes: {done} done, {bad} bad usage, {notRunning} Unwindle is not running, {refused} "
      "refused (the line says why).\n",
      {{"most", std::to_string(kMaxPauseMinutes)},
       {"days", std::to_string(kHistoryDays)},
       {"keeps", std::to_string(kMaxHistoryDays)},
       {"done", std::to_string(kExitDone)},
       {"bad", std::to_string(kExitBadUsage)},
       {"notRunning", std::to_string(kExitNotRunning)},
       {"refused", std::to_string(kExitRefused)}});
}

CommandLine ParseCommandLine(const std::vector<std::string>& args, const Texts& texts) {
  if (args.empty()) return {};
  const Named* named = CommandOf(args[0]);
  if (!named) {
    if (LooksLikeCommand(args[0]))
      return Bad(texts.T("unknown command \"{command}\".", {{"command", args[0]}}));
    // "unwindle pause": the word is right, the marker is missing.
    const Named* meant = CommandOf("/" + args[0]);
    return Bad(texts.T(
        "\"{word}\" is not a command: commands start with / or --, as in {example}.",
        {{"word", args[0]}, {"example", std::string("/") + (meant ? meant->name : "status")}}));
  }
  CommandLine out;
  out.kind = CommandLine::Kind::kCommand;
  out.command.verb = named->verb;
  size_t used = 1;
  const Value* value = ValueOf(named->verb);
  const std::string name = std::string("/") + named->name;
  if (named->verb == Verb::kBreak && args.size() > 1 && !CommandOf(args[1])) {
    if (Lower(args[1]) != kShortWord)
      return Bad(texts.T("{command} takes \"{short}\" or nothing, not \"{value}\".",
                         {{"command", name}, {"short", kShortWord}, {"value", args[1]}}));
    out.command.verb = Verb::kShortBreak;
    used = 2;
  }
  if (value && args.size() > 1 && !CommandOf(args[1])) {
    std::optional<int>& field = out.command.*(value->field);
    field = Count(args[1], value->most);
    if (!field)
      return Bad(
          texts.T(value->outOfRange,
                  {{"command", name}, {"most", std::to_string(value->most)}, {"value", args[1]}}));
    used = 2;
  }
  if (args.size() > used) {
    const std::string& extra = args[used];
    if (CommandOf(extra))
      return Bad(texts.T("one command at a time: \"{next}\" follows \"{command}\".",
                         {{"next", extra}, {"command", args[0]}}));
    if (value) return Bad(texts.T(value->oneTooMany, {{"command", name}, {"value", extra}}));
    return Bad(
        texts.T("\"{command}\" takes no value; \"{value}\" is one too many.",
                {{"command", used == 2 ? args[0] + " " + args[1] : args[0]}, {"value", extra}}));
  }
  return out;
}

std::string EncodeCommand(const Command& command) {
  if (command.verb == Verb::kShortBreak) return std::string("/break ") + kShortWord;
  for (const Named& c : kCommands) {
    if (c.verb != command.verb) continue;
    std::string text = std::string("/") + c.name;
    if (command.minutes) text += " " + std::to_string(*command.minutes);
    if (command.days) text += " " + std::to_string(*command.days);
    return text;
  }
  return "";
}

CommandLine DecodeCommand(std::string_view bytes, const Texts& texts) {
  if (bytes.empty()) return Bad(texts.T("the command is empty."));
  if (bytes.size() > kMaxCommandBytes) return Bad(texts.T("the command is too long."));
  if (!WellFormedUtf8(bytes)) return Bad(texts.T("the command is not UTF-8 text."));
  for (char c : bytes)
    if (IsControl(static_cast<unsigned char>(c)))
      return Bad(texts.T("the command holds a control character."));
  std::vector<std::string> words;
  for (size_t at = 0; at < bytes.size();) {
    const size_t end = std::min(bytes.find(' ', at), bytes.size());
    if (end > at) words.emplace_back(bytes.substr(at, end - at));
    at = end + 1;
  }
  CommandLine line = ParseCommandLine(words, texts);
  if (line.kind == CommandLine::Kind::kNone) return Bad(texts.T("the command is empty."));
  if (line.kind == CommandLine::Kind::kCommand && line.command.verb == Verb::kHelp)
    return Bad(texts.T("{command} is answered by the command line itself.", {{"command", "/?"}}));
  // The command line reads the history itself, whether or not the program runs.
  if (line.kind == CommandLine::Kind::kCommand && line.command.verb == Verb::kHistory)
    return Bad(
        texts.T("{command} is answered by the command line itself.", {{"command", "/history"}}));
  return line;
}

std::string EncodeReply(int code, std::string_view line) {
  std::string out = std::to_string(code) + " ";
  for (size_t i = 0; i < line.size();) {
    size_t n = Utf8SequenceAt(line, i);
    std::string_view piece = n ? line.substr(i, n) : "?";
    if (n == 1 && IsControl(static_cast<unsigned char>(line[i]))) piece = " ";
    if (out.size() + piece.size() > kMaxReplyBytes) break;
    out += piece;
    i += n ? n : 1;
  }
  return out;
}

std::optional<Reply> DecodeReply(std::string_view bytes) {
  if (bytes.size() < 2 || bytes.size() > kMaxReplyBytes || bytes[1] != ' ' ||
      !WellFormedUtf8(bytes))
    return std::nullopt;
  const int code = bytes[0] - '0';
  if (code != kExitDone && code != kExitBadUsage && code != kExitNotRunning &&
      code != kExitRefused && code != kReplyStarting)
    return std::nullopt;
  for (char c : bytes)
    if (IsControl(static_cast<unsigned char>(c))) return std::nullopt;
  Reply reply;
  reply.code = code;
  reply.line = std::string(bytes.substr(2));
  return reply;
}

Reply HistoryAnswer(Storage& storage, Calendar& calendar, const Command& command) {
  StorageStatus status = StorageStatus::kOk;
  std::string csv = HistoryCsv(storage, calendar, command.days.value_or(kHistoryDays), status);
  if (status != StorageStatus::kOk)
    return {kExitRefused, HistoryUnreadableText(Texts(), status), nullptr};
  return {kExitDone, std::move(csv), nullptr};
}

}  // namespace unw

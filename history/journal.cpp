#include "history/journal.h"

#include <limits>

#include "history/figures.h"
#include "platform/decimal.h"

namespace unw {

namespace {

constexpr std::string_view kHeaderStart = "# KORVANTE Unwindle history\tversion ";

// Calls `line(whole, content, at)` for each line that has its line end: `whole` with the end,
// `content` without it (nor a CR before it: the file may have passed through an editor), `at`
// where it starts. Returns where the last whole line ends; what follows there was torn.
template <typename Line>
size_t ForEachLine(std::string_view text, Line&& line) {
  size_t pos = 0;
  for (size_t end; (end = text.find('\n', pos)) != std::string_view::npos; pos = end + 1) {
    const std::string_view whole = text.substr(pos, end + 1 - pos);
    std::string_view content = whole.substr(0, whole.size() - 1);
    if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
    line(whole, content, pos);
  }
  return pos;
}

// Whole seconds, as the file keeps them: what is in memory is what the file will give back.
Stamp WholeSecondNow(Calendar& calendar) {
  int64_t utc = calendar.UtcMs();
  utc -= ((utc % 1000) + 1000) % 1000;
  return {utc, calendar.ToLocal(utc).offsetMinutes};
}

}  // namespace

std::string JournalHeader() {
  return std::string(kHeaderStart) + std::to_string(kJournalVersion);
}

int JournalHeaderVersion(std::string_view line) {
  if (line.substr(0, kHeaderStart.size()) != kHeaderStart) return 0;
  const std::string_view number = line.substr(kHeaderStart.size());
  if (number.size() > 6) return 0;
  return static_cast<int>(ReadDigits(number).value_or(0));
}

std::vector<Event> ParseJournal(std::string_view text) {
  std::vector<Event> events;
  ForEachLine(text, [&](std::string_view, std::string_view line, size_t) {
    if (std::optional<Event> e = ParseEvent(line)) events.push_back(*e);
  });
  return events;
}

std::string HistoryCsv(Storage& storage, Calendar& calendar, int days, StorageStatus& status) {
  std::string text;
  status = storage.Read(kJournalFileName, text);
  if (status == StorageStatus::kNotFound || status == StorageStatus::kNoFolder) {
    status = StorageStatus::kOk;
    text.clear();
  }
  if (status != StorageStatus::kOk) return "";
  const Stamp now = WholeSecondNow(calendar);
  return FiguresCsv(LastDays(FiguresByDay(ParseJournal(text), now), LocalDay(now), days));
}

void Journal::Open(bool tidy) {
  events_.clear();
  pending_.clear();
  counting_ = false;
  newerFormat_ = false;
  end_ = 0;
  endKnown_ = true;
  writeStatus_ = StorageStatus::kOk;
  std::string text;
  readStatus_ = storage_.Read(kJournalFileName, text);
  if (readStatus_ == StorageStatus::kNotFound) readStatus_ = StorageStatus::kOk;
  if (readStatus_ == StorageStatus::kNoFolder || readStatus_ == StorageStatus::kNotAFolder) {
    // No folder, so no file: the first write tells whether the folder can be had.
    writeStatus_ = readStatus_;
    readStatus_ = StorageStatus::kOk;
  }
  if (readStatus_ != StorageStatus::kOk) {
    // Nothing known of the file: lines go after whatever it holds.
    endKnown_ = false;
    return;
  }
  const int64_t oldest = calendar_.UtcMs() - kJournalKeepDays * kDayMs;
  std::string kept;
  bool header = false, dropped = false;
  end_ = ForEachLine(text, [&](std::string_view whole, std::string_view line, size_t pos) {
    bool keep = false;
    if (pos == 0 && JournalHeaderVersion(line) > 0) {
      header = keep = true;
      newerFormat_ = JournalHeaderVersion(line) > kJournalVersion;
    } else if (const std::optional<Event> e = ParseEvent(line)) {
      keep = e->at.utcMs >= oldest;
      if (keep) events_.push_back(*e);
    } else if (IsForeignEvent(line)) {
      // A newer version's kinds go by their age like any other line.
      keep = ParseStamp(line)->utcMs >= oldest;
    }
    if (keep)
      kept += whole;
    else
      dropped = true;
  });
  if (end_ < text.size()) dropped = true;
  // A newer version's file is never rewritten by this one: it might not know what it drops.
  if (!dropped || newerFormat_ || !tidy) return;
  if (!header) kept.insert(0, JournalHeader() + "\n");
  const StorageStatus replaced = storage_.ReplaceAtomically(kJournalFileName, kept);
  if (replaced == StorageStatus::kOk)
    end_ = kept.size();
  else
    writeStatus_ = replaced;  // the old file stays; new lines go after its last whole line
}

Stamp Journal::Now() {
  return WholeSecondNow(calendar_);
}

void Journal::Record(Event event) {
  event.at = Now();
  events_.push_back(event);
  counting_ = CountingAfter(event, counting_);
  lastLineMs_ = event.at.utcMs;
  if (newerFormat_) return;
  pending_ += FormatEvent(event);
  pending_ += '\n';
  Flush();
}

void Journal::Flush() {
  std::string bytes;
  if (!endKnown_)
    bytes = "\n";  // whatever the unread file ends with stays a line of its own
  else if (end_ == 0)
    bytes = JournalHeader() + "\n";
  bytes += pending_;
  uint64_t at = endKnown_ ? end_ : std::numeric_limits<uint64_t>::max();
  writeStatus_ = storage_.AppendDurably(kJournalFileName, at, bytes);
  if (writeStatus_ != StorageStatus::kOk) return;
  end_ = at;
  endKnown_ = true;
  pending_.clear();
}

void Journal::Mark() {
  if (!counting_) return;
  const int64_t now = calendar_.UtcMs();
  // A clock set back marks at once: waiting for it to catch up could cost hours of counting.
  if (now - lastLineMs_ >= kMarkEveryMs || now < lastLineMs_) Record(StillCounting());
}

bool Journal::Clear() {
  const std::string header = JournalHeader() + "\n";
  writeStatus_ = storage_.ReplaceAtomically(kJournalFileName, header);
  if (writeStatus_ != StorageStatus::kOk) return false;
  events_.clear();
  pending_.clear();
  end_ = header.size();
  endKnown_ = true;
  newerFormat_ = false;
  readStatus_ = StorageStatus::kOk;
  return true;
}

JournalPlace JournalPlaceIn(Storage& storage) {
  const std::string folder = storage.DataFolder();
  return {folder, folder + "\\" + kJournalFileName};
}

JournalHealth Journal::Health() {
  using State = JournalHealth::State;
  JournalHealth health{State::kKept, StorageStatus::kOk, JournalPlaceIn(storage_)};
  if (newerFormat_) {
    health.state = State::kNewerFormat;
  } else if (writeStatus_ != StorageStatus::kOk && writeStatus_ != StorageStatus::kNotFound) {
    health.state = State::kNotSaved;
    health.status = writeStatus_;
  } else if (readStatus_ != StorageStatus::kOk) {
    health.state = State::kUnreadable;
    health.status = readStatus_;
  }
  return health;
}

}  // namespace unw

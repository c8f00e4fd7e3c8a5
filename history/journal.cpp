#include "history/journal.h"

#include <algorithm>
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

void LineReader::Whole(std::string_view whole) {
  std::string_view content = whole.substr(0, whole.size() - 1);
  if (!content.empty() && content.back() == '\r') content.remove_suffix(1);
  line_(whole, content, end_);
  end_ += whole.size();
}

void LineReader::Piece(std::string_view piece) {
  size_ += piece.size();
  while (!piece.empty()) {
    const size_t newline = piece.find('\n');
    if (newline == std::string_view::npos) {
      // The line goes on in the next piece.
      if (!tooLong_ && carry_.size() + piece.size() > kLongestLine) {
        tooLong_ = true;
        carry_.clear();
        carry_.shrink_to_fit();
      }
      if (tooLong_)
        skipped_ += piece.size();
      else
        carry_ += piece;
      return;
    }
    const std::string_view head = piece.substr(0, newline + 1);
    piece.remove_prefix(newline + 1);
    if (tooLong_) {
      skipped_ += head.size();
      end_ = size_ - piece.size();
      tooLong_ = false;
    } else if (carry_.empty()) {
      Whole(head);
    } else {
      carry_ += head;
      Whole(carry_);
      carry_.clear();
    }
  }
}

namespace {

// The oldest moment whose events count for the `days` days up to the one of `now`: a day begins
// at most 14 hours before its UTC midnight, and the countdown that counts into it from the day
// before is read from the last line before it.
int64_t FirstMomentFor(const Stamp& now, int days) {
  const int64_t firstDay = LocalDay(now) - std::max(days, 1) + 1;
  return firstDay * kDayMs - 14 * 3600000LL - kDayMs;
}

}  // namespace

std::string HistoryCsv(Storage& storage, Calendar& calendar, int days, StorageStatus& status) {
  const Stamp now = WholeSecondNow(calendar);
  // The file promises no order (the clock may be set back), so every line is looked at; those
  // older than the days asked for only tell whether the countdown counted after them.
  const int64_t oldest = FirstMomentFor(now, days);
  FiguresTally tally;
  LineReader lines([&](std::string_view, std::string_view line, uint64_t) {
    const std::optional<Event> e = ParseEvent(line);
    if (!e) return;
    if (e->at.utcMs >= oldest)
      tally.Add(*e);
    else
      tally.Carry(*e);
  });
  status = storage.ReadPieces(kJournalFileName, [&](std::string_view piece) {
    lines.Piece(piece);
    return true;
  });
  if (status == StorageStatus::kNotFound || status == StorageStatus::kNoFolder)
    status = StorageStatus::kOk;
  if (status != StorageStatus::kOk) return "";
  return FiguresCsv(LastDays(tally.Days(now), LocalDay(now), days));
}

Journal::Reading Journal::Read() {
  Reading reading;
  read_ = FiguresTally();
  const int64_t oldest = calendar_.UtcMs() - kJournalKeepDays * kDayMs;
  LineReader lines([&](std::string_view, std::string_view line, uint64_t at) {
    if (at == 0 && JournalHeaderVersion(line) > 0) {
      reading.header = true;
      reading.newerFormat = JournalHeaderVersion(line) > kJournalVersion;
    } else if (const std::optional<Event> e = ParseEvent(line)) {
      if (e->at.utcMs >= oldest)
        read_.Add(*e);
      else
        reading.dropped = true;
    } else if (!IsForeignEvent(line) || ParseStamp(line)->utcMs < oldest) {
      // Garbage goes; a newer version's kinds go by their age like any other line.
      reading.dropped = true;
    }
  });
  reading.status = storage_.ReadPieces(kJournalFileName, [&](std::string_view piece) {
    lines.Piece(piece);
    return true;
  });
  reading.end = lines.end();
  if (lines.end() < lines.size() || lines.skipped() > 0) reading.dropped = true;
  return reading;
}

bool Journal::WriteKept(const Reading& reading, const Storage::PieceWriter& write, uint64_t& size) {
  const int64_t oldest = calendar_.UtcMs() - kJournalKeepDays * kDayMs;
  std::string kept;  // a megabyte at a time
  bool taken = true;
  size = 0;
  auto out = [&](std::string_view bytes) {
    kept += bytes;
    size += bytes.size();
    if (kept.size() >= (1u << 20) && taken) {
      taken = write(kept);
      kept.clear();
    }
  };
  if (!reading.header) out(JournalHeader() + "\n");
  LineReader lines([&](std::string_view whole, std::string_view line, uint64_t at) {
    bool keep = false;
    if (at == 0 && JournalHeaderVersion(line) > 0)
      keep = true;
    else if (const std::optional<Event> e = ParseEvent(line))
      keep = e->at.utcMs >= oldest;
    else if (IsForeignEvent(line))
      keep = ParseStamp(line)->utcMs >= oldest;
    if (keep) out(whole);
  });
  const StorageStatus read = storage_.ReadPieces(kJournalFileName, [&](std::string_view piece) {
    lines.Piece(piece);
    return taken;
  });
  if (taken && !kept.empty()) taken = write(kept);
  // Read once, not twice: a file that changed its mind is left as it is.
  return taken && read == StorageStatus::kOk;
}

void Journal::Open(bool tidy) {
  recorded_.clear();
  unwritten_ = 0;
  pending_.clear();
  counting_ = false;
  newerFormat_ = false;
  end_ = 0;
  endKnown_ = true;
  writeStatus_ = StorageStatus::kOk;
  Reading reading = Read();
  readStatus_ = reading.status;
  if (readStatus_ == StorageStatus::kNotFound) readStatus_ = StorageStatus::kOk;
  if (readStatus_ == StorageStatus::kNoFolder || readStatus_ == StorageStatus::kNotAFolder) {
    // No folder, so no file: the first write tells whether the folder can be had.
    writeStatus_ = readStatus_;
    readStatus_ = StorageStatus::kOk;
  }
  if (readStatus_ != StorageStatus::kOk) {
    // Nothing known of the file: lines go after whatever it holds.
    read_ = FiguresTally();
    endKnown_ = false;
    return;
  }
  end_ = reading.end;
  newerFormat_ = reading.newerFormat;
  // A newer version's file is never rewritten by this one: it might not know what it drops.
  if (!reading.dropped || newerFormat_ || !tidy) return;
  uint64_t size = 0;
  const StorageStatus replaced = storage_.ReplaceInPieces(
      kJournalFileName,
      [&](const Storage::PieceWriter& write) { return WriteKept(reading, write, size); });
  if (replaced == StorageStatus::kOk)
    end_ = size;
  else
    writeStatus_ = replaced;  // the old file stays; new lines go after its last whole line
}

void Journal::ReadAgain() {
  if (readStatus_ == StorageStatus::kOk) return;
  FiguresTally before = std::move(read_);
  const Reading reading = Read();
  const bool none =
      reading.status == StorageStatus::kNotFound || reading.status == StorageStatus::kNoFolder;
  if (reading.status != StorageStatus::kOk && !none) {
    read_ = std::move(before);
    readStatus_ = reading.status;
    return;
  }
  readStatus_ = StorageStatus::kOk;
  // What went into the file since start-up was read with it; what did not stays in memory.
  // A file gone meanwhile took the lines written into it: they are kept from memory.
  if (reading.status == StorageStatus::kOk)
    recorded_.erase(recorded_.begin(), recorded_.end() - static_cast<ptrdiff_t>(unwritten_));
  end_ = reading.end;
  endKnown_ = true;
  newerFormat_ = newerFormat_ || reading.newerFormat;
  // The lines that waited go now, after the last whole line: the file is there to be had.
  if (!pending_.empty() && !newerFormat_) Flush();
}

std::vector<DayFigures> Journal::Figures(std::optional<Stamp> now) const {
  FiguresTally all = read_;
  for (const Event& e : recorded_) all.Add(e);
  return all.Days(now);
}

Stamp Journal::Now() {
  return WholeSecondNow(calendar_);
}

void Journal::Record(Event event) {
  event.at = Now();
  recorded_.push_back(event);
  counting_ = CountingAfter(event, counting_);
  lastLineMs_ = event.at.utcMs;
  if (newerFormat_) return;
  pending_ += FormatEvent(event);
  pending_ += '\n';
  ++unwritten_;
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
  unwritten_ = 0;
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
  read_ = FiguresTally();
  recorded_.clear();
  unwritten_ = 0;
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
  } else if (readStatus_ != StorageStatus::kOk) {
    // Figures that miss what came before say so first.
    health.state = State::kUnreadable;
    health.status = readStatus_;
  } else if (writeStatus_ != StorageStatus::kOk && writeStatus_ != StorageStatus::kNotFound) {
    health.state = State::kNotSaved;
    health.status = writeStatus_;
  }
  return health;
}

}  // namespace unw

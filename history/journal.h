// The journal: the history as one text file in the program's data folder, a line per event
// (tab-separated UTF-8 under a header that names the format's version). Lines are only appended,
// each flushed to the disk as it is written, so a crash loses at most the line being written; a
// line torn that way is skipped on reading and written over by the next one. At start-up the lines
// older than 400 days go, by replacing the file atomically. When the file cannot be written the
// program goes on: the events stay in memory (and are written later if the disk lets it) and the
// journal says what is wrong in one line. The file is read line by line, never held whole: what
// it gives is tallied into the figures as it goes (history/figures.h).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "history/event.h"
#include "history/figures.h"
#include "platform/calendar.h"
#include "platform/storage.h"

namespace unw {

inline constexpr int kJournalVersion = 1;
inline constexpr const char* kJournalFileName = "history.tsv";
inline constexpr int kJournalKeepDays = 400;

// The journal's file: its full path, and the folder it is in.
struct JournalPlace {
  std::string folder, file;
};
JournalPlace JournalPlaceIn(Storage& storage);

// Where the history stands.
struct JournalHealth {
  enum class State {
    kKept,         // the file takes the events
    kNewerFormat,  // a newer version's file: read, never written
    kNotSaved,     // the file refuses to be written (`status` says why)
    kUnreadable,   // the file could not be read at start-up (`status` says why): what it held
                   // before is missing from the figures, new events are added to it
  };
  State state = State::kKept;
  StorageStatus status = StorageStatus::kOk;
  JournalPlace place;
};

// The journal's first line.
std::string JournalHeader();
// The format version a header line names, or 0 when the line is no header.
int JournalHeaderVersion(std::string_view line);
// Every event of a journal's text, in order. Lines that are no event of this version are skipped,
// and so is a last line without its line end: a crash tore it.
std::vector<Event> ParseJournal(std::string_view text);

// Cuts a text that comes in pieces into its lines: calls `line(whole, content, at)` for each line
// that has its line end (`whole` with it, `content` without it nor a CR before it, `at` where it
// starts). A line longer than kLongestLine is no line of the journal: it is skipped, whole, and
// counted in `skipped()`. `end()` is where the last whole line ends; what follows it was torn.
class LineReader {
 public:
  static constexpr size_t kLongestLine = size_t{1} << 20;
  using Line = std::function<void(std::string_view whole, std::string_view content, uint64_t at)>;
  explicit LineReader(Line line) : line_(std::move(line)) {}
  void Piece(std::string_view piece);
  uint64_t end() const { return end_; }
  uint64_t size() const { return size_; }
  uint64_t skipped() const { return skipped_; }

 private:
  void Whole(std::string_view whole);

  Line line_;
  std::string carry_;     // the start of a line that goes on in the next piece
  bool tooLong_ = false;  // the line being read is too long: skipped up to its end
  uint64_t end_ = 0, size_ = 0, skipped_ = 0;
};

// The CSV of the `days` days up to today, from the journal file as it stands (the running program
// may be appending to it): for the command line, which works whether or not the program runs.
// `status` says whether the file could be read; a file not there yet is an empty history.
std::string HistoryCsv(Storage& storage, Calendar& calendar, int days, StorageStatus& status);

class Journal {
 public:
  Journal(Storage& storage, Calendar& calendar) : storage_(storage), calendar_(calendar) {}

  // At start-up: reads the file and tallies what is younger than 400 days. When that drops
  // anything (old lines, garbage, a torn last line) and `tidy` allows it, the file is replaced
  // atomically by its header and the lines kept, byte for byte; without `tidy` (no history is
  // kept now) nothing is written.
  void Open(bool tidy = true);
  // When the file could not be read at start-up, reads it now (the Statistics window asks, as it
  // opens): what it held is tallied, with the events recorded since that it holds too once, and
  // those not written yet from memory; these are written then. Does nothing when it was read.
  void ReadAgain();
  // Stamps `event` with the time and offset now, keeps it, and appends its line. Lines that could
  // not be written go out with the next one that can.
  void Record(Event event);
  // While the work countdown counts, a mark every kMarkEveryMs. Call it at least once a minute,
  // best on every tick of the countdown: after a sleep the first call ends the silence.
  void Mark();
  // Clear History: the file keeps only its header. False (and nothing forgotten) when the file
  // cannot be replaced.
  bool Clear();

  // The moment now, for the figures.
  Stamp Now();
  // The figures of every day of everything read and recorded since, written or not.
  std::vector<DayFigures> Figures(std::optional<Stamp> now = std::nullopt) const;
  // How many events those are.
  size_t size() const { return read_.events() + recorded_.size(); }
  // The events recorded since the file was read, written or not.
  const std::vector<Event>& recorded() const { return recorded_; }
  // Whether the file takes the events now.
  bool writing() const { return !newerFormat_ && writeStatus_ == StorageStatus::kOk; }
  // Where the history stands, as facts (app/history_texts.h words them).
  JournalHealth Health();

 private:
  // Appends the lines not yet written.
  void Flush();
  // Reads the file into `read_`, and says what it found: the status, whether the tidy file would
  // differ (anything dropped), whether it has a header of this version or a newer one, where its
  // last whole line ends.
  struct Reading {
    StorageStatus status = StorageStatus::kOk;
    bool dropped = false, header = false, newerFormat = false;
    uint64_t end = 0;
  };
  Reading Read();
  // The header and the lines a tidy file keeps, read again and written by `write` in pieces;
  // `size` is how many bytes. False when the read or the write failed.
  bool WriteKept(const Reading& reading, const Storage::PieceWriter& write, uint64_t& size);

  Storage& storage_;
  Calendar& calendar_;
  FiguresTally read_;            // the file's events as read
  std::vector<Event> recorded_;  // the events recorded since
  size_t unwritten_ = 0;         // how many of the last recorded are not on the disk
  std::string pending_;          // their lines
  uint64_t end_ = 0;             // where the last whole line of the file ends
  bool endKnown_ = true;         // false when the file could not be read
  bool newerFormat_ = false;     // a newer version's file: read, never written
  bool counting_ = false;        // the countdown counts after the last event
  int64_t lastLineMs_ = 0;       // the last event's moment
  StorageStatus readStatus_ = StorageStatus::kOk;
  StorageStatus writeStatus_ = StorageStatus::kOk;
};

}  // namespace unw

// The journal: the history as one text file in the program's data folder, a line per event
// (tab-separated UTF-8 under a header that names the format's version). Lines are only appended,
// each flushed to the disk as it is written, so a crash loses at most the line being written; a
// line torn that way is skipped on reading and written over by the next one. At start-up the lines
// older than 400 days go, by replacing the file atomically. When the file cannot be written the
// program goes on: the events stay in memory (and are written later if the disk lets it) and the
// journal says what is wrong in one line.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "history/event.h"
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
    kUnreadable,   // the file is written to but could not be read (`status` says why)
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

// The CSV of the `days` days up to today, from the journal file as it stands (the running program
// may be appending to it): for the command line, which works whether or not the program runs.
// `status` says whether the file could be read; a file not there yet is an empty history.
std::string HistoryCsv(Storage& storage, Calendar& calendar, int days, StorageStatus& status);

class Journal {
 public:
  Journal(Storage& storage, Calendar& calendar) : storage_(storage), calendar_(calendar) {}

  // At start-up: reads the file and keeps what is younger than 400 days. When that drops
  // anything (old lines, garbage, a torn last line) and `tidy` allows it, the file is replaced
  // atomically by its header and the lines kept, byte for byte; without `tidy` (no history is
  // kept now) nothing is written.
  void Open(bool tidy = true);
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
  // Everything read at start-up and recorded since, written or not.
  const std::vector<Event>& events() const { return events_; }
  // Whether the file takes the events now.
  bool writing() const { return !newerFormat_ && writeStatus_ == StorageStatus::kOk; }
  // Where the history stands, as facts (app/history_texts.h words them).
  JournalHealth Health();

 private:
  // Appends the lines not yet written.
  void Flush();

  Storage& storage_;
  Calendar& calendar_;
  std::vector<Event> events_;
  std::string pending_;       // lines not yet on the disk
  uint64_t end_ = 0;          // where the last whole line of the file ends
  bool endKnown_ = true;      // false when the file could not be read
  bool newerFormat_ = false;  // a newer version's file: read, never written
  bool counting_ = false;     // the countdown counts after the last event
  int64_t lastLineMs_ = 0;    // the last event's moment
  StorageStatus readStatus_ = StorageStatus::kOk;
  StorageStatus writeStatus_ = StorageStatus::kOk;
};

}  // namespace unw

// What the history costs on a real disk: one journal append (written and flushed), and, for 400
// days of history, the start-up read, the Statistics window's figures and the command line's CSV.
// Prints figures and never fails. Runs in a temporary folder of its own.
//
//   unwindle_history_bench.exe [APPENDS]      (default 200)
//   unwindle_history_bench.exe --big [MB]     a file of MB (default 200) of recent lines, dense:
//                                             the start-up read's time and the process's peak
//                                             memory, and /history 400 on it
//   unwindle_history_bench.exe --plant-big [MB]  writes that file as the user's own history
//   unwindle_history_bench.exe --plant        writes the 400 days as the user's own history (the
//                                             program's data folder), for bench/run.sh to time
//                                             the Statistics window on
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

#include "history/figures.h"
#include "history/journal.h"
#include "bench/timing.h"
#include "backends/win32/calendar_win32.h"
#include "backends/win32/storage_win32.h"
#include "backends/win32/wide_text.h"

namespace {

using namespace unw;

using bench::Median;
using bench::NowMs;

// A busy working day from 08:00 local time: eight work periods of an hour with their marks, each
// ended by a break, a snooze or a skip, the program started and ended.
void WorkingDay(int64_t eightUtc, int offset, std::string& text, size_t& events) {
  auto line = [&](int64_t minute, Event e) {
    e.at = {eightUtc + minute * 60000, offset};
    text += FormatEvent(e);
    text += '\n';
    ++events;
  };
  line(0, ProgramStarted());
  int64_t t = 0;
  for (int period = 0; period < 8; ++period) {
    line(t, WorkStarted());
    for (int m = 5; m < 60; m += 5) line(t + m, StillCounting());
    t += 60;
    line(t, AlertShown(period % 2 ? AlertedBy::kTray : AlertedBy::kPrompt));
    if (period % 3 == 0) {
      line(t, Snoozed());
      line(t + 5, AlertShown(AlertedBy::kPrompt));
      t += 5;
    }
    if (period % 4 == 3) {
      line(t, BreakSkipped(SkipAnswer::kRestart));
      continue;
    }
    line(t, BreakStarted(BreakFrom::kPrompt));
    line(t + 5, BreakEnded(period == 5 ? BreakEnd::kCutShort : BreakEnd::kRanOut, 300));
    t += 5;
  }
  line(t, WorkStopped());
  line(t + 30, ProgramEnded());
}

// 400 busy working days up to today, as a journal's text.
std::string FourHundredDays(Calendar& calendar, size_t& events) {
  const int64_t now = calendar.UtcMs();
  const int offset = calendar.ToLocal(now).offsetMinutes;
  const int64_t today = LocalDay({now, offset});
  std::string text = JournalHeader() + "\n";
  events = 0;
  for (int d = 399; d >= 0; --d) {
    const int64_t eightLocal = (today - d) * 86400000LL + 8 * 3600000LL;
    WorkingDay(eightLocal - offset * 60000LL, offset, text, events);
  }
  return text;
}

// The process's peak working set so far, in MB.
double PeakMb() {
  PROCESS_MEMORY_COUNTERS counters = {};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return -1;
  return counters.PeakWorkingSetSize / 1048576.0;
}

// A file of `megabytes` of lines of the last 400 days in time order, a line every few seconds:
// sessions of work with their marks, alerts, breaks, snoozes, skips, natural breaks and short
// breaks. Written a megabyte at a time, so that the bench never holds it.
bool WriteBigFile(Storage& storage, Calendar& calendar, uint64_t megabytes, size_t& events) {
  const int64_t now = calendar.UtcMs() / 1000 * 1000;
  const int offset = calendar.ToLocal(now).offsetMinutes;
  const uint64_t target = megabytes << 20;
  const Event cycle[] = {ProgramStarted(),
                         WorkStarted(),
                         StillCounting(),
                         StillCounting(),
                         StillCounting(),
                         StillCounting(),
                         AlertShown(AlertedBy::kPrompt),
                         Snoozed(),
                         AlertShown(AlertedBy::kTray),
                         BreakStarted(BreakFrom::kPrompt),
                         BreakEnded(BreakEnd::kRanOut, 300),
                         WorkStarted(),
                         StillCounting(),
                         ShortBreakStarted(20),
                         ShortBreakEnded(ShortEnd::kRanOut, 20),
                         StillCounting(),
                         NaturalBreak(AwayWhy::kLock, 30),
                         StillCounting(),
                         AlertShown(AlertedBy::kPrompt),
                         BreakSkipped(SkipAnswer::kRestart),
                         StillCounting(),
                         WorkPaused(600),
                         WorkResumed(),
                         StillCounting(),
                         WorkStopped(),
                         ProgramEnded()};
  const size_t lineBytes = 40;  // about, for the spacing of the lines over 400 days
  const int64_t first = now - 399LL * 86400000, span = now - 60000 - first;
  const int64_t lines = static_cast<int64_t>(target / lineBytes);
  const int64_t stepMs = std::max<int64_t>(1000, span / lines / 1000 * 1000);
  uint64_t at = 0;
  std::string chunk = JournalHeader() + "\n";
  events = 0;
  for (int64_t i = 0; at + chunk.size() < target; ++i) {
    Event e = cycle[i % std::size(cycle)];
    e.at = {first + (i * stepMs) % span, offset};
    chunk += FormatEvent(e);
    chunk += '\n';
    ++events;
    if (chunk.size() >= (1u << 20)) {
      if (storage.AppendDurably(kJournalFileName, at, chunk) != StorageStatus::kOk) return false;
      chunk.clear();
    }
  }
  return storage.AppendDurably(kJournalFileName, at, chunk) == StorageStatus::kOk;
}

// Deletes the bench's files and folder.
void CleanUp(const std::string& folder) {
  for (const char* name : {kJournalFileName, "history.tsv.new"})
    DeleteFileW(win32::Wide(folder + "\\" + name).c_str());
  RemoveDirectoryW(win32::Wide(folder).c_str());
}

std::string TempFolder(const char* what) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  return win32::Utf8(temp) + what + std::to_string(GetCurrentProcessId());
}

int Big(uint64_t megabytes) {
  const std::string folder = TempFolder("unwindle-history-big-");
  Trace trace{nullptr, ""};
  Win32Storage storage(trace, folder);
  Win32Calendar calendar;
  size_t events = 0;
  if (!WriteBigFile(storage, calendar, megabytes, events)) {
    std::printf("history: %llu MB of recent lines: n/a (could not write %s)\n",
                static_cast<unsigned long long>(megabytes), folder.c_str());
    CleanUp(folder);
    return 0;
  }
  const double before = PeakMb();
  Journal journal(storage, calendar);
  double start = NowMs();
  journal.Open();
  const double openMs = NowMs() - start;
  const double afterOpen = PeakMb();
  StorageStatus status = StorageStatus::kOk;
  start = NowMs();
  const std::string csv = HistoryCsv(storage, calendar, 400, status);
  const double commandMs = NowMs() - start;
  const double afterCommand = PeakMb();
  std::printf("history: %llu MB of recent lines (%zu events over 400 days):\n",
              static_cast<unsigned long long>(megabytes), events);
  std::printf(
      "history:   start-up read: %.0f ms, peak working set %.1f MB (%.1f MB before the read)%s\n",
      openMs, afterOpen, before,
      journal.Health().state == JournalHealth::State::kKept ? "" : " - not read");
  // The CSV's own check sum, to compare the figures of one build with another's.
  uint32_t sum = 2166136261u;
  for (const char c : csv) sum = (sum ^ static_cast<unsigned char>(c)) * 16777619u;
  std::printf(
      "history:   /history 400: %.0f ms, peak working set %.1f MB, %zu CSV bytes (FNV-1a %08x)%s\n",
      commandMs, afterCommand, csv.size(), static_cast<unsigned>(sum),
      status == StorageStatus::kOk ? "" : " - not read");
  // A line torn at the end: the start-up read replaces the file by the lines it keeps.
  uint64_t end = std::numeric_limits<uint64_t>::max();
  storage.AppendDurably(kJournalFileName, end, "2026-12-07T10:00:00+01:00\tbre");
  Journal tidying(storage, calendar);
  start = NowMs();
  tidying.Open();
  const double tidyMs = NowMs() - start;
  std::printf(
      "history:   start-up read that tidies it (a torn last line): %.0f ms, peak working "
      "set %.1f MB%s\n",
      tidyMs, PeakMb(), tidying.writing() ? "" : " - not written");
  CleanUp(folder);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 1 && std::string(argv[1]) == "--plant-big") {
    Trace trace{nullptr, ""};
    Win32Storage storage(trace);
    Win32Calendar calendar;
    size_t events = 0;
    const bool planted =
        WriteBigFile(storage, calendar, argc > 2 ? std::max(1, std::atoi(argv[2])) : 200, events);
    std::printf("%s %zu events in %s\n", planted ? "planted" : "could not plant", events,
                storage.DataFolder().c_str());
    return planted ? 0 : 1;
  }
  if (argc > 1 && std::string(argv[1]) == "--big")
    return Big(argc > 2 ? std::max(1, std::atoi(argv[2])) : 200);
  if (argc > 1 && std::string(argv[1]) == "--plant") {
    Trace trace{nullptr, ""};
    Win32Storage storage(trace);
    Win32Calendar calendar;
    size_t events = 0;
    const std::string text = FourHundredDays(calendar, events);
    const bool planted = storage.ReplaceAtomically(kJournalFileName, text) == StorageStatus::kOk;
    std::printf("%s %zu events (%.1f MB) in %s\n", planted ? "planted" : "could not plant", events,
                text.size() / 1048576.0, storage.DataFolder().c_str());
    return planted ? 0 : 1;
  }
  const int appends = argc > 1 ? std::max(1, std::atoi(argv[1])) : 200;
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::string folder =
      win32::Utf8(temp) + "unwindle-history-bench-" + std::to_string(GetCurrentProcessId());
  Trace trace{nullptr, ""};
  Win32Storage storage(trace, folder);
  Win32Calendar calendar;

  // One append: the line formatted, written where the last one ended, and flushed.
  {
    Journal journal(storage, calendar);
    journal.Open();
    std::vector<double> ms;
    for (int i = 0; i < appends; ++i) {
      const double start = NowMs();
      journal.Record(i % 2 ? WorkStarted() : Snoozed());
      ms.push_back(NowMs() - start);
    }
    std::sort(ms.begin(), ms.end());
    double sum = 0;
    for (double m : ms) sum += m;
    std::printf(
        "history: one journal append (written, flushed): median %.3f ms, mean %.3f ms, "
        "slowest %.3f ms (%d appends)%s\n",
        ms[ms.size() / 2], sum / ms.size(), ms.back(), appends,
        journal.writing() ? "" : " - the journal could not write");
  }

  // 400 days of history in the file.
  size_t events = 0;
  const std::string text = FourHundredDays(calendar, events);
  if (storage.ReplaceAtomically(kJournalFileName, text) != StorageStatus::kOk) {
    std::printf("history: 400 days: n/a (the file could not be written in %s)\n", folder.c_str());
    return 0;
  }

  Journal journal(storage, calendar);
  const double startUp = Median(5, [&] { journal.Open(); });
  const Stamp at = journal.Now();
  std::vector<DayFigures> chart;  // kept, so that the work is not optimised away
  const double window = Median(21, [&] {
    const std::vector<DayFigures> days = journal.Figures(at);
    chart = LastDays(days, LocalDay(at), 14);
  });
  std::string csv;
  const double command = Median(5, [&] {
    StorageStatus status;
    csv = HistoryCsv(storage, calendar, 14, status);
  });
  std::printf("history: 400 days of history: %zu events, %.1f MB\n", events,
              text.size() / 1048576.0);
  std::printf("history:   start-up (read, keep 400 days): %.1f ms\n", startUp);
  std::printf(
      "history:   Statistics figures (every day, the last 14 for the chart, today): %.1f ms\n",
      window);
  std::printf("history:   /history 14 (read, parse, figures, CSV): %.1f ms\n", command);

  // Leaves nothing behind.
  for (const char* name : {kJournalFileName, "history.tsv.new"})
    DeleteFileW(win32::Wide(folder + "\\" + name).c_str());
  RemoveDirectoryW(win32::Wide(folder).c_str());
  return 0;
}

// The history's ear on the break cycle: what the cycle tells (CycleEvent) becomes the journal's
// event, in the journal's words, and the countdown's ticks become the journal's marks. It records
// only while the setting KeepHistory is on; off, nothing is written and the file stays as it is.
#pragma once

#include <optional>

#include "cycle/cycle_observer.h"
#include "history/event.h"

namespace unw {

class Journal;
struct Settings;

class HistoryRecorder : public CycleObserver {
 public:
  HistoryRecorder(Journal& journal, const Settings& settings)
      : journal_(journal), settings_(settings) {}
  void OnCycleEvent(const CycleEvent& event) override;

 private:
  Journal& journal_;
  const Settings& settings_;
};

// The journal's event for what the cycle told; none for a tick, which is no event of its own.
std::optional<Event> HistoryEventOf(const CycleEvent& event);

}  // namespace unw

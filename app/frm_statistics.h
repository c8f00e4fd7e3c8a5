// frmStatistics: the history of the day shown. The figures of a day (today when it opens), a chart
// of the last fourteen days whose bars choose the day, what is wrong with the journal when it
// cannot save, and Export (a CSV where the user says), Clear History and Close.
#pragma once

#include <cstdint>
#include <vector>

#include "forms/form.h"
#include "history/figures.h"

namespace unw {

class App;

class FrmStatistics : public Form {
 public:
  explicit FrmStatistics(App& app);

  // Shows the window modally, from a menu of the main window or of the tray.
  void Open();

  void picChart_Click(int bar);
  void cmdExport_Click();
  void cmdClear_Click();
  void cmdClose_Click() { Unload(); }

 protected:
  void Design() override;
  void Form_Load() override;

 private:
  // Figures, chart and status line from the journal as it stands now.
  void Refresh();
  // The figures of the chosen day.
  void ShowDay();

  App& app_;
  std::vector<DayFigures> byDay_;  // every day of the history
  std::vector<DayFigures> shown_;  // the chart's days, today the last
  int64_t today_ = 0;
  int chosen_ = 0;  // of the chart's days
};

}  // namespace unw

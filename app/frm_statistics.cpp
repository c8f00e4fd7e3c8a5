#include "app/frm_statistics.h"

#include <string>

#include "app/app.h"
#include "app/fonts.h"
#include "app/history_texts.h"
#include "app/statistics_chart.h"
#include "forms/ui.h"
#include "settings/product.h"

namespace unw {

namespace {

// A figure's caption and the label that shows it, in the order of the rows.
struct Row {
  const char* caption;
  const char* value;
};
constexpr Row kRows[] = {
    {NT("Time worked:"), "lblWorked"},
    {NT("Breaks taken:"), "lblTaken"},
    {NT("Breaks cut short:"), "lblCutShort"},
    {NT("Breaks skipped:"), "lblSkipped"},
    {NT("Reminders snoozed:"), "lblSnoozed"},
    {NT("Natural breaks:"), "lblNatural"},
    {NT("Longest stretch worked:"), "lblLongest"},
    {NT("Short breaks taken:"), "lblShortTaken"},
    {NT("Short breaks skipped:"), "lblShortSkipped"},
};
constexpr int kRowsPerColumn = 5;

// The chart reaches down to the buttons, or to the status line when it shows.
constexpr int kChartTop = 1965, kChartBottom = 6525, kStatusTop = 6015, kStatusHeight = 480;

constexpr const char* kCaption = NT("KORVANTE Unwindle - Statistics");
constexpr const char* kClearQuestion =
    NT("Clear the whole history of your breaks?\n\nThis cannot be undone.");

}  // namespace

FrmStatistics::FrmStatistics(App& app) : Form(app.ui, "frmStatistics"), app_(app) {}

void FrmStatistics::Design() {
  const Texts& t = app_.texts;
  SetCaption(t.T(kCaption));
  SetBorder(BorderStyle::kFixedDialog, false, false, true, false);
  SetSize(8880, 7245);

  Control& day = Add(ControlKind::kFrame, "fraDay");
  day.Move(120, 60, 8640, 1785);
  for (int i = 0; i < static_cast<int>(std::size(kRows)); ++i) {
    // Two columns, the second wider for its longer captions.
    const bool second = i >= kRowsPerColumn;
    const int top = 300 + (i % kRowsPerColumn) * 285;
    const int left = second ? 4440 : 120, captionWidth = second ? 2520 : 2040;
    Control& caption = Add(ControlKind::kLabel, "lblCaption", &day, i);
    caption.SetCaption(t.T(kRows[i].caption));
    caption.Move(left, top, captionWidth, 255);
    Add(ControlKind::kLabel, kRows[i].value, &day).Move(left + captionWidth, top, 1200, 255);
  }

  Control& chart = Add(ControlKind::kPicture, "picChart");
  chart.Move(120, kChartTop, 8640, kChartBottom - kChartTop);
  chart.onChartClick = [this](int bar) { picChart_Click(bar); };

  Control& status = Add(ControlKind::kLabel, "lblStatus");
  status.Move(120, kStatusTop, 8640, kStatusHeight);
  status.SetVisible(false);

  Control& exportButton = Add(ControlKind::kButton, "cmdExport");
  exportButton.SetCaption(t.T("&Export..."));
  exportButton.Move(120, 6645, 1440, 420);
  exportButton.onClick = [this] { cmdExport_Click(); };
  Control& clear = Add(ControlKind::kButton, "cmdClear");
  clear.SetCaption(t.T("Clear History..."));
  clear.Move(1680, 6645, 1680, 420);
  clear.onClick = [this] { cmdClear_Click(); };
  Control& close = Add(ControlKind::kButton, "cmdClose");
  close.SetCaption(t.T("&Close"));
  close.SetDialogKeys(true, true);
  close.Move(7320, 6645, 1440, 420);
  close.onClick = [this] { cmdClose_Click(); };
}

void FrmStatistics::Open() {
  // The moment asked for, so that the time to the window's showing can be measured.
  app_.sys.trace.Line("statistics.open", {std::to_string(app_.journal.size())});
  Show(true);
}

void FrmStatistics::Form_Load() {
  ApplyWindowFonts(app_, *this);
  chosen_ = kChartDays - 1;
  // A history that could not be read at start-up may be readable now (the lock is gone).
  app_.journal.ReadAgain();
  Refresh();
}

void FrmStatistics::Refresh() {
  Journal& journal = app_.journal;
  const Stamp now = journal.Now();
  today_ = LocalDay(now);
  byDay_ = journal.Figures(now);
  shown_ = LastDays(byDay_, today_, kChartDays);
  ShowDay();

  // A line only when there is something to say: the history before could not be read, is not
  // kept, or not saved.
  std::string status;
  const JournalHealth health = journal.Health();
  if (health.state == JournalHealth::State::kUnreadable)
    status = JournalStatusText(app_.texts, health);
  else if (app_.settings.KeepHistory != 1)
    status = app_.texts.T(
        "No history is being kept: Options > Keep a History of My Breaks turns it on.");
  else if (!journal.writing())
    status = JournalStatusText(app_.texts, health);
  Control& line = Ctl("lblStatus");
  line.SetCaption(status);
  line.SetVisible(!status.empty());
  const int chartBottom = status.empty() ? kChartBottom : kStatusTop - 90;
  Ctl("picChart").Move(120, kChartTop, 8640, chartBottom - kChartTop);
}

void FrmStatistics::ShowDay() {
  const Texts& t = app_.texts;
  const DayFigures& f = shown_[chosen_];
  Ctl("fraDay").SetCaption(DayTitle(t, f.day, today_));
  const std::string values[] = {
      WorkedText(t, f.workedMs),           std::to_string(f.breaksTaken),
      std::to_string(f.breaksCutShort),    std::to_string(f.breaksSkipped),
      std::to_string(f.remindersSnoozed),  std::to_string(f.naturalBreaks),
      WorkedText(t, f.longestStretchMs),   std::to_string(f.shortBreaksTaken),
      std::to_string(f.shortBreaksSkipped)};
  for (size_t i = 0; i < std::size(kRows); ++i) Ctl(kRows[i].value).SetCaption(values[i]);
  Ctl("picChart").SetChart(FiguresChart(t, shown_, chosen_, app_.sys.calendar));
}

void FrmStatistics::picChart_Click(int bar) {
  if (bar < 0 || bar >= static_cast<int>(shown_.size())) return;
  chosen_ = bar;
  ShowDay();
}

void FrmStatistics::cmdExport_Click() {
  const Texts& t = app_.texts;
  const std::string path = app_.sys.files.ChooseSaveFile(
      hWnd(), "", t.T("Unwindle history {date}.csv", {{"date", DateText(today_)}}),
      t.T("Export History"));
  // Cancelled, or the window went meanwhile (an alert closes it).
  if (path.empty() || !loaded()) return;
  const StorageStatus written =
      app_.sys.storage.WriteNewFile(path, FiguresCsv(ExportDays(byDay_, today_)));
  if (written != StorageStatus::kOk)
    app_.ui.MsgBox(this, Warning(ExportFailedText(t, path, written), t.T(kCaption)));
}

void FrmStatistics::cmdClear_Click() {
  const Texts& t = app_.texts;
  Message question = Question(t.T(kClearQuestion), t.T("Clear History"));
  question.defaultButton = MessageAnswer::kNo;
  if (app_.ui.MsgBox(this, question) != MessageAnswer::kYes || !loaded()) return;
  if (!app_.journal.Clear())
    // TRANSLATORS: {why} is a sentence of its own, such as "History is kept in C:\...".
    app_.ui.MsgBox(this, Warning(t.T("The history could not be cleared. {why}",
                                     {{"why", JournalStatusText(t, app_.journal.Health())}}),
                                 t.T(kCaption)));
  Refresh();
}

}  // namespace unw

// The break screen: while a break shown on it runs, one frmBreakScreen per monitor, each covering
// its monitor above every other window, with the time left in large digits, an idea for the break
// and, unless the break is strict, Postpone and Skip. It shows the cycle's snapshot and reports the
// buttons through the cycle's transitions; it never takes the keyboard when it comes, and for its
// first seconds its buttons stay disabled so that what the user was typing presses nothing.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "cycle/cycle_view.h"
#include "forms/form.h"
#include "platform/appearance.h"

namespace unw {

class App;
class BreakScreen;

// The break screen's colours: calm, mostly opaque, dark when the system's apps are dark.
Form::Colors BreakScreenColors(Look look);

class FrmBreakScreen : public Form {
 public:
  FrmBreakScreen(App& app, BreakScreen& screen);

  void cmdPostpone_Click();
  void cmdSkip_Click();
  // Shows the snapshot on this monitor's window.
  void ShowCycle(const CycleSnapshot& s, bool inputOpen, const std::string& idea);

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_QueryUnload(int& cancel, int unloadMode) override;
  void Form_Input() override;

 private:
  App& app_;
  BreakScreen& screen_;
};

class BreakScreen {
 public:
  explicit BreakScreen(App& app);
  ~BreakScreen();

  // Opens, updates or closes the windows as `s` says, one per monitor as they stand now.
  void ShowCycle(const CycleSnapshot& s);
  // The long break on the screen lasts until its windows are gone.
  void RunLongBreak();
  void Close();
  bool open() const { return open_; }
  // Whether keys and clicks act yet: not in the first seconds.
  bool inputOpen() const { return inputOpen_; }
  void Postpone();
  void Skip();
  // The windows, one per monitor, in the order of the monitors (loaded or not).
  const std::vector<std::unique_ptr<FrmBreakScreen>>& windows() const { return windows_; }

 private:
  // The monitors to cover: at least one.
  std::vector<ScreenRect> Monitors();

  App& app_;
  std::vector<std::unique_ptr<FrmBreakScreen>> windows_;
  bool open_ = false;
  bool inputOpen_ = false;
  bool subscribed_ = false;
  uint32_t serial_ = 0;  // counts the openings, so that a late gate finds its own
  std::string idea_;     // this break's idea, the same on every monitor
};

}  // namespace unw

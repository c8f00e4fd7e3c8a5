// frmHoldPrograms: the programs a due alert waits for (HoldForPrograms), edited as a list of file
// names; and frmRunningPrograms, which offers the names of the programs running now to pick from.
#pragma once

#include <string>
#include <vector>

#include "forms/form.h"
#include "i18n/texts.h"
#include "settings/program_list.h"

namespace unw {

class App;

class FrmHoldPrograms : public Form {
 public:
  explicit FrmHoldPrograms(App& app);

  void cmdAdd_Click();
  void cmdRemove_Click();
  void cmdBrowse_Click();
  void cmdRunning_Click();
  void cmdSave_Click();
  void cmdCancel_Click();

  // The names as the list shows them now (saved or not).
  const std::vector<std::string>& names() const { return names_; }

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_Unload(int& cancel) override;

 private:
  // Adds `typed` (".exe" added to a name without an extension) unless it is no file name, which
  // the user is told; a name already in the list is selected instead. False when refused.
  bool AddName(const std::string& typed);
  // The list as names_ has it, with entry `selected` (-1: none) chosen.
  void ShowList(int selected);
  void ShowButtons();

  App& app_;
  std::vector<std::string> names_;
};

class FrmRunningPrograms : public Form {
 public:
  explicit FrmRunningPrograms(App& app);

  // Shows the programs running now, modally; the one the user picked, or "" when none was.
  std::string Pick();

  void cmdOK_Click();
  void cmdCancel_Click() { Unload(); }

 protected:
  void Design() override;
  void Form_Load() override;

 private:
  App& app_;
  std::string picked_;
};

// What the user is told when `name` cannot be added for `fault`.
std::string RefusalText(const Texts& texts, const std::string& name, ProgramNameFault fault);

}  // namespace unw

// frmShortBreaks: whether short breaks come between the long ones, how often and how long, whether
// a soft sound marks them, and whether a heads-up comes before a break of either kind. Nothing is
// stored until Save, and Save refuses a number out of its setting's range, naming the field.
#pragma once

#include "forms/form.h"

namespace unw {

class App;

class FrmShortBreaks : public Form {
 public:
  explicit FrmShortBreaks(App& app);

  // The check boxes: the boxes (and the sound's check box) that follow them are usable only
  // while they are ticked.
  void chkShortBreaks_Click() { ShowEnabled(); }
  void chkHeadsUp_Click() { ShowEnabled(); }
  void cmdSave_Click();
  void cmdCancel_Click() { Unload(); }

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_Unload(int& cancel) override;

 private:
  void ShowEnabled();

  App& app_;
};

}  // namespace unw

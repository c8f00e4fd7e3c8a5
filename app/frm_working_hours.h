// frmWorkingHours: whether reminders come only during working hours, and which hours those are,
// day by day (Monday first). Nothing is stored until Save, and Save refuses a day whose range
// cannot be a working day, saying which.
#pragma once

#include "forms/form.h"

namespace unw {

class App;

class FrmWorkingHours : public Form {
 public:
  explicit FrmWorkingHours(App& app);

  void chkDay_Click(int day);
  void cmdSave_Click();
  void cmdCancel_Click() { Unload(); }

 protected:
  void Design() override;
  void Form_Load() override;
  void Form_Unload(int& cancel) override;

 private:
  App& app_;
};

}  // namespace unw

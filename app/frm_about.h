// frmAbout and frmSplash: the product, its version and its maker.
#pragma once

#include <string>

#include "forms/form.h"

namespace unw {

class App;

class FrmAbout : public Form {
 public:
  explicit FrmAbout(App& app);
  void cmdOK_Click() { Unload(); }
  void cmdSysInfo_Click() { StartSysInfo(); }
  // Starts the system's System Information tool, or says it is unavailable.
  void StartSysInfo();

 protected:
  void Design() override;
  void Form_Load() override;

 private:
  App& app_;
};

class FrmSplash : public Form {
 public:
  explicit FrmSplash(App& app);
  void tmrSplash_Timer() { Unload(); }

 protected:
  void Design() override;
  void Form_Load() override;

 private:
  App& app_;
};

// "Unwindle 1.0", from the program's version resource.
std::string ProductNameText(App& app);
// Opens the maker's web page from `form`.
void OpenMakerWebPage(App& app, Form& form);

}  // namespace unw

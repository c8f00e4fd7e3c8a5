// frmAbout and frmSplash: the product, its version and its maker.
#pragma once

#include <cstdint>
#include <string>

#include "forms/form.h"
#include "platform/registry.h"

namespace unw {

class App;

class FrmAbout : public Form {
 public:
  explicit FrmAbout(App& app);
  void cmdOK_Click() { Unload(); }
  void cmdSysInfo_Click() { StartSysInfo(); }
  // Starts the system's System Information tool, or says it is unavailable.
  void StartSysInfo();
  // Reads a string value below HKEY_LOCAL_MACHINE (or another root); false when missing.
  bool GetKeyValue(RegKey keyRoot, const std::string& keyName, const std::string& subKeyRef,
                   std::string& keyVal);

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
// Opens the maker's web page from `form`, falling back to the Explorer.
void OpenMakerWebPage(App& app, Form& form);

}  // namespace unw

#include "app/frm_about.h"

#include "app/app.h"
#include "settings/product.h"

namespace unw {

namespace {

constexpr const char* kDescription =
    NT("Long hours in front of a screen strain the eyes, the shoulders, the back and the wrists. "
       "Short, regular breaks let them recover and reduce repetitive-stress injuries.\n\n"
       "KORVANTE Unwindle reminds you when it is time to pause.");

Control& Label(Form& f, Control& c, const std::string& text, int l, int t, int w, int h) {
  c.SetCaption(text);
  c.Move(l, t, w, h);
  (void)f;
  return c;
}

}  // namespace

std::string ProductNameText(App& app) {
  int major = kVersionMajor, minor = kVersionMinor;
  app.sys.shell.ProgramVersion(major, minor);
  return std::string(kProductName) + " " + std::to_string(major) + "." + std::to_string(minor);
}

void OpenMakerWebPage(App& app, Form& form) {
  app.sys.shell.OpenWebPage(form.hWnd(), kMakerUrl);
}

FrmAbout::FrmAbout(App& app) : Form(app.ui, "frmAbout"), app_(app) {}

void FrmAbout::Design() {
  const Texts& t = app_.texts;
  SetCaption(t.T("About Korvante Unwindle"));
  SetBorder(BorderStyle::kFixedDialog, false, false, true, false);
  SetSize(6360, 4200);
  Control& logo = Add(ControlKind::kPicture, "picLogo");
  logo.SetPicture("logo");
  logo.Move(240, 240, 960, 960);
  logo.onClick = [this] { OpenMakerWebPage(app_, *this); };
  Label(*this, Add(ControlKind::kLabel, "lblKORVANTEMain"), kCompanyName, 1440, 240, 4680, 300);
  Label(*this, Add(ControlKind::kLabel, "lblProductName"), kProductName, 1440, 570, 4680, 300);
  Label(*this, Add(ControlKind::kLabel, "lblHyperLink"), kMakerUrl, 1440, 900, 4680, 255);
  Add(ControlKind::kFrame, "Line1", nullptr, 0).Move(240, 1320, 5880, 30);
  Label(*this, Add(ControlKind::kLabel, "lblDescription"), "", 240, 1440, 5880, 1200);
  Label(*this, Add(ControlKind::kLabel, "lblKORVANTE"), "", 240, 2640, 5880, 0).SetVisible(false);
  Add(ControlKind::kFrame, "Line1", nullptr, 1).Move(240, 2760, 5880, 30);
  Label(*this, Add(ControlKind::kLabel, "lblDisclaimer"), "", 240, 2880, 3600, 720);
  Control& url = Label(*this, Add(ControlKind::kLabel, "lblURL"), kMakerUrl, 240, 3720, 3600, 255);
  url.onClick = [this] { OpenMakerWebPage(app_, *this); };
  Control& ok = Add(ControlKind::kButton, "cmdOK");
  ok.SetCaption(t.T("&Ok"));
  ok.SetDialogKeys(true, true);
  ok.Move(4680, 2880, 1440, 420);
  ok.onClick = [this] { cmdOK_Click(); };
  Control& info = Add(ControlKind::kButton, "cmdSysInfo");
  info.SetCaption(t.T("&System Info..."));
  info.Move(4680, 3420, 1440, 420);
  info.onClick = [this] { cmdSysInfo_Click(); };
}

void FrmAbout::Form_Load() {
  const Texts& t = app_.texts;
  SetCaption(t.T("About Korvante Unwindle"));
  Ctl("lblProductName").SetCaption(ProductNameText(app_));
  Ctl("lblDescription").SetCaption(t.T(kDescription));
  Ctl("lblDisclaimer")
      .SetCaption(
          t.T("Copyright KORVANTE. Unwindle is provided as is, without warranty of any kind."));
  // A system without such a tool has nothing to start: the button says so rather than fail.
  const bool info = app_.sys.shell.HasSystemInformation();
  Ctl("cmdSysInfo").SetEnabled(info);
  Ctl("cmdSysInfo")
      .SetToolTip(info ? "" : t.T("No system information tool is installed on this desktop."));
  app_.sys.windows.SetTopMost(hWnd(), true);
}

void FrmAbout::StartSysInfo() {
  if (app_.sys.shell.OpenSystemInformation()) return;
  const Texts& t = app_.texts;
  app_.ui.MsgBox(this, Information(t.T("System Information Is Unavailable At This Time"),
                                   t.T("System Information")));
}

FrmSplash::FrmSplash(App& app) : Form(app.ui, "frmSplash"), app_(app) {}

void FrmSplash::Design() {
  SetCaption("");
  SetBorder(BorderStyle::kNone, false, false, false, false);
  SetSize(6000, 3000);
  Control& logo = Add(ControlKind::kPicture, "picLogo");
  logo.SetPicture("logo");
  logo.Move(360, 480, 1440, 1440);
  logo.onClick = [this] { OpenMakerWebPage(app_, *this); };
  Control& name = Add(ControlKind::kLabel, "lblProductName");
  name.Move(2040, 480, 3720, 600);
  Font big;
  big.name = "Arial";
  big.size = 24;
  big.bold = true;
  big.weight = 700;
  name.SetFont(big);
  Control& maker = Add(ControlKind::kLabel, "lblKorvante");
  maker.SetCaption(kCompanyName);
  maker.Move(2040, 1200, 3720, 300);
  maker.onClick = [this] { OpenMakerWebPage(app_, *this); };
  Control& url = Add(ControlKind::kLabel, "lblURL");
  url.SetCaption(kMakerUrl);
  url.Move(2040, 1560, 3720, 300);
  url.onClick = [this] { OpenMakerWebPage(app_, *this); };
  Add(ControlKind::kFrame, "Line1").Move(360, 2160, 5280, 30);
  Control& contact = Add(ControlKind::kLabel, "lblContact");
  contact.SetCaption(app_.texts.T("Find more of our tools on our web site."));
  contact.Move(360, 2280, 5280, 255);
  Control& legal = Add(ControlKind::kLabel, "lblDisclaimer");
  legal.SetCaption(app_.texts.T("Copyright KORVANTE."));
  legal.Move(360, 2580, 5280, 255);
  AddTimer("tmrSplash", 5000, true).onTimer = [this] { tmrSplash_Timer(); };
}

void FrmSplash::Form_Load() {
  app_.sys.windows.SetTopMost(hWnd(), true);
  Ctl("lblProductName").SetCaption(ProductNameText(app_));
}

}  // namespace unw

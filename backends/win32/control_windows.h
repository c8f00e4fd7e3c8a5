// The child windows of one form: one standard control per model control
// (picture buttons and pictures owner-drawn), placed from twips at the
// window's DPI, with their fonts, tooltips and automation names.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <map>
#include <string>
#include <vector>

#include "forms/fit.h"
#include "forms/form.h"
#include "backends/win32/fonts_win32.h"
#include "backends/win32/theme_win32.h"

namespace unw::win32 {

// The child control windows of one form window.
class ControlSet {
 public:
  ControlSet(Form& form, FontCache& fonts, const ThemePaint& theme)
      : form_(form), fonts_(fonts), theme_(theme) {}
  ControlSet(const ControlSet&) = delete;
  ControlSet& operator=(const ControlSet&) = delete;

  // Creates the child windows of `parent`; text boxes, pictures and group boxes are subclassed with
  // `childProc` so that key presses (and a click on a chart) reach the model first.
  void Create(HWND parent, UINT dpi, SUBCLASSPROC childProc, DWORD_PTR childRef);
  // Shows one changed property of a control.
  void Update(const Control& c, Prop what);
  // Places every control and gives it its font again (the DPI changed).
  void Relayout(UINT dpi);
  // Gives every child the look of the theme: its visual style, and while the program paints in
  // its own colours, captioned push buttons drawn by the program.
  void ApplyLook();
  // Whether the program paints over the border of the text box, list or combo box `hwnd` after
  // the system's WM_NCPAINT (`nonClient`) or WM_PAINT, now (while dark), and that painting.
  bool PaintsBorder(HWND hwnd, bool nonClient) const;
  void PaintBorder(HWND hwnd, bool nonClient) const;
  // Whether the group box `hwnd` is painted by the program (a frame with a caption: in the
  // program's colours while dark, else as the system draws it), and its painting.
  bool PaintsFrame(HWND hwnd) const;
  void PaintFrame(HWND hwnd, HDC dc) const;
  // A frame in the system's colours, as the system draws it.
  void PaintClassicFrame(HWND hwnd, HDC dc, const Control& c) const;
  // Where the form's twips begin in its client area (pixels): a covering window centres its block.
  void SetOrigin(POINT origin);
  // Places the controls where `fitted` says (FitTexts: the design, with room for longer texts)
  // from now on; those already made move there.
  void SetLayout(const FittedForm& fitted);
  // Where the shown controls end, right and bottom, in pixels of the client area.
  SIZE Extent() const;
  // Takes the automation names off every child before the windows go.
  void ReleaseNames();

  Control* ByWindow(HWND hwnd) const;
  // Draws a picture button or picture box; false when it is not ours.
  bool DrawItem(const DRAWITEMSTRUCT& di) const;
  // The control whose access key (the letter after "&" in its caption) is
  // `key`, shown and enabled; null when none has it.
  Control* ByAccessKey(char key) const;
  // Carries out an access key: presses a button, check box or option; a
  // label or frame passes the focus on to the next control that takes it.
  void UseAccessKey(Control& c);
  // The button Enter (default) or Esc (cancel) presses, shown and enabled; null when none.
  Control* DialogKeyButton(bool enter) const;
  // The first control that takes the focus, in design order; null when none.
  HWND FirstTabStop() const;
  // The bar of the chart that picture `hwnd` shows at `at` (its client coordinates); -1 for
  // none.
  int ChartBarAt(HWND hwnd, POINT at) const;
  // A label, picture or image the user can click (it has a Click handler, or a chart to click).
  bool Clickable(HWND hwnd) const;
  // True while the program itself sets a text box's text (no echo to the model).
  bool settingText() const { return settingText_; }

 private:
  struct Child {
    Control* control;
    HWND hwnd;
  };
  bool TakesFocus(const Child& child) const;
  HWND CreateOne(Control& c, int id, SUBCLASSPROC childProc, DWORD_PTR childRef);
  void Place(const Child& child) const;
  // A control's place in twips from the form's client origin, as laid out.
  RECT Where(const Control& c) const;
  void SetFont(const Child& child) const;
  void AddTool(const Child& child) const;
  void SetTool(const Child& child) const;
  void ShowValue(const Child& child) const;
  void ShowItems(const Child& child) const;
  void ShowText(const Child& child);
  // A text box's limit, read-only state and selection.
  void ShowEditState(const Child& child) const;
  void ShowSelection(const Child& child) const;
  bool DrawButton(const DRAWITEMSTRUCT& di, const Control& c) const;
  // The control and everything inside it (a frame's children).
  std::vector<const Child*> Family(const Control& c) const;
  const Child* Find(const Control& c) const;

  Form& form_;
  FontCache& fonts_;
  const ThemePaint& theme_;
  HWND parent_ = nullptr;
  HWND tooltip_ = nullptr;
  UINT dpi_ = 96;
  POINT origin_ = {0, 0};
  std::map<const Control*, Box> laidOut_;  // from the form's client origin
  bool settingText_ = false;
  std::vector<Child> children_;
};

// A control's caption as its window shows it: a picture button without a
// caption shows its tooltip.
std::string WindowTextOf(const Control& c);

// A frame this low is drawn as a separator line, not as a group box.
bool IsLine(const Control& c);

}  // namespace unw::win32

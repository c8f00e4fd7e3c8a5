// The child windows of one form: one standard control per model control
// (picture buttons owner-drawn), placed from twips at the window's DPI,
// with their fonts, tooltips and automation names.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "forms/form.h"
#include "platform/win32/fonts_win32.h"

namespace unw::win32 {

// The child control windows of one form window.
class ControlSet {
 public:
  ControlSet(Form& form, FontCache& fonts) : form_(form), fonts_(fonts) {}
  ControlSet(const ControlSet&) = delete;
  ControlSet& operator=(const ControlSet&) = delete;

  // Creates the child windows of `parent`; text boxes are subclassed with
  // `editProc` so that their key presses reach the model first.
  void Create(HWND parent, UINT dpi, SUBCLASSPROC editProc, DWORD_PTR editRef);
  // Shows one changed property of a control.
  void Update(const Control& c, Prop what);
  // Places every control and gives it its font again (the DPI changed).
  void Relayout(UINT dpi);
  // Takes the automation names off every child before the windows go.
  void ReleaseNames();

  Control* ByWindow(HWND hwnd) const;
  // Draws a picture button or picture box; false when it is not ours.
  bool DrawItem(const DRAWITEMSTRUCT& di) const;
  // True while the program itself sets a text box's text (no echo to the model).
  bool settingText() const { return settingText_; }

 private:
  struct Child {
    Control* control;
    HWND hwnd;
  };
  HWND CreateOne(Control& c, int id, SUBCLASSPROC editProc, DWORD_PTR editRef);
  void Place(const Child& child) const;
  void SetFont(const Child& child) const;
  void AddTool(const Child& child) const;
  void SetTool(const Child& child) const;
  void ShowValue(const Child& child) const;
  void ShowItems(const Child& child) const;
  void ShowText(const Child& child);
  // The control and everything inside it (a frame's children).
  std::vector<const Child*> Family(const Control& c) const;
  const Child* Find(const Control& c) const;

  Form& form_;
  FontCache& fonts_;
  HWND parent_ = nullptr;
  HWND tooltip_ = nullptr;
  UINT dpi_ = 96;
  bool settingText_ = false;
  std::vector<Child> children_;
};

// A control's caption as its window shows it: a picture button shows its tooltip.
std::string WindowTextOf(const Control& c);

}  // namespace unw::win32

// Renders forms of the headless model as windows and forwards the user's
// actions back to them. The form model calls these; a renderer never decides.
#pragma once

#include <cstdint>
#include <string>

#include "forms/control.h"
#include "forms/form.h"
#include "platform/appearance.h"

namespace unw {

struct TextSize {
  int width = 0;  // twips
  int height = 0;
};

class FormView {
 public:
  virtual ~FormView() = default;
  // Creates the (hidden) window and controls of a form being loaded; returns its handle.
  virtual std::uintptr_t Create(Form& form) = 0;
  // Destroys the window of a form being unloaded.
  virtual void Destroy(Form& form) = 0;
  // A property of the form changed (caption, visibility, window state, size, font).
  virtual void FormChanged(Form& form, FormProp what) = 0;
  // A property of a control changed.
  virtual void ControlChanged(Control& control, Prop what) = 0;
  // `form` is shown modally: the program's other windows take no input until EndModal.
  virtual void BeginModal(Form& form) = 0;
  virtual void EndModal(Form& form) = 0;
  // Whether `form`'s window takes input, shown or not: no modal window, message box or chooser of
  // the program keeps it disabled.
  virtual bool TakesInput(const Form& form) const = 0;
  // Shows the submenu `menu` of `form` as a popup menu at the mouse position and
  // returns when it closes; a chosen item's Click runs before or after the return.
  virtual void ShowPopupMenu(Form& form, Control& menu) = 0;
  // Size of `text` drawn in `font`, in twips.
  virtual TextSize MeasureText(const Font& font, const std::string& text) = 0;
  // Every window, open now or later, takes this look; open ones repaint at once.
  virtual void SetLook(Look look) = 0;
};

}  // namespace unw

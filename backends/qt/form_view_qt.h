// The Qt renderer of the form model: one top-level QWidget per loaded form with a widget per
// control (each widget's objectName is its control's design name, the window's its form's),
// placed in pixels from the model's twips at the screen's logical DPI; menus as a menu bar and
// popup menus; modal forms that take input from the program's other windows; the look.
#pragma once

#include <QPalette>
#include <QPointer>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "forms/form_view.h"
#include "platform/trace.h"

class QMenu;
class QWidget;
class QObject;

namespace unw {

namespace qt {
class FormWindow;
class InputFilter;
}  // namespace qt

class QtFormView : public FormView {
 public:
  explicit QtFormView(Trace& trace);
  ~QtFormView() override;
  QtFormView(const QtFormView&) = delete;
  QtFormView& operator=(const QtFormView&) = delete;

  std::uintptr_t Create(Form& form) override;
  void Destroy(Form& form) override;
  void FormChanged(Form& form, FormProp what) override;
  void ControlChanged(Control& control, Prop what) override;
  void BeginModal(Form& form) override;
  void EndModal(Form& form) override;
  bool TakesInput(const Form& form) const override;
  void ShowPopupMenu(Form& form, Control& menu) override;
  TextSize MeasureText(const Font& font, const std::string& text) override;
  void SetLook(Look look) override;

  // Destroys the windows still open (the program ends without unloading them).
  void DestroyAll();
  // The top-level widget of a window handle this view gave out, or null (a handle of a window
  // since destroyed, or none).
  QWidget* WindowOf(std::uintptr_t handle) const;
  // The popup menu (the tray's) of the window a handle names, or null.
  QMenu* PopupMenuOf(std::uintptr_t handle) const;
  // The window of the first form still loaded: the program's main window.
  QWidget* MainWindow() const;
  // The automation seam: presses control `id` ("cmdStart", "lblX(1)", a menu item) of the loaded
  // form `form` only when a person could, as a click would. False (and traced) when refused.
  bool Invoke(const std::string& form, const std::string& id);
  // The forms with a window now, in load order; control `id` of one; why a person could not
  // press it now, or null.
  std::vector<const Form*> Forms() const;
  const Control* FindControl(const Form& form, const std::string& id) const;
  const char* Unreachable(const Form& form, const std::string& id) const;
  // Pixels per inch the model's twips are turned into pixels by.
  static int Dpi();
  static int Pixels(int twips);
  Look look() const { return look_; }

  // Used by the windows.
  Trace& trace() const { return trace_; }
  qt::FormWindow* Find(const Form& form) const;
  qt::FormWindow* FindWidget(const QWidget* window) const;
  // Frees a destroyed window once its last call has returned.
  void Reap(qt::FormWindow* window);

 private:
  Trace& trace_;
  std::unique_ptr<qt::InputFilter> filter_;
  std::vector<std::unique_ptr<qt::FormWindow>> windows_;  // in load order
  std::vector<std::unique_ptr<qt::FormWindow>> dying_;
  std::map<const Form*, std::vector<QPointer<QWidget>>> disabled_;
  Look look_ = Look::kLight;
  QPalette systemPalette_;
  std::string systemStyle_;
};

}  // namespace unw

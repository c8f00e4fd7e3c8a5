// The Win32 renderer of the form model: one FormWindow per loaded form,
// modal input blocking, text measurement and the keyboard translation the
// message loop asks for.
#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <vector>

#include "backends/win32/theme_win32.h"
#include "forms/form_view.h"
#include "platform/trace.h"

namespace unw {

class FormWindow;

// FormView service: renders every loaded form as a FormWindow.
class Win32FormView : public FormView {
 public:
  explicit Win32FormView(Trace& trace);
  ~Win32FormView() override;
  Win32FormView(const Win32FormView&) = delete;
  Win32FormView& operator=(const Win32FormView&) = delete;

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
  // Offered every message before dispatch: shortcuts and tab moves.
  bool PreTranslate(MSG& msg);
  // The window of the first form still loaded: the program's main window.
  HWND MainWindow() const;
  bool IsMain(const FormWindow& w) const;
  // The popup menu of a hidden top-level menu (the tray menu), or null.
  HMENU PopupMenu(const Control& menu) const;

  // Every window made from now on is drawn at `dpi` rather than its monitor's, 0 to stop: the
  // layout test's 144 and 192 DPI on a screen of 96.
  void ForceDpi(UINT dpi) { forcedDpi_ = dpi; }
  UINT forcedDpi() const { return forcedDpi_; }

  // How every window is painted now (SetLook).
  const win32::ThemePaint& theme() const { return theme_; }

  // Whether the main window should have a task bar button (WindowSystem).
  void SetTaskVisible(bool visible) { taskVisible_ = visible; }
  bool taskVisible() const { return taskVisible_; }
  // Menu loops entered and left by any window (to close one before destroying).
  void MenuLoop(int delta) { menuLoops_ += delta; }
  // Popup menus being tracked now (ShowPopupMenu).
  void PopupLoop(int delta) { popupLoops_ += delta; }
  // Gives input back to the windows a modal form took it from.
  void ReleaseModal(const Form& form);
  // Frees a destroyed window once its last call has returned.
  void Reap(FormWindow* window);

 private:
  FormWindow* Find(const Form& form) const;
  FormWindow* FindWindow(HWND hwnd) const;
  // A hidden window that owns the forms without a task bar button, as the
  // forms' runtime does, so that they get none.
  HWND Owner();

  Trace& trace_;
  win32::ThemePaint theme_;
  std::vector<std::unique_ptr<FormWindow>> windows_;  // in load order
  std::vector<std::unique_ptr<FormWindow>> dying_;
  std::map<const Form*, std::vector<HWND>> disabled_;
  HWND owner_ = nullptr;
  bool taskVisible_ = true;
  int menuLoops_ = 0;
  int popupLoops_ = 0;
  UINT forcedDpi_ = 0;
};

}  // namespace unw

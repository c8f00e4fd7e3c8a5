// One form as a top-level window: its frame, menus and children, the
// user's actions forwarded to the model, and the model's changes shown.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "forms/form.h"
#include "platform/trace.h"
#include "backends/win32/control_windows.h"
#include "backends/win32/fonts_win32.h"
#include "backends/win32/menus_win32.h"
#include "backends/win32/text_room_win32.h"

namespace unw {

class Win32FormView;

// The top-level window of one loaded form.
class FormWindow {
 public:
  FormWindow(Win32FormView& view, Form& form, Trace& trace);
  ~FormWindow();
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  // Registers the window class, with the program's icon at the system's
  // icon sizes; UnregisterClass frees what RegisterClass made.
  static void RegisterClass();
  static void UnregisterClass();
  // Creates the hidden window with its menus and controls.
  HWND Create(HWND owner);
  // Destroys the window (the object itself may still be on the call stack).
  void Destroy();
  void FormChanged(FormProp what);
  void ControlChanged(const Control& c, Prop what);
  // Paints the window in the view's look now: frame, controls, everything repainted.
  void ApplyLook();
  // Accelerators and tab moves for a keyboard message meant for this window.
  bool PreTranslate(MSG& msg);

  Form& form() const { return form_; }
  HWND hwnd() const { return hwnd_; }
  // The popup menu of a (hidden) top-level menu, for the tray menu.
  HMENU PopupOf(const Control& menu) const { return menus_ ? menus_->PopupOf(menu) : nullptr; }

  // Shows the (hidden) top-level menu `menu` as a popup menu at the mouse
  // position and returns when it closes; false when it has no items. This
  // object may be gone on return (a chosen item or a timer unloaded the form).
  bool ShowPopup(const Control& menu);

  // Windows calls in while handlers run; the view frees a destroyed window
  // only once none of its calls is still on the stack.
  bool busy() const { return busy_ > 0; }
  void MarkDead() { dead_ = true; }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  // Text boxes' keys and charts' clicks, before the controls themselves see them.
  static LRESULT CALLBACK ChildProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                    DWORD_PTR ref);
  // A chart's keys (Left, Right, Home, End choose a bar) and its focus frame: what ChildProc
  // returns for `msg`, or -1 when the picture handles it as any window does.
  static LRESULT ChartKeys(FormWindow* self, HWND hwnd, UINT msg, WPARAM wParam);
  // Leaves a call from Windows; frees the window when it was the last one of a dead window.
  static void Leave(FormWindow* self);
  LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
  void OnCommand(WPARAM wParam, LPARAM lParam);
  // Enter presses the focused button, else the default button; Esc the cancel button.
  bool PressDialogKey(bool enter);
  // An access key typed with Alt, or alone where the focus takes no typing.
  bool UseAccessKey(WPARAM key);
  LRESULT OnInvoke(WPARAM atom);
  // Whether a click or menu command that came as WM_COMMAND may press `c`: any program can send
  // one, so it passes automation's test (Unreachable); a refusal is traced.
  bool Pressable(const Control& c);
  // Why a person could not press `c` now ("hidden", "disabled", "blocked"), or null when they
  // could: see OnInvoke.
  const char* Unreachable(const Control& c) const;
  void OnSize(WPARAM kind);
  void OnDpiChanged(WPARAM wParam, LPARAM lParam);
  // Moves the window to the suggested place, kept within the work area of its monitor.
  void PlaceOnMonitor(const RECT& suggested);
  void Show(bool visible);
  void ApplyState();
  void ApplyMenuBar();
  // Sizes the window to the form's size: of its client area, or of the whole
  // window when the form gives its outer size.
  void FitClientArea();
  void Center();
  // Lays the form out again with room for its texts at the window's DPI (FitTexts), within its
  // monitor's work area; the controls move where that changed anything. True when it did.
  bool Refit();
  DWORD Style() const;
  DWORD ExStyle() const;
  // A covering window: placed on its area, its block of controls centred; its colours.
  void Cover();
  void ApplyColors();

  Win32FormView& view_;
  Form& form_;
  Trace& trace_;
  HWND hwnd_ = nullptr;
  UINT dpi_ = 96;
  HMENU shownBar_ = nullptr;
  HWND lastFocus_ = nullptr;
  win32::ScopedGdiObj<HBRUSH> backBrush_;  // a covering window's background
  win32::FontCache fonts_;
  std::unique_ptr<win32::MenuSet> menus_;
  win32::ControlSet controls_;
  win32::Win32TextRoom room_{96};
  FittedForm fitted_;  // the form's size and its controls' places with room for their texts
  int busy_ = 0;
  bool dead_ = false;
  // Set while the program moves or shows the window itself, so that the
  // resulting WM_SIZE is not taken for the user's doing.
  bool applying_ = false;
  // A dialog is centred when it is first shown, once its Form_Load has sized it.
  bool placed_ = false;
};

}  // namespace unw

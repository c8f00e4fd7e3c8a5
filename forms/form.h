// A window of the headless form model: named controls, design properties in
// twips, load/show/hide/unload with modal show, and handlers the subclasses
// override (Form_Load, Form_QueryUnload, Form_Resize, Form_Unload).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "forms/control.h"
#include "platform/screen.h"

namespace unw {

class Ui;

enum class WindowState { kNormal = 0, kMinimized = 1, kMaximized = 2 };

// Why a form is asked to unload; the numbers are those handlers compare with.
enum UnloadMode {
  kUnloadFormControlMenu = 0,  // the user closed the window
  kUnloadFormCode = 1,         // the program unloads it
  kUnloadAppWindows = 2,       // the session ends (log-off, shutdown)
  kUnloadAppTaskManager = 3,   // another program asked it to close
};

// The trace's name of a window state.
inline const char* WindowStateName(WindowState s) {
  switch (s) {
    case WindowState::kNormal:
      return "normal";
    case WindowState::kMinimized:
      return "minimized";
    case WindowState::kMaximized:
      return "maximized";
  }
  return "?";
}

enum class FormProp { kCaption, kVisible, kWindowState, kBounds, kFont, kIcon, kColors };

enum class BorderStyle { kSizable, kFixedSingle, kFixedDialog, kNone };

class Form {
 public:
  Form(Ui& ui, std::string name);
  virtual ~Form();
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  const std::string& name() const { return name_; }
  Ui& ui() const { return ui_; }

  const std::string& caption() const { return caption_; }
  void SetCaption(const std::string& text);
  // Size in twips: of the client area, or of the whole window when set with SetOuterSize.
  int width() const { return width_; }
  int height() const { return height_; }
  bool sizeIsOuter() const { return outer_; }
  void SetSize(int width, int height);
  void SetOuterSize(int width, int height);
  const Font& font() const { return font_; }
  void SetFont(const Font& font);
  BorderStyle borderStyle() const { return borderStyle_; }
  bool hasMinButton() const { return minButton_; }
  bool hasMaxButton() const { return maxButton_; }
  bool hasControlBox() const { return controlBox_; }
  bool showInTaskbar() const { return showInTaskbar_; }

  bool loaded() const { return loaded_; }
  bool visible() const { return visible_; }
  bool modal() const { return modal_; }
  WindowState windowState() const { return state_; }
  // Changing the state raises Form_Resize, as a user's minimize would.
  void SetWindowState(WindowState s);
  // Native window handle given by the renderer; 0 while not loaded.
  std::uintptr_t hWnd() const { return hwnd_; }

  // Creates the window if needed (Form_Load runs once per load).
  void Load();
  // Loads if needed and shows. A modal show returns when the form is hidden
  // or unloaded; events (timers, tray callbacks) go on meanwhile. Without
  // `activate` the window comes up on top but the keyboard stays where it is
  // (for windows that open by themselves); the user activates it by a click.
  void Show(bool modal = false, bool activate = true);
  bool activateOnShow() const { return activate_; }
  // Where a dialog opens: centred in `area` (the monitor the user works on); none: the
  // renderer's choice.
  void CenterIn(const ScreenRect& area) { centerArea_ = area; }
  const std::optional<ScreenRect>& centerArea() const { return centerArea_; }
  // A window that covers `area` of the screen (pixels) exactly, without a frame, above every
  // other window; its design size is the block of its controls, centred in the area.
  void Cover(const ScreenRect& area);
  const std::optional<ScreenRect>& coverArea() const { return coverArea_; }
  // A covering window's colours (0xRRGGBB): its background and the text of its labels; and how
  // opaque it is, from 0 to 255.
  struct Colors {
    uint32_t back = 0xFFFFFF;
    uint32_t text = 0;
    uint8_t alpha = 255;
    // In a high-contrast theme: the system's window colours, opaque, whatever `back` and `text`
    // say.
    bool system = false;
    bool operator==(const Colors&) const = default;
  };
  void SetColors(const Colors& colors);
  const std::optional<Colors>& colors() const { return colors_; }
  void Hide();
  // Runs Form_QueryUnload with `mode`; unless cancelled, Form_Unload, then
  // destroys the window. Returns true when the form is no longer loaded.
  bool Unload(UnloadMode mode = kUnloadFormCode);

  Control* Find(const std::string& name, int index = -1) const;
  // A design control that must exist.
  Control& Ctl(const std::string& name, int index = -1) const;
  const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

  // Called by renderers for what the user did to the window.
  void UserClose() { Unload(kUnloadFormControlMenu); }
  void UserSetWindowState(WindowState s);
  void SessionEnding() { Unload(kUnloadAppWindows); }
  // A key pressed or a click made in the window, before it does anything (or nothing).
  void UserInput() { Form_Input(); }

  void OnControlChanged(Control& c, Prop p);

 protected:
  // Adds the design controls with their design properties. Runs at each load,
  // so a form starts from its design every time it is created.
  virtual void Design() = 0;
  virtual void Form_Load() {}
  virtual void Form_QueryUnload(int& /*cancel*/, int /*unloadMode*/) {}
  virtual void Form_Unload(int& /*cancel*/) {}
  virtual void Form_Resize() {}
  virtual void Form_Input() {}

  Control& Add(ControlKind kind, const std::string& name, Control* parent = nullptr,
               int index = -1);
  Control& AddTimer(const std::string& name, uint32_t intervalMs, bool enabled);
  Control& AddMenu(const std::string& name, const std::string& caption, Control* parent,
                   int index = -1);
  void SetBorder(BorderStyle style, bool minButton, bool maxButton, bool controlBox,
                 bool showInTaskbar);

 private:
  void Destroy();

  Ui& ui_;
  std::string name_;
  std::string caption_;
  int width_ = 4800, height_ = 3600;
  bool outer_ = false;
  Font font_;
  BorderStyle borderStyle_ = BorderStyle::kFixedDialog;
  bool minButton_ = false, maxButton_ = false, controlBox_ = true, showInTaskbar_ = false;
  bool loaded_ = false, visible_ = false, modal_ = false, shownOnce_ = false;
  bool unloading_ = false;
  WindowState state_ = WindowState::kNormal;
  std::uintptr_t hwnd_ = 0;
  bool activate_ = true;
  std::optional<ScreenRect> centerArea_;
  std::optional<ScreenRect> coverArea_;
  std::optional<Colors> colors_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::vector<std::unique_ptr<Control>> retired_;
};

}  // namespace unw

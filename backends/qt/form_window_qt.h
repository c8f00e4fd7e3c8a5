// One loaded form as a top-level QWidget: its controls as widgets, its menus, its place, state,
// colours and modal lock. Every call from a widget into the form model goes through Guarded, so a
// handler that unloads its own form leaves the widgets alive until the call has returned.
#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <tuple>

#include "forms/fit.h"
#include "forms/form.h"
#include "platform/trace.h"

class QAction;
class QCheckBox;
class QMenu;
class QRadioButton;
class QMenuBar;

namespace unw {

class QtFormView;

namespace qt {

// What a control's text needs in this back end's widgets and fonts, as the form fitting asks.
class QtTextRoom : public TextRoom {
 public:
  TextSize Needs(const Control& c, int wrapWidth) override;

 private:
  std::map<std::tuple<int, std::string, int, int, std::string, int>, TextSize> known_;
  // Never shown: what the style draws round a text of their kinds.
  std::unique_ptr<QCheckBox> check_;
  std::unique_ptr<QRadioButton> option_;
};

// Turns "&Save" into Qt's mnemonic form (the same, "&&" kept) or into plain text ("Save").
QString PlainCaption(const std::string& caption);
QFont QFontOf(const Font& font);

class FormWindow {
 public:
  FormWindow(QtFormView& view, Form& form, Trace& trace);
  ~FormWindow();
  FormWindow(const FormWindow&) = delete;
  FormWindow& operator=(const FormWindow&) = delete;

  Form& form() const { return form_; }
  QWidget* window() const { return window_.get(); }
  bool busy() const { return busy_ > 0; }
  bool dead() const { return dead_; }

  QWidget* Create();
  void Destroy();
  void FormChanged(FormProp what);
  void ControlChanged(Control& c, Prop what);
  void ShowPopup(Control& menu);
  // The window's popup menu (its first hidden top-level menu, the tray's), or null.
  QMenu* PopupMenu() const;
  void ApplyLook();

  // Why a person could not press `c` now ("hidden", "disabled", "blocked"), or null.
  const char* Unreachable(const Control& c) const;
  // Presses `c` as a click would, unless a person could not (traced as `event`).
  bool Press(Control& c, const char* event);
  // Runs `call` into the model with the window kept alive.
  void Guarded(const std::function<void()>& call);

  // Input that reaches the window before it acts: keys and clicks (Form_Input), Enter and Esc for
  // the default and cancel buttons, key presses of text boxes. True when the event is used up.
  bool FilterInput(QObject* target, QEvent* event);
  Control* ControlOf(const QObject* widget) const;

 private:
  void CreateControl(Control& c);
  void CreateMenus();
  QWidget* ParentOf(const Control& c) const;
  void Place(Control& c);
  void ShowValue(Control& c);
  void ShowItems(Control& c);
  void ShowCaption(Control& c);
  void ShowPicture(Control& c);
  void ShowMenuItem(Control& c);
  void ApplyFlags();
  void ApplyColors();
  void FitAndPlace(bool center);
  // The layout with room for every text; true when it changed.
  bool Refit();
  void PlaceAll();
  void ApplyVisible();
  void ApplyWindowState();

  QtFormView& view_;
  Form& form_;
  Trace& trace_;
  std::unique_ptr<QWidget> window_;
  QWidget* client_ = nullptr;
  QMenuBar* bar_ = nullptr;
  std::map<const Control*, QPointer<QWidget>> widgets_;
  std::map<const QObject*, Control*> controls_;
  std::map<const Control*, QAction*> actions_;
  std::map<const Control*, QMenu*> menus_;
  int busy_ = 0;
  bool dead_ = false;
  bool applying_ = false;
  bool placed_ = false;
  int menuHeight_ = 0;
  QtTextRoom room_;
  FittedForm fitted_;
  std::map<const Control*, size_t> index_;
};

}  // namespace qt
}  // namespace unw

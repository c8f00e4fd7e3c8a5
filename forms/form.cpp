#include "forms/form.h"

#include <stdexcept>
#include <utility>

#include "forms/ui.h"
#include "platform/event_loop.h"
#include "forms/form_view.h"

namespace unw {

Form::Form(Ui& ui, std::string name) : ui_(ui), name_(std::move(name)) {}

Form::~Form() = default;

void Form::SetCaption(const std::string& text) {
  if (caption_ == text) return;
  caption_ = text;
  if (loaded_) ui_.view().FormChanged(*this, FormProp::kCaption);
}

void Form::SetSize(int width, int height) {
  width_ = width;
  height_ = height;
  outer_ = false;
  if (loaded_) ui_.view().FormChanged(*this, FormProp::kBounds);
}

void Form::Cover(const ScreenRect& area) {
  if (coverArea_ == area) return;
  coverArea_ = area;
  if (loaded_) ui_.view().FormChanged(*this, FormProp::kBounds);
}

void Form::SetColors(const Colors& colors) {
  if (colors_ == colors) return;
  colors_ = colors;
  if (loaded_) ui_.view().FormChanged(*this, FormProp::kColors);
}

void Form::SetOuterSize(int width, int height) {
  width_ = width;
  height_ = height;
  outer_ = true;
  if (loaded_) ui_.view().FormChanged(*this, FormProp::kBounds);
}

void Form::SetFont(const Font& font) {
  if (font_ == font) return;
  font_ = font;
  if (loaded_) ui_.view().FormChanged(*this, FormProp::kFont);
}

void Form::SetBorder(BorderStyle style, bool minButton, bool maxButton, bool controlBox,
                     bool showInTaskbar) {
  borderStyle_ = style;
  minButton_ = minButton;
  maxButton_ = maxButton;
  controlBox_ = controlBox;
  showInTaskbar_ = showInTaskbar;
}

void Form::SetWindowState(WindowState s) {
  if (state_ == s) return;
  state_ = s;
  if (!loaded_) return;
  ui_.view().FormChanged(*this, FormProp::kWindowState);
  // Before the first show the state change is reported by that show; after it,
  // even a hidden window hears of it (a restore from the tray comes that way).
  if (shownOnce_) Form_Resize();
}

void Form::UserSetWindowState(WindowState s) {
  SetWindowState(s);
}

void Form::Load() {
  if (loaded_) return;
  // Handlers of the previous generation may still be on the stack when a form
  // is re-created from inside one of them; keep them alive one load longer.
  retired_ = std::move(controls_);
  controls_.clear();
  caption_.clear();
  centerArea_.reset();
  activate_ = true;
  state_ = WindowState::kNormal;
  visible_ = false;
  shownOnce_ = false;
  Design();
  loaded_ = true;
  ui_.Register(*this);
  hwnd_ = ui_.view().Create(*this);
  for (auto& c : controls_) {
    if (c->kind() == ControlKind::kTimer && c->enabled() && c->interval() > 0)
      ui_.loop().StartTimer(*c, c->interval());
  }
  Form_Load();
}

void Form::Show(bool modal, bool activate) {
  Load();
  if (!loaded_) return;
  if (!visible_) {
    activate_ = activate;
    visible_ = true;
    ui_.view().FormChanged(*this, FormProp::kVisible);
    if (!shownOnce_) {
      shownOnce_ = true;
      Form_Resize();
    }
  }
  if (!modal || modal_ || !loaded_) return;
  modal_ = true;
  ui_.EnterModal();
  ui_.view().BeginModal(*this);
  struct End {
    Form& f;
    ~End() {
      f.ui_.view().EndModal(f);
      f.ui_.LeaveModal();
      f.modal_ = false;
    }
  } end{*this};
  ui_.loop().RunUntil([this] { return !loaded_ || !visible_; });
}

void Form::Hide() {
  if (!visible_) return;
  visible_ = false;
  if (loaded_) ui_.view().FormChanged(*this, FormProp::kVisible);
}

bool Form::Unload(UnloadMode mode) {
  if (!loaded_) return true;
  if (unloading_) return false;
  unloading_ = true;
  int cancel = 0;
  Form_QueryUnload(cancel, mode);
  if (cancel == 0 && loaded_) Form_Unload(cancel);
  unloading_ = false;
  if (cancel != 0) return !loaded_;
  if (loaded_) Destroy();
  return true;
}

void Form::Destroy() {
  for (auto& c : controls_) {
    if (c->kind() == ControlKind::kTimer) ui_.loop().StopTimer(*c);
  }
  visible_ = false;
  ui_.view().Destroy(*this);
  ui_.Unregister(*this);
  loaded_ = false;
  hwnd_ = 0;
}

Control* Form::Find(const std::string& name, int index) const {
  for (auto& c : controls_) {
    if (c->name() == name && c->index() == index) return c.get();
  }
  return nullptr;
}

Control& Form::Ctl(const std::string& name, int index) const {
  Control* c = Find(name, index);
  if (!c) throw std::logic_error(name_ + " has no control " + name);
  return *c;
}

Control& Form::Add(ControlKind kind, const std::string& name, Control* parent, int index) {
  controls_.push_back(std::make_unique<Control>(*this, kind, name, index, parent));
  return *controls_.back();
}

Control& Form::AddTimer(const std::string& name, uint32_t intervalMs, bool enabled) {
  Control& t = Add(ControlKind::kTimer, name);
  t.SetInterval(intervalMs);
  t.SetEnabled(enabled);
  return t;
}

Control& Form::AddMenu(const std::string& name, const std::string& caption, Control* parent,
                       int index) {
  Control& m =
      Add(caption == "-" ? ControlKind::kMenuSeparator : ControlKind::kMenu, name, parent, index);
  m.SetCaption(caption);
  return m;
}

void Form::OnControlChanged(Control& c, Prop p) {
  if (!loaded_) return;
  if (c.kind() == ControlKind::kTimer) {
    if (p != Prop::kEnabled && p != Prop::kInterval) return;
    if (c.enabled() && c.interval() > 0)
      ui_.loop().StartTimer(c, c.interval());
    else
      ui_.loop().StopTimer(c);
    return;
  }
  ui_.view().ControlChanged(c, p);
}

}  // namespace unw

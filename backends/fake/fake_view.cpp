#include "backends/fake/fake_view.h"

#include <algorithm>
#include <cmath>

namespace unw {

std::uintptr_t FakeView::Create(Form& form) {
  ++created_[form.name()];
  trace_.Line("window.load", {form.name()});
  return nextHandle_ += 0x10;
}

void FakeView::Activate(Form* form) {
  active = form;
  if (!form) return;
  std::erase(activated_, form);
  activated_.push_back(form);
  if (focused && &focused->form() == form) return;
  for (const auto& c : form->controls()) {
    const bool takesFocus = c->kind() == ControlKind::kButton || c->kind() == ControlKind::kTextBox;
    if (takesFocus && c->visible() && c->enabled()) {
      focused = c.get();
      return;
    }
  }
}

void FakeView::Destroy(Form& form) {
  std::erase(modal_, &form);
  std::erase(activated_, &form);
  // The keyboard goes back to the window that had it before, if it is still there.
  if (active == &form) active = activated_.empty() ? nullptr : activated_.back();
  if (focused && &focused->form() == &form) focused = nullptr;
  if (onDestroy) onDestroy(form);
  trace_.Line("window.unload", {form.name()});
}

void FakeView::FormChanged(Form& form, FormProp what) {
  if (what == FormProp::kVisible) {
    trace_.Line(form.visible() ? "window.show" : "window.hide", {form.name()});
    if (form.visible() && form.activateOnShow()) Activate(&form);
    if (!form.visible() && active == &form) {
      std::erase(activated_, &form);
      active = activated_.empty() ? nullptr : activated_.back();
    }
    if (form.visible() && onShow) onShow(form);
  } else if (what == FormProp::kWindowState)
    trace_.Line("window.state", {form.name(), WindowStateName(form.windowState())});
}

void FakeView::ControlChanged(Control& control, Prop what) {
  if (what == Prop::kChart) charts[control.form().name() + "." + control.Id()] = control.chart();
  if (what != Prop::kFocus) return;
  focused = &control;
  control.GotFocus();
}

void FakeView::BeginModal(Form& form) {
  modal_.push_back(&form);
}

void FakeView::EndModal(Form& form) {
  std::erase(modal_, &form);
}

TextSize FakeView::MeasureText(const Font& font, const std::string& text) {
  int lines = 1;
  size_t widest = 0, run = 0;
  for (char c : text) {
    if (c == '\n') {
      ++lines;
      run = 0;
    } else if (c != '\r') {
      widest = std::max(widest, ++run);
    }
  }
  return {static_cast<int>(std::lround(widest * font.size * 12)),
          static_cast<int>(std::lround(lines * font.size * 24))};
}

void FakeView::ShowPopupMenu(Form& form, Control& menu) {
  popups.push_back(&menu);
  trace_.Line("menu.popup", {form.name(), menu.name()});
}

bool FakeView::AcceptsInput(const Form& form) const {
  return form.visible() && TakesInput(form);
}

bool FakeView::TakesInput(const Form& form) const {
  if (!form.loaded()) return false;
  if (systemDialogOpen && systemDialogOpen()) return false;
  return modal_.empty() || modal_.back() == &form;
}

int FakeView::created(const std::string& name) const {
  auto it = created_.find(name);
  return it == created_.end() ? 0 : it->second;
}

}  // namespace unw

#include "forms/control.h"

#include <utility>

#include "forms/form.h"

namespace unw {

Control::Control(Form& form, ControlKind kind, std::string name, int index, Control* parent)
    : form_(form), kind_(kind), name_(std::move(name)), index_(index), parent_(parent) {
  if (kind_ == ControlKind::kTimer) enabled_ = false;
}

std::string Control::Id() const {
  return index_ < 0 ? name_ : name_ + "(" + std::to_string(index_) + ")";
}

void Control::Changed(Prop p) {
  form_.OnControlChanged(*this, p);
}

void Control::SetCaption(const std::string& text) {
  if (caption_ == text) return;
  caption_ = text;
  Changed(Prop::kCaption);
}

void Control::SetToolTip(const std::string& text) {
  if (toolTip_ == text) return;
  toolTip_ = text;
  Changed(Prop::kToolTip);
}

void Control::SetEnabled(bool on) {
  if (enabled_ == on) return;
  enabled_ = on;
  Changed(Prop::kEnabled);
}

void Control::SetVisible(bool on) {
  if (visible_ == on) return;
  visible_ = on;
  Changed(Prop::kVisible);
}

void Control::SetChecked(bool on) {
  if (checked_ == on) return;
  checked_ = on;
  Changed(Prop::kChecked);
}

void Control::SetDefault(bool on) {
  if (default_ == on) return;
  default_ = on;
  Changed(Prop::kDefault);
}

void Control::Move(int left, int top, int width, int height) {
  if (left_ == left && top_ == top && width_ == width && height_ == height) return;
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  Changed(Prop::kBounds);
}

void Control::SetFont(const Font& font) {
  if (font_ == font) return;
  font_ = font;
  Changed(Prop::kFont);
}

void Control::SetValue(int v) {
  if (value_ == v) return;
  value_ = v;
  Changed(Prop::kValue);
}

void Control::SetText(const std::string& text) {
  if (text_ == text) return;
  text_ = text;
  Changed(Prop::kText);
  if (onChange) onChange();
}

void Control::SetMaxLength(int n) {
  maxLength_ = n;
  Changed(Prop::kMaxLength);
}

void Control::SetSelection(int start, int length) {
  selStart_ = start;
  selLength_ = length;
  Changed(Prop::kSelection);
}

void Control::SetPicture(const std::string& id) {
  if (picture_ == id) return;
  picture_ = id;
  Changed(Prop::kPicture);
}

void Control::SetItems(std::vector<std::string> items) {
  items_ = std::move(items);
  Changed(Prop::kItems);
}

void Control::SetChart(Chart chart) {
  if (chart_ == chart) return;
  chart_ = std::move(chart);
  Changed(Prop::kChart);
}

void Control::SetInterval(uint32_t ms) {
  // Setting the interval restarts a running timer's period, even to the same value.
  interval_ = ms;
  Changed(Prop::kInterval);
}

void Control::Click() {
  if (kind_ == ControlKind::kCheckBox) SetValue(value_ == 1 ? 0 : 1);
  if (kind_ == ControlKind::kOption) {
    // One option of a group is chosen at a time.
    for (const auto& other : form_.controls()) {
      if (other.get() != this && other->kind_ == ControlKind::kOption && other->name_ == name_)
        other->SetValue(0);
    }
    SetValue(1);
  }
  if (onClick) onClick();
}

void Control::Select(int index) {
  SetValue(index);
  if (onClick) onClick();
}

void Control::KeyPress(int& keyAscii) {
  if (onKeyPress) onKeyPress(keyAscii);
}

void Control::GotFocus() {
  if (onGotFocus) onGotFocus();
}

void Control::ChartClick(int bar) {
  // A renderer's guess past the bars (a click between two layouts) is no bar at all.
  if (bar < 0 || bar >= static_cast<int>(chart_.bars.size())) return;
  if (onChartClick) onChartClick(bar);
}

void Control::ChartKey(ChartStep step) {
  ChartClick(SteppedBar(chart_.chosen, static_cast<int>(chart_.bars.size()), step));
}

std::string Control::TimerOwner() const {
  return form_.name();
}

void Control::OnTick() {
  if (enabled_ && onTimer) onTimer();
}

}  // namespace unw

// Controls of the headless form model: named children of a form with the
// properties a renderer shows and the events a user (or a test) raises.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "forms/chart.h"
#include "platform/event_loop.h"

namespace unw {

class Form;

enum class ControlKind {
  kButton,  // a picture button: its tooltip is its text
  kLabel,
  kTextBox,
  kCheckBox,
  kOption,  // option button; groups are control arrays
  kComboBox,
  kListBox,  // entries always in view, one of them selected
  kFrame,    // group box that holds other controls
  kPicture,  // picture box (also holds the icon frames of a set)
  kImage,    // one element of an image array
  kTimer,
  kMenu,  // menu bar entry, submenu or item
  kMenuSeparator,
};

struct Font {
  std::string name = "MS Sans Serif";
  float size = 8.25f;  // points
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikethrough = false;
  int weight = 400;
  int charset = 0;
  bool operator==(const Font&) const = default;
};

// What changed, so a renderer updates only that.
enum class Prop {
  kCaption,
  kToolTip,
  kEnabled,
  kVisible,
  kChecked,
  kDefault,
  kBounds,
  kFont,
  kValue,
  kText,
  kPicture,
  kInterval,
  kItems,
  kSelection,
  kFocus,
  kMaxLength,
  kLocked,
  kChart,
};

class Control : public TimerTarget {
 public:
  Control(Form& form, ControlKind kind, std::string name, int index, Control* parent);
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  Form& form() const { return form_; }
  ControlKind kind() const { return kind_; }
  const std::string& name() const { return name_; }
  int index() const { return index_; }  // -1 unless part of a control array
  Control* parent() const { return parent_; }
  // "cmdStart", or "lblSemiColon(1)" for an element of a control array.
  std::string Id() const;

  const std::string& caption() const { return caption_; }
  void SetCaption(const std::string& text);
  const std::string& toolTip() const { return toolTip_; }
  void SetToolTip(const std::string& text);
  bool enabled() const { return enabled_; }
  void SetEnabled(bool on);
  bool visible() const { return visible_; }
  void SetVisible(bool on);
  bool checked() const { return checked_; }  // menu check mark
  void SetChecked(bool on);
  bool isDefault() const { return default_; }  // bold default item of a popup menu
  void SetDefault(bool on);
  // Position and size in twips, relative to the parent frame or the form.
  int left() const { return left_; }
  int top() const { return top_; }
  int width() const { return width_; }
  int height() const { return height_; }
  void Move(int left, int top, int width, int height);
  const Font& font() const { return font_; }
  void SetFont(const Font& font);
  // Check box (0/1/2), option button (0/1), combo or list box entry index (-1: none).
  int value() const { return value_; }
  void SetValue(int v);
  // Text of a text box or combo box.
  const std::string& text() const { return text_; }
  void SetText(const std::string& text);
  // Name of the picture shown (a resource of the renderer), empty for none.
  const std::string& picture() const { return picture_; }
  void SetPicture(const std::string& id);
  const std::vector<std::string>& items() const { return items_; }
  void SetItems(std::vector<std::string> items);
  // Access-key shortcut of a menu item, such as "Ctrl+L".
  const std::string& shortcut() const { return shortcut_; }
  void SetShortcut(const std::string& s) { shortcut_ = s; }
  // Menu items: the check mark is a dot, for one choice of several.
  bool radioCheck() const { return radioCheck_; }
  void SetRadioCheck(bool on) { radioCheck_ = on; }
  // Text boxes: at most this many characters from the keyboard (0: no limit).
  int maxLength() const { return maxLength_; }
  void SetMaxLength(int n);
  // Text boxes: the selected part of the text.
  int selStart() const { return selStart_; }
  int selLength() const { return selLength_; }
  void SetSelection(int start, int length);
  // Text boxes: shown but not editable.
  bool locked() const { return locked_; }
  void SetLocked(bool on) {
    locked_ = on;
    Changed(Prop::kLocked);
  }
  // Combo and list boxes: selects entry `index` (-1 for none) and raises Click, as a pick would.
  void Select(int index);
  // Moves the keyboard focus here; the renderer raises GotFocus.
  void SetFocus() { Changed(Prop::kFocus); }
  // Pictures: a chart drawn in them (no bars: none).
  const Chart& chart() const { return chart_; }
  void SetChart(Chart chart);
  // Buttons pressed by Enter (default) or Esc (cancel) anywhere in their window.
  bool isDefaultButton() const { return defaultButton_; }
  bool isCancelButton() const { return cancelButton_; }
  void SetDialogKeys(bool enter, bool escape) {
    defaultButton_ = enter;
    cancelButton_ = escape;
  }

  // Timers.
  uint32_t interval() const { return interval_; }
  void SetInterval(uint32_t ms);
  bool running() const { return ticking(); }
  std::string TimerOwner() const override;
  std::string TimerName() const override { return name_; }

  // Events; the form wires them to its handlers.
  std::function<void()> onClick;
  std::function<void()> onTimer;
  std::function<void(int& keyAscii)> onKeyPress;
  std::function<void()> onGotFocus;
  std::function<void()> onChange;
  // A bar of the chart was clicked, or chosen with the keys: its index.
  std::function<void(int bar)> onChartClick;

  // Raise events as the user would.
  void Click();
  void KeyPress(int& keyAscii);
  void GotFocus();
  void ChartClick(int bar);
  // A key that steps along the chart, pressed while the chart has the keyboard: the bar it
  // reaches from the chosen one is clicked.
  void ChartKey(ChartStep step);

 protected:
  void OnTick() override;

 private:
  void Changed(Prop p);

  Form& form_;
  ControlKind kind_;
  std::string name_;
  int index_;
  Control* parent_;
  std::string caption_, toolTip_, text_, picture_, shortcut_;
  bool radioCheck_ = false;
  bool enabled_ = true, visible_ = true, checked_ = false, default_ = false;
  int left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  Font font_;
  int value_ = 0;
  int maxLength_ = 0, selStart_ = 0, selLength_ = 0;
  bool defaultButton_ = false, cancelButton_ = false, locked_ = false;
  std::vector<std::string> items_;
  Chart chart_;
  uint32_t interval_ = 0;
};

}  // namespace unw

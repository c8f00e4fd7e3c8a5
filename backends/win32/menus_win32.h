// The menus of one form: the menu bar, the popup menus kept for later (a
// hidden top-level menu such as the tray menu), command ids and shortcuts.
#pragma once

#include <windows.h>

#include <map>
#include <string>

#include "forms/form.h"
#include "backends/win32/scoped.h"

namespace unw::win32 {

// Menu bar, kept popups, command ids and accelerators of one form.
class MenuSet {
 public:
  explicit MenuSet(Form& form);
  // Empties every menu first, so that each handle is destroyed exactly once.
  ~MenuSet();
  MenuSet(const MenuSet&) = delete;
  MenuSet& operator=(const MenuSet&) = delete;

  // Refills every menu from the controls (captions, checks, grey, hidden
  // items left out, default items bold). Menu handles stay the same, so an
  // open popup menu is never destroyed under the user.
  void Refill();
  // The menu bar, or null when no top-level menu is visible.
  HMENU bar() const { return barItems_ > 0 ? bar_.get() : nullptr; }
  // The popup menu of a top-level menu with items (null otherwise).
  HMENU PopupOf(const Control& menu) const;
  // The menu item behind a WM_COMMAND id.
  Control* ByCommand(UINT id) const;
  // Whether an item can be chosen now: it and every menu above it enabled.
  static bool Available(const Control& item);
  HACCEL accelerators() const { return accel_.get(); }

 private:
  void Fill(HMENU menu, const Control* parent);
  bool HasItems(const Control& menu) const;
  UINT CommandOf(const Control& item) const;
  void BuildAccelerators();

  Form& form_;
  ScopedMenu bar_;
  int barItems_ = 0;
  std::map<const Control*, ScopedMenu> popups_;  // every menu that has items
  std::map<UINT, Control*> commands_;
  ScopedAccel accel_;
};

// Parses "Ctrl+L", "Ctrl+Shift+F5", "Del": false when not a known key.
bool ParseShortcut(const std::string& text, ACCEL& accel);

}  // namespace unw::win32

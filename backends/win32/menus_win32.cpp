#include "backends/win32/menus_win32.h"

#include <cctype>
#include <vector>

#include "backends/win32/wide_text.h"

namespace unw::win32 {

namespace {

// Menu commands are numbered after the control's place in the form, clear
// of the child control ids; WM_COMMAND carries 16 bits of it.
constexpr UINT kFirstCommand = 0x1000;

bool IsMenu(const Control& c) {
  return c.kind() == ControlKind::kMenu || c.kind() == ControlKind::kMenuSeparator;
}

void Clear(HMENU menu) {
  // RemoveMenu, not DeleteMenu: the submenus are kept and reused.
  while (GetMenuItemCount(menu) > 0) RemoveMenu(menu, 0, MF_BYPOSITION);
}

std::string Upper(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

WORD KeyCode(const std::string& key) {
  if (key.size() == 1 && std::isalnum(static_cast<unsigned char>(key[0])))
    return static_cast<WORD>(key[0]);
  if (key.size() >= 2 && key[0] == 'F' && std::isdigit(static_cast<unsigned char>(key[1]))) {
    int n = std::atoi(key.c_str() + 1);
    if (n >= 1 && n <= 24) return static_cast<WORD>(VK_F1 + n - 1);
  }
  static const struct {
    const char* name;
    WORD vk;
  } kNamed[] = {{"DEL", VK_DELETE},    {"DELETE", VK_DELETE}, {"INS", VK_INSERT},
                {"INSERT", VK_INSERT}, {"HOME", VK_HOME},     {"END", VK_END},
                {"PGUP", VK_PRIOR},    {"PGDN", VK_NEXT},     {"ESC", VK_ESCAPE},
                {"ENTER", VK_RETURN},  {"SPACE", VK_SPACE},   {"TAB", VK_TAB},
                {"BKSP", VK_BACK},     {"BACKSPACE", VK_BACK}};
  for (const auto& n : kNamed) {
    if (key == n.name) return n.vk;
  }
  return 0;
}

}  // namespace

bool ParseShortcut(const std::string& text, ACCEL& accel) {
  accel = ACCEL{};
  BYTE flags = FVIRTKEY;
  std::string rest = Upper(text);
  for (;;) {
    size_t plus = rest.find('+');
    // A trailing "+" is the plus key itself, not a separator.
    if (plus == std::string::npos || plus + 1 == rest.size()) break;
    std::string mod = rest.substr(0, plus);
    if (mod == "CTRL")
      flags |= FCONTROL;
    else if (mod == "SHIFT")
      flags |= FSHIFT;
    else if (mod == "ALT")
      flags |= FALT;
    else
      return false;
    rest = rest.substr(plus + 1);
  }
  WORD key = KeyCode(rest);
  if (!key) return false;
  accel.fVirt = flags;
  accel.key = key;
  return true;
}

MenuSet::MenuSet(Form& form) : form_(form) {
  bar_.reset(CreateMenu());
  for (const auto& c : form_.controls()) {
    if (!IsMenu(*c)) continue;
    if (c->kind() == ControlKind::kMenu) commands_[CommandOf(*c)] = c.get();
    if (HasItems(*c)) popups_[c.get()].reset(CreatePopupMenu());
  }
  BuildAccelerators();
  Refill();
}

MenuSet::~MenuSet() {
  // A menu destroys the submenus in it: with every menu empty, each handle
  // goes once, with its owner.
  Clear(bar_);
  for (auto& [control, menu] : popups_) Clear(menu);
}

bool MenuSet::HasItems(const Control& menu) const {
  for (const auto& c : form_.controls()) {
    if (c->parent() == &menu && IsMenu(*c)) return true;
  }
  return false;
}

UINT MenuSet::CommandOf(const Control& item) const {
  const auto& all = form_.controls();
  for (size_t i = 0; i < all.size(); ++i) {
    if (all[i].get() == &item) return kFirstCommand + static_cast<UINT>(i);
  }
  return 0;
}

Control* MenuSet::ByCommand(UINT id) const {
  auto it = commands_.find(id);
  return it == commands_.end() ? nullptr : it->second;
}

HMENU MenuSet::PopupOf(const Control& menu) const {
  auto it = popups_.find(&menu);
  return it == popups_.end() ? nullptr : it->second.get();
}

bool MenuSet::Available(const Control& item) {
  if (!item.visible()) return false;
  for (const Control* c = &item; c; c = c->parent()) {
    if (!c->enabled()) return false;
  }
  return true;
}

void MenuSet::Fill(HMENU menu, const Control* parent) {
  Clear(menu);
  UINT pos = 0;
  for (const auto& ptr : form_.controls()) {
    const Control& c = *ptr;
    if (c.parent() != parent || !IsMenu(c) || !c.visible()) continue;
    MENUITEMINFOW mi = {};
    mi.cbSize = sizeof mi;
    std::wstring text =
        Wide(c.shortcut().empty() ? c.caption() : c.caption() + "\t" + c.shortcut());
    if (c.kind() == ControlKind::kMenuSeparator) {
      mi.fMask = MIIM_FTYPE;
      mi.fType = MFT_SEPARATOR;
    } else {
      mi.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_STATE | MIIM_ID;
      mi.fType = MFT_STRING | (c.radioCheck() ? MFT_RADIOCHECK : 0);
      mi.dwTypeData = text.data();
      mi.fState = (c.checked() ? MFS_CHECKED : 0) | (c.enabled() ? 0 : MFS_GRAYED) |
                  (c.isDefault() ? MFS_DEFAULT : 0);
      mi.wID = CommandOf(c);
      if (HMENU sub = PopupOf(c)) {
        Fill(sub, &c);
        mi.fMask |= MIIM_SUBMENU;
        mi.hSubMenu = sub;
      }
    }
    InsertMenuItemW(menu, pos++, TRUE, &mi);
  }
  if (menu == bar_) barItems_ = static_cast<int>(pos);
}

void MenuSet::Refill() {
  Fill(bar_, nullptr);
  // Hidden top-level menus are kept filled as popups of their own, outside the bar.
  for (const auto& ptr : form_.controls()) {
    const Control& c = *ptr;
    if (c.parent() == nullptr && !c.visible()) {
      if (HMENU menu = PopupOf(c)) Fill(menu, &c);
    }
  }
}

void MenuSet::BuildAccelerators() {
  std::vector<ACCEL> table;
  for (const auto& c : form_.controls()) {
    ACCEL a;
    if (c->kind() != ControlKind::kMenu || c->shortcut().empty()) continue;
    if (!ParseShortcut(c->shortcut(), a)) continue;
    a.cmd = static_cast<WORD>(CommandOf(*c));
    table.push_back(a);
  }
  if (!table.empty())
    accel_.reset(CreateAcceleratorTableW(table.data(), static_cast<int>(table.size())));
}

}  // namespace unw::win32

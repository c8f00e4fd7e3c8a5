// The automation convention the end-to-end driver relies on: every form and
// control window carries its design name in the window property
// "UnwindleName" (a global atom), and a form answers the registered message
// "UnwindleInvoke" (wParam: a global atom naming a control) by clicking it.
#pragma once

#include <windows.h>

#include <string>

namespace unw::win32 {

// Attaches `name` to `hwnd` as a global atom in the property "UnwindleName".
void SetAutomationName(HWND hwnd, const std::string& name);
// Removes the property and releases its atom (before the window goes).
void ClearAutomationName(HWND hwnd);
// The registered message number of "UnwindleInvoke".
UINT InvokeMessage();
// The text of a global atom, empty when it is not one.
std::string GlobalAtomText(WPARAM atom);

}  // namespace unw::win32

#include "platform/win32/automation.h"

namespace unw::win32 {

namespace {

constexpr char kNameProperty[] = "UnwindleName";

}  // namespace

void SetAutomationName(HWND hwnd, const std::string& name) {
  if (!hwnd || name.empty()) return;
  ATOM atom = GlobalAddAtomA(name.c_str());
  if (!atom) return;
  if (!SetPropA(hwnd, kNameProperty, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(atom))))
    GlobalDeleteAtom(atom);
}

void ClearAutomationName(HWND hwnd) {
  HANDLE h = RemovePropA(hwnd, kNameProperty);
  if (h) GlobalDeleteAtom(static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(h)));
}

UINT InvokeMessage() {
  static const UINT message = RegisterWindowMessageA("UnwindleInvoke");
  return message;
}

std::string GlobalAtomText(WPARAM atom) {
  char text[256];
  UINT n = GlobalGetAtomNameA(static_cast<ATOM>(atom), text, sizeof text);
  return std::string(text, n);
}

}  // namespace unw::win32

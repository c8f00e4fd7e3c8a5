#include "backends/win32/automation.h"

#include "backends/win32/wide_text.h"

namespace unw::win32 {

namespace {

constexpr wchar_t kNameProperty[] = L"UnwindleName";

}  // namespace

void SetAutomationName(HWND hwnd, const std::string& name) {
  if (!hwnd || name.empty()) return;
  ATOM atom = GlobalAddAtomW(Wide(name).c_str());
  if (!atom) return;
  if (!SetPropW(hwnd, kNameProperty, reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(atom))))
    GlobalDeleteAtom(atom);
}

void ClearAutomationName(HWND hwnd) {
  HANDLE h = RemovePropW(hwnd, kNameProperty);
  if (h) GlobalDeleteAtom(static_cast<ATOM>(reinterpret_cast<ULONG_PTR>(h)));
}

UINT InvokeMessage() {
  static const UINT message = RegisterWindowMessageW(L"UnwindleInvoke");
  return message;
}

std::string GlobalAtomText(WPARAM atom) {
  wchar_t text[256];
  const UINT n = GlobalGetAtomNameW(static_cast<ATOM>(atom), text, 256);
  return Utf8(std::wstring_view(text, n));
}

}  // namespace unw::win32

#include "backends/win32/dialogs_win32.h"

#include <windows.h>

#include "backends/win32/wide_text.h"
#include "backends/win32/win32_util.h"

namespace unw {

int Win32Dialogs::ShowMessageBox(std::uintptr_t owner, const std::string& text,
                                 const std::string& title, int style) {
  const std::string styleText = std::to_string(style);
  trace_.Line("msgbox.open", {text, title, styleText});
  HWND ownerWnd = win32::AsHwnd(owner);
  if (ownerWnd && !IsWindow(ownerWnd)) ownerWnd = nullptr;
  int answer = MessageBoxW(ownerWnd, win32::Wide(text).c_str(), win32::Wide(title).c_str(),
                           static_cast<UINT>(style));
  trace_.Line("msgbox", {text, title, styleText, std::to_string(answer)});
  return answer;
}

}  // namespace unw

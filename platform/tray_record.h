// The tray record: the icon, tooltip and balloon the program shows in the
// notification area, reused by every call.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace unw {

inline constexpr int kTipChars = 128;
inline constexpr int kInfoChars = 256;
inline constexpr int kInfoTitleChars = 64;

struct TrayIconData {
  uint32_t cbSize = 0;
  std::uintptr_t hWnd = 0;
  uint32_t uID = 0;
  uint32_t uFlags = 0;
  std::uintptr_t hIcon = 0;
  std::string szTip = std::string(kTipChars, '\0');
  uint32_t dwState = 0;
  uint32_t dwStateMask = 0;
  std::string szInfo = std::string(kInfoChars, '\0');
  uint32_t uTimeout = 0;  // also uVersion
  std::string szInfoTitle = std::string(kInfoTitleChars, '\0');
  uint32_t dwInfoFlags = 0;
};

// `text` copied into a field of `width` characters: cut at the width, the
// rest filled with blanks. Texts carry their own ending NUL.
std::string FixedField(std::string_view text, int width);

// The text a fixed field shows: up to its first NUL.
std::string_view ShownText(const std::string& field);

}  // namespace unw

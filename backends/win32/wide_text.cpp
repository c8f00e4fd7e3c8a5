#include "backends/win32/wide_text.h"

#include <windows.h>

#include <algorithm>
#include <cstring>

namespace unw::win32 {

std::wstring Wide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int in = static_cast<int>(utf8.size());
  const int n = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), in, nullptr, 0);
  if (n <= 0) return {};
  std::wstring out(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), in, out.data(), n);
  return out;
}

std::string Utf8(std::wstring_view utf16) {
  if (utf16.empty()) return {};
  const int in = static_cast<int>(utf16.size());
  const int n = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), in, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return {};
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, utf16.data(), in, out.data(), n, nullptr, nullptr);
  return out;
}

std::string_view WholeCharacters(std::string_view utf8) {
  // A character takes at most four bytes: look back past up to three continuation bytes.
  size_t lead = utf8.size();
  size_t following = 0;
  while (lead > 0 && following < 3 && (static_cast<unsigned char>(utf8[lead - 1]) & 0xC0) == 0x80) {
    --lead;
    ++following;
  }
  if (lead == 0) return utf8;
  const auto b = static_cast<unsigned char>(utf8[lead - 1]);
  const size_t length = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
  // Stray continuation bytes after an ASCII byte are malformed, not cut: left to the converter.
  if (length == 1 || following + 1 >= length) return utf8;
  return utf8.substr(0, lead - 1);
}

void CopyToField(std::string_view utf8, wchar_t* field, size_t size) {
  if (size == 0) return;
  const std::wstring text = Wide(WholeCharacters(utf8.substr(0, utf8.find('\0'))));
  size_t n = std::min(text.size(), size - 1);
  // Never half of a surrogate pair.
  if (n < text.size() && n > 0 && IS_HIGH_SURROGATE(text[n - 1])) --n;
  std::copy_n(text.data(), n, field);
  std::fill(field + n, field + size, L'\0');
}

void CopyToField(std::wstring_view utf16, char* field, size_t size) {
  if (size == 0) return;
  const std::string text = Utf8(utf16.substr(0, utf16.find(L'\0')));
  const std::string_view fits = WholeCharacters(std::string_view(text).substr(0, size - 1));
  std::memcpy(field, fits.data(), fits.size());
  std::memset(field + fits.size(), 0, size - fits.size());
}

std::string FieldText(const wchar_t* field, size_t size) {
  const std::wstring_view all(field, size);
  return Utf8(all.substr(0, all.find(L'\0')));
}

std::string WindowsLines(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

}  // namespace unw::win32

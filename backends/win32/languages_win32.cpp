#include "backends/win32/languages_win32.h"

#include <windows.h>

#include "backends/win32/wide_text.h"

namespace unw {

std::vector<std::string> Win32Languages::PreferredUiLanguages() {
  // The list, as names ("de-DE"), each ended by a NUL and the whole by another.
  ULONG count = 0, length = 0;
  if (!GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, nullptr, &length) || length == 0) {
    trace_.Line("language.preferred", {"failed"});
    return {};
  }
  std::wstring names(length, L'\0');
  if (!GetUserPreferredUILanguages(MUI_LANGUAGE_NAME, &count, names.data(), &length)) {
    trace_.Line("language.preferred", {"failed"});
    return {};
  }
  std::vector<std::string> out;
  std::string joined;
  for (size_t start = 0; start < names.size() && names[start] != L'\0';) {
    const size_t end = names.find(L'\0', start);
    out.push_back(win32::Utf8(names.substr(start, end - start)));
    joined += (joined.empty() ? "" : ";") + out.back();
    if (end == std::wstring::npos) break;
    start = end + 1;
  }
  trace_.Line("language.preferred", {joined});
  return out;
}

namespace {

BOOL CALLBACK AddCatalogue(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
  auto& out = *reinterpret_cast<std::vector<std::string_view>*>(param);
  HRSRC found = FindResourceW(module, name, type);
  HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
  const void* bytes = loaded ? LockResource(loaded) : nullptr;
  const DWORD size = found ? SizeofResource(module, found) : 0;
  // A resource stays mapped as long as the program: the bytes need no copy.
  if (bytes && size) out.emplace_back(static_cast<const char*>(bytes), size);
  return TRUE;
}

}  // namespace

std::vector<std::string_view> Win32Languages::Catalogues() {
  std::vector<std::string_view> out;
  EnumResourceNamesW(module_, L"MO", AddCatalogue, reinterpret_cast<LONG_PTR>(&out));
  trace_.Line("language.catalogues", {std::to_string(out.size())});
  return out;
}

}  // namespace unw

// Text is UTF-8 everywhere inside the program; Windows takes and gives it as
// UTF-16 through the wide-character ("W") calls. These convert at that edge,
// so that nothing depends on the system's 8-bit code page.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace unw::win32 {

// Every byte converted, embedded NULs included; a malformed sequence becomes U+FFFD.
std::wstring Wide(std::string_view utf8);
// Every unit converted, embedded NULs included; an unpaired surrogate becomes U+FFFD.
std::string Utf8(std::wstring_view utf16);

// The core ends its lines with a lone LF; a window's text ends them with CR LF. Each LF without
// a CR before it gets one; a CR LF stays as it is.
std::string WindowsLines(std::string_view text);

// `utf8` without a character cut off at its end (a fixed field of bytes may end
// inside one): the lead byte and what follows of it are dropped.
std::string_view WholeCharacters(std::string_view utf8);

// The text up to its first NUL into a fixed field of `size` WCHARs, cut before
// a character that would not fit, so that the field always ends with a NUL.
void CopyToField(std::string_view utf8, wchar_t* field, size_t size);
template <size_t N>
void CopyToField(std::string_view utf8, wchar_t (&field)[N]) {
  CopyToField(utf8, field, N);
}

// The same the other way: UTF-16 up to its first NUL as UTF-8 in `size` bytes.
void CopyToField(std::wstring_view utf16, char* field, size_t size);

// The text of a fixed field of WCHARs: up to its first NUL, or all of it.
std::string FieldText(const wchar_t* field, size_t size);

}  // namespace unw::win32

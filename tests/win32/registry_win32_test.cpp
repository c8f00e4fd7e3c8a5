// Text at the edge between the program's UTF-8 and the system's UTF-16: the fixed
// fields of the system's records, and the real registry, which keeps the same
// contract as the in-memory one, stores text as the characters themselves and
// hands other programs' values to the core as UTF-8.
#include <windows.h>

#include <string>

#include "backends/win32/registry_win32.h"
#include "backends/win32/scoped.h"
#include "backends/win32/wide_text.h"
#include "registry_contract.h"

namespace unw {
namespace {

TEST(WideTextTest, FixedFieldsHoldWholeCharactersAndEndWithANul) {
  const struct {
    std::string text;
    size_t size;
    std::wstring field;
  } cases[] = {
      {"Übung", 8, std::wstring(L"Übung\0\0\0", 8)},
      {"abcdefgh", 4, std::wstring(L"abc\0", 4)},
      // The pair would leave no room for the NUL: it goes whole.
      {"ab\xF0\x9F\x94\x94", 4, std::wstring(L"ab\0\0", 4)},
      {"ab\xF0\x9F\x94\x94", 5, std::wstring(L"ab\xD83D\xDD14\0", 5)},
      // A byte field of the core cut the last character: its start is dropped.
      {std::string("ab\xE3\x83", 4), 8, std::wstring(L"ab\0\0\0\0\0\0", 8)},
      {std::string("ab\0cd", 5), 4, std::wstring(L"ab\0\0", 4)},
  };
  for (const auto& c : cases) {
    std::wstring field(c.size, L'x');
    win32::CopyToField(c.text, field.data(), field.size());
    EXPECT_EQ(field, c.field) << c.text;
  }
  EXPECT_EQ(win32::FieldText(L"üb", 2), "üb") << "a full field has no NUL";
}

// What cannot be converted becomes the replacement character, never nothing.
TEST(WideTextTest, WhatCannotBeConvertedBecomesTheReplacementCharacter) {
  EXPECT_EQ(win32::Wide("a\xC3"), L"a\xFFFD");
  EXPECT_EQ(win32::Utf8(L"a\xD800"), "a\xEF\xBF\xBD");
}

struct Win32RegistryFixture : ::testing::Test {
  Trace trace{nullptr, ""};
  Win32Registry registry{trace};
  Registry& reg() { return registry; }
  std::string base() {
    return "Software\\KORVANTE\\UnwindleTest\\" + std::to_string(GetCurrentProcessId());
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, win32::Wide(base()).c_str()); }
};

using Backends = ::testing::Types<Win32RegistryFixture>;
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, RegistryContract, Backends);

using Win32RegistryTest = Win32RegistryFixture;

// The system's code page here is not UTF-8 (this test program has no manifest asking for it):
// only the wide calls keep these characters, for the program and for every other reader.
TEST_F(Win32RegistryTest, TextIsStoredAsItsOwnCharactersAndReadAsUtf8WhoeverWroteIt) {
  const struct {
    const char* name;
    uint32_t type;
    std::wstring stored;  // as the system keeps it: the bytes C3 9C 00 FF for the binary value
    std::string core;
  } cases[] = {
      {"CustomSound", kRegSz, std::wstring(L"C:\\Users\\Zoë\\Übung\\ベル.wav") + L'\0',
       std::string("C:\\Users\\Zoë\\Übung\\ベル.wav") + '\0'},
      {"NoNul", kRegSz, L"42", "42"},
      {"Binary", kRegBinary, std::wstring(L"\x9CC3\xFF00", 2), std::string("\xC3\x9C\0\xFF", 4)},
  };
  RegKey k = 0;
  uint32_t disposition = 0;
  ASSERT_EQ(registry.CreateKeyEx(kHkeyCurrentUser, base(), kKeyAllAccess, k, disposition), 0);
  HKEY opened = nullptr;
  RegOpenKeyExW(HKEY_CURRENT_USER, win32::Wide(base()).c_str(), 0, KEY_ALL_ACCESS, &opened);
  const win32::ScopedKey key(opened);
  for (const auto& c : cases) {
    const std::wstring name = win32::Wide(c.name);
    ASSERT_EQ(
        registry.SetValueEx(k, c.name, c.type, reinterpret_cast<const uint8_t*>(c.core.data()),
                            static_cast<uint32_t>(c.core.size())),
        0);
    std::wstring stored(64, L'x');
    DWORD type = 0, size = 128;
    RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(stored.data()),
                     &size);
    EXPECT_EQ(stored.substr(0, size / sizeof(wchar_t)), c.stored) << c.name;
    EXPECT_EQ(type, c.type) << c.name;
    // As another program writes it. The system would take a NUL that follows the data as part
    // of it: none follows.
    const std::wstring data = c.stored + L'?';
    RegSetValueExW(key, name.c_str(), 0, c.type, reinterpret_cast<const BYTE*>(data.c_str()),
                   static_cast<DWORD>(c.stored.size() * sizeof(wchar_t)));
    uint32_t got = 0;
    ASSERT_EQ(registry.QueryValueEx(k, c.name, nullptr, nullptr, &got), 0) << c.name;
    std::string back(got, 'x');
    registry.QueryValueEx(k, c.name, nullptr, reinterpret_cast<uint8_t*>(back.data()), &got);
    EXPECT_EQ(back, c.core) << c.name;
  }
  registry.CloseKey(k);
}

}  // namespace
}  // namespace unw

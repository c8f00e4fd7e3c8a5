// What every registry back end must do the way the system does it. Each
// back end's test instantiates this suite with a fixture that gives a fresh
// registry and a key path of its own.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/registry.h"

namespace unw {

// A fixture provides: Registry& reg(); std::string base(); (a key below HKCU, absent at the start).
template <typename Fixture>
class RegistryContract : public Fixture {};

TYPED_TEST_SUITE_P(RegistryContract);

TYPED_TEST_P(RegistryContract, CreateReportsWhetherTheKeyIsNew) {
  Registry& r = this->reg();
  RegKey k = 0;
  uint32_t disp = 0;
  ASSERT_EQ(r.OpenKeyEx(kHkeyCurrentUser, this->base() + "\\A\\B", kKeyRead, k),
            kErrorFileNotFound);
  ASSERT_EQ(r.CreateKeyEx(kHkeyCurrentUser, this->base() + "\\A\\B", kKeyAllAccess, k, disp), 0);
  EXPECT_EQ(disp, 1u);
  r.CloseKey(k);
  ASSERT_EQ(r.CreateKeyEx(kHkeyCurrentUser, this->base() + "\\A\\B", kKeyAllAccess, k, disp), 0);
  EXPECT_EQ(disp, 2u);
  r.CloseKey(k);
  ASSERT_EQ(r.OpenKeyEx(kHkeyCurrentUser, this->base() + "\\A", kKeyWrite, k), 0);
  r.CloseKey(k);
}

TYPED_TEST_P(RegistryContract, QueriesReportSizesAndTypesLikeTheSystem) {
  Registry& r = this->reg();
  RegKey k = 0;
  uint32_t disp = 0;
  ASSERT_EQ(r.CreateKeyEx(kHkeyCurrentUser, this->base(), kKeyAllAccess, k, disp), 0);
  uint8_t scratch[4] = {};
  uint32_t size = 0, type = 0;
  EXPECT_EQ(r.QueryValueEx(k, "Missing", &type, scratch, &size), kErrorFileNotFound);
  EXPECT_EQ(size, 0u);

  const char text[] = "Hello, break";
  ASSERT_EQ(
      r.SetValueEx(k, "Greeting", kRegSz, reinterpret_cast<const uint8_t*>(text), sizeof text), 0);
  size = 0;
  EXPECT_EQ(r.QueryValueEx(k, "Greeting", &type, scratch, &size), kErrorMoreData);
  EXPECT_EQ(size, sizeof text);
  uint8_t buf[64] = {};
  size = sizeof buf;
  ASSERT_EQ(r.QueryValueEx(k, "GREETING", &type, buf, &size), 0) << "names ignore case";
  EXPECT_EQ(type, kRegSz);
  EXPECT_EQ(size, sizeof text);
  EXPECT_EQ(std::memcmp(buf, text, sizeof text), 0);

  const uint8_t dword[4] = {42, 0, 0, 0};
  ASSERT_EQ(r.SetValueEx(k, "Answer", kRegDword, dword, 4), 0);
  size = 4;
  ASSERT_EQ(r.QueryValueEx(k, "Answer", &type, buf, &size), 0);
  EXPECT_EQ(type, kRegDword);
  EXPECT_EQ(buf[0], 42);
  r.CloseKey(k);
}

TYPED_TEST_P(RegistryContract, DeletingAMissingValueSaysSo) {
  Registry& r = this->reg();
  RegKey k = 0;
  uint32_t disp = 0;
  ASSERT_EQ(r.CreateKeyEx(kHkeyCurrentUser, this->base(), kKeyAllAccess, k, disp), 0);
  const uint8_t one[2] = {'1', 0};
  ASSERT_EQ(r.SetValueEx(k, "V", kRegSz, one, 2), 0);
  EXPECT_EQ(r.DeleteValue(k, "V"), 0);
  EXPECT_EQ(r.DeleteValue(k, "V"), kErrorFileNotFound);
  r.CloseKey(k);
}

TYPED_TEST_P(RegistryContract, TextComesBackByteForByteWhateverItsCharacters) {
  Registry& r = this->reg();
  RegKey k = 0;
  uint32_t disp = 0;
  ASSERT_EQ(r.CreateKeyEx(kHkeyCurrentUser, this->base() + "\\Übung", kKeyAllAccess, k, disp), 0);
  const std::string texts[] = {
      std::string("Übung\\ベル.wav") + '\0',
      std::string("\xF0\x9F\x94\x94") + '\0',  // one character outside the BMP
      "42",                                    // written without its NUL
      std::string("a\0b\0", 4),                // a NUL inside
  };
  for (const std::string& text : texts) {
    ASSERT_EQ(
        r.SetValueEx(k, "Glocke läutet", kRegSz, reinterpret_cast<const uint8_t*>(text.data()),
                     static_cast<uint32_t>(text.size())),
        0);
    uint8_t scratch[1] = {};
    uint32_t size = 0, type = 0;
    EXPECT_EQ(r.QueryValueEx(k, "Glocke läutet", &type, scratch, &size), kErrorMoreData);
    EXPECT_EQ(size, text.size()) << "sized in the bytes the core reads";
    std::string back(size, 'x');
    ASSERT_EQ(
        r.QueryValueEx(k, "Glocke läutet", &type, reinterpret_cast<uint8_t*>(back.data()), &size),
        0);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(back, text);
  }
  r.CloseKey(k);
}

REGISTER_TYPED_TEST_SUITE_P(RegistryContract, CreateReportsWhetherTheKeyIsNew,
                            QueriesReportSizesAndTypesLikeTheSystem, DeletingAMissingValueSaysSo,
                            TextComesBackByteForByteWhateverItsCharacters);

}  // namespace unw

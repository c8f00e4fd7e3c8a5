// What every back end of the stored settings must do. Each back end's test instantiates this
// suite with a fixture that gives a storage holding nothing yet.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "platform/settings_storage.h"

namespace unw {

// A fixture provides: SettingsStorage& storage();
template <typename Fixture>
class SettingsStorageContract : public Fixture {};

TYPED_TEST_SUITE_P(SettingsStorageContract);

TYPED_TEST_P(SettingsStorageContract, AMissingValueSaysSoAndAWrittenTextComesBackAsWritten) {
  SettingsStorage& s = this->storage();
  std::string text = "untouched";
  EXPECT_EQ(s.Read("Hours", text), SettingStatus::kMissing);
  EXPECT_EQ(text, "untouched");
  const std::string texts[] = {
      "1",
      " ",
      "",
      " 12 ",
      "\t2",
      "C:\\Users\\Zo\xC3\xAB\\\xC3\x9C"
      "bung\\\xE3\x83\x99\xE3\x83\xAB.wav",
      "\xF0\x9F\x94\x94",  // one character outside the BMP
      "Mon=09:00-17:00;Tue=09:00-17:00;Wed=;Thu=;Fri=;Sat=;Sun=",
      std::string(40000, '7'),
  };
  for (const std::string& written : texts) {
    ASSERT_EQ(s.Write("CustomSound", written), SettingStatus::kOk) << written;
    ASSERT_EQ(s.Read("CustomSound", text), SettingStatus::kOk) << written;
    EXPECT_EQ(text, written);
  }
}

TYPED_TEST_P(SettingsStorageContract, NamesIgnoreCaseAndEachValueIsItsOwn) {
  SettingsStorage& s = this->storage();
  ASSERT_EQ(s.Write("Hours", "3"), SettingStatus::kOk);
  ASSERT_EQ(s.Write("Minutes", "4"), SettingStatus::kOk);
  std::string text;
  ASSERT_EQ(s.Read("HOURS", text), SettingStatus::kOk);
  EXPECT_EQ(text, "3");
  ASSERT_EQ(s.Write("hours", "5"), SettingStatus::kOk);
  ASSERT_EQ(s.Read("Hours", text), SettingStatus::kOk);
  EXPECT_EQ(text, "5");
  ASSERT_EQ(s.Read("Minutes", text), SettingStatus::kOk);
  EXPECT_EQ(text, "4");
}

TYPED_TEST_P(SettingsStorageContract, RemovingSaysWhetherThereWasAValue) {
  SettingsStorage& s = this->storage();
  EXPECT_EQ(s.Remove("Hours"), SettingStatus::kMissing) << "nothing stored yet";
  ASSERT_EQ(s.Write("Hours", "3"), SettingStatus::kOk);
  ASSERT_EQ(s.Write("Minutes", "4"), SettingStatus::kOk);
  EXPECT_EQ(s.Remove("HOURS"), SettingStatus::kOk);
  std::string text;
  EXPECT_EQ(s.Read("Hours", text), SettingStatus::kMissing);
  EXPECT_EQ(s.Remove("Hours"), SettingStatus::kMissing);
  ASSERT_EQ(s.Read("Minutes", text), SettingStatus::kOk);
  EXPECT_EQ(text, "4");
}

REGISTER_TYPED_TEST_SUITE_P(SettingsStorageContract,
                            AMissingValueSaysSoAndAWrittenTextComesBackAsWritten,
                            NamesIgnoreCaseAndEachValueIsItsOwn, RemovingSaysWhetherThereWasAValue);

}  // namespace unw

// What counts as a program's file name for the programs that hold alerts, and their stored list.
#include "settings/program_list.h"

#include <gtest/gtest.h>

namespace unw {
namespace {

TEST(ProgramNames, AreFileNamesWithoutFolderWildcardOrIllegalCharacter) {
  const std::string longest = std::string(251, 'n') + ".exe";  // 255 characters
  const std::string wide = std::string(120, 'n') + "ü" + std::string(130, 'n') + ".exe";
  const struct {
    std::string name;
    ProgramNameFault fault;
  } cases[] = {
      {"POWERPNT.EXE", ProgramNameFault::kNone},
      {"obs64.exe", ProgramNameFault::kNone},
      {"Microsoft Teams.exe", ProgramNameFault::kNone},
      {"Übung ベル.exe", ProgramNameFault::kNone},
      {"zoom", ProgramNameFault::kNone},
      {longest, ProgramNameFault::kNone},
      {wide, ProgramNameFault::kNone},  // 255 characters in 256 bytes
      {longest + "x", ProgramNameFault::kTooLong},
      {"", ProgramNameFault::kEmpty},
      {"   ", ProgramNameFault::kEmpty},
      {"C:\\Program Files\\OBS\\obs64.exe", ProgramNameFault::kPath},
      {"bin/obs64.exe", ProgramNameFault::kPath},
      {"D:obs64.exe", ProgramNameFault::kPath},
      {"*.exe", ProgramNameFault::kWildcard},
      {"obs??.exe", ProgramNameFault::kWildcard},
      {"a|b.exe", ProgramNameFault::kIllegal},
      {"\"obs64.exe\"", ProgramNameFault::kIllegal},
      {"<obs64>.exe", ProgramNameFault::kIllegal},
      {"obs64.exe;zoom.exe", ProgramNameFault::kIllegal},  // the list's separator
      {"obs\t64.exe", ProgramNameFault::kIllegal},
      {"obs64.exe\n", ProgramNameFault::kIllegal},
      {"obs64.", ProgramNameFault::kIllegal},
      {"..", ProgramNameFault::kIllegal},
  };
  for (const auto& c : cases) EXPECT_EQ(CheckProgramName(c.name), c.fault) << c.name;
}

TEST(ProgramNames, AStoredListIsSplitAtItsSeparatorsAndComparedWithoutRegardToCase) {
  EXPECT_EQ(SplitProgramList(" POWERPNT.EXE ;;obs64.exe; "),
            (std::vector<std::string>{"POWERPNT.EXE", "obs64.exe"}));
  EXPECT_TRUE(SplitProgramList(" ").empty()) << "the blank the store keeps for an empty list";
  EXPECT_EQ(JoinProgramList({"POWERPNT.EXE", "obs64.exe"}), "POWERPNT.EXE;obs64.exe");
  EXPECT_EQ(JoinProgramList({}), "");
  EXPECT_TRUE(SameProgram("OBS64.exe", "obs64.EXE"));
  EXPECT_FALSE(SameProgram("obs64.exe", "obs64.ex"));
  EXPECT_FALSE(SameProgram("obs64.exe", "obs32.exe"));
  std::string many;
  for (int i = 0; i <= 64; ++i) many += "p" + std::to_string(i) + ".exe;";
  EXPECT_FALSE(ProgramListUsable(many)) << "65 names";
  EXPECT_TRUE(ProgramListUsable(many.substr(many.find(';') + 1))) << "64 names";
  EXPECT_FALSE(ProgramListUsable("obs64.exe;C:\\zoom.exe")) << "one bad name spoils the list";
}

}  // namespace
}  // namespace unw

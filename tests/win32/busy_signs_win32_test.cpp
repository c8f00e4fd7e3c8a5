// What the Win32 presence reads to stay out of meetings, against the real registry and process
// list: the consent store's records of the camera and the microphone (planted under a scratch
// key), the programs of the session, and the quiet-hours state (which Wine does not have).
#include <windows.h>

#include <shellapi.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "backends/win32/busy_signs_win32.h"
#include "backends/win32/wide_text.h"

namespace unw {
namespace {

using win32::CallWatch;

TEST(CallWatch, ARecordIsInUseFromItsStartUntilAStopAfterItOrUntilItIsStale) {
  constexpr uint64_t kHour = 3600ULL * 10000000;
  constexpr uint64_t kLogon = 133500000000000000;  // a FILETIME of 2024
  constexpr uint64_t kNow = kLogon + 2 * kHour;
  const struct {
    uint64_t start, stop, now;
    bool inUse;
  } cases[] = {
      {kLogon + 500, 0, kNow, true},        // started, never stopped
      {kLogon + 500, kLogon, kNow, false},  // a stop before the start: no record of a use now
      {kNow + 500, kLogon, kNow, false},    // a start still to come
      {kNow + 500, 0, kNow, false},
      {kLogon, kLogon + 500, kNow, false},
      {kLogon, kLogon, kNow, false},                        // stopped as it started
      {0, 0, kNow, false},                                  // never used
      {kLogon - 1, 0, kNow, false},                         // before this logon: left over
      {kLogon + 500, 0, kLogon + 500 + 12 * kHour, true},   // half a day on a call
      {kLogon + 500, 0, kLogon + 501 + 12 * kHour, false},  // longer: left over
  };
  for (const auto& c : cases)
    EXPECT_EQ(CallWatch::RecordSaysInUse(c.start, c.stop, c.now, kLogon), c.inUse)
        << c.start - kLogon << " " << c.stop << " " << c.now - kLogon;
}

TEST(CallWatch, ThisLogonBeganBeforeNow) {
  const uint64_t logon = CallWatch::LogonSessionStart();
  EXPECT_GT(logon, 0u);
  EXPECT_LE(logon, CallWatch::SystemNow());
}

class ConsentStore : public ::testing::Test {
 protected:
  static constexpr wchar_t kStore[] = L"Software\\KORVANTE\\UnwindleTest\\ConsentStore";
  void SetUp() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\KORVANTE\\UnwindleTest");
    now_ = kT + 100000;
  }
  void TearDown() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, L"Software\\KORVANTE\\UnwindleTest");
  }
  // A value of `type` with `bytes` in the record `record` ("webcam\NonPackaged\C:#x.exe").
  static void Plant(const std::wstring& record, const wchar_t* name, DWORD type,
                    const std::string& bytes) {
    ASSERT_EQ(RegSetKeyValueW(HKEY_CURRENT_USER, (std::wstring(kStore) + L"\\" + record).c_str(),
                              name, type, bytes.data(), static_cast<DWORD>(bytes.size())),
              ERROR_SUCCESS);
  }
  static std::string Qword(uint64_t v) { return std::string(reinterpret_cast<char*>(&v), 8); }
  static void Record(const std::wstring& record, uint64_t start, uint64_t stop) {
    Plant(record, L"LastUsedTimeStart", REG_QWORD, Qword(start));
    Plant(record, L"LastUsedTimeStop", REG_QWORD, Qword(stop));
  }
  static constexpr uint64_t kT = 133500000000000000;  // a FILETIME of 2024
  // The clock of a watch whose logon began just before kT: a little after kT unless a test moves
  // it.
  static inline uint64_t now_ = kT + 100000;
  static uint64_t SoonAfterT() { return now_; }
};

TEST_F(ConsentStore, ACameraOrMicrophoneInUseIsACallAndAnUnreadableRecordIsNone) {
  CallWatch watch(kStore, SoonAfterT, kT - 100000);
  EXPECT_FALSE(watch.InUse()) << "no store at all";
  const std::wstring zoom = L"webcam\\NonPackaged\\C:#Program Files#Zoom#bin#Zoom.exe";
  const std::wstring teams = L"microphone\\MSTeams_8wekyb3d8bbwe";
  Record(zoom, kT, kT + 100);  // used this morning, stopped since
  Record(teams, kT, kT + 100);
  EXPECT_FALSE(watch.InUse());
  const struct {
    const char* what;
    std::wstring record;
    const wchar_t* value;
    DWORD type;
    std::string bytes;
    bool call;
  } steps[] = {
      {"a program's camera starts", zoom, L"LastUsedTimeStop", REG_QWORD, Qword(0), true},
      {"and stops", zoom, L"LastUsedTimeStop", REG_QWORD, Qword(kT + 200), false},
      {"a packaged app's microphone: a new start, the old stop", teams, L"LastUsedTimeStart",
       REG_QWORD, Qword(kT + 300), false},
      {"its stop cleared: in use", teams, L"LastUsedTimeStop", REG_QWORD, Qword(0), true},
      {"its start in the future", teams, L"LastUsedTimeStart", REG_QWORD, Qword(kT + 10000000),
       false},
      {"its start now", teams, L"LastUsedTimeStart", REG_QWORD, Qword(kT + 300), true},
      {"its stop no QWORD", teams, L"LastUsedTimeStop", REG_DWORD, std::string(4, '\0'), false},
      {"its stop a QWORD again", teams, L"LastUsedTimeStop", REG_QWORD, Qword(0), true},
      {"its start text", teams, L"LastUsedTimeStart", REG_SZ, std::string("1\0", 2), false},
      {"its start too long", teams, L"LastUsedTimeStart", REG_QWORD, Qword(kT) + "xx", false},
      {"a record with no values", L"webcam\\NonPackaged\\C:#Empty.exe", L"Other", REG_SZ,
       std::string("x\0", 2), false},
  };
  for (const auto& s : steps) {
    Plant(s.record, s.value, s.type, s.bytes);
    EXPECT_EQ(watch.InUse(), s.call) << s.what;
  }
}

TEST_F(ConsentStore, TheCameraInUseIsFoundAfterThousandsOfOtherRecords) {
  for (int i = 0; i < 5000; ++i)
    Record(L"webcam\\NonPackaged\\C:#Tools#tool" + std::to_wstring(i) + L".exe", kT, kT + 1);
  // Sorted after all the others.
  Record(L"webcam\\NonPackaged\\C:#~#meeting.exe", kT + 2, 0);
  CallWatch watch(kStore, SoonAfterT, kT - 100000);
  EXPECT_TRUE(watch.InUse());
}

TEST_F(ConsentStore, TheRecordsAreReadAgainOnlyAfterAChange) {
  const std::wstring obs = L"webcam\\NonPackaged\\C:#obs#obs64.exe";
  Record(obs, kT, kT + 1);
  Record(L"microphone\\NonPackaged\\C:#obs#obs64.exe", kT, kT + 1);
  CallWatch watch(kStore, SoonAfterT, kT - 100000);
  EXPECT_FALSE(watch.InUse());
  const int first = watch.reads();
  EXPECT_EQ(first, 2) << "each device's records, once";
  for (int i = 0; i < 100; ++i) watch.InUse();
  EXPECT_EQ(watch.reads(), first) << "a hundred looks without a change read nothing";
  Record(obs, kT + 2, 0);
  EXPECT_TRUE(watch.InUse());
  EXPECT_EQ(watch.reads(), first + 1) << "the device that changed, once";
  // A device whose key goes is looked for again, and found when it comes back.
  RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kStore) + L"\\webcam").c_str());
  RegDeleteKeyW(HKEY_CURRENT_USER, (std::wstring(kStore) + L"\\webcam").c_str());
  EXPECT_FALSE(watch.InUse());
  Record(obs, kT + 2, 0);
  EXPECT_TRUE(watch.InUse());
}

TEST_F(ConsentStore, ACallLeftOverForHalfADayHoldsNothingWithoutAChange) {
  Record(L"webcam\\NonPackaged\\C:#Meetings#call.exe", kT, 0);
  CallWatch watch(kStore, SoonAfterT, kT - 100000);
  EXPECT_TRUE(watch.InUse());
  now_ = kT + CallWatch::kStaleAfter;
  EXPECT_TRUE(watch.InUse()) << "half a day on a call";
  const int reads = watch.reads();
  now_ += 2;
  EXPECT_FALSE(watch.InUse()) << "longer: a record left over";
  EXPECT_GT(watch.reads(), reads);
}

TEST(SessionPrograms, ThisTestProgramRunsAndIsFoundWithoutRegardToCase) {
  const std::vector<std::wstring> running = win32::SessionProgramNames();
  EXPECT_EQ(win32::FirstOf({"no-such-program.exe", "UNWINDLE_WIN32_TESTS.EXE"}, running),
            "UNWINDLE_WIN32_TESTS.EXE");
  EXPECT_EQ(win32::FirstOf({"no-such-program.exe"}, running), "");
  const std::vector<std::string> once = win32::EachOnce(running);
  EXPECT_EQ(std::count(once.begin(), once.end(), "unwindle_win32_tests.exe"), 1);
  // Letters beyond ASCII compare as Windows compares file names.
  EXPECT_EQ(win32::FirstOf({"ÜBUNG.EXE"}, {L"explorer.exe", win32::Wide("übung.exe")}),
            "ÜBUNG.EXE");
  EXPECT_EQ(win32::EachOnce({win32::Wide("Übung.exe"), win32::Wide("übung.EXE")}).size(), 1u);
}

TEST(QuietHours, TheFirstHourAfterAFirstLogonIsQuietNotAFullScreenProgram) {
  using win32::ShellState;
  const std::pair<QUERY_USER_NOTIFICATION_STATE, ShellState> cases[] = {
      {QUNS_QUIET_TIME, ShellState::kQuiet},
      {QUNS_BUSY, ShellState::kFullScreen},
      {QUNS_RUNNING_D3D_FULL_SCREEN, ShellState::kFullScreen},
      {QUNS_PRESENTATION_MODE, ShellState::kFullScreen},
      {QUNS_ACCEPTS_NOTIFICATIONS, ShellState::kFree},
      {QUNS_NOT_PRESENT, ShellState::kFree},
  };
  for (const auto& [state, means] : cases)
    EXPECT_EQ(win32::ShellStateOf(state), means) << static_cast<int>(state);
}

TEST(QuietHours, WhereTheSystemCannotTellItIsOff) {
  // Wine has no quiet hours to read: looked up at run time, the failure means "off".
  EXPECT_FALSE(win32::QuietHours().On());
}

}  // namespace
}  // namespace unw

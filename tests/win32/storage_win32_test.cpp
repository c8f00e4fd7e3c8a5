// The program's files on the real disk, under Wine: the same contract as the in-memory disk, in a
// folder whose name holds characters outside any 8-bit code page; the data folder in the user's
// local application data; the journal's lines in real files.
#include <windows.h>
#include <shlobj.h>

#include <string>

#include "history/journal.h"
#include "backends/win32/calendar_win32.h"
#include "backends/win32/scoped.h"
#include "backends/win32/storage_win32.h"
#include "backends/win32/wide_text.h"
#include "storage_contract.h"

namespace unw {
namespace {

// Deletes a folder and everything in it, read-only files too.
void DeleteTree(const std::wstring& path) {
  WIN32_FIND_DATAW found = {};
  const HANDLE find = FindFirstFileW((path + L"\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring child = path + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        DeleteTree(child);
      } else {
        SetFileAttributesW(child.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileW(child.c_str());
      }
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  if (!RemoveDirectoryW(path.c_str())) DeleteFileW(path.c_str());
}

// A file of the disk opened directly; INVALID_HANDLE_VALUE becomes none.
win32::ScopedHandle OpenDirectly(const std::string& path, DWORD access, DWORD disposition) {
  const HANDLE h =
      CreateFileW(win32::Wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  return win32::ScopedHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

// A fresh folder of the test's own in the temporary folder.
std::string FreshRoot() {
  static int made = 0;
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const std::string root = win32::Utf8(temp) + "unwindle-storage-" +
                           std::to_string(GetCurrentProcessId()) + "-" + std::to_string(++made);
  DeleteTree(win32::Wide(root));
  CreateDirectoryW(win32::Wide(root).c_str(), nullptr);
  return root;
}

struct Win32StorageFixture : ::testing::Test {
  ~Win32StorageFixture() override {
    lock.reset();
    DeleteTree(win32::Wide(root));
  }
  Storage& storage() { return store; }
  std::string ExportFolder() { return root; }
  bool Exists(const std::string& path) {
    return GetFileAttributesW(win32::Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  std::string Content(const std::string& path) {
    win32::ScopedHandle file = OpenDirectly(path, GENERIC_READ, OPEN_EXISTING);
    if (!file.get()) return "(none)";
    std::string content(1 << 16, '\0');
    DWORD got = 0;
    ReadFile(file, content.data(), static_cast<DWORD>(content.size()), &got, nullptr);
    content.resize(got);
    return content;
  }
  // Makes the folders above `path` that are missing, then the file.
  void Place(const std::string& path, const std::string& content) {
    const std::wstring wide = win32::Wide(path);
    for (size_t at = win32::Wide(root).size() + 1;
         (at = wide.find(L'\\', at)) != std::wstring::npos; ++at)
      CreateDirectoryW(wide.substr(0, at).c_str(), nullptr);
    win32::ScopedHandle file = OpenDirectly(path, GENERIC_WRITE, CREATE_ALWAYS);
    DWORD written = 0;
    WriteFile(file, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
  }
  void MakeReadOnly(const std::string& path) {
    SetFileAttributesW(win32::Wide(path).c_str(), FILE_ATTRIBUTE_READONLY);
  }
  // Held open with no sharing at all, as another program may.
  void Lock(const std::string& path) {
    const HANDLE h = CreateFileW(win32::Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                 nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    lock = win32::ScopedHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
    ASSERT_NE(lock.get(), nullptr);
  }
  void Unlock() { lock = win32::ScopedHandle(); }

  win32::ScopedHandle lock;
  std::string root = FreshRoot();
  Trace trace{nullptr, ""};
  // "Zoë 山田 🔔": outside every 8-bit code page, a surrogate pair included.
  Win32Storage store{trace, root +
                                "\\Zo\xC3\xAB \xE5\xB1\xB1\xE7\x94\xB0 \xF0\x9F\x94\x94\\KORVANTE"
                                "\\Unwindle"};
};

using Backends = ::testing::Types<Win32StorageFixture>;
INSTANTIATE_TYPED_TEST_SUITE_P(Win32, StorageContract, Backends);

TEST(Win32StorageTest, TheDataFolderIsInTheUsersLocalApplicationData) {
  Trace trace{nullptr, ""};
  Win32Storage store(trace);
  wchar_t local[MAX_PATH] = {};
  ASSERT_EQ(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, local),
            S_OK);
  EXPECT_EQ(store.DataFolder(), win32::Utf8(local) + "\\KORVANTE\\Unwindle");
}

using Win32JournalTest = Win32StorageFixture;

// The journal over real files: what one run writes the next reads, and a line torn by a power cut
// goes at the next start.
TEST_F(Win32JournalTest, WhatOneRunWritesTheNextReadsAndATornLineGoes) {
  Win32Calendar calendar;
  Journal first(store, calendar);
  first.Open();
  first.Record(ProgramStarted());
  first.Record(BreakStarted(BreakFrom::kTray));
  first.Record(BreakEnded(BreakEnd::kCutShort, 42));
  EXPECT_TRUE(first.writing()) << StorageStatusName(first.Health().status);
  // The folder has the very name asked for, seen by the system's own listing.
  WIN32_FIND_DATAW found = {};
  const HANDLE find = FindFirstFileW(win32::Wide(root + "\\Z*").c_str(), &found);
  ASSERT_NE(find, INVALID_HANDLE_VALUE);
  FindClose(find);
  EXPECT_EQ(std::wstring(found.cFileName), L"Zo\u00EB \u5C71\u7530 \U0001F514");
  const std::string path = store.DataFolder() + "\\" + kJournalFileName;
  const std::string whole = Content(path);
  EXPECT_EQ(whole.substr(0, JournalHeader().size() + 1), JournalHeader() + "\n");
  EXPECT_EQ(ParseJournal(whole), first.recorded());

  Place(path, whole + "2027-01-01T10:00:00+01:00\tbreak.en");
  Journal second(store, calendar);
  second.Open();
  EXPECT_EQ(second.size(), first.recorded().size());
  EXPECT_EQ(second.Figures(), FiguresByDay(first.recorded()));
  EXPECT_EQ(Content(path), whole);
  second.Record(ProgramEnded());
  EXPECT_EQ(ParseJournal(Content(path)).size(), 4u);
  EXPECT_EQ(second.Health().state, JournalHealth::State::kKept);
  EXPECT_EQ(second.Health().place.file, path);
}

// Another program holds the file with no sharing at start-up: the journal says so, keeps what
// happens, and once the file is let go reads it again with every event once.
TEST_F(Win32JournalTest, AFileLockedAtStartIsReadOnceItIsLetGo) {
  Win32Calendar calendar;
  Journal first(store, calendar);
  first.Open();
  first.Record(ProgramStarted());
  first.Record(BreakStarted(BreakFrom::kTray));
  const std::string path = store.DataFolder() + "\\" + kJournalFileName;
  Lock(path);
  Journal second(store, calendar);
  second.Open();
  EXPECT_EQ(second.Health().state, JournalHealth::State::kUnreadable);
  EXPECT_EQ(second.Health().status, StorageStatus::kLocked);
  second.Record(BreakEnded(BreakEnd::kRanOut, 300));
  EXPECT_EQ(second.size(), 1u);
  second.ReadAgain();
  EXPECT_EQ(second.Health().status, StorageStatus::kLocked) << "still held";
  Unlock();
  second.ReadAgain();
  EXPECT_EQ(second.Health().state, JournalHealth::State::kKept);
  EXPECT_EQ(second.size(), 3u);
  EXPECT_EQ(ParseJournal(Content(path)).size(), 3u) << "the waiting line went out once";
  EXPECT_EQ(second.Figures().back().breaksTaken, 1);
}

}  // namespace
}  // namespace unw

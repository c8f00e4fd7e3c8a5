// What every back end of the program's files must do the way a real disk does it. Each back
// end's test instantiates this suite with a fixture that gives a storage whose data folder does
// not exist yet (its path holds characters outside any 8-bit code page) and looks at the disk
// itself, not through the storage.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "platform/storage.h"

namespace unw {

// A fixture provides: Storage& storage(); std::string ExportFolder() (an existing folder);
// and, on the disk directly: bool Exists(path), std::string Content(path),
// void Place(path, content) (a file someone else put there), void MakeReadOnly(path),
// void Lock(path) (another program holds the file open and shares it with nobody), void Unlock();
// and, where paths are not Windows', std::string Separator().
template <typename Fixture>
class StorageContract : public Fixture {
 protected:
  std::string Sep() {
    if constexpr (requires(Fixture & f) { f.Separator(); })
      return this->Separator();
    else
      return "\\";
  }
  std::string PathOf(const std::string& name) {
    return this->storage().DataFolder() + Sep() + name;
  }
};

TYPED_TEST_SUITE_P(StorageContract);

TYPED_TEST_P(StorageContract, LinesGoWhereTheLastWholeLineEndsAndComeBackAsWritten) {
  Storage& s = this->storage();
  std::string content = "untouched";
  EXPECT_EQ(s.Read("history.tsv", content), StorageStatus::kNotFound);
  EXPECT_FALSE(this->Exists(s.DataFolder())) << "made only when first written";
  uint64_t at = 0;
  ASSERT_EQ(s.AppendDurably("history.tsv", at, "one\n"), StorageStatus::kOk);
  EXPECT_EQ(at, 4u);
  ASSERT_EQ(s.AppendDurably("history.tsv", at, "two\nthe torn rest of a long line"),
            StorageStatus::kOk);
  EXPECT_EQ(this->Content(this->PathOf("history.tsv")), "one\ntwo\nthe torn rest of a long line");
  // A line torn by a crash is written over from where the last whole line ends, and goes.
  at = 8;
  ASSERT_EQ(s.AppendDurably("history.tsv", at, "three\n"), StorageStatus::kOk);
  EXPECT_EQ(at, 14u);
  // Asked beyond the end (the file was cut meanwhile): at its end, never leaving a hole.
  at = std::numeric_limits<uint64_t>::max();
  ASSERT_EQ(s.AppendDurably("history.tsv", at, "four\n"), StorageStatus::kOk);
  EXPECT_EQ(at, 19u);
  ASSERT_EQ(s.Read("history.tsv", content), StorageStatus::kOk);
  EXPECT_EQ(content, "one\ntwo\nthree\nfour\n");
  EXPECT_EQ(this->Content(this->PathOf("history.tsv")), content);
}

TYPED_TEST_P(StorageContract, AReplacementIsWholeAndALeftoverTemporaryFileIsNoObstacle) {
  Storage& s = this->storage();
  uint64_t at = 0;
  ASSERT_EQ(s.AppendDurably("history.tsv", at, "old line\nanother old line\n"), StorageStatus::kOk);
  // A replacement killed before its rename left its temporary file behind.
  this->Place(this->PathOf("history.tsv.new"), "half of a new fi");
  ASSERT_EQ(s.ReplaceAtomically("history.tsv", "new\n"), StorageStatus::kOk);
  EXPECT_EQ(this->Content(this->PathOf("history.tsv")), "new\n");
  EXPECT_FALSE(this->Exists(this->PathOf("history.tsv.new")));
  // Into a folder not made yet, too.
  ASSERT_EQ(s.ReplaceAtomically("second.tsv", "fresh\n"), StorageStatus::kOk);
  std::string content;
  ASSERT_EQ(s.Read("second.tsv", content), StorageStatus::kOk);
  EXPECT_EQ(content, "fresh\n");
}

TYPED_TEST_P(StorageContract, NamesAndTextKeepEveryCharacter) {
  Storage& s = this->storage();
  const std::string name = "Verlauf \xC3\xBC \xE5\xB1\xB1\xE7\x94\xB0 \xF0\x9F\x94\x94.tsv";
  const std::string text =
      "Gr\xC3\xBC\xC3\x9F"
      "e\t\xE4\xBC\x91\xE6\x86\xA9\r\n";
  uint64_t at = 0;
  ASSERT_EQ(s.AppendDurably(name, at, text), StorageStatus::kOk);
  EXPECT_TRUE(this->Exists(this->PathOf(name)));
  EXPECT_EQ(this->Content(this->PathOf(name)), text);
  std::string back;
  ASSERT_EQ(s.Read(name, back), StorageStatus::kOk);
  EXPECT_EQ(back, text);
}

TYPED_TEST_P(StorageContract, AFileWhereTheFolderShouldBeIsLeftAlone) {
  Storage& s = this->storage();
  this->Place(s.DataFolder(), "somebody's file");
  uint64_t at = 0;
  EXPECT_EQ(s.AppendDurably("history.tsv", at, "line\n"), StorageStatus::kNotAFolder);
  EXPECT_EQ(at, 0u) << "nothing written, nothing moved";
  EXPECT_EQ(s.ReplaceAtomically("history.tsv", "line\n"), StorageStatus::kNotAFolder);
  std::string content;
  EXPECT_EQ(s.Read("history.tsv", content), StorageStatus::kNotAFolder);
  EXPECT_EQ(this->Content(s.DataFolder()), "somebody's file");
}

TYPED_TEST_P(StorageContract, AReadOnlyFileRefusesWritesAndStaysAsItWas) {
  Storage& s = this->storage();
  uint64_t at = 0;
  ASSERT_EQ(s.AppendDurably("history.tsv", at, "kept\n"), StorageStatus::kOk);
  this->MakeReadOnly(this->PathOf("history.tsv"));
  EXPECT_EQ(s.AppendDurably("history.tsv", at, "more\n"), StorageStatus::kReadOnly);
  EXPECT_EQ(at, 5u);
  EXPECT_EQ(s.ReplaceAtomically("history.tsv", "other\n"), StorageStatus::kReadOnly);
  EXPECT_EQ(this->Content(this->PathOf("history.tsv")), "kept\n");
  EXPECT_FALSE(this->Exists(this->PathOf("history.tsv.new")));
}

TYPED_TEST_P(StorageContract, AnExportIsANewFileWhereTheUserChose) {
  Storage& s = this->storage();
  const std::string path = this->ExportFolder() + this->Sep() + "Woche \xC3\xBC.csv";
  ASSERT_EQ(s.WriteNewFile(path, "date\r\nlonger than the next\r\n"), StorageStatus::kOk);
  ASSERT_EQ(s.WriteNewFile(path, "date\r\n"), StorageStatus::kOk);
  EXPECT_EQ(this->Content(path), "date\r\n") << "replaced, nothing of the old one left";
  EXPECT_EQ(s.WriteNewFile(this->ExportFolder() + this->Sep() + "missing" + this->Sep() + "x.csv",
                           "date\r\n"),
            StorageStatus::kNoFolder);
  EXPECT_FALSE(this->Exists(s.DataFolder())) << "an export makes no data folder";
}

TYPED_TEST_P(StorageContract, APieceAtATimeGivesTheWholeFileInOrderAndStopsWhenAsked) {
  Storage& s = this->storage();
  size_t calls = 0;
  auto count = [&](std::string_view) { return ++calls > 0; };
  EXPECT_EQ(s.ReadPieces("history.tsv", count), StorageStatus::kNotFound);
  EXPECT_EQ(calls, 0u);
  // Larger than any piece a back end reads at once, and no line ends where a piece does.
  std::string text;
  for (int i = 0; text.size() < (600u << 10); ++i)
    text += std::to_string(i * 7919) + (i % 3 ? "\tword\n" : "\r\n");
  text += "a last line without its end";
  this->Place(this->PathOf("history.tsv"), text);
  std::string whole;
  std::vector<size_t> sizes;
  ASSERT_EQ(s.ReadPieces("history.tsv",
                         [&](std::string_view piece) {
                           whole += piece;
                           sizes.push_back(piece.size());
                           return true;
                         }),
            StorageStatus::kOk);
  EXPECT_TRUE(whole == text) << whole.size() << " bytes of " << text.size();
  EXPECT_GT(sizes.size(), 1u) << "in pieces";
  for (size_t n : sizes) EXPECT_GT(n, 0u);
  // Stopped after the first piece: that is all, and it is no failure.
  std::string first;
  EXPECT_EQ(s.ReadPieces("history.tsv",
                         [&](std::string_view piece) {
                           first += piece;
                           return false;
                         }),
            StorageStatus::kOk);
  EXPECT_EQ(first, text.substr(0, sizes.front()));
}

TYPED_TEST_P(StorageContract, AReplacementInPiecesIsWholeOrNothing) {
  Storage& s = this->storage();
  uint64_t at = 0;
  ASSERT_EQ(s.AppendDurably("history.tsv", at, "old\n"), StorageStatus::kOk);
  std::string expected;
  ASSERT_EQ(s.ReplaceInPieces("history.tsv",
                              [&](const Storage::PieceWriter& write) {
                                for (int i = 0; i < 3000; ++i) {
                                  const std::string piece = "line " + std::to_string(i) + "\n";
                                  expected += piece;
                                  if (!write(piece)) return false;
                                }
                                return true;
                              }),
            StorageStatus::kOk);
  EXPECT_TRUE(this->Content(this->PathOf("history.tsv")) == expected);
  EXPECT_FALSE(this->Exists(this->PathOf("history.tsv.new")));
  // Given up halfway: the old file stays, and no temporary file.
  EXPECT_EQ(s.ReplaceInPieces("history.tsv",
                              [&](const Storage::PieceWriter& write) {
                                write("half of a new file\n");
                                return false;
                              }),
            StorageStatus::kFailed);
  EXPECT_TRUE(this->Content(this->PathOf("history.tsv")) == expected);
  EXPECT_FALSE(this->Exists(this->PathOf("history.tsv.new")));
}

TYPED_TEST_P(StorageContract, AFileLockedByAnotherProgramIsNeitherReadNorWrittenUntilItLetsGo) {
  Storage& s = this->storage();
  uint64_t at = 0;
  ASSERT_EQ(s.AppendDurably("history.tsv", at, "kept\n"), StorageStatus::kOk);
  this->Lock(this->PathOf("history.tsv"));
  std::string content = "untouched";
  EXPECT_EQ(s.Read("history.tsv", content), StorageStatus::kLocked);
  size_t calls = 0;
  EXPECT_EQ(s.ReadPieces("history.tsv", [&](std::string_view) { return ++calls > 0; }),
            StorageStatus::kLocked);
  EXPECT_EQ(calls, 0u);
  EXPECT_EQ(s.AppendDurably("history.tsv", at, "more\n"), StorageStatus::kLocked);
  EXPECT_EQ(at, 5u);
  this->Unlock();
  EXPECT_EQ(this->Content(this->PathOf("history.tsv")), "kept\n");
  ASSERT_EQ(s.AppendDurably("history.tsv", at, "more\n"), StorageStatus::kOk);
  ASSERT_EQ(s.Read("history.tsv", content), StorageStatus::kOk);
  EXPECT_EQ(content, "kept\nmore\n");
}

REGISTER_TYPED_TEST_SUITE_P(StorageContract, LinesGoWhereTheLastWholeLineEndsAndComeBackAsWritten,
                            AReplacementIsWholeAndALeftoverTemporaryFileIsNoObstacle,
                            NamesAndTextKeepEveryCharacter, AFileWhereTheFolderShouldBeIsLeftAlone,
                            AReadOnlyFileRefusesWritesAndStaysAsItWas,
                            AnExportIsANewFileWhereTheUserChose,
                            APieceAtATimeGivesTheWholeFileInOrderAndStopsWhenAsked,
                            AReplacementInPiecesIsWholeOrNothing,
                            AFileLockedByAnotherProgramIsNeitherReadNorWrittenUntilItLetsGo);

}  // namespace unw

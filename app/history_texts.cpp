#include "app/history_texts.h"

namespace unw {

namespace {

// Why a file the user chose could not be written, for a sentence.
std::string ExportProblem(StorageStatus status) {
  switch (status) {
    case StorageStatus::kNoFolder:
    case StorageStatus::kNotFound:
      return "its folder cannot be found";
    case StorageStatus::kNotAFolder:
      return "a file stands where its folder should be";
    case StorageStatus::kReadOnly:
      return "it is read-only";
    case StorageStatus::kDiskFull:
      return "the disk is full";
    case StorageStatus::kLocked:
      return "another program has it open";
    case StorageStatus::kOk:
    case StorageStatus::kTooLarge:
    case StorageStatus::kFailed:
      break;
  }
  return "it cannot be written";
}

// Why the journal's file is not written.
std::string NotSavedProblem(StorageStatus status, const JournalPlace& place) {
  switch (status) {
    case StorageStatus::kNoFolder:
      return "the folder " + place.folder + " cannot be made";
    case StorageStatus::kNotAFolder:
      return "a file stands where the folder " + place.folder + " should be";
    case StorageStatus::kReadOnly:
      return place.file + " is read-only";
    case StorageStatus::kDiskFull:
      return "the disk is full";
    case StorageStatus::kLocked:
      return place.file + " is locked by another program";
    case StorageStatus::kOk:
    case StorageStatus::kNotFound:
    case StorageStatus::kTooLarge:
    case StorageStatus::kFailed:
      break;
  }
  return place.file + " cannot be written";
}

// Why the journal's file could not be read, in a person's words.
std::string ReadProblem(StorageStatus status) {
  switch (status) {
    case StorageStatus::kLocked:
      return "the file is locked by another program";
    case StorageStatus::kTooLarge:
      return "the file is too large";
    default:
      break;
  }
  return "the file is unreadable";
}

}  // namespace

std::string JournalStatusText(const JournalHealth& health) {
  const std::string& file = health.place.file;
  switch (health.state) {
    case JournalHealth::State::kNewerFormat:
      return "The history in " + file + " is kept by a newer version of Unwindle; it is only read.";
    case JournalHealth::State::kNotSaved:
      return "History is not saved: " + NotSavedProblem(health.status, health.place) + ".";
    case JournalHealth::State::kUnreadable:
      return HistoryUnreadableText(health.status);
    case JournalHealth::State::kKept:
      break;
  }
  return "History is kept in " + file + ".";
}

std::string ExportFailedText(const std::string& path, StorageStatus status) {
  return "The history could not be exported to " + path + ": " + ExportProblem(status) + ".";
}

std::string HistoryUnreadableText(StorageStatus status) {
  return "The history before today could not be read: " + ReadProblem(status) + ".";
}

}  // namespace unw

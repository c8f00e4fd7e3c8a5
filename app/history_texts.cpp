#include "app/history_texts.h"

namespace unw {

namespace {

// Why the journal's file is not written, each a whole sentence.
std::string NotSavedText(const Texts& t, StorageStatus status, const JournalPlace& place) {
  const Fills fills = {{"folder", place.folder}, {"file", place.file}};
  switch (status) {
    case StorageStatus::kNoFolder:
      return t.T("History is not saved: the folder {folder} cannot be made.", fills);
    case StorageStatus::kNotAFolder:
      return t.T("History is not saved: a file stands where the folder {folder} should be.", fills);
    case StorageStatus::kReadOnly:
      return t.T("History is not saved: {file} is read-only.", fills);
    case StorageStatus::kDiskFull:
      return t.T("History is not saved: the disk is full.");
    case StorageStatus::kLocked:
      return t.T("History is not saved: {file} is locked by another program.", fills);
    case StorageStatus::kOk:
    case StorageStatus::kNotFound:
    case StorageStatus::kTooLarge:
    case StorageStatus::kFailed:
      break;
  }
  return t.T("History is not saved: {file} cannot be written.", fills);
}

}  // namespace

std::string JournalStatusText(const Texts& t, const JournalHealth& health) {
  const std::string& file = health.place.file;
  switch (health.state) {
    case JournalHealth::State::kNewerFormat:
      return t.T("The history in {file} is kept by a newer version of Unwindle; it is only read.",
                 {{"file", file}});
    case JournalHealth::State::kNotSaved:
      return NotSavedText(t, health.status, health.place);
    case JournalHealth::State::kUnreadable:
      return HistoryUnreadableText(t, health.status);
    case JournalHealth::State::kKept:
      break;
  }
  return t.T("History is kept in {file}.", {{"file", file}});
}

std::string ExportFailedText(const Texts& t, const std::string& path, StorageStatus status) {
  const Fills fills = {{"path", path}};
  switch (status) {
    case StorageStatus::kNoFolder:
    case StorageStatus::kNotFound:
      return t.T("The history could not be exported to {path}: its folder cannot be found.", fills);
    case StorageStatus::kNotAFolder:
      return t.T(
          "The history could not be exported to {path}: a file stands where its folder should be.",
          fills);
    case StorageStatus::kReadOnly:
      return t.T("The history could not be exported to {path}: it is read-only.", fills);
    case StorageStatus::kDiskFull:
      return t.T("The history could not be exported to {path}: the disk is full.", fills);
    case StorageStatus::kLocked:
      return t.T("The history could not be exported to {path}: another program has it open.",
                 fills);
    case StorageStatus::kOk:
    case StorageStatus::kTooLarge:
    case StorageStatus::kFailed:
      break;
  }
  return t.T("The history could not be exported to {path}: it cannot be written.", fills);
}

std::string HistoryUnreadableText(const Texts& t, StorageStatus status) {
  switch (status) {
    case StorageStatus::kLocked:
      return t.T(
          "The history before today could not be read: the file is locked by another program.");
    case StorageStatus::kTooLarge:
      return t.T("The history before today could not be read: the file is too large.");
    default:
      break;
  }
  return t.T("The history before today could not be read: the file is unreadable.");
}

}  // namespace unw

// What the user reads when the history's file cannot be kept, exported or read: the journal and
// the storage report facts (history/journal.h, platform/storage.h), these are their words.
#pragma once

#include <string>

#include "history/journal.h"
#include "i18n/texts.h"
#include "platform/storage.h"

namespace unw {

// The Statistics window's line about the journal: where it is kept, or why it is not.
std::string JournalStatusText(const Texts& texts, const JournalHealth& health);
// An export the storage refused: "The history could not be exported to PATH: the disk is full."
std::string ExportFailedText(const Texts& texts, const std::string& path, StorageStatus status);
// The history's file could not be read, at start-up or by /history: "The history before today
// could not be read: the file is locked by another program."
std::string HistoryUnreadableText(const Texts& texts, StorageStatus status);

}  // namespace unw

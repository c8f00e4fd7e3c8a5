#include "backends/fake/fake_storage.h"

#include <algorithm>

namespace unw {

namespace {

std::string ParentOf(const std::string& path) {
  const size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

bool FakeStorage::Refuses(const std::string& path) const {
  return readOnly.count(path) > 0;
}

StorageStatus FakeStorage::MakeFolder() {
  // A file in the way of the folder or of any folder above it.
  for (size_t at = folder.find('\\'); at != std::string::npos; at = folder.find('\\', at + 1)) {
    if (files.count(folder.substr(0, at))) return StorageStatus::kNotAFolder;
  }
  if (files.count(folder)) return StorageStatus::kNotAFolder;
  if (folders.count(folder)) return StorageStatus::kOk;
  if (folderRefused || Refuses(ParentOf(folder))) return StorageStatus::kNoFolder;
  folders.insert(folder);
  return StorageStatus::kOk;
}

StorageStatus FakeStorage::WriteInto(std::string& file, uint64_t at, std::string_view bytes) {
  const uint64_t start = std::min<uint64_t>(at, file.size());
  const uint64_t oldSize = file.size();
  const uint64_t needed = start + bytes.size() > oldSize ? start + bytes.size() - oldSize : 0;
  const bool fits = needed <= freeBytes;
  // What is cut from the old end is room for the new.
  const size_t written = fits ? bytes.size() : static_cast<size_t>(oldSize - start + freeBytes);
  file.resize(start);
  file.append(bytes.substr(0, std::min(written, bytes.size())));
  if (file.size() > oldSize) freeBytes -= file.size() - oldSize;
  if (file.size() < oldSize) freeBytes += oldSize - file.size();
  return fits ? StorageStatus::kOk : StorageStatus::kDiskFull;
}

StorageStatus FakeStorage::ReadStatus(const std::string& path) const {
  const auto it = files.find(path);
  if (it == files.end())
    return files.count(folder) ? StorageStatus::kNotAFolder : StorageStatus::kNotFound;
  if (locked.count(path)) return StorageStatus::kLocked;
  if (oversized.count(path) || it->second.size() > kLargestRead) return StorageStatus::kTooLarge;
  return StorageStatus::kOk;
}

StorageStatus FakeStorage::Read(const std::string& name, std::string& content) {
  const StorageStatus status = ReadStatus(PathOf(name));
  if (status == StorageStatus::kOk) content = files[PathOf(name)];
  trace_.Line("store.read", {name, StorageStatusName(status), std::to_string(content.size())});
  return status;
}

StorageStatus FakeStorage::ReadPieces(const std::string& name,
                                      const std::function<bool(std::string_view)>& piece) {
  const StorageStatus status = ReadStatus(PathOf(name));
  size_t at = 0;
  if (status == StorageStatus::kOk) {
    // A copy: the reader may write to the disk between pieces.
    const std::string file = files[PathOf(name)];
    const size_t size = std::max<size_t>(pieceBytes, 1);
    while (at < file.size()) {
      const std::string_view next = std::string_view(file).substr(at, size);
      at += next.size();
      if (!piece(next)) break;
    }
  }
  trace_.Line("store.read", {name, StorageStatusName(status), std::to_string(at)});
  return status;
}

StorageStatus FakeStorage::AppendDurably(const std::string& name, uint64_t& at,
                                         std::string_view bytes) {
  const std::string path = PathOf(name);
  StorageStatus status = MakeFolder();
  if (status == StorageStatus::kOk && (Refuses(path) || (!files.count(path) && Refuses(folder))))
    status = StorageStatus::kReadOnly;
  if (status == StorageStatus::kOk && locked.count(path)) status = StorageStatus::kLocked;
  const uint64_t asked = at;
  if (status == StorageStatus::kOk) {
    std::string& file = files[path];
    if (killAt == Kill::kHalfwayThroughAppend) {
      WriteInto(file, at, bytes.substr(0, bytes.size() / 2));
      trace_.Line("store.append",
                  {name, std::to_string(asked), std::to_string(bytes.size()), "killed"});
      throw Killed{};
    }
    status = WriteInto(file, at, bytes);
    if (status == StorageStatus::kOk) at = file.size();
  }
  trace_.Line("store.append", {name, std::to_string(asked), std::to_string(bytes.size()),
                               StorageStatusName(status)});
  return status;
}

StorageStatus FakeStorage::ReplaceAtomically(const std::string& name, std::string_view bytes) {
  const std::string path = PathOf(name), temp = path + ".new";
  StorageStatus status = MakeFolder();
  if (status == StorageStatus::kOk && (Refuses(folder) || Refuses(path)))
    status = StorageStatus::kReadOnly;
  if (status == StorageStatus::kOk && locked.count(path)) status = StorageStatus::kLocked;
  if (status == StorageStatus::kOk) {
    status = WriteInto(files[temp], 0, bytes);
    if (status == StorageStatus::kOk && killAt == Kill::kBetweenTempAndRename) {
      trace_.Line("store.replace", {name, std::to_string(bytes.size()), "killed"});
      throw Killed{};
    }
    if (status == StorageStatus::kOk) {
      // The rename: the old file's room comes free.
      const auto old = files.find(path);
      if (old != files.end()) freeBytes += old->second.size();
      files[path] = std::move(files[temp]);
    } else {
      freeBytes += files[temp].size();
    }
    files.erase(temp);
  }
  trace_.Line("store.replace", {name, std::to_string(bytes.size()), StorageStatusName(status)});
  return status;
}

StorageStatus FakeStorage::ReplaceInPieces(const std::string& name,
                                           const std::function<bool(const PieceWriter&)>& produce) {
  // The pieces gathered first: in memory it is all one.
  std::string bytes;
  const bool whole = produce([&](std::string_view piece) {
    bytes += piece;
    return true;
  });
  if (!whole) {
    trace_.Line("store.replace", {name, std::to_string(bytes.size()), "failed"});
    return StorageStatus::kFailed;
  }
  return ReplaceAtomically(name, bytes);
}

StorageStatus FakeStorage::WriteNewFile(const std::string& path, std::string_view bytes) {
  const std::string parent = ParentOf(path);
  StorageStatus status = StorageStatus::kOk;
  if (!folders.count(parent))
    status = files.count(parent) ? StorageStatus::kNotAFolder : StorageStatus::kNoFolder;
  else if (Refuses(path) || (!files.count(path) && Refuses(parent)))
    status = StorageStatus::kReadOnly;
  if (status == StorageStatus::kOk) {
    std::string& file = files[path];
    status = WriteInto(file, 0, bytes);
    if (status != StorageStatus::kOk) {
      // A half export is no export.
      freeBytes += file.size();
      files.erase(path);
    }
  }
  trace_.Line("store.export", {path, std::to_string(bytes.size()), StorageStatusName(status)});
  return status;
}

}  // namespace unw

#include "backends/qt/storage_linux.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "backends/qt/files_linux.h"

namespace unw {

namespace {

StorageStatus StatusOf(int error) {
  switch (error) {
    case 0:
      return StorageStatus::kOk;
    case ENOENT:
      return StorageStatus::kNoFolder;
    case ENOTDIR:
      return StorageStatus::kNotAFolder;
    case EACCES:
    case EPERM:
    case EROFS:
      return StorageStatus::kReadOnly;
    case ENOSPC:
    case EDQUOT:
      return StorageStatus::kDiskFull;
    case EWOULDBLOCK:
      return StorageStatus::kLocked;
    default:
      return StorageStatus::kFailed;
  }
}

// An open file, closed when it goes.
class Fd {
 public:
  explicit Fd(int fd = -1) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// The program's own hold on an open file: shared with its own readers and writers, refused while
// another program holds the file for itself alone. 0 or EWOULDBLOCK.
int Share(int fd) {
  while (flock(fd, LOCK_SH | LOCK_NB) != 0) {
    if (errno != EINTR) return errno;
  }
  return 0;
}

bool IsFolder(const std::string& path) {
  struct stat st = {};
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
  struct stat st = {};
  return stat(path.c_str(), &st) == 0;
}

// The data folder's file opened for reading, and why not (or why it is not to be read).
int OpenToRead(const std::string& folder, const std::string& path, StorageStatus& status) {
  status = StorageStatus::kOk;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    status = StatusOf(errno);
    // No folder yet is no file yet; a file in the folder's place is another matter.
    if (status == StorageStatus::kNoFolder || status == StorageStatus::kNotAFolder)
      status = Exists(folder) && !IsFolder(folder) ? StorageStatus::kNotAFolder
                                                   : StorageStatus::kNotFound;
    return fd;
  }
  struct stat st = {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode))
    status = StorageStatus::kFailed;
  else if (static_cast<uint64_t>(st.st_size) > kLargestRead)
    status = StorageStatus::kTooLarge;
  else
    status = StatusOf(Share(fd));
  return fd;
}

}  // namespace

LinuxStorage::LinuxStorage(Trace& trace, std::string folder)
    : trace_(trace),
      folder_(folder.empty() ? linux_sys::DataHome() + "/KORVANTE/Unwindle" : std::move(folder)) {}

StorageStatus LinuxStorage::Read(const std::string& name, std::string& content) {
  StorageStatus status = StorageStatus::kOk;
  std::string got;
  status = ReadPieces(name, [&](std::string_view piece) {
    got += piece;
    return true;
  });
  if (status == StorageStatus::kOk) content = std::move(got);
  return status;
}

StorageStatus LinuxStorage::ReadPieces(const std::string& name,
                                       const std::function<bool(std::string_view)>& piece) {
  StorageStatus status = StorageStatus::kOk;
  Fd file(OpenToRead(folder_, PathOf(name), status));
  uint64_t got = 0;
  if (status == StorageStatus::kOk) {
    std::string buffer(64 * 1024, '\0');
    // A writer may make it longer meanwhile: no more than the largest file read is read.
    while (got < kLargestRead) {
      const ssize_t n = read(file.get(), buffer.data(), buffer.size());
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) {
        status = StorageStatus::kFailed;
        break;
      }
      if (n == 0) break;
      got += static_cast<uint64_t>(n);
      if (!piece(std::string_view(buffer.data(), static_cast<size_t>(n)))) break;
    }
  }
  trace_.Line("store.read", {name, StorageStatusName(status), std::to_string(got)});
  return status;
}

StorageStatus LinuxStorage::AppendDurably(const std::string& name, uint64_t& at,
                                          std::string_view bytes) {
  const std::string path = PathOf(name);
  const uint64_t asked = at;
  int error = linux_sys::IsReadOnlyFile(path) ? EACCES : 0;
  if (!error && !IsFolder(folder_)) error = linux_sys::MakeFolders(folder_);
  Fd file(error ? -1 : open(path.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0600));
  if (!error && file.get() < 0) error = errno;
  if (!error) error = Share(file.get());
  if (!error) {
    struct stat st = {};
    if (fstat(file.get(), &st) != 0) error = errno;
    const uint64_t start = std::min<uint64_t>(at, static_cast<uint64_t>(st.st_size));
    if (!error && lseek(file.get(), static_cast<off_t>(start), SEEK_SET) < 0) error = errno;
    if (!error) error = linux_sys::WriteAll(file.get(), bytes);
    // Whatever a torn write left after the new end goes.
    if (!error && ftruncate(file.get(), static_cast<off_t>(start + bytes.size())) != 0)
      error = errno;
    if (!error && fdatasync(file.get()) != 0) error = errno;
    if (!error) at = start + bytes.size();
  }
  const StorageStatus status = StatusOf(error);
  trace_.Line("store.append", {name, std::to_string(asked), std::to_string(bytes.size()),
                               StorageStatusName(status)});
  return status;
}

StorageStatus LinuxStorage::ReplaceAtomically(const std::string& name, std::string_view bytes) {
  return Replace(name, bytes.size(), [&](const PieceWriter& write) { return write(bytes); });
}

StorageStatus LinuxStorage::ReplaceInPieces(
    const std::string& name, const std::function<bool(const PieceWriter&)>& produce) {
  return Replace(name, 0, produce);
}

StorageStatus LinuxStorage::Replace(const std::string& name, size_t size,
                                    const std::function<bool(const PieceWriter&)>& produce) {
  const std::string path = PathOf(name), temp = path + ".new";
  int error = IsFolder(folder_) ? 0 : linux_sys::MakeFolders(folder_);
  if (!error && linux_sys::IsReadOnlyFile(path)) error = EACCES;
  // A file another program holds for itself is not replaced under it.
  if (!error) {
    Fd old(open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (old.get() >= 0) error = Share(old.get());
  }
  uint64_t written = 0;
  bool cancelled = false;
  if (!error) {
    Fd file(open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600));
    if (file.get() < 0) error = errno;
    if (!error) {
      const bool whole = produce([&](std::string_view piece) {
        if (!error) error = linux_sys::WriteAll(file.get(), piece);
        if (!error) written += piece.size();
        return !error;
      });
      cancelled = !whole && !error;
    }
    // On the disk before the rename: a crash after it must find the new file whole.
    if (!error && !cancelled && fsync(file.get()) != 0) error = errno;
  }
  if (!error && !cancelled && rename(temp.c_str(), path.c_str()) != 0) error = errno;
  if (error || cancelled) {
    unlink(temp.c_str());
  } else if (Fd dir(open(folder_.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)); dir.get() >= 0) {
    fsync(dir.get());
  }
  const StorageStatus status = cancelled ? StorageStatus::kFailed : StatusOf(error);
  trace_.Line("store.replace",
              {name, std::to_string(size ? size : written), StorageStatusName(status)});
  return status;
}

StorageStatus LinuxStorage::WriteNewFile(const std::string& path, std::string_view bytes) {
  int error = linux_sys::IsReadOnlyFile(path) ? EACCES : 0;
  bool opened = false;
  if (!error) {
    Fd file(open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    opened = file.get() >= 0;
    if (!opened) error = errno;
    if (!error) error = linux_sys::WriteAll(file.get(), bytes);
    if (!error && fsync(file.get()) != 0) error = errno;
  }
  // A half export is no export; a file that could not be opened was never touched.
  if (error && opened) unlink(path.c_str());
  const StorageStatus status = StatusOf(error);
  trace_.Line("store.export", {path, std::to_string(bytes.size()), StorageStatusName(status)});
  return status;
}

}  // namespace unw

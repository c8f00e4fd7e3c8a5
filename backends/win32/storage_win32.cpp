#include "backends/win32/storage_win32.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>

#include <algorithm>

#include "backends/win32/scoped.h"
#include "backends/win32/wide_text.h"

namespace unw {

namespace {

StorageStatus StatusOf(DWORD error) {
  switch (error) {
    case ERROR_SUCCESS:
      return StorageStatus::kOk;
    case ERROR_FILE_NOT_FOUND:
      return StorageStatus::kNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_DRIVE:
      return StorageStatus::kNoFolder;
    case ERROR_DIRECTORY:
      return StorageStatus::kNotAFolder;
    case ERROR_ACCESS_DENIED:
    case ERROR_WRITE_PROTECT:
      return StorageStatus::kReadOnly;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return StorageStatus::kDiskFull;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return StorageStatus::kLocked;
    default:
      return StorageStatus::kFailed;
  }
}

std::string LocalAppDataFolder() {
  PWSTR path = nullptr;
  std::string base;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_LocalAppData, 0, nullptr, &path)) && path)
    base = win32::Utf8(path);
  CoTaskMemFree(path);
  if (base.empty()) {
    // A profile the shell cannot tell about: the environment still may.
    wchar_t env[MAX_PATH * 2] = {};
    const DWORD n = GetEnvironmentVariableW(L"LOCALAPPDATA", env, MAX_PATH * 2);
    if (n > 0 && n < MAX_PATH * 2) base = win32::Utf8(env);
  }
  return base.empty() ? base : base + "\\KORVANTE\\Unwindle";
}

// CreateFileW's handle with an owner; INVALID_HANDLE_VALUE becomes none.
win32::ScopedHandle OpenFile(const std::wstring& path, DWORD access, DWORD share,
                             DWORD disposition) {
  const HANDLE h = CreateFileW(path.c_str(), access, share, nullptr, disposition,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  return win32::ScopedHandle(h == INVALID_HANDLE_VALUE ? nullptr : h);
}

// Writes all of `bytes` at the file's position; the system's error when it cannot.
DWORD WriteAll(HANDLE file, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
    DWORD written = 0;
    if (!WriteFile(file, bytes.data(), chunk, &written, nullptr)) return GetLastError();
    if (written == 0) return ERROR_DISK_FULL;
    bytes.remove_prefix(written);
  }
  return ERROR_SUCCESS;
}

// The read-only attribute, asked first: Windows refuses to write such a file or to rename over
// it, but under Wine run by root the attribute (Unix permissions) stops nothing.
bool IsReadOnlyFile(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
         !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool IsFolder(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

Win32Storage::Win32Storage(Trace& trace, std::string folder)
    : trace_(trace), folder_(folder.empty() ? LocalAppDataFolder() : std::move(folder)) {}

StorageStatus Win32Storage::MakeFolder() {
  if (folder_.empty()) return StorageStatus::kNoFolder;
  const std::wstring path = win32::Wide(folder_);
  // From the top down, past the root ("C:\" or "\\server\share\").
  size_t at = path.find(L'\\');
  if (path.rfind(L"\\\\", 0) == 0) {
    at = path.find(L'\\', 2);
    if (at != std::wstring::npos) at = path.find(L'\\', at + 1);
  }
  while (at != std::wstring::npos) {
    const size_t next = path.find(L'\\', at + 1);
    const std::wstring prefix = path.substr(0, next);
    at = next;
    if (prefix.size() <= 3 && prefix.back() == L':') continue;  // the drive itself
    const DWORD attributes = GetFileAttributesW(prefix.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) {
      if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return StorageStatus::kNotAFolder;
      continue;
    }
    if (!CreateDirectoryW(prefix.c_str(), nullptr) && !IsFolder(prefix))
      return GetLastError() == ERROR_DISK_FULL ? StorageStatus::kDiskFull
                                               : StorageStatus::kNoFolder;
  }
  return StorageStatus::kOk;
}

namespace {

// The data folder's file `name` opened for reading, and why not (or why it is not to be read).
win32::ScopedHandle OpenToRead(const std::string& folder_, const std::string& name,
                               StorageStatus& status) {
  const std::wstring path = win32::Wide(folder_ + "\\" + name);
  status = StorageStatus::kOk;
  // Shared with a writer: the command line reads while the program may be appending.
  win32::ScopedHandle file = OpenFile(
      path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
  if (!file) {
    status = StatusOf(GetLastError());
    // No folder yet is no file yet; a file in the folder's place is another matter.
    if (status == StorageStatus::kNoFolder || status == StorageStatus::kNotAFolder) {
      const DWORD attributes = GetFileAttributesW(win32::Wide(folder_).c_str());
      status = attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY)
                   ? StorageStatus::kNotAFolder
                   : StorageStatus::kNotFound;
    }
    return file;
  }
  LARGE_INTEGER size = {};
  if (!GetFileSizeEx(file, &size)) {
    status = StatusOf(GetLastError());
    if (status == StorageStatus::kOk) status = StorageStatus::kFailed;
  } else if (static_cast<uint64_t>(size.QuadPart) > kLargestRead) {
    status = StorageStatus::kTooLarge;
  }
  return file;
}

}  // namespace

StorageStatus Win32Storage::Read(const std::string& name, std::string& content) {
  StorageStatus status = StorageStatus::kOk;
  win32::ScopedHandle file = OpenToRead(folder_, name, status);
  if (status == StorageStatus::kOk) {
    LARGE_INTEGER size = {};
    GetFileSizeEx(file, &size);
    content.resize(static_cast<size_t>(size.QuadPart));
    size_t got = 0;
    while (got < content.size()) {
      DWORD n = 0;
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(content.size() - got, 1u << 30));
      if (!ReadFile(file, content.data() + got, chunk, &n, nullptr)) {
        status = StatusOf(GetLastError());
        break;
      }
      if (n == 0) break;  // shorter than it was a moment ago
      got += n;
    }
    content.resize(got);
  }
  trace_.Line("store.read", {name, StorageStatusName(status), std::to_string(content.size())});
  return status;
}

StorageStatus Win32Storage::ReadPieces(const std::string& name,
                                       const std::function<bool(std::string_view)>& piece) {
  StorageStatus status = StorageStatus::kOk;
  win32::ScopedHandle file = OpenToRead(folder_, name, status);
  uint64_t got = 0;
  if (status == StorageStatus::kOk) {
    std::string buffer(64 * 1024, '\0');
    // A writer may make it longer meanwhile: no more than the largest file read is read.
    while (got < kLargestRead) {
      DWORD n = 0;
      if (!ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &n, nullptr)) {
        status = StatusOf(GetLastError());
        if (status == StorageStatus::kOk) status = StorageStatus::kFailed;
        break;
      }
      if (n == 0) break;
      got += n;
      if (!piece(std::string_view(buffer.data(), n))) break;
    }
  }
  trace_.Line("store.read", {name, StorageStatusName(status), std::to_string(got)});
  return status;
}

StorageStatus Win32Storage::AppendDurably(const std::string& name, uint64_t& at,
                                          std::string_view bytes) {
  const std::wstring path = win32::Wide(folder_ + "\\" + name);
  const uint64_t asked = at;
  // Readers may share it; nobody else writes while a line goes in.
  win32::ScopedHandle file;
  DWORD error = ERROR_ACCESS_DENIED;
  if (!IsReadOnlyFile(path)) {
    file = OpenFile(path, GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS);
    error = file ? ERROR_SUCCESS : GetLastError();
  }
  StorageStatus status = StatusOf(error);
  if (!file && (status == StorageStatus::kNoFolder || status == StorageStatus::kNotAFolder)) {
    status = MakeFolder();
    if (status == StorageStatus::kOk) {
      file = OpenFile(path, GENERIC_WRITE, FILE_SHARE_READ, OPEN_ALWAYS);
      status = file ? StorageStatus::kOk : StatusOf(GetLastError());
    }
  }
  if (file) {
    LARGE_INTEGER size = {}, start = {};
    error = GetFileSizeEx(file, &size) ? ERROR_SUCCESS : GetLastError();
    start.QuadPart = static_cast<LONGLONG>(std::min<uint64_t>(at, size.QuadPart));
    if (!error && !SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) error = GetLastError();
    if (!error) error = WriteAll(file, bytes);
    // Whatever a torn write left after the new end goes.
    if (!error && !SetEndOfFile(file)) error = GetLastError();
    if (!error && !FlushFileBuffers(file)) error = GetLastError();
    status = StatusOf(error);
    if (status == StorageStatus::kOk) at = static_cast<uint64_t>(start.QuadPart) + bytes.size();
  }
  trace_.Line("store.append", {name, std::to_string(asked), std::to_string(bytes.size()),
                               StorageStatusName(status)});
  return status;
}

StorageStatus Win32Storage::ReplaceAtomically(const std::string& name, std::string_view bytes) {
  return Replace(name, bytes.size(), [&](const PieceWriter& write) { return write(bytes); });
}

StorageStatus Win32Storage::ReplaceInPieces(
    const std::string& name, const std::function<bool(const PieceWriter&)>& produce) {
  return Replace(name, 0, produce);
}

StorageStatus Win32Storage::Replace(const std::string& name, size_t size,
                                    const std::function<bool(const PieceWriter&)>& produce) {
  const std::wstring path = win32::Wide(folder_ + "\\" + name), temp = path + L".new";
  StorageStatus status = MakeFolder();
  if (status == StorageStatus::kOk && IsReadOnlyFile(path)) status = StorageStatus::kReadOnly;
  uint64_t written = 0;
  if (status == StorageStatus::kOk) {
    DWORD error = ERROR_SUCCESS;
    {
      win32::ScopedHandle file = OpenFile(temp, GENERIC_WRITE, 0, CREATE_ALWAYS);
      if (!file) error = GetLastError();
      if (!error) {
        const bool whole = produce([&](std::string_view piece) {
          if (!error) error = WriteAll(file, piece);
          if (!error) written += piece.size();
          return !error;
        });
        if (!whole && !error) error = ERROR_CANCELLED;
      }
      // On the disk before the rename: a crash after it must find the new file whole.
      if (!error && !FlushFileBuffers(file)) error = GetLastError();
    }
    if (!error && !MoveFileExW(temp.c_str(), path.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      error = GetLastError();
    if (error) DeleteFileW(temp.c_str());
    status = StatusOf(error);
  }
  trace_.Line("store.replace",
              {name, std::to_string(size ? size : written), StorageStatusName(status)});
  return status;
}

StorageStatus Win32Storage::WriteNewFile(const std::string& path, std::string_view bytes) {
  const std::wstring wide = win32::Wide(path);
  DWORD error = IsReadOnlyFile(wide) ? ERROR_ACCESS_DENIED : ERROR_SUCCESS;
  bool opened = false;
  if (!error) {
    win32::ScopedHandle file = OpenFile(wide, GENERIC_WRITE, 0, CREATE_ALWAYS);
    opened = file.get() != nullptr;
    if (!file) error = GetLastError();
    if (!error) error = WriteAll(file, bytes);
    if (!error && !FlushFileBuffers(file)) error = GetLastError();
  }
  // A half export is no export; a file that could not be opened was never touched.
  if (error && opened) DeleteFileW(wide.c_str());
  const StorageStatus status = StatusOf(error);
  trace_.Line("store.export", {path, std::to_string(bytes.size()), StorageStatusName(status)});
  return status;
}

}  // namespace unw

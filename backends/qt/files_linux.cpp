#include "backends/qt/files_linux.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace unw::linux_sys {

namespace {

std::string Home() {
  if (const char* home = std::getenv("HOME"); home && *home == '/') return home;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "/";
}

std::string AbsoluteFromEnvironment(const char* name, const std::string& otherwise) {
  const char* value = std::getenv(name);
  return value && *value == '/' ? std::string(value) : otherwise;
}

}  // namespace

std::string ConfigHome() {
  return AbsoluteFromEnvironment("XDG_CONFIG_HOME", Home() + "/.config");
}

std::string DataHome() {
  return AbsoluteFromEnvironment("XDG_DATA_HOME", Home() + "/.local/share");
}

std::string RuntimeDir() {
  const std::string runtime = AbsoluteFromEnvironment("XDG_RUNTIME_DIR", "");
  if (!runtime.empty()) return runtime;
  // No session manager gave one (a bare X session, a container): a folder only the user may
  // enter, which must really be the user's and nobody else's.
  const std::string temp = AbsoluteFromEnvironment("TMPDIR", "/tmp");
  const std::string own = temp + "/unwindle-" + std::to_string(getuid());
  mkdir(own.c_str(), 0700);
  struct stat st = {};
  if (lstat(own.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != getuid() ||
      (st.st_mode & 077) != 0)
    return "";
  return own;
}

std::string FolderOf(const std::string& path) {
  const size_t slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

int MakeFolders(const std::string& folder) {
  struct stat st = {};
  if (stat(folder.c_str(), &st) == 0) return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
  if (errno == ENOTDIR) return ENOTDIR;
  const std::string above = FolderOf(folder);
  if (above != folder && above != ".") {
    if (const int error = MakeFolders(above)) return error;
  }
  if (mkdir(folder.c_str(), 0700) == 0 || errno == EEXIST) {
    if (stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return 0;
    return ENOTDIR;
  }
  return errno;
}

bool IsReadOnlyFile(const std::string& path) {
  struct stat st = {};
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && !(st.st_mode & S_IWUSR);
}

int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return 0;
}

int ReplaceFile(const std::string& path, std::string_view bytes) {
  const std::string temp = path + ".new";
  const int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (fd < 0) return errno;
  int error = WriteAll(fd, bytes);
  // On the disk before the rename: a crash after it must find the new file whole.
  if (!error && fsync(fd) != 0) error = errno;
  if (close(fd) != 0 && !error) error = errno;
  if (!error && rename(temp.c_str(), path.c_str()) != 0) error = errno;
  if (error) {
    unlink(temp.c_str());
    return error;
  }
  // The rename itself is durable once the folder is.
  if (const int dir = open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC); dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return 0;
}

}  // namespace unw::linux_sys

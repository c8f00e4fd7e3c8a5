#include "backends/qt/settings_storage_linux.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "backends/qt/files_linux.h"

namespace unw {

namespace {

constexpr std::string_view kSection = "Unwindle";
// A file larger than this is no settings file of ours: refusing it keeps a corrupt one from
// costing the program its memory.
constexpr off_t kLargestFile = off_t{16} << 20;
// How long a change waits for another process's change to the same file before it goes ahead
// without the lock: a process that hangs holding it must not cost this one its settings.
constexpr int kLockWaitMs = 2000;

SettingStatus StatusOf(int error) {
  switch (error) {
    case 0:
      return SettingStatus::kOk;
    case EACCES:
    case EPERM:
    case EROFS:
      return SettingStatus::kDenied;
    default:
      return SettingStatus::kFailed;
  }
}

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
    s.remove_suffix(1);
  return s;
}

// A name the file can hold on a line of its own: no setting's name is anything else.
bool UsableName(std::string_view name) {
  if (name.empty() || Trim(name) != name) return false;
  if (name.front() == '[' || name.front() == ';' || name.front() == '#') return false;
  for (char c : name)
    if (c == '=' || c == '\n' || c == '\r' || c == '\0') return false;
  return true;
}

// The file's lines and where each setting stands.
struct Lines {
  explicit Lines(const std::string& content) {
    size_t start = 0;
    while (start < content.size()) {
      size_t end = content.find('\n', start);
      if (end == std::string::npos) end = content.size();
      lines.push_back(content.substr(start, end - start));
      start = end + 1;
    }
    bool ours = true;  // lines before any section are taken as ours
    for (size_t i = 0; i < lines.size(); ++i) {
      const std::string_view line = Trim(lines[i]);
      if (line.starts_with('[')) {
        const size_t close = line.find(']');
        ours =
            close != std::string_view::npos && SameName(Trim(line.substr(1, close - 1)), kSection);
        if (ours) sectionAt = i;
        continue;
      }
      if (!ours || line.empty() || line.front() == ';' || line.front() == '#') continue;
      lastOurs = i;
    }
  }
  // The line of the setting `name`, or npos.
  size_t Find(std::string_view name, std::string& value) const {
    bool ours = true;
    for (size_t i = 0; i < lines.size(); ++i) {
      const std::string_view line = Trim(lines[i]);
      if (line.starts_with('[')) {
        const size_t close = line.find(']');
        ours =
            close != std::string_view::npos && SameName(Trim(line.substr(1, close - 1)), kSection);
        continue;
      }
      const size_t eq = line.find('=');
      if (!ours || eq == std::string_view::npos || line.front() == ';' || line.front() == '#')
        continue;
      if (SameName(Trim(line.substr(0, eq)), name)) {
        // Only the leading spaces of the value go here: a trailing one belongs to a quoted text.
        std::string_view rest = std::string_view(lines[i]).substr(lines[i].find('=') + 1);
        while (!rest.empty() && (rest.front() == ' ' || rest.front() == '\t'))
          rest.remove_prefix(1);
        if (!rest.empty() && rest.back() == '\r') rest.remove_suffix(1);
        value = IniText(rest);
        return i;
      }
    }
    return std::string::npos;
  }
  std::string Joined() const {
    std::string out;
    for (const std::string& line : lines) out += line + "\n";
    return out;
  }
  std::vector<std::string> lines;
  size_t sectionAt = std::string::npos, lastOurs = std::string::npos;
};

// The lock file beside the settings file, held exclusively while one process reads, changes and
// replaces the file, so that two programs (two sessions sharing a home, or the program and its
// command line) never write over each other's change. Not had in time, or not to be had at all (a
// read-only folder): the change goes ahead as it would without it.
class ChangeLock {
 public:
  explicit ChangeLock(const std::string& path) {
    linux_sys::MakeFolders(linux_sys::FolderOf(path));
    fd_ = open((path + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd_ < 0) return;
    for (int waited = 0; flock(fd_, LOCK_EX | LOCK_NB) != 0; waited += 5) {
      if ((errno != EWOULDBLOCK && errno != EINTR) || waited >= kLockWaitMs) {
        close(fd_);
        fd_ = -1;
        return;
      }
      const timespec pause = {0, 5 * 1000 * 1000};
      nanosleep(&pause, nullptr);
    }
  }
  ~ChangeLock() {
    if (fd_ >= 0) close(fd_);  // and the lock with it
  }
  ChangeLock(const ChangeLock&) = delete;
  ChangeLock& operator=(const ChangeLock&) = delete;
  bool held() const { return fd_ >= 0; }

 private:
  int fd_ = -1;
};

}  // namespace

std::string IniValue(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\0':
        out += "\\0";
        break;
      default:
        out += c;
    }
  }
  const bool quoted = !out.empty() && (out.front() == ' ' || out.back() == ' ' || out[0] == '"');
  return quoted ? "\"" + out + "\"" : out;
}

std::string IniText(std::string_view value) {
  // A value that a person wrote with spaces after it means none of them.
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') {
    value = value.substr(1, value.size() - 2);
  } else {
    while (!value.empty() && (value.back() == ' ' || value.back() == '\t')) value.remove_suffix(1);
  }
  std::string out;
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    const char next = i + 1 < value.size() ? value[i + 1] : '\0';
    const char* escaped = c != '\\'      ? nullptr
                          : next == '\\' ? "\\"
                          : next == 'n'  ? "\n"
                          : next == 'r'  ? "\r"
                          : next == 't'  ? "\t"
                                         : nullptr;
    if (escaped) {
      out += escaped;
      ++i;
    } else if (c == '\\' && next == '0') {
      out += '\0';
      ++i;
    } else {
      out += c;
    }
  }
  return out;
}

IniSettingsStorage::IniSettingsStorage(Trace& trace, std::string path)
    : trace_(trace),
      path_(path.empty() ? linux_sys::ConfigHome() + "/KORVANTE/Unwindle.ini" : std::move(path)) {}

SettingStatus IniSettingsStorage::Load(std::string& content) {
  content.clear();
  const int fd = open(path_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT || errno == ENOTDIR ? SettingStatus::kOk : StatusOf(errno);
  SettingStatus status = SettingStatus::kOk;
  struct stat st = {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > kLargestFile) {
    status = SettingStatus::kFailed;
  } else {
    content.resize(static_cast<size_t>(st.st_size));
    size_t got = 0;
    while (got < content.size()) {
      const ssize_t n = read(fd, content.data() + got, content.size() - got);
      if (n < 0 && errno == EINTR) continue;
      if (n < 0) status = SettingStatus::kFailed;
      if (n <= 0) break;
      got += static_cast<size_t>(n);
    }
    content.resize(got);
  }
  close(fd);
  return status;
}

SettingStatus IniSettingsStorage::Read(const std::string& name, std::string& text) {
  if (!UsableName(name)) return SettingStatus::kMissing;
  std::string content;
  const SettingStatus status = Load(content);
  if (status != SettingStatus::kOk) return status;
  std::string value;
  if (Lines(content).Find(name, value) == std::string::npos) return SettingStatus::kMissing;
  text = std::move(value);
  return SettingStatus::kOk;
}

SettingStatus IniSettingsStorage::Write(const std::string& name, const std::string& text) {
  return Change(name, &text);
}

SettingStatus IniSettingsStorage::Remove(const std::string& name) {
  return Change(name, nullptr);
}

SettingStatus IniSettingsStorage::Change(const std::string& name, const std::string* text) {
  if (!UsableName(name)) return text ? SettingStatus::kFailed : SettingStatus::kMissing;
  // Something other than a file in the settings file's place is never one (Load says so): no
  // lock file is made beside it.
  struct stat st = {};
  if (stat(path_.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) return SettingStatus::kFailed;
  const ChangeLock lock(path_);
  if (!lock.held()) trace_.Line("reg.lock", {path_, "none"});
  std::string content;
  SettingStatus status = Load(content);
  if (status != SettingStatus::kOk) return status;
  Lines lines(content);
  std::string old;
  const size_t at = lines.Find(name, old);
  if (!text) {
    if (at == std::string::npos) {
      trace_.Line("reg.delete", {path_, name, "missing"});
      return SettingStatus::kMissing;
    }
    lines.lines.erase(lines.lines.begin() + static_cast<std::ptrdiff_t>(at));
  } else {
    const std::string line = name + "=" + IniValue(*text);
    if (at != std::string::npos) {
      // The name keeps the spelling it has in the file.
      const std::string& was = lines.lines[at];
      lines.lines[at] = was.substr(0, was.find('=')) + "=" + IniValue(*text);
    } else if (lines.lastOurs != std::string::npos) {
      lines.lines.insert(lines.lines.begin() + static_cast<std::ptrdiff_t>(lines.lastOurs) + 1,
                         line);
    } else if (lines.sectionAt != std::string::npos) {
      lines.lines.insert(lines.lines.begin() + static_cast<std::ptrdiff_t>(lines.sectionAt) + 1,
                         line);
    } else {
      lines.lines.insert(lines.lines.begin(), {"[" + std::string(kSection) + "]", line});
    }
  }
  int error = linux_sys::IsReadOnlyFile(path_) ? EACCES : 0;
  if (!error) error = linux_sys::MakeFolders(linux_sys::FolderOf(path_));
  if (!error) error = linux_sys::ReplaceFile(path_, lines.Joined());
  status = StatusOf(error);
  if (status == SettingStatus::kOk) {
    if (text)
      trace_.Line("reg.set", {path_, name, "INI", *text});
    else
      trace_.Line("reg.delete", {path_, name, "ok"});
  }
  return status;
}

std::string ProgramPath() {
  std::string path(4096, '\0');
  const ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
  if (n <= 0 || static_cast<size_t>(n) >= path.size()) return "unwindle";
  path.resize(static_cast<size_t>(n));
  return path;
}

std::string AutostartEntry(const std::string& program) {
  // Exec's argument quoted: a space, a quote, a backslash, a dollar or a backquote in the path
  // cannot start anything else.
  std::string exec = "\"";
  for (char c : program) {
    // Two levels: the quoting's backslash, then the entry's own escape of a backslash.
    if (c == '\\')
      exec += "\\\\\\\\";
    else if (c == '"' || c == '`' || c == '$')
      exec += std::string("\\\\") + c;
    else if (c == '%')
      exec += "%%";
    else
      exec += c;
  }
  exec += "\"";
  return "[Desktop Entry]\n"
         "Type=Application\n"
         "Name=Unwindle\n"
         "Exec=" +
         exec +
         "\n"
         "Icon=unwindle\n"
         "Terminal=false\n"
         "X-GNOME-Autostart-enabled=true\n";
}

DesktopStartupLaunch::DesktopStartupLaunch(Trace& trace, std::string entry, std::string program)
    : trace_(trace),
      entry_(entry.empty() ? linux_sys::ConfigHome() + "/autostart/unwindle.desktop"
                           : std::move(entry)),
      program_(program.empty() ? ProgramPath() : std::move(program)) {}

bool DesktopStartupLaunch::TurnOn() {
  int error = linux_sys::MakeFolders(linux_sys::FolderOf(entry_));
  if (!error) error = linux_sys::ReplaceFile(entry_, AutostartEntry(program_));
  trace_.Line("reg.set", {entry_, "Exec", "desktop", error ? "failed" : program_});
  return error == 0;
}

bool DesktopStartupLaunch::TurnOff() {
  const bool gone = unlink(entry_.c_str()) == 0 || errno == ENOENT || errno == ENOTDIR;
  trace_.Line("reg.delete", {entry_, "Exec", gone ? "ok" : "failed"});
  return gone;
}

bool DesktopStartupLaunch::IsOn() {
  // An entry the user (or a desktop's settings) switched off with Hidden=true does not start.
  const int fd = open(entry_.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  std::string content(8192, '\0');
  const ssize_t n = read(fd, content.data(), content.size());
  close(fd);
  content.resize(n > 0 ? static_cast<size_t>(n) : 0);
  for (std::string_view hidden : {"\nHidden=true", "\nX-GNOME-Autostart-enabled=false"})
    if (content.find(hidden) != std::string::npos) return false;
  return content.starts_with("[Desktop Entry]");
}

}  // namespace unw

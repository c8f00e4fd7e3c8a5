#include "backends/qt/busy_signs_linux.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <functional>
#include <sstream>

namespace unw::linux_sys {

namespace {

bool IsNumber(const char* s) {
  if (!*s) return false;
  for (; *s; ++s)
    if (*s < '0' || *s > '9') return false;
  return true;
}

// Calls `each` with the names in `folder` (not "." and ".."); false when it cannot be read.
bool ForEachIn(const std::string& folder, const std::function<bool(const char*)>& each) {
  DIR* dir = opendir(folder.c_str());
  if (!dir) return false;
  bool go = true;
  while (go) {
    const dirent* entry = readdir(dir);
    if (!entry) break;
    if (entry->d_name[0] == '.' &&
        (!entry->d_name[1] || (entry->d_name[1] == '.' && !entry->d_name[2])))
      continue;
    go = each(entry->d_name);
  }
  closedir(dir);
  return true;
}

std::string LinkOf(const std::string& path) {
  char target[4096];
  const ssize_t n = readlink(path.c_str(), target, sizeof target - 1);
  return n > 0 ? std::string(target, static_cast<size_t>(n)) : "";
}

std::string BaseName(std::string path) {
  const std::string deleted = " (deleted)";  // a program replaced on the disk while it runs
  if (path.ends_with(deleted)) path.resize(path.size() - deleted.size());
  return path.substr(path.find_last_of('/') + 1);
}

std::string FileContent(const std::string& path, size_t most) {
  std::ifstream in(path, std::ios::binary);
  std::string content(most, '\0');
  in.read(content.data(), static_cast<std::streamsize>(most));
  content.resize(static_cast<size_t>(in.gcount()));
  return content;
}

}  // namespace

std::vector<std::string> RunningPrograms(const std::string& procRoot) {
  std::vector<std::string> names;
  const uid_t me = getuid();
  ForEachIn(procRoot, [&](const char* pid) {
    if (!IsNumber(pid)) return true;
    const std::string dir = procRoot + "/" + pid;
    struct stat st = {};
    if (stat(dir.c_str(), &st) != 0 || st.st_uid != me) return true;
    std::string name = BaseName(LinkOf(dir + "/exe"));
    if (name.empty()) {
      // Not ours to look into (or a kernel thread): the name it was started by.
      const std::string cmdline = FileContent(dir + "/cmdline", 4096);
      name = BaseName(cmdline.substr(0, cmdline.find('\0')));
    }
    if (!name.empty() && std::find(names.begin(), names.end(), name) == names.end())
      names.push_back(name);
    return true;
  });
  return names;
}

bool OtherProcessHolds(const std::string& prefix, const std::string& procRoot) {
  const std::string self = std::to_string(getpid());
  bool held = false;
  ForEachIn(procRoot, [&](const char* pid) {
    if (!IsNumber(pid) || pid == self) return true;
    const std::string fds = procRoot + "/" + pid + "/fd";
    ForEachIn(fds, [&](const char* fd) {
      held = LinkOf(fds + "/" + fd).starts_with(prefix);
      return !held;
    });
    return !held;
  });
  return held;
}

bool CaptureRunning(const std::string& asoundRoot) {
  bool running = false;
  ForEachIn(asoundRoot, [&](const char* card) {
    if (std::string_view(card).substr(0, 4) != "card") return true;
    const std::string cardDir = asoundRoot + "/" + card;
    ForEachIn(cardDir, [&](const char* pcm) {
      const std::string_view name(pcm);
      if (!name.starts_with("pcm") || !name.ends_with("c")) return true;
      const std::string pcmDir = cardDir + "/" + pcm;
      ForEachIn(pcmDir, [&](const char* sub) {
        if (!std::string_view(sub).starts_with("sub")) return true;
        running = FileContent(pcmDir + "/" + sub + "/status", 256).starts_with("state: RUNNING");
        return !running;
      });
      return !running;
    });
    return !running;
  });
  return running;
}

}  // namespace unw::linux_sys

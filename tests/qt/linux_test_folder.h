// A folder of a test's own under the temporary folder, gone with everything in it when the test
// ends, and the XDG variables pointed into it for as long.
#pragma once

#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace unw {

class TestFolder {
 public:
  TestFolder() {
    std::string pattern = std::filesystem::temp_directory_path().string() + "/unwindle-test-XXXXXX";
    root_ = mkdtemp(pattern.data()) ? pattern : "";
  }
  ~TestFolder() {
    std::error_code ignored;
    // Read-only files and folders too.
    for (auto it = std::filesystem::recursive_directory_iterator(root_, ignored);
         it != std::filesystem::recursive_directory_iterator(); it.increment(ignored))
      std::filesystem::permissions(it->path(), std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(root_, ignored);
  }
  TestFolder(const TestFolder&) = delete;
  TestFolder& operator=(const TestFolder&) = delete;
  const std::string& root() const { return root_; }

  // Points XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_RUNTIME_DIR into this folder.
  void UseForXdg() const {
    for (const char* name : {"config", "data", "runtime"})
      std::filesystem::create_directories(root_ + "/" + name);
    setenv("XDG_CONFIG_HOME", (root_ + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (root_ + "/data").c_str(), 1);
    setenv("XDG_RUNTIME_DIR", (root_ + "/runtime").c_str(), 1);
  }

  static std::string Content(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return "(none)";
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static void Place(const std::string& path, const std::string& content) {
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
  }

 private:
  std::string root_;
};

}  // namespace unw

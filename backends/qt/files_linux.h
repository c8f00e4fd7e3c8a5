// Where the program keeps its things on a Linux desktop (the XDG base directories) and the few
// file operations every service there shares: folders made on demand, a file replaced so that a
// crash leaves either the old one or the new one, and the advisory locks other programs can see.
#pragma once

#include <string>
#include <string_view>

namespace unw::linux_sys {

// $XDG_CONFIG_HOME, else ~/.config; $XDG_DATA_HOME, else ~/.local/share. A relative path in the
// variable is ignored, as the base directory rules say.
std::string ConfigHome();
std::string DataHome();
// $XDG_RUNTIME_DIR (a folder of the user's own, gone at sign-out), else a folder of the user's own
// in the temporary folder, made with no access for others. Empty when neither can be had.
std::string RuntimeDir();

// Makes `folder` and every folder above it that is missing: 0 or the errno of the first refusal
// (ENOTDIR when a file stands in the way).
int MakeFolders(const std::string& folder);
// The folder part of `path` ("." for a bare name).
std::string FolderOf(const std::string& path);

// Whether `path` is a file whose owner may not write it (chmod a-w). Such a file is read-only for
// the program even when it runs as root, as a read-only file on Windows is for everybody.
bool IsReadOnlyFile(const std::string& path);

// Writes `bytes` to `path` + ".new" (one left by a crash is written over), flushes it, renames it
// over `path` and flushes the folder: 0 or the errno of what failed (the temporary file is gone
// then, the old file as it was).
int ReplaceFile(const std::string& path, std::string_view bytes);

// Writes all of `bytes` to `fd`: 0 or errno.
int WriteAll(int fd, std::string_view bytes);

}  // namespace unw::linux_sys

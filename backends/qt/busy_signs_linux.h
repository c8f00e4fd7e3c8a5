// What /proc and ALSA tell of the user's programs on Linux: which run (by their file names, case
// as Linux has it), whether another program holds the camera (a /dev/video* device open), and
// whether a sound card records (a capture stream running). Each reads the folders it is given, so
// that tests can plant their own.
#pragma once

#include <string>
#include <vector>

namespace unw::linux_sys {

// The file names of the user's running programs (the program file each runs, else the name it
// was started by), each once, in /proc's order.
std::vector<std::string> RunningPrograms(const std::string& procRoot = "/proc");
// Whether a process other than this one has a file open whose path starts with `prefix`.
bool OtherProcessHolds(const std::string& prefix, const std::string& procRoot = "/proc");
// Whether a sound card records now: a capture substream whose status says RUNNING.
bool CaptureRunning(const std::string& asoundRoot = "/proc/asound");

}  // namespace unw::linux_sys

// Names and addresses the program shows.
#pragma once

namespace unw {

inline constexpr const char* kCompanyName = "KORVANTE";
inline constexpr const char* kProductName = "Unwindle";
inline constexpr const char* kMainCaption = "KORVANTE Unwindle";
// The maker's web address, shown in the tray tooltip and the about box.
inline constexpr const char* kMakerUrl = "https://korvante.example/unwindle";
// The build passes the project's version (CMakeLists.txt, the one place it is set); the about box
// shows these only when the executable's version resource cannot be read.
inline constexpr int kVersionMajor = UNWINDLE_VERSION_MAJOR;
inline constexpr int kVersionMinor = UNWINDLE_VERSION_MINOR;

}  // namespace unw

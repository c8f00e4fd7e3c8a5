// Names and addresses the program shows.
#pragma once

namespace unw {

inline constexpr const char* kCompanyName = "KORVANTE";
inline constexpr const char* kProductName = "Unwindle";
inline constexpr const char* kMainCaption = "KORVANTE Unwindle";
// The maker's web address, shown in the tray tooltip and the about box.
inline constexpr const char* kMakerUrl = "https://korvante.example/unwindle";
inline constexpr int kVersionMajor = 1;
inline constexpr int kVersionMinor = 0;

}  // namespace unw

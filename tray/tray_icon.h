// The notification-area icon: adding, changing and removing it, and the
// picture and tooltip it shows.
#pragma once

#include <cstdint>
#include <string>

namespace unw {

class App;

// Adds the icon owned by `hwnd` with `icon` and the tooltip `tip`.
void AddTrayIcon(App& app, std::uintptr_t hwnd, std::uintptr_t icon, const std::string& tip);
// Sends the whole tray record as a modification.
void ModifyTrayIcon(App& app);
// Removes the icon owned by `hwnd`.
void RemoveTrayIcon(App& app, std::uintptr_t hwnd);
// Advances the animation, stores `text` as the tooltip and publishes the record.
void RefreshTrayIcon(App& app, const std::string& text);
// Picture handle of the current icon; mode 2 is the current frame.
std::uintptr_t GetTrayIconPicture(App& app, int mode);

}  // namespace unw

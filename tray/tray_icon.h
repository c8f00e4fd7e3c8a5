// The notification-area icon: the shared record and the shell calls that
// add, change and remove it, balloons, and the callback dispatch.
#pragma once

#include <cstdint>
#include <string>

namespace unw {

class App;

inline constexpr uint32_t kTrayCallbackMessage = 0x401;
// Mouse and balloon events in the callback's lParam.
inline constexpr std::intptr_t kWmLButtonUp = 0x202;
inline constexpr std::intptr_t kWmLButtonDblClk = 0x203;
inline constexpr std::intptr_t kWmRButtonUp = 0x205;
inline constexpr std::intptr_t kWmRButtonDblClk = 0x206;
inline constexpr std::intptr_t kNinBalloonTimeout = 0x404;
inline constexpr std::intptr_t kNinBalloonUserClick = 0x405;

// Balloon icons.
inline constexpr uint32_t kNiifNone = 0;
inline constexpr uint32_t kNiifInfo = 1;
inline constexpr uint32_t kNiifWarning = 2;
inline constexpr uint32_t kNiifError = 3;

// Adds the icon owned by `hwnd` with `icon` and the tooltip `tip`, and hooks the window.
void AddTrayIcon(App& app, std::uintptr_t hwnd, std::uintptr_t icon, const std::string& tip);
// Removes the icon owned by `hwnd` and unhooks the window.
void RemoveTrayIcon(App& app, std::uintptr_t hwnd);
// Sends the whole tray record as a modification.
void ModifyTrayIcon(App& app);
// Shows a balloon notice and starts the balloon timer.
void ShowBalloonTip(App& app, std::uintptr_t hwnd, uint32_t infoFlags, const std::string& title,
                    const std::string& text);
// Ends the balloon state and puts `icon` and `tip` back.
void ClearBalloonTip(App& app, std::uintptr_t hwnd, std::uintptr_t icon, const std::string& tip);
// Whether the shell library's major version is at least `major`.
bool ShellVersionAtLeast(App& app, int16_t major);
// Chooses the record size the shell understands, once per run.
void SelectTrayRecordSize(App& app);
// The user's system-wide switch for balloon notices.
bool BalloonTipsAllowedBySystem(App& app);
// Every message of the main window passes here first.
std::intptr_t TrayWindowProc(App& app, std::uintptr_t hwnd, uint32_t msg, std::uintptr_t wParam,
                             std::intptr_t lParam);

// Record sizes of the three layouts the shell knows, for this build's pointer size.
inline constexpr uint32_t kTrayRecordSizeFull = sizeof(void*) == 8 ? 520 : 504;
inline constexpr uint32_t kTrayRecordSizeV2 = sizeof(void*) == 8 ? 504 : 488;
inline constexpr uint32_t kTrayRecordSizeV1 = sizeof(void*) == 8 ? 104 : 88;

}  // namespace unw

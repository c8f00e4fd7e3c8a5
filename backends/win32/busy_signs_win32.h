// What Windows tells of a user who must not be disturbed: a camera or microphone in use (the
// per-user consent store of the capability access manager), Focus Assist or Do Not Disturb (the
// shell's notification state, read as the well-known peers read it), and the programs running in
// the user's session.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "backends/win32/scoped.h"

namespace unw::win32 {

// Where Windows records, per device, which program used it when.
inline constexpr wchar_t kConsentStore[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\CapabilityAccessManager\\ConsentStore";

// Whether the camera or the microphone is in use. The two devices' keys are watched with change
// notifications: a look while nothing changed costs one wait test, and only a change reads the
// records again. A device whose key is missing is not in use (its key is looked for again at the
// next look).
class CallWatch {
 public:
  // FILETIMEs: 100-nanosecond steps since 1601, UTC.
  using Clock = uint64_t (*)();
  // A record that began longer ago than this without a stop is left over (a crash, a device
  // pulled): it holds nothing.
  static constexpr uint64_t kStaleAfter = 12ULL * 3600 * 10000000;

  // `store` below HKEY_CURRENT_USER holds the keys "webcam" and "microphone"; `now` tells the
  // time and `sessionStart` when this logon session began (0: when the machine started).
  explicit CallWatch(std::wstring store = kConsentStore, Clock now = SystemNow,
                     uint64_t sessionStart = 0);
  CallWatch(const CallWatch&) = delete;
  CallWatch& operator=(const CallWatch&) = delete;

  bool InUse();
  // How often the records were read: what the looks cost.
  int reads() const { return reads_; }

  // One program's record: in use since `start` with no stop (a stop of 0). A start of 0 never
  // began, one after `now` cannot be; one before `sessionStart`, or more than kStaleAfter before
  // `now`, is stale.
  static bool RecordSaysInUse(uint64_t start, uint64_t stop, uint64_t now, uint64_t sessionStart);
  // The time now, and when the logon session of this process began (where the system cannot
  // tell, when the machine started).
  static uint64_t SystemNow();
  static uint64_t LogonSessionStart();

 private:
  struct Device {
    const wchar_t* name;
    ScopedKey key;
    ScopedHandle changed;  // signalled by the watch on the key and everything below it
    bool watched = false;
    bool inUse = false;
    uint64_t staleAt = 0;  // when the first record that holds it now turns stale
  };
  bool InUse(Device& d);
  // Every record below the device's key: one per packaged app, and below "NonPackaged" one per
  // program path.
  bool AnyRecordInUse(HKEY device, bool descend, uint64_t now, uint64_t& staleAt);

  std::wstring store_;
  Clock now_;
  uint64_t sessionStart_;
  Device devices_[2] = {{L"webcam", {}, {}}, {L"microphone", {}, {}}};
  int reads_ = 0;
};

// What the shell's notification state says: a full-screen program (busy, a Direct3D program,
// presentation mode), the quiet time of the first hour after a first logon (as quiet as Do Not
// Disturb, and no full-screen program), or nothing.
enum class ShellState { kFree, kFullScreen, kQuiet };
ShellState ShellStateOf(int notificationState);
// The shell's state now (SHQueryUserNotificationState); kFree when it cannot tell.
ShellState CurrentShellState();

// Focus Assist ("priority only", "alarms only"), Do Not Disturb, or the shell's quiet time. The
// system documents no way to read it: the shell's quiet-hours state is read through ntdll, looked
// up at run time; anything that fails means "off".
class QuietHours {
 public:
  QuietHours();
  bool On() const;

 private:
  using QueryState = LONG(NTAPI*)(const void* name, const void* type, const void* scope,
                                  ULONG* stamp, void* buffer, ULONG* size);
  QueryState query_ = nullptr;
};

// The file names of the programs running in the user's session, as the system spells them (a name
// once for each process).
std::vector<std::wstring> SessionProgramNames();
// The first of `names` (UTF-8) that one of `running` is, compared as Windows compares file names
// (without regard to case); empty when none is.
std::string FirstOf(const std::vector<std::string>& names,
                    const std::vector<std::wstring>& running);
// `running` each once, as UTF-8.
std::vector<std::string> EachOnce(const std::vector<std::wstring>& running);

}  // namespace unw::win32

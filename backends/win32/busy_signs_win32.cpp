#include "backends/win32/busy_signs_win32.h"

#include <ntsecapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include "backends/win32/wide_text.h"

namespace unw::win32 {

namespace {

// A REG_QWORD of exactly eight bytes; anything else is no value.
bool ReadQword(HKEY key, const wchar_t* name, uint64_t& value) {
  DWORD type = 0, size = sizeof value;
  return RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
             ERROR_SUCCESS &&
         type == REG_QWORD && size == sizeof value;
}

bool Same(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), static_cast<int>(a.size()), b.c_str(),
                              static_cast<int>(b.size()), TRUE) == CSTR_EQUAL;
}

}  // namespace

CallWatch::CallWatch(std::wstring store, Clock now, uint64_t sessionStart)
    : store_(std::move(store)),
      now_(now),
      sessionStart_(sessionStart ? sessionStart : LogonSessionStart()) {}

bool CallWatch::RecordSaysInUse(uint64_t start, uint64_t stop, uint64_t now,
                                uint64_t sessionStart) {
  // A device in use has no stop; a stop of any time, or a start still to come, is no use now.
  if (start == 0 || stop != 0 || start > now) return false;
  // Left over from before this logon, or from long ago: no call lasts that long unnoticed.
  return start >= sessionStart && now - start <= kStaleAfter;
}

uint64_t CallWatch::SystemNow() {
  FILETIME ft = {};
  GetSystemTimeAsFileTime(&ft);
  return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

uint64_t CallWatch::LogonSessionStart() {
  HANDLE token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
    const ScopedHandle owned(token);
    TOKEN_STATISTICS stats = {};
    DWORD size = 0;
    PSECURITY_LOGON_SESSION_DATA data = nullptr;
    if (GetTokenInformation(token, TokenStatistics, &stats, sizeof stats, &size) &&
        LsaGetLogonSessionData(&stats.AuthenticationId, &data) == 0 && data) {
      const auto logon = static_cast<uint64_t>(data->LogonTime.QuadPart);
      LsaFreeReturnBuffer(data);
      if (logon != 0 && logon <= SystemNow()) return logon;
    }
  }
  // No logon began before the machine did.
  return SystemNow() - GetTickCount64() * 10000;
}

bool CallWatch::InUse() {
  bool any = false;
  // Both are looked at, so that each keeps its watch armed.
  for (Device& d : devices_) any |= InUse(d);
  return any;
}

bool CallWatch::InUse(Device& d) {
  if (!d.key) {
    HKEY key = nullptr;
    const std::wstring path = store_ + L"\\" + d.name;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ | KEY_NOTIFY, &key) !=
        ERROR_SUCCESS)
      return d.inUse = false;
    d.key.reset(key);
    d.watched = false;
    if (!d.changed) d.changed.reset(CreateEventW(nullptr, FALSE, FALSE, nullptr));
  }
  const uint64_t now = now_();
  // Nothing changed, unless a record that holds it has turned stale since.
  if (d.watched && WaitForSingleObject(d.changed, 0) == WAIT_TIMEOUT &&
      !(d.inUse && now >= d.staleAt))
    return d.inUse;
  // Armed again before reading, so that a change made while the records are read is not missed.
  // A key deleted meanwhile cannot be watched: it is opened afresh at the next look.
  d.watched = d.changed && RegNotifyChangeKeyValue(
                               d.key, TRUE, REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_LAST_SET,
                               d.changed, TRUE) == ERROR_SUCCESS;
  ++reads_;
  d.staleAt = UINT64_MAX;
  d.inUse = AnyRecordInUse(d.key, true, now, d.staleAt);
  if (!d.watched) d.key.reset();
  return d.inUse;
}

bool CallWatch::AnyRecordInUse(HKEY device, bool descend, uint64_t now, uint64_t& staleAt) {
  // Every record, however many: a camera in use may be the last of thousands.
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];  // the longest key name the registry allows, and its NUL
    DWORD length = 256;
    const LONG rc = RegEnumKeyExW(device, i, name, &length, nullptr, nullptr, nullptr, nullptr);
    if (rc == ERROR_MORE_DATA) continue;
    // The end, or a key deleted while it is read (its next look reads it afresh).
    if (rc != ERROR_SUCCESS) break;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(device, name, 0, KEY_READ, &opened) != ERROR_SUCCESS) continue;
    const ScopedKey record(opened);
    uint64_t start = 0, stop = 0;
    if (ReadQword(record, L"LastUsedTimeStart", start) &&
        ReadQword(record, L"LastUsedTimeStop", stop) &&
        RecordSaysInUse(start, stop, now, sessionStart_)) {
      staleAt = start + kStaleAfter + 1;
      return true;
    }
    // Programs that are no packaged apps have their records one level down, named by path.
    if (descend && Same(name, L"NonPackaged") && AnyRecordInUse(record, false, now, staleAt))
      return true;
  }
  return false;
}

QuietHours::QuietHours() {
  if (HMODULE ntdll = GetModuleHandleW(L"ntdll.dll"))
    query_ = reinterpret_cast<QueryState>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "NtQueryWnfStateData")));
}

ShellState ShellStateOf(int notificationState) {
  switch (notificationState) {
    case QUNS_BUSY:
    case QUNS_RUNNING_D3D_FULL_SCREEN:
    case QUNS_PRESENTATION_MODE:
      return ShellState::kFullScreen;
    case QUNS_QUIET_TIME:
      return ShellState::kQuiet;
    default:
      return ShellState::kFree;
  }
}

ShellState CurrentShellState() {
  QUERY_USER_NOTIFICATION_STATE state = QUNS_ACCEPTS_NOTIFICATIONS;
  if (FAILED(SHQueryUserNotificationState(&state))) return ShellState::kFree;
  return ShellStateOf(state);
}

bool QuietHours::On() const {
  if (CurrentShellState() == ShellState::kQuiet) return true;
  if (!query_) return false;
  // WNF_SHEL_QUIETHOURS_ACTIVE_PROFILE_CHANGED: 0 off, 1 priority only, 2 alarms only (Windows 11
  // keeps Do Not Disturb there too).
  const ULONG name[2] = {0xA3BF1C75, 0x0D83063E};
  ULONG stamp = 0, size = sizeof(DWORD);
  DWORD state = 0;
  const LONG status = query_(name, nullptr, nullptr, &stamp, &state, &size);
  return status >= 0 && size == sizeof state && (state == 1 || state == 2);
}

std::vector<std::wstring> SessionProgramNames() {
  std::vector<std::wstring> names;
  DWORD session = 0;
  // Where the session cannot be told, every program counts.
  const bool ownSession = ProcessIdToSessionId(GetCurrentProcessId(), &session) != FALSE;
  HANDLE taken = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (taken == INVALID_HANDLE_VALUE) return names;
  const ScopedHandle snapshot(taken);
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot, &entry); more;
       more = Process32NextW(snapshot, &entry)) {
    DWORD theirs = 0;
    if (ownSession && (!ProcessIdToSessionId(entry.th32ProcessID, &theirs) || theirs != session))
      continue;
    names.emplace_back(entry.szExeFile);
  }
  return names;
}

std::string FirstOf(const std::vector<std::string>& names,
                    const std::vector<std::wstring>& running) {
  for (const std::string& name : names) {
    const std::wstring wide = Wide(name);
    for (const std::wstring& program : running) {
      if (Same(wide, program)) return name;
    }
  }
  return {};
}

std::vector<std::string> EachOnce(const std::vector<std::wstring>& running) {
  std::vector<std::wstring> once;
  for (const std::wstring& program : running) {
    bool seen = false;
    for (const std::wstring& o : once) seen = seen || Same(o, program);
    if (!seen) once.push_back(program);
  }
  std::vector<std::string> out;
  for (const std::wstring& program : once) out.push_back(Utf8(program));
  return out;
}

}  // namespace unw::win32

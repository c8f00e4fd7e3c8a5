// End-to-end checks of the alerts that stay out of meetings: records of the camera and the
// microphone planted in the consent store where Windows keeps them, a program of the test suite's
// own named in HoldForPrograms, and the dialog that names it.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "session.h"

namespace e2e {

inline constexpr wchar_t kConsentStore[] =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\CapabilityAccessManager\\ConsentStore";
inline constexpr const char* kCallTip =
    "KORVANTE Unwindle \r\nA break is due; it waits until your call ends.";
inline constexpr const char* kMeetingProgram = "unwindle_e2e_meeting.exe";

// A device's record of one program, as Windows writes it: when it last started and stopped using
// the device (FILETIMEs; a stop of 0: not yet).
inline Action UsedBy(const std::wstring& record, uint64_t start, uint64_t stop) {
  return [=](Session& s) {
    const std::wstring key = std::wstring(kConsentStore) + L"\\" + record;
    bool ok = true;
    for (const auto& [name, value] :
         {std::pair{L"LastUsedTimeStart", start}, std::pair{L"LastUsedTimeStop", stop}})
      ok &= RegSetKeyValueW(HKEY_CURRENT_USER, key.c_str(), name, REG_QWORD, &value,
                            sizeof value) == ERROR_SUCCESS;
    s.error = "cannot write the record HKCU\\...\\ConsentStore\\" +
              std::string(record.begin(), record.end());
    return ok;
  };
}

inline std::vector<std::string> ListEntries(HWND list) {
  std::vector<std::string> out;
  DWORD_PTR count = 0;
  if (!list || !SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_ABORTIFHUNG, 2000, &count))
    return out;
  for (WPARAM i = 0; i < count && i < 200; ++i) {
    wchar_t text[300] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(list, LB_GETTEXTLEN, i, 0, SMTO_ABORTIFHUNG, 2000, &length) ||
        length >= 300 ||
        !SendMessageTimeoutW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG,
                             2000, &length))
      break;
    char utf8[900] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    out.emplace_back(utf8);
  }
  return out;
}

inline std::string Joined(const std::vector<std::string>& entries) {
  std::string out;
  for (const auto& e : entries) out += (out.empty() ? "" : ", ") + Quote(e);
  return "[" + out + "]";
}

// The list box shows these entries (`all`), or at least `want` among them.
inline Expect Lists(const std::string& form, const std::string& list, std::vector<std::string> want,
                    bool all = true) {
  return [=](Session& s) {
    const std::vector<std::string> shown = ListEntries(s.Ctl(form, list));
    bool ok = !all || shown.size() == want.size();
    for (const auto& w : want) ok &= std::find(shown.begin(), shown.end(), w) != shown.end();
    return ok ? ""
              : Expected(form + "." + list, Joined(shown), (all ? "" : "with ") + Joined(want));
  };
}

// The user clicks the entry `text` of a list box.
inline Action PickEntry(const std::string& form, const std::string& list, const std::string& text) {
  return [=](Session& s) {
    HWND box = s.Ctl(form, list);
    const std::vector<std::string> shown = ListEntries(box);
    const auto at = std::find(shown.begin(), shown.end(), text);
    s.error = form + "." + list + " has no entry " + Quote(text) + ": " + Joined(shown);
    if (at == shown.end()) return false;
    DWORD_PTR done = 0;
    return SendMessageTimeoutW(box, LB_SETCURSEL, at - shown.begin(), 0, SMTO_ABORTIFHUNG, 2000,
                               &done) &&
           SendMessageTimeoutW(s.Form(form), WM_COMMAND,
                               MAKEWPARAM(GetDlgCtrlID(box), LBN_SELCHANGE),
                               reinterpret_cast<LPARAM>(box), SMTO_ABORTIFHUNG, 2000, &done);
  };
}

// A camera, then a microphone in use hold the prompt, and the reminder after Remind Later; each
// record's stop brings it within two seconds.
inline void HoldForCalls(Report& r, const Options& o) {
  // Now: a record without a stop from before the logon, or half a day old, holds nothing.
  FILETIME now = {};
  GetSystemTimeAsFileTime(&now);
  const uint64_t t = (static_cast<uint64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  const std::wstring camera = L"webcam\\NonPackaged\\C:#Meetings#call.exe";
  const std::wstring microphone = L"microphone\\Meetings.Call_8wekyb3d8bbwe";
  const std::vector<Step> steps = {
      {"",
       Then({UsedBy(camera, t, 0),
             Start(o.exe, Settings("Hours=0 Minutes=0 Seconds=5 SnoozeMinutes=0 "
                                   "SnoozeSeconds=4 StartTimerOnLaunch=1"))}),
       All({Traced("aware.held", {"call"}), TipReads(kCallTip)}), 12000},
      {"hold.camera_holds_the_prompt",
       All({Visible("frmUnwindle", false), Traced("sound.play", {}, 0, true), TipReads(kCallTip)}),
       2000, true},
      {"hold.camera_off_prompt_within_two_seconds", UsedBy(camera, t, t + 100),
       Visible("frmUnwindle"), 2000},
      {"", Press("frmUnwindle", "cmdRemindLater"), Visible("frmUnwindle", false)},
      // In use: started, and no stop since (a stop before the start would say nothing of now).
      {"", UsedBy(microphone, t + 200, 0),
       All({Traced("aware.held", {"call"}, 2), TipReads(kCallTip)}), 10000},
      {"hold.microphone_holds_the_reminder",
       All({Visible("frmUnwindle", false), TipReads(kCallTip)}), 2000, true},
      {"hold.microphone_off_prompt_within_two_seconds", UsedBy(microphone, t + 200, t + 300),
       Visible("frmUnwindle"), 2000},
      {"", Press("frmUnwindle", "cmdStopTimer"), Visible("frmUnwindle", false)},
  };
  RunSteps(r, o, "hold_calls", std::nullopt, steps);
  for (const std::wstring& record : {camera, microphone})
    RegDeleteTreeW(HKEY_CURRENT_USER, (std::wstring(kConsentStore) + L"\\" + record).c_str());
}

// The dialog names the test suite's stand-in program (picked from the running programs) after
// refusing a path, adding a typed name and removing one; stored, the name holds the prompt until
// the stand-in ends.
inline void HoldForPrograms(Report& r, const Options& o) {
  char self[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string standIn = self;
  standIn = standIn.substr(0, standIn.rfind('\\') + 1) + kMeetingProgram;
  auto meeting = std::make_shared<Process>();
  const std::string held = std::string("KORVANTE Unwindle \r\nA break is due; it waits until ") +
                           kMeetingProgram + " ends.";
  const std::string dialog = "frmHoldPrograms";
  const std::vector<Step> steps = {
      {"hold.stand_in_runs",
       [=](Session& s) { return meeting->Start("\"" + standIn + "\"", "", &s.error); }},
      {"", Start(o.exe, Settings("Hours=0 Minutes=0 Seconds=5 StartTimerOnLaunch=0",
                                 {{"HoldForPrograms", "POWERPNT.EXE"}}))},
      {"hold.dialog_opens_with_the_stored_names", Menu("mnuHoldForPrograms", true),
       All({Visible(dialog), Lists(dialog, "lstPrograms", {"POWERPNT.EXE"})}), 5000},
      {"hold.dialog_refuses_a_path",
       Then({Shot(dialog, "hold-programs"), Type(dialog, "txtProgram", "C:\\Tools\\zoom.exe"),
             PressLater(dialog, "cmdAdd")}),
       Asks("\"C:\\Tools\\zoom.exe\" names a folder or a drive.", true), 5000},
      {"", Answer(IDOK), Lists(dialog, "lstPrograms", {"POWERPNT.EXE"})},
      {"hold.dialog_adds_a_typed_name",
       Then({Type(dialog, "txtProgram", "obs64"), Press(dialog, "cmdAdd")}),
       Lists(dialog, "lstPrograms", {"POWERPNT.EXE", "obs64.exe"})},
      {"hold.dialog_lists_the_running_programs", PressLater(dialog, "cmdRunning"),
       Lists("frmRunningPrograms", "lstRunning", {kMeetingProgram, "unwindle.exe"}, false), 5000},
      {"hold.dialog_adds_a_running_program",
       Then({Shot("frmRunningPrograms", "running-programs"),
             PickEntry("frmRunningPrograms", "lstRunning", kMeetingProgram),
             Press("frmRunningPrograms", "cmdOK")}),
       Lists(dialog, "lstPrograms", {"POWERPNT.EXE", "obs64.exe", kMeetingProgram})},
      {"hold.dialog_removes_a_name",
       Then({PickEntry(dialog, "lstPrograms", "POWERPNT.EXE"), Press(dialog, "cmdRemove")}),
       Lists(dialog, "lstPrograms", {"obs64.exe", kMeetingProgram})},
      {"hold.dialog_stores_the_names", Press(dialog, "cmdSave"),
       All({Visible(dialog, false),
            Stored("HoldForPrograms", std::string("obs64.exe;") + kMeetingProgram)})},
      {"", Press("frmTimer", "cmdStart"),
       All({Traced("aware.held", {"program", kMeetingProgram}), TipReads(held)}), 12000},
      {"hold.program_holds_the_prompt",
       All({Visible("frmUnwindle", false), Traced("sound.play", {}, 0, true), TipReads(held)}),
       2000, true},
      {"hold.program_end_prompt_within_two_seconds",
       [=](Session&) {
         meeting->Kill();
         return true;
       },
       Visible("frmUnwindle"), 2000},
      {"", Press("frmUnwindle", "cmdStopTimer"), Visible("frmUnwindle", false)},
  };
  RunSteps(r, o, "hold_programs", std::nullopt, steps);
  meeting->Kill();
}

}  // namespace e2e

#!/usr/bin/env bash
# End-to-end checks of the native Linux program under a private Xvfb and session bus: it finds the
# windows and controls by their design names through the program's automation seam, presses what
# a person would, reads what the windows show, and screenshots every window it opens.
#
#   tests/e2e/native.sh [BUILD_DIR]      (default: build/native)
#
# Screenshots, the trace and the program's output go to $E2E_RESULTS (default:
# BUILD_DIR/e2e-native-results). Exit code 0 when every check held.
set -u

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$(cd "${1:-$root/build/native}" 2>/dev/null && pwd)" || {
  echo "e2e: build directory ${1:-$root/build/native} not found" >&2
  exit 2
}
exe="$build/backends/qt/unwindle"
[[ -x "$exe" ]] || { echo "e2e: $exe is missing" >&2; exit 2; }
results="${E2E_RESULTS:-$build/e2e-native-results}"
rm -rf "$results"
mkdir -p "$results"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"

# shellcheck source=../../tools/native-env.sh
source "$root/tools/native-env.sh"
trap 'native_env_cleanup' EXIT
native_env_setup || exit 1

failures=0
refused() { [[ "$(auto Invoke "$1" "$2")" == "boolean false" ]]; }
reads() { [[ "$(auto Read "$1" "$2")" == "$3" ]]; }
# The window drawn first: a moment after the program says it is shown.
shot() {
  sleep 0.5
  import -window root "$results/$1.png"
}
counts_down() {
  local first
  first=$(countdown)
  wait_for 10 eval '(($(seconds_of "$first") - $(seconds_of "$(countdown)") >= 2))'
}
asks() { wait_for 10 eval '[[ -n "$(message_box)" ]]'; }

# A system information tool of the desktop's, which only says that it was started.
mkdir -p "$results/bin"
printf '#!/bin/sh\ntouch "%s"\n' "$results/sysinfo-started" >"$results/bin/hardinfo"
chmod +x "$results/bin/hardinfo"

PATH="$results/bin:$PATH" UNWINDLE_TRACE="$results/trace.txt" "$exe" >"$results/output.txt" 2>&1 &
program_pid=$!

echo "e2e: the program starts on $DISPLAY"
check "the splash shows first" wait_for 30 shown frmSplash
shot splash
check "  then the main window" wait_for 60 eval 'shown frmTimer && gone frmSplash'
shot main
check "the countdown counts from the start" counts_down
check "Start is not there to press while it counts" refused frmTimer cmdStart
check "Stop stops it" pressed frmTimer cmdStop
check "  and the countdown shows the whole interval" wait_for 5 eval '[[ "$(countdown)" == 01:00:00 ]]'
check "Start starts it again" pressed frmTimer cmdStart
check "  and it counts" counts_down
check "Pause pauses it" pressed frmTimer cmdPause
paused=$(countdown)
sleep 2
check "  and the countdown stands" eval '[[ "$(countdown)" == "$paused" ]]'
check "Start goes on" pressed frmTimer cmdStart

echo "e2e: the windows it opens"
check "About opens the about box" pressed frmTimer cmdAbout
check "  which shows" wait_for 10 shown frmAbout
shot about
check "  whose System Info starts the desktop's information tool" pressed frmAbout cmdSysInfo
check "    which runs" wait_for 10 test -e "$results/sysinfo-started"
check "  and OK closes it" wait_for 5 pressed frmAbout cmdOK
check "  and it is gone" wait_for 5 gone frmAbout
# The private display has no window manager to name the window in front.
check "the full-screen hold is not offered where no window manager tells" \
  refused frmTimer mnuHoldForFullScreen
for dialog in mnuPreferences:frmPreferences mnuStatistics:frmStatistics \
  mnuWorkingHours:frmWorkingHours mnuShortBreaks:frmShortBreaks \
  mnuBreakScreen:frmBreakScreenOptions mnuBreakIdeas:frmBreakIdeas \
  mnuHoldForPrograms:frmHoldPrograms; do
  item=${dialog%%:*} form=${dialog##*:}
  check "$item opens $form" pressed frmTimer "$item"
  if wait_for 10 shown "$form"; then
    shot "$form"
    if [[ $form == frmHoldPrograms ]]; then
      check "  its Running Programs lists them" pressed frmHoldPrograms cmdRunning
      if wait_for 10 shown frmRunningPrograms; then
        shot frmRunningPrograms
        auto Invoke frmRunningPrograms cmdCancel >/dev/null
        check "    and closes" wait_for 5 gone frmRunningPrograms
      else
        check "    which shows" false
      fi
    fi
    # Each closes as a person closes it: the window's close box (Escape where it has none).
    xdotool key --clearmodifiers Escape 2>/dev/null
    wait_for 3 gone "$form" || auto Invoke "$form" cmdCancel >/dev/null || true
    wait_for 3 gone "$form" || auto Invoke "$form" cmdClose >/dev/null || true
    check "  and it closes" wait_for 5 gone "$form"
  else
    check "  which shows" false
  fi
done

echo "e2e: a break"
check "Take a break now" pressed frmTimer cmdUnwindle
check "  the break window shows" wait_for 10 shown frmBreakTimeRemaining
sleep 2
shot break
check "  Stop Timer ends it" pressed frmBreakTimeRemaining cmdStopTimer
check "  and it is gone" wait_for 10 gone frmBreakTimeRemaining
check "  the break-over question asks" wait_for 10 shown frmRestartTimer
shot break-over
check "  Restart Timer" pressed frmRestartTimer cmdRestartTimer
check "  and the countdown counts the whole interval again" counts_down
check "the tray menu's Restore brings the main window back" pressed frmTimer mPopRestore
check "  which shows" wait_for 5 shown frmTimer

echo "e2e: the break on the full screen, and the dark look"
check "Options > Break Screen" pressed frmTimer mnuBreakScreen
check "  Show the break on a full screen" wait_for 5 pressed frmBreakScreenOptions optBreakScreen
check "  saved" pressed frmBreakScreenOptions cmdSave
check "Take a break now" wait_for 5 pressed frmTimer cmdUnwindle
check "  the break screen covers the monitor" wait_for 10 shown frmBreakScreen
sleep 3.5  # its buttons come enabled after three seconds
shot break-screen
check "  Skip ends it" pressed frmBreakScreen cmdSkip
check "  and it is gone" wait_for 10 gone frmBreakScreen
check "  the break-over question asks" wait_for 10 shown frmRestartTimer
check "  Restart Timer" pressed frmRestartTimer cmdRestartTimer
check "  the tray menu's Restore" wait_for 5 pressed frmTimer mPopRestore
check "Options > Theme > Dark" wait_for 5 pressed frmTimer mnuThemeDark
shot main-dark
check "  the preferences dark too" pressed frmTimer mnuPreferences
check "  which show" wait_for 10 shown frmPreferences
shot frmPreferences-dark
check "  and close" pressed frmPreferences cmdExit
check "  and are gone" wait_for 5 gone frmPreferences
check "Options > Theme > As the system is set" pressed frmTimer mnuThemeSystem

echo "e2e: a short break from the command line"
check "unwindle --break short" eval '"$exe" --break short >/dev/null 2>&1'
check "  the short break's window shows" wait_for 10 shown frmShortBreak
shot short-break
check "  Skip ends it" pressed frmShortBreak cmdShortBreakSkip
check "  and it is gone" wait_for 10 gone frmShortBreak

echo "e2e: the program ends"
check "the tray menu's Exit asks first" pressed frmTimer mPopExit
check "  the question shows" asks
shot exit-question
check "  answered Yes" eval '[[ "$(auto Answer Yes)" == "boolean true" ]]'
check "  and the program ends" wait_for 15 ended
if ended; then
  wait "$program_pid"
  rc=$?
  program_pid=""
  check "    with exit code 0" test "$rc" -eq 0
fi

echo "e2e: the heads-up before a break"
mkdir -p "$XDG_CONFIG_HOME/KORVANTE"
cat >"$XDG_CONFIG_HOME/KORVANTE/Unwindle.ini" <<'EOF'
[Unwindle]
Hours=0
Minutes=0
Seconds=12
HeadsUpSeconds=5
StartTimerOnLaunch=1
EOF
UNWINDLE_TRACE="$results/trace-heads-up.txt" "$exe" >"$results/output-heads-up.txt" 2>&1 &
program_pid=$!
check "a break five seconds away shows the heads-up" wait_for 60 shown frmHeadsUp
shot heads-up
check "the program ends from the tray while it shows" pressed frmTimer mPopExit
check "  asking first" asks
check "  answered Yes" eval '[[ "$(auto Answer Yes)" == "boolean true" ]]'
check "  and it ends" wait_for 15 ended
ended && program_pid=""

echo "e2e: $failures failed; screenshots and trace in $results"
exit $((failures > 0))

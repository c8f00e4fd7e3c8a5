#!/usr/bin/env bash
# End-to-end checks of the native Linux program's tray on a desktop that hosts StatusNotifierItems:
# the suite's stand-in desktop (tests/e2e/tray_stand_in.cpp) is the tray the program's icon
# registers with, reads the icon's tooltip and menu over D-Bus as KDE's or GNOME's tray does, and
# clicks the icon and the menu's entries as a person does there. The windows the time-up opens
# are answered through the program's automation seam.
#
#   tests/e2e/native_tray.sh [BUILD_DIR]      (default: build/native)
#
# Screenshots, the trace and the program's output go to $E2E_RESULTS (default:
# BUILD_DIR/e2e-native-tray-results). Exit code 0 when every check held.
set -u

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$(cd "${1:-$root/build/native}" 2>/dev/null && pwd)" || {
  echo "e2e: build directory ${1:-$root/build/native} not found" >&2
  exit 2
}
exe="$build/backends/qt/unwindle"
stand_in="$build/tests/e2e/unwindle_tray_stand_in"
for f in "$exe" "$stand_in"; do
  [[ -x "$f" ]] || { echo "e2e: $f is missing" >&2; exit 2; }
done
results="${E2E_RESULTS:-$build/e2e-native-tray-results}"
rm -rf "$results"
mkdir -p "$results"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"

# shellcheck source=../../tools/native-env.sh
source "$root/tools/native-env.sh"
stand_in_pid=""
end_all() {
  [[ -n "$stand_in_pid" ]] && kill "$stand_in_pid" 2>/dev/null && wait "$stand_in_pid" 2>/dev/null
  native_env_cleanup
}
trap end_all EXIT
native_env_setup || exit 1

failures=0
shot() {  # the window drawn first: a moment after the program says it is shown
  sleep 0.5
  import -window root "$results/$1.png"
}

# The stand-in desktop's calls (see tray_stand_in.cpp).
tray() {
  local method=$1
  shift
  local args=()
  for a in "$@"; do args+=("string:$a"); done
  dbus-send --session --print-reply=literal --reply-timeout=8000 \
    --dest=org.korvante.Unwindle.TrayStandIn /StandIn \
    "org.korvante.Unwindle.TrayStandIn.$method" "${args[@]}" 2>/dev/null | sed 's/^   //'
}
tip_time() { tray ToolTip | grep -o '[0-9][0-9]:[0-9][0-9]:[0-9][0-9]' | head -n 1; }
menu_has() { tray Menu | grep -qxF "$1"; }
choose() { [[ "$(tray Click "$1")" == "boolean true" ]]; }
refused_in_trace() { grep -qP "\tcommand\.refused\tfrmTimer\t$1\tdisabled$" "$results/trace.txt"; }
focused_on() { [[ "$(xdotool getwindowfocus 2>/dev/null)" == "$1" ]]; }

# The tooltip, read once a second as the desktop shows it: each reading a second less than the
# one before (two when a reading fell between two ticks), and the main window's countdown.
tip_follows_countdown() {
  local before now t drops=0
  before=$(seconds_of "$(tip_time)")
  for t in 1 2 3 4; do
    sleep 1
    now=$(seconds_of "$(tip_time)")
    ((before - now >= 1 && before - now <= 2)) || { echo "    tip went $before -> $now" >&2; return 1; }
    before=$now
    drops=$((drops + 1))
  done
  local window
  window=$(seconds_of "$(countdown)")
  now=$(seconds_of "$(tip_time)")
  ((drops == 4 && now - window <= 1 && window - now <= 1)) ||
    { echo "    tip $now, main window $window" >&2; return 1; }
}
tip_stands() {
  local first
  first=$(tray ToolTip)
  sleep 1.5
  [[ "$(tray ToolTip)" == "$first" ]]
}

"$stand_in" >"$results/stand-in.txt" 2>&1 &
stand_in_pid=$!
wait_for 10 grep -q ready "$results/stand-in.txt" || { echo "e2e: the stand-in did not start" >&2; exit 1; }
stand_in_window=$(tray Window | awk '{print $2}')

# A short interval, reminders and break, and the program in the tray at launch.
mkdir -p "$XDG_CONFIG_HOME/KORVANTE"
cat >"$XDG_CONFIG_HOME/KORVANTE/Unwindle.ini" <<'EOF'
[Unwindle]
Hours=0
Minutes=0
Seconds=20
SnoozeMinutes=0
SnoozeSeconds=4
BreakMinutes=0
BreakSeconds=4
LaunchMinimized=1
HideWhenMinimized=1
StartTimerOnLaunch=1
EOF

UNWINDLE_TRACE="$results/trace.txt" "$exe" >"$results/output.txt" 2>&1 &
program_pid=$!

echo "e2e: the program starts in the tray of a desktop that hosts tray items ($DISPLAY)"
check "its icon registers with the desktop's tray" wait_for 60 eval '[[ -n "$(tip_time)" ]]'
check "  the main window is not shown" wait_for 10 eval 'gone frmSplash && gone frmTimer'
check "the tooltip read each second follows the countdown" tip_follows_countdown
check "  and says it counts" eval 'tray ToolTip | grep -q "Started$"'
check "a click on the icon brings the main window" eval '[[ "$(tray Activate)" == "boolean true" ]]'
check "  which shows" wait_for 10 shown frmTimer
shot main

echo "e2e: the tray menu as the desktop shows it"
tray Menu >"$results/menu-counting.txt"
check "it lists the timer's items as the program has them" \
  eval 'menu_has "Pause Timer" && menu_has "Stop Timer" && menu_has "Start Timer [disabled]"'
check "  the main window's and the program's items" \
  eval 'menu_has "Open" && menu_has "Exit" && menu_has "-"'
check "  and the pause for a while as a submenu" eval 'tray Menu | grep -qx "  30 Minutes"'
check "Pause Timer chosen there" choose "Pause Timer"
check "  pauses the countdown" wait_for 5 eval 'tray ToolTip | grep -q "Paused$"'
check "  which stands" tip_stands
tray Menu >"$results/menu-paused.txt"
check "  and the menu now offers to go on or start afresh" \
  eval 'menu_has "Restart Timer" && menu_has "Pause Timer [disabled]" && menu_has "Reset Timer"'
check "Reset Timer chosen there stops it" choose "Reset Timer"
check "  as the tooltip says" wait_for 5 eval 'tray ToolTip | grep -q "Stopped$"'
check "  and Pause For is disabled in the menu" menu_has "Pause For [disabled]"
check "30 Minutes under it, chosen all the same, is refused" choose "30 Minutes"
check "  as the program says" wait_for 5 refused_in_trace mnuPause30
check "  and the timer stays stopped" eval 'tip_stands && tray ToolTip | grep -q "Stopped$"'
check "Start Timer chosen there starts it" choose "Start Timer"
check "  the countdown counts again" wait_for 5 eval 'tray ToolTip | grep -q "Started$"'

echo "e2e: the time is up while another program has the keyboard"
xdotool windowfocus --sync "$stand_in_window" 2>/dev/null
check "another program's window has the keyboard" focused_on "$stand_in_window"
check "the prompt appears" wait_for 40 shown frmUnwindle
shot prompt
check "  and the other window keeps the keyboard" focused_on "$stand_in_window"
check "Remind Later" pressed frmUnwindle cmdRemindLater
check "  the prompt goes" wait_for 5 gone frmUnwindle
check "  and comes back after the reminder's wait" wait_for 15 shown frmUnwindle
check "Take the break" pressed frmUnwindle cmdUnwindle
check "  the break window shows" wait_for 10 shown frmBreakTimeRemaining
shot break
check "  and the break-over question asks when it is over" wait_for 15 shown frmRestartTimer
shot break-over
check "Restart Timer" pressed frmRestartTimer cmdRestartTimer
check "  the question goes" wait_for 5 gone frmRestartTimer
check "  and the tooltip counts again" wait_for 5 eval 'tray ToolTip | grep -q "Started$"'

echo "e2e: the program ends from the tray menu"
check "Exit chosen there asks first" choose "Exit"
check "  the question shows" wait_for 10 eval '[[ -n "$(message_box)" ]]'
check "  answered Yes" eval '[[ "$(auto Answer Yes)" == "boolean true" ]]'
check "  and the program ends" wait_for 15 ended
if ended; then
  wait "$program_pid"
  rc=$?
  program_pid=""
  check "    with exit code 0" test "$rc" -eq 0
fi

echo "e2e: $failures failed; screenshots and trace in $results"
exit $((failures > 0))

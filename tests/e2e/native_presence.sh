#!/usr/bin/env bash
# End-to-end checks of the native Linux program with the world around it: a login manager of the
# suite's own on a private system bus (tests/e2e/login_stand_in.cpp) tells of sleep, locks and
# switching away; the private X server's idle time follows real input (XTest, by xdotool); a
# settings file a person edited is repaired value by value; and the command line drives the
# running program and answers without one.
#
#   tests/e2e/native_presence.sh [BUILD_DIR]      (default: build/native)
#
# The program's output, trace, settings and history go to $E2E_RESULTS (default:
# BUILD_DIR/e2e-presence-results). Exit code 0 when every check held.
set -u

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$(cd "${1:-$root/build/native}" 2>/dev/null && pwd)" || {
  echo "e2e: build directory ${1:-$root/build/native} not found" >&2
  exit 2
}
exe="$build/backends/qt/unwindle"
login="$build/tests/e2e/unwindle_e2e_login"
for f in "$exe" "$login"; do [[ -x "$f" ]] || { echo "e2e: $f is missing" >&2; exit 2; }; done
results="${E2E_RESULTS:-$build/e2e-presence-results}"
rm -rf "$results"
mkdir -p "$results"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"

# shellcheck source=../../tools/native-env.sh
source "$root/tools/native-env.sh"
login_pid=""
finish() {
  [[ -n "$login_pid" ]] && kill "$login_pid" 2>/dev/null && wait "$login_pid" 2>/dev/null
  [[ -n "$native_home" ]] && cp -r "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$results/" 2>/dev/null
  native_env_cleanup
}
trap finish EXIT
native_env_setup && native_env_system_bus || exit 1
"$login" >"$results/login.txt" 2>&1 &
login_pid=$!

failures=0
ini="$XDG_CONFIG_HOME/KORVANTE/Unwindle.ini"
history="$XDG_DATA_HOME/KORVANTE/Unwindle/history.tsv"
break_seconds=3  # the shortest break the planted settings may hold that a poll can still see
work_minutes=2

# The command line: its exit code, standard output and standard error in rc, out and err.
cli() {
  out=$("$exe" "$@" 2>"$native_home/err")
  rc=$?
  err=$(<"$native_home/err")
}
# ARGS... RC OUT-PATTERN ERR-PATTERN: the command line ends with RC and prints what the patterns
# (extended regular expressions, whole lines) say on each stream.
answers() {
  local n=$#
  local args=("${@:1:n-3}") want_rc=${*:n-2:1} want_out=${*:n-1:1} want_err=${*:n:1}
  cli "${args[@]}"
  if ! [[ $rc == "$want_rc" && $out =~ ^${want_out}$ && $err =~ ^${want_err}$ ]]; then
    echo "        ${args[*]}: $rc, out '$out', err '$err'" >&2
    return 1
  fi
}
# The work countdown's seconds left as the command line tells it ("counting 00:01:54").
left() {
  cli --status
  [[ $out =~ ^counting\ ([0-9:]+)$ ]] || { echo -1; return; }
  seconds_of "${BASH_REMATCH[1]}"
}
# The seconds of each natural break of a kind in the history, a line each.
naturals() {
  grep -E "[[:space:]]break\.natural[[:space:]]+$1[[:space:]]" "$history" 2>/dev/null |
    awk '{ print $NF }'
}
natural() { naturals "$1" | wc -l; }
# One natural break of KIND more than BEFORE, as long as the break at least.
one_more() {
  local last
  last=$(naturals "$1" | tail -n1)
  (($(natural "$1") == $2 + 1 && ${last:-0} >= break_seconds))
}
start_program() {
  UNWINDLE_TRACE="$results/trace-$1.txt" "$exe" >"$results/output-$1.txt" 2>&1 &
  program_pid=$!
  wait_for 60 eval 'auto Windows | grep -q "frmTimer visible" && [[ $(left) -gt 0 ]]'
}
# The countdown counts the whole interval again: within the few seconds of reading it, where
# counting on after the time away would have lost that time.
anew() { (($(left) >= work_minutes * 60 - 3)); }
# The program, asked to exit by the command line (ARGS), ends with exit code 0.
exit_by() {
  answers "$@" 0 exiting "" && wait_for 15 ended && {
    wait "$program_pid"
    local code=$?
    program_pid=""
    ((code == 0))
  }
}

echo "e2e: the command line with no program running"
not_running="Unwindle is not running\."
for command in --status "--pause 1" --break --exit /status; do
  # shellcheck disable=SC2086  # the command's words
  check "$command says so" answers $command 3 "" "$not_running"
done
check "--pause 0 is bad usage" answers --pause 0 2 "" ".+"

echo "e2e: a first start writes every setting"
check "the program starts in an empty home" start_program first
check "  its settings file is there" test -s "$ini"
cp "$ini" "$results/defaults.ini"
check "  --exit ends it" exit_by --exit

echo "e2e: a settings file a person edited"
# Numbers out of their range or no numbers at all among good values, lines that are no setting,
# a comment and a section of somebody else's.
cat >"$ini" <<EOF
; my own notes: short breaks while I test
[Unwindle]
Hours=0
Minutes=$work_minutes
SnoozeMinutes=75
this line is no setting
BreakMinutes=0
BreakSeconds=$break_seconds
NumberOfSnooze=three
TrayIcon=-3
SleepCountsAsBreak=1
AlwaysOnTop=7
IdleCountsAsBreak=0
[Elsewhere]
SnoozeMinutes=75
EOF
cp "$ini" "$results/planted.ini"
# NAME: the program's section holds the line a first start wrote for NAME.
repaired() {
  local want
  want=$(grep -m1 "^$1=" "$results/defaults.ini") &&
    grep -qxF "$want" <(sed -n '/^\[Unwindle\]/,/^\[/p' "$ini")
}
check "the program starts with it" start_program edited
for name in SnoozeMinutes NumberOfSnooze TrayIcon AlwaysOnTop; do
  check "  $name is set back to what a first start writes" repaired "$name"
done
for line in "Minutes=$work_minutes" "BreakSeconds=$break_seconds" "SleepCountsAsBreak=1" \
  "; my own notes: short breaks while I test"; do
  check "  '$line' is kept" grep -qxF "$line" "$ini"
done
other_section() { sed -n '/^\[Elsewhere\]/,$p' "$1"; }
check "  the other section is kept as it was" \
  cmp -s <(other_section "$ini") <(other_section "$results/planted.ini")

echo "e2e: time away from the login manager"
logind() {
  dbus-send --system --print-reply --dest=org.freedesktop.login1 /org/freedesktop/login1 \
    "org.korvante.UnwindleTest.Login.$1" "${@:2}" >/dev/null
}
# NAME AWAY BACK KIND SECONDS: away for SECONDS (AWAY and BACK each a call with its arguments):
# as long as a break, it was one of KIND in the history and the countdown starts anew; shorter,
# nothing.
away_for() {
  local name=$1 kind=$4 seconds=$5 before
  read -ra away <<<"$2"
  read -ra back <<<"$3"
  before=$(natural "$kind")
  # Far enough from the whole interval that a new start would show.
  ((seconds > break_seconds)) || wait_for 10 eval '(($(left) <= work_minutes * 60 - 6))'
  logind "${away[@]}" && sleep "$seconds" && logind "${back[@]}" || return 1
  if ((seconds > break_seconds)); then
    check "$name for ${seconds}s is a break in the history" \
      wait_for 5 one_more "$kind" "$before"
    check "  and the countdown starts anew" anew
  else
    sleep 1.5
    check "$name for ${seconds}s is no break" test "$(natural "$kind")" -eq "$before"
    check "  and the countdown counts on" eval '! anew && (($(left) > 0))'
  fi
}
check "the login manager is there" wait_for 10 logind Active boolean:true
away_for "asleep" "Sleep boolean:true" "Sleep boolean:false" sleep 1
away_for "asleep" "Sleep boolean:true" "Sleep boolean:false" sleep 5
away_for "locked" "Lock" "Unlock" lock 5
away_for "locked (the hint)" "LockedHint boolean:true" "LockedHint boolean:false" lock 5
away_for "switched to another session" "Active boolean:false" "Active boolean:true" switched 5

echo "e2e: the command line drives the running program"
clock='[0-9]{2}:[0-9]{2}'
check "--status" answers --status 0 "counting $clock:[0-9]{2}" ""
in_a_minute() {
  [[ $out == "paused until $(date -d '+1 min' +%H:%M)" || $out == "paused until $(date +%H:%M)" ||
    $out == "paused until $(date -d '+2 min' +%H:%M)" ]]
}
check "--pause 1" eval 'answers --pause 1 0 "paused until $clock" "" && in_a_minute'
check "/status says so" eval 'answers /status 0 "paused until $clock" "" && in_a_minute'
check "--resume" answers --resume 0 "counting $clock:[0-9]{2}" ""
check "--break" answers --break 0 break ""
check "  the break runs out and the question after it asks" wait_for 15 eval \
  'auto Windows | grep -q "frmRestartTimer visible"'
check "  --exit is refused while it asks" \
  answers --exit 4 "" "Unwindle cannot do that now: .*"
check "  Restart Timer" eval '[[ $(auto Invoke frmRestartTimer cmdRestartTimer) == "boolean true" ]]'
check "  and it counts" wait_for 10 eval '(($(left) > 0))'
check "/EXIT ends it" exit_by /EXIT

echo "e2e: idle time from real input"
sed -i 's/^IdleCountsAsBreak=.*/IdleCountsAsBreak=1/' "$ini"
# The pointer moves now and then until the program counts: no time without input so far.
jiggle() {
  local x=10
  while :; do
    x=$((x == 10 ? 20 : 10))
    xdotool mousemove "$x" "$x"
    sleep "$1"
  done
}
jiggle 0.5 &
jiggler=$!
check "the program starts again" start_program idle
kill "$jiggler" && wait "$jiggler" 2>/dev/null
before=$(natural idle)
for _ in 1 2 3 4 5 6; do
  xdotool mousemove 30 30 && sleep 1 && xdotool mousemove 40 40 && sleep 1
done 2>/dev/null
sleep 1.5
check "input every second for 12 seconds is no break" test "$(natural idle)" -eq "$before"
check "  and the countdown counts on" eval '! anew && (($(left) > 0))'
sleep $((break_seconds + 3))
xdotool mousemove 50 50
check "no input for longer than a break, then a move: a break in the history" \
  wait_for 5 one_more idle "$before"
check "  and the countdown starts anew" anew
check "--exit ends it" exit_by --exit
check "no program running: --status says so" answers --status 3 "" "$not_running"

if ((failures)); then
  echo "e2e: $failures check(s) failed; the program's output, trace, settings and history: $results"
  exit 1
fi
echo "e2e: every check held"

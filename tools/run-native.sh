#!/usr/bin/env bash
# Runs unwindle, the native Linux program (what `make run` does on Linux after building).
#
#   tools/run-native.sh [BUILD_DIR]      (default: build/native)
#
# With a reachable X display ($DISPLAY): runs the program there and waits until you exit it.
#
# Without one: starts a private virtual display and session bus, starts the program, takes a
# screenshot when its main window shows and another once the countdown has visibly moved, prints
# what the window shows, exits the program with the tray menu's Exit and Yes, and cleans up.
# It finds the windows and controls by their design names through the program's automation seam
# on the session bus (org.korvante.Unwindle /Automation). Screenshots and the program's trace go
# to $RUN_RESULTS (default: BUILD_DIR/run-results).
set -u

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$root/build/native}" 2>/dev/null && pwd)" || {
  echo "run: build directory ${1:-$root/build/native} not found" >&2
  exit 2
}
exe="$build/backends/qt/unwindle"
[[ -x "$exe" ]] || {
  echo "run: $exe is missing (cmake --preset native && cmake --build --preset native)" >&2
  exit 2
}
# The native build carries the sanitizers; the toolkit's caches outlive main by design.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=0}"

# --- On the user's display.
if [[ -n "${DISPLAY:-}" ]] && timeout 5 xdpyinfo >/dev/null 2>&1; then
  echo "run: starting $exe on display $DISPLAY; exit it with File > Exit"
  "$exe"
  rc=$?
  echo "run: unwindle ended with exit code $rc"
  exit "$rc"
fi

# --- No display: a private one and a private session bus, and a look at what the program shows.
results="${RUN_RESULTS:-$build/run-results}"
rm -rf "$results"
mkdir -p "$results"
# shellcheck source=native-env.sh
source "$root/tools/native-env.sh"
finish() {
  local status=$?
  native_env_cleanup
  exit "$status"
}
trap finish EXIT
trap 'exit 130' INT TERM

echo "run: no X display reachable (DISPLAY='${DISPLAY:-}')"
echo "run: using a private Xvfb and session bus"
native_env_setup || exit 1

trace="$results/trace.txt"
echo "run: starting $exe on $DISPLAY (trace: $trace)"
UNWINDLE_TRACE="$trace" "$exe" >"$results/output.txt" 2>&1 &
program_pid=$!

main_shown() { auto Windows | grep -q "frmTimer visible" && ! auto Windows | grep -q frmSplash; }
show() {
  echo "  frmTimer: $(auto Read frmTimer ""), time remaining $(countdown)"
  for name in cmdStart cmdPause cmdStop; do
    echo "  $name: $(auto Read frmTimer "$name")"
  done
}

if ! wait_for 60 main_shown; then
  echo "run: the main window did not appear within 60 s" >&2
  import -window root "$results/failed.png" 2>/dev/null && echo "run: screen: $results/failed.png"
  exit 1
fi
import -window root "$results/start.png"
echo "run: main window visible; screenshot $results/start.png"
show

echo "run: waiting until the countdown has moved by 3 seconds"
first=$(countdown)
moved() { (($(seconds_of "$first") - $(seconds_of "$(countdown)") >= 3)); }
if wait_for 15 moved; then echo "  countdown $first -> $(countdown)"; else
  echo "  countdown $first -> $(countdown) (too little)"
  exit 1
fi
import -window root "$results/later.png"
echo "run: screenshot $results/later.png"
show

echo "run: exiting the program (the tray menu's Exit, Yes)"
auto Invoke frmTimer mPopExit >/dev/null
asked() { [[ -n "$(message_box)" ]]; }
if ! wait_for 15 asked; then
  echo "run: no exit question appeared; windows:" $(auto Windows) >&2
  import -window root "$results/failed.png" 2>/dev/null && echo "run: screen: $results/failed.png"
  exit 1
fi
echo "  asked \"$(message_box)\"; answering Yes"
auto Answer Yes >/dev/null
rc=0
for _ in $(seq 60); do kill -0 "$program_pid" 2>/dev/null || break; sleep 0.25; done
if kill -0 "$program_pid" 2>/dev/null; then
  echo "run: the program is still running" >&2
  rc=1
else
  wait "$program_pid"
  echo "run: the program ended with exit code $?"
  program_pid=""
fi
echo "run: done; screenshots and trace in $results"
exit "$rc"

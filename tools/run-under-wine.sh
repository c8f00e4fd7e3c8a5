#!/usr/bin/env bash
# Runs unwindle.exe under Wine (what `make run` does after building).
#
#   tools/run-under-wine.sh [BUILD_DIR]      (default: build/windows)
#
# With a reachable X display ($DISPLAY): runs the program there in your normal Wine prefix
# ($WINEPREFIX, default ~/.wine, created if missing) and waits until you exit it.
#
# Without one: starts a private virtual display and a throw-away prefix, starts the program, takes a
# screenshot when its main window shows and another once the countdown has visibly moved, prints
# what the window shows, exits the program with File > Exit and Yes, and cleans up. Screenshots and
# the program's trace go to $RUN_RESULTS (default: BUILD_DIR/run-results).
set -u

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$root/build/windows}" 2>/dev/null && pwd)" || {
  echo "run: build directory ${1:-$root/build/windows} not found" >&2
  exit 2
}
exe="$build/backends/win32/unwindle.exe"
driver="$build/tests/e2e/unwindle_e2e_driver.exe"
[[ -f "$exe" ]] || {
  echo "run: $exe is missing (cmake --preset windows && cmake --build --preset windows)" >&2
  exit 2
}

# shellcheck source=wine-env.sh
source "$root/tools/wine-env.sh"

# --- On the user's display, in the user's prefix.
if [[ -n "${DISPLAY:-}" ]] && timeout 5 xdpyinfo >/dev/null 2>&1; then
  export WINEPREFIX="${WINEPREFIX:-$HOME/.wine}"
  export WINEDEBUG="${WINEDEBUG:--all}"
  if [[ ! -d "$WINEPREFIX" ]]; then
    echo "run: creating the Wine prefix $WINEPREFIX (once; takes a few seconds)"
    WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d" wineboot --init \
      >/dev/null 2>&1 || {
      echo "run: wineboot failed" >&2
      exit 1
    }
    # Chinese and Japanese texts drawn with glyphs (tools/wine-env.sh).
    wine_env_link_cjk_fonts
  fi
  echo "run: starting $exe on display $DISPLAY (Wine prefix $WINEPREFIX); exit it with File > Exit"
  wine "$exe"
  rc=$?
  echo "run: unwindle.exe ended with exit code $rc"
  exit "$rc"
fi

# --- No display: a private one, and a look at what the program shows.
[[ -f "$driver" ]] || {
  echo "run: $driver is missing (cmake --build --preset windows)" >&2
  exit 2
}
results="${RUN_RESULTS:-$build/run-results}"
rm -rf "$results"
mkdir -p "$results"

program_pid=""
finish() {
  local status=$?
  wine_env_cleanup
  [[ -n "$program_pid" ]] && wait "$program_pid" 2>/dev/null
  exit "$status"
}
trap finish EXIT
trap 'exit 130' INT TERM

echo "run: no X display reachable (DISPLAY='${DISPLAY:-}')"
echo "run: using a private Xvfb and a throw-away Wine prefix"
wine_env_setup || exit 1

trace="$results/trace.txt"
echo "run: starting $exe (trace: $trace)"
# A Unix path reaches the program as is; it names the file through the Z: drive.
wintrace="Z:${trace//\//\\}"
UNWINDLE_TRACE="$wintrace" wine "$exe" >"$results/wine-output.txt" 2>&1 &
program_pid=$!

d() { wine "$driver" "$@" 2>>"$results/wine-output.txt"; }

if ! d wait-window 30 >/dev/null; then
  echo "run: the main window did not appear within 30 s" >&2
  import -window root "$results/failed.png" 2>/dev/null && echo "run: screen: $results/failed.png"
  exit 1
fi
import -window root "$results/start.png"
echo "run: main window visible; screenshot $results/start.png"
d show | sed 's/^/  /'

echo "run: waiting until the countdown has moved by 3 seconds"
d wait-countdown 3 15 | sed 's/^/  /'
import -window root "$results/later.png"
echo "run: screenshot $results/later.png"
d show | sed 's/^/  /'

echo "run: exiting the program (File > Exit, Yes)"
d exit 15 | sed 's/^/  /'
rc=${PIPESTATUS[0]}
if ((rc == 0)); then
  wait "$program_pid" 2>/dev/null
  program_pid=""
fi
echo "run: done; screenshots and trace in $results"
exit "$rc"

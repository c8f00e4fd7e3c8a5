#!/usr/bin/env bash
# End-to-end checks of the real unwindle.exe under Wine, in a private virtual display and a
# throw-away Wine prefix. Builds nothing: run `cmake --build --preset windows` first.
#
#   tests/e2e/run.sh [BUILD_DIR]        (default: build/windows)
#
# Results (driver log, traces, screenshots) go to $E2E_RESULTS (default: BUILD_DIR/e2e-results).
# Exits with the driver's code: 0 only when every check passed.
set -u

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$(cd "${1:-$root/build/windows}" 2>/dev/null && pwd)" || {
  echo "e2e: build directory ${1:-$root/build/windows} not found" >&2
  exit 2
}
exe="$build/platform/win32/unwindle.exe"
driver="$build/tests/e2e/unwindle_e2e_driver.exe"
results="${E2E_RESULTS:-$build/e2e-results}"
for f in "$exe" "$driver"; do
  [[ -f "$f" ]] || {
    echo "e2e: $f is missing (cmake --preset windows && cmake --build --preset windows)" >&2
    exit 2
  }
done

# shellcheck source=../../tools/wine-env.sh
source "$root/tools/wine-env.sh"

watcher_pid=""
driver_pid=""
finish() {
  local status=$?
  local pid
  for pid in $driver_pid $watcher_pid; do
    kill "$pid" 2>/dev/null
  done
  wine_env_cleanup
  for pid in $driver_pid $watcher_pid; do
    wait "$pid" 2>/dev/null
  done
  exit "$status"
}
trap finish EXIT
trap 'exit 130' INT TERM

started=$SECONDS
rm -rf "$results"
mkdir -p "$results"

echo "e2e: starting a private Xvfb and Wine prefix"
wine_env_setup || exit 2

# The driver asks for a screenshot of the main window by writing main-window.request ("x y w h");
# we take it and answer with main-window.done.
(
  while :; do
    if [[ -f "$results/main-window.request" ]]; then
      read -r x y w h <"$results/main-window.request" || true
      if import -window root "$results/screen.png" 2>/dev/null && [[ -n "${h:-}" ]]; then
        ((x < 0)) && x=0
        ((y < 0)) && y=0
        convert "$results/screen.png" -crop "${w}x${h}+${x}+${y}" +repage \
          "$results/main-window.png" 2>/dev/null
      fi
      rm -f "$results/main-window.request"
      touch "$results/main-window.done"
    fi
    sleep 0.05
  done
) &
watcher_pid=$!

# The back end's own tests against the real system calls, in the same prefix.
unit_rc=0
win32_tests="$build/tests/win32/unwindle_win32_tests.exe"
if [[ -f "$win32_tests" ]]; then
  echo "e2e: running $(basename "$win32_tests")"
  timeout 120 wine "$win32_tests" >"$results/win32-tests.log" 2>"$results/win32-tests-stderr.txt"
  unit_rc=$?
  grep -E '^\[(  FAILED|  PASSED|==========) ' "$results/win32-tests.log"
  echo "e2e: Win32 back-end tests exited with $unit_rc"
fi

echo "e2e: running $(basename "$driver") against $exe"
t0=$SECONDS
# In the background with `wait`, so that an interrupt cleans up at once.
timeout 150 wine "$driver" test "$exe" --trace-dir "$results" --shot-dir "$results" \
  2>"$results/wine-stderr.txt" > >(tee "$results/driver.log") &
driver_pid=$!
wait "$driver_pid"
rc=$?
driver_pid=""
echo "e2e: driver finished in $((SECONDS - t0)) s with exit code $rc"

if [[ -f "$results/main-window.png" ]]; then
  echo "e2e: screenshot of the main window: $results/main-window.png"
else
  echo "e2e: no screenshot of the main window was taken"
fi
echo "e2e: results in $results (total $((SECONDS - started)) s)"
((rc == 0)) && rc=$unit_rc
exit "$rc"

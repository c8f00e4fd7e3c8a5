#!/usr/bin/env bash
# End-to-end checks of the real unwindle.exe under Wine, in a private virtual display and a
# throw-away Wine prefix. Builds nothing: run `cmake --build --preset windows` first.
#
#   tests/e2e/run.sh [BUILD_DIR]        (default: build/windows)
#
# Results (driver log, traces, screenshots, captured sounds) go to $E2E_RESULTS (default:
# BUILD_DIR/e2e-results). E2E_ONLY=GROUP runs one group of checks (see the driver's usage);
# E2E_ONLY=break_screen runs it in a display of two monitors. The groups named *_german (the
# program and the setup following Wine's user interface language) run only when named, under
# LC_ALL=de_DE.UTF-8. E2E_WIN32_TESTS=0 leaves out the Win32 back end's own tests.
# Then the driver's release checks look at the program's icon, the single instance, the installer
# and the uninstaller (BUILD_DIR/dist/Unwindle-*-setup.exe) in the same prefix
# (E2E_RELEASE_ONLY=GROUP for one of them, =none for none), and the winget and Scoop manifests beside the setup are
# checked against it, the zip and the project's version. Exits 0 only when every check passed.
set -u

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$(cd "${1:-$root/build/windows}" 2>/dev/null && pwd)" || {
  echo "e2e: build directory ${1:-$root/build/windows} not found" >&2
  exit 2
}
exe="$build/backends/win32/unwindle.exe"
driver="$build/tests/e2e/unwindle_e2e_driver.exe"
setups=("$build"/dist/Unwindle-*-setup.exe)
setup="${setups[0]}"
results="${E2E_RESULTS:-$build/e2e-results}"
for f in "$exe" "$driver" "$setup"; do
  [[ -f "$f" ]] || {
    echo "e2e: $f is missing (cmake --preset windows && cmake --build --preset windows)" >&2
    exit 2
  }
done

# shellcheck source=../../tools/wine-env.sh
source "$root/tools/wine-env.sh"

watcher_pid=""
driver_pid=""
# shellcheck disable=SC2317  # reached through the trap
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
# The program and the driver run elsewhere: they are given the folder by its whole path.
results="$(cd "$results" && pwd)"

echo "e2e: starting a private Xvfb and Wine prefix"
# The break screen's group alone runs on two monitors side by side (one window per monitor).
[[ "${E2E_ONLY:-}" == break_screen ]] && export WINE_ENV_MONITORS="${WINE_ENV_MONITORS:-1280x800 1024x768}"
# shellcheck disable=SC2119  # no directory given: a fresh prefix under /tmp
wine_env_setup || exit 2

# Sound goes into a WAV file, not to a sound card; the driver keeps a copy of each clip it checks.
mkdir -p "$results/sounds"
wine_env_capture_audio "$results/alsa-config" "$results/sounds/capture.wav" || exit 2

# The driver asks for what only the X side can do by writing NAME.request into the results folder:
# "shot X Y W H", a screenshot of that screen rectangle saved as NAME.png, "click X Y", a real left
# click there (the pointer then goes to the bottom-left corner, out of the way), or "key NAME", a real
# key press (xdotool's key names). We answer with NAME.done.
IFS=x read -r _ screen_h _ <<<"${WINE_ENV_GEOMETRY:-1280x800x24}"
(
  shopt -s nullglob
  while :; do
    for request in "$results"/*.request; do
      name="${request%.request}"
      read -r verb x y w h <"$request" || true
      case "$verb" in
        shot)
          if [[ -n "${h:-}" ]]; then
            ((x < 0)) && x=0
            ((y < 0)) && y=0
            import -window root -crop "${w}x${h}+${x}+${y}" +repage "$name.png" 2>/dev/null
          fi
          ;;
        click)
          xdotool mousemove --sync "$x" "$y" click 1 mousemove 0 "$((screen_h - 1))" 2>/dev/null
          ;;
        key)
          # A real key press, to whichever window has the keyboard.
          xdotool key --clearmodifiers "$x" 2>/dev/null
          ;;
      esac
      rm -f "$request"
      touch "$name.done"
    done
    sleep 0.05
  done
) &
watcher_pid=$!

# The back end's own tests against the real system calls, in the same prefix.
unit_rc=0
win32_tests="$build/tests/win32/unwindle_win32_tests.exe"
if [[ -f "$win32_tests" && "${E2E_WIN32_TESTS:-1}" != 0 ]]; then
  echo "e2e: running $(basename "$win32_tests")"
  timeout 600 wine "$win32_tests" >"$results/win32-tests.log" 2>"$results/win32-tests-stderr.txt"
  unit_rc=$?
  grep -E '^\[(  FAILED|  PASSED|==========) ' "$results/win32-tests.log"
  echo "e2e: Win32 back-end tests exited with $unit_rc"
fi

# One run of the driver: in the background with `wait`, so that an interrupt cleans up at once.
# Usage: run_driver WHAT SECONDS LOG STDERR ARGS...; sets driver_rc.
run_driver() {
  local what=$1 limit=$2 log=$3 err=$4 t0=$SECONDS
  shift 4
  echo "e2e: running the $what"
  timeout "$limit" wine "$driver" "$@" 2>"$results/$err" > >(tee "$results/$log") &
  driver_pid=$!
  wait "$driver_pid"
  driver_rc=$?
  driver_pid=""
  echo "e2e: $what finished in $((SECONDS - t0)) s with exit code $driver_rc"
}

run_driver "checks of $(basename "$exe")" 720 driver.log wine-stderr.txt test "$exe" \
  --results "$results" --wav "$results/sounds/capture.wav" ${E2E_ONLY:+--only "$E2E_ONLY"}
rc=$driver_rc
release_rc=0
manifests_rc=0
if [[ "${E2E_RELEASE_ONLY:-}" != none ]]; then
  run_driver "release checks of $(basename "$setup")" 400 release-driver.log \
    wine-stderr-release.txt release "$exe" --setup "$setup" --results "$results" \
    ${E2E_RELEASE_ONLY:+--only "$E2E_RELEASE_ONLY"}
  release_rc=$driver_rc

  # The package manifests of the release: well formed, of the version CMakeLists.txt sets, with the
  # hashes of the setup and the zip beside them.
  echo "e2e: checking the release manifests in $build/dist"
  python3 "$root/tools/check_release_manifests.py" "$build/dist" | tee "$results/release-manifests.log"
  manifests_rc=${PIPESTATUS[0]}
fi

# The program stays one file under 1 MiB, with every clip, icon and catalogue in it.
size_rc=0
size=$(stat -c %s "$exe")
if ((size < 1048576)); then
  echo "PASS unwindle.exe is $size bytes, under 1 MiB"
else
  echo "FAIL unwindle.exe is $size bytes, not under 1 MiB (1048576)"
  size_rc=1
fi

shots=("$results"/*.png)
if [[ -f "${shots[0]}" ]]; then
  echo "e2e: screenshots: ${shots[*]##*/}"
else
  echo "e2e: no screenshots were taken"
fi
echo "e2e: results in $results (total $((SECONDS - started)) s)"
((rc == 0)) && rc=$unit_rc
((rc == 0)) && rc=$release_rc
((rc == 0)) && rc=$manifests_rc
((rc == 0)) && rc=$size_rc
exit "$rc"

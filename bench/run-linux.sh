#!/usr/bin/env bash
# Timer accuracy, CPU time, peak memory and size of the native Linux program (the release build
# that goes into the .deb, no sanitizers), then one table of its figures beside the Windows
# build's under Wine (bench/run.sh's BUILD/bench-results/figures.tsv, when it has run).
#
#   bench/run-linux.sh [BUILD_DIR] [WINDOWS_BUILD_DIR]
#                      (defaults: build/linux-release, build/windows)
#   UNWINDLE_BENCH_SECONDS=10 bench/run-linux.sh     a shorter countdown (default 120)
#
# The program counts a planted interval of N seconds down (started at launch) on a private Xvfb
# and session bus (tools/native-env.sh) while a plain QTimer(1000) counter (bench/naive_qtimer.cpp)
# counts N + 1 ticks beside it. The tick that ends the countdown is due N + 1 s after Start; the
# trace gives both moments (timer.start / timer.stop of BreakCycle's tmrMain), as on Windows.
# CPU time is /proc/PID/stat's utime + stime: what start-up took (up to the first sample once
# the countdown runs), and what counting took from there to the last sample before it ended,
# scaled to an hour by the wall time between the two. Peak memory is VmHWM at that last sample,
# as measured (a peak; it is printed at the countdown's start too, so that what counting added
# shows). Never fails: what cannot be measured is "n/a".
set -u

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build/linux-release}"
windows="${2:-$root/build/windows}"
seconds="${UNWINDLE_BENCH_SECONDS:-120}"
[[ "$seconds" =~ ^[0-9]+$ ]] || seconds=120
((seconds > 359999)) && seconds=359999
program="$build/backends/qt/unwindle"
naive="$build/bench/naive_qtimer"
results="${BENCH_RESULTS:-$build/bench-results}"

say() { printf 'bench: %s\n' "$*"; }
na() { [[ -n "${1:-}" ]] && printf '%s' "$1" || printf 'n/a'; }

# --- Build what is missing or stale.
if [[ "$(cd "$build" 2>/dev/null && pwd)" == "$root/build/linux-release" || ! -d "$build" ]]; then
  (cd "$root" &&
    { [[ -f build/linux-release/build.ninja ]] || cmake --preset release-linux >/dev/null; } &&
    cmake --build --preset release-linux >/dev/null) ||
    say "the release build failed; using what exists"
else
  cmake --build "$build" --target unwindle unwindle_deb >/dev/null ||
    say "the build in $build failed; using what exists"
fi
mkdir -p "$build/bench"
if [[ ! -f "$naive" || "$root/bench/naive_qtimer.cpp" -nt "$naive" ]]; then
  # shellcheck disable=SC2046
  g++ -std=c++20 -O2 -Wall -Wextra -fPIC -o "$naive" "$root/bench/naive_qtimer.cpp" \
    $(pkg-config --cflags --libs Qt6Core) || say "naive_qtimer did not build"
fi

rm -rf "$results"
mkdir -p "$results"
trace="$results/trace.txt"

err_ms="" span_ms="" naive_ms="" start_cpu="" hour_cpu="" hwm_kb="" hwm0_kb=""
program_size="" deb_size=""
[[ -f "$program" ]] && program_size="$(stat -c %s "$program")"
deb="$(ls "$build"/dist/unwindle_*.deb 2>/dev/null | head -1)"
[[ -n "$deb" ]] && deb_size="$(stat -c %s "$deb")"

# shellcheck source=../tools/native-env.sh
source "$root/tools/native-env.sh"
trap 'native_env_cleanup' EXIT
trap 'exit 0' INT TERM

hz="$(getconf CLK_TCK)"
cpu_of() { # PID: utime + stime in seconds; the name in parentheses may hold spaces
  local stat
  stat="$(cat "/proc/$1/stat" 2>/dev/null)" || return 1
  read -r -a f <<<"${stat##*) }"
  awk -v u="${f[11]}" -v s="${f[12]}" -v hz="$hz" 'BEGIN { printf "%.3f", (u + s) / hz }'
}
now_s() { awk -v ns="$(date +%s%N)" 'BEGIN { printf "%.3f", ns / 1e9 }'; }
started() { grep -q $'\ttimer.start\tBreakCycle\ttmrMain' "$trace" 2>/dev/null; }
ended() {
  awk -F'\t' '$2 == "timer.start" && $3 == "BreakCycle" && $4 == "tmrMain" { s = 1 }
              s && $2 == "timer.stop" && $3 == "BreakCycle" && $4 == "tmrMain" { found = 1 }
              END { exit !found }' "$trace" 2>/dev/null
}

if [[ ! -x "$program" ]]; then
  say "$program is missing: nothing to run"
elif ! native_env_setup 2>"$results/setup.txt"; then
  say "no private display or bus (see $results/setup.txt)"
else
  mkdir -p "$XDG_CONFIG_HOME/KORVANTE"
  printf '[Unwindle]\nHours=%d\nMinutes=%d\nSeconds=%d\nStartTimerOnLaunch=1\nLaunchOnStartup=0\n' \
    $((seconds / 3600)) $((seconds % 3600 / 60)) $((seconds % 60)) \
    >"$XDG_CONFIG_HOME/KORVANTE/Unwindle.ini"
  UNWINDLE_TRACE="$trace" "$program" >"$results/unwindle-output.txt" 2>&1 &
  program_pid=$!
  naive_pid=""
  if [[ -x "$naive" ]]; then
    "$naive" "$seconds" >"$results/naive.txt" 2>"$results/naive-stderr.txt" &
    naive_pid=$!
  fi
  say "running for $((seconds + 1)) s (countdown and naive counter side by side)"
  c0="" w0="" c1="" w1=""
  deadline=$((SECONDS + seconds + 40))
  hwm_of() { awk '/^VmHWM:/ { print $2 }' "/proc/$1/status" 2>/dev/null; }
  while ((SECONDS < deadline)) && kill -0 "$program_pid" 2>/dev/null; do
    if [[ -z "$c0" ]] && started; then
      c0="$(cpu_of "$program_pid")" && w0="$(now_s)" && hwm0_kb="$(hwm_of "$program_pid")"
    fi
    # A sample counts when the countdown had not ended after it was taken: the alert that
    # follows (its window, its sound) is no part of counting.
    cpu="$(cpu_of "$program_pid")" wall="$(now_s)" hwm="$(hwm_of "$program_pid")"
    ended && break
    [[ -n "$c0" ]] && c1="$cpu" w1="$wall" hwm_kb="$hwm"
    sleep 0.2
  done
  start_cpu="$c0"
  [[ -n "$c0" && -n "$c1" ]] && hour_cpu="$(awk -v a="$c0" -v b="$c1" -v t0="$w0" -v t1="$w1" \
    'BEGIN { if (t1 > t0 + 1) printf "%.2f", (b - a) * 3600 / (t1 - t0) }')"
  read -r t_start t_stop < <(awk -F'\t' '
    $2 == "timer.start" && $3 == "BreakCycle" && $4 == "tmrMain" && start == "" { start = $1; next }
    start != "" && $2 == "timer.stop" && $3 == "BreakCycle" && $4 == "tmrMain" { print start, $1; exit }
  ' "$trace" 2>/dev/null)
  if [[ -n "${t_start:-}" && -n "${t_stop:-}" ]]; then
    span_ms=$((t_stop - t_start))
    err_ms=$((span_ms - (seconds + 1) * 1000))
  fi
  if [[ -n "$naive_pid" ]]; then
    for ((i = 0; i < 100; i++)); do
      kill -0 "$naive_pid" 2>/dev/null || break
      sleep 0.1
    done
    kill "$naive_pid" 2>/dev/null
    naive_ms="$(sed -n 's/.*error_ms=\(-\{0,1\}[0-9]*\).*/\1/p' "$results/naive.txt" 2>/dev/null)"
  fi
fi

say "Linux: countdown of $seconds s; its last tick is due $((seconds + 1)) s after Start"
say "  unwindle, tick that ends the countdown: error $(na "$err_ms") ms" \
  "(came $(na "$span_ms") ms after Start, due $(((seconds + 1) * 1000)))"
say "  naive QTimer(1000) counter, tick $((seconds + 1)): error $(na "$naive_ms") ms"
say "  unwindle CPU time: start-up $(na "$start_cpu") s; counting $(na "$hour_cpu") s an hour"
say "  unwindle peak memory (VmHWM): $(na "$hwm_kb") kB (when the countdown began: $(na "$hwm0_kb") kB)"
say "  unwindle size: $(na "$program_size") bytes; $(basename "${deb:-the .deb}"): $(na "$deb_size") bytes"
printf '%s\t%s\n' seconds "$seconds" error_ms "$err_ms" naive_error_ms "$naive_ms" \
  startup_cpu_s "$start_cpu" cpu_s_per_hour "$hour_cpu" peak_kb "$hwm_kb" \
  program_bytes "$program_size" package_bytes "$deb_size" >"$results/figures.tsv"

# --- One table: this build beside the Windows build under Wine.
figure() { awk -F'\t' -v k="$2" '$1 == k { print $2 }' "$1" 2>/dev/null; }
wfig="$windows/bench-results/figures.tsv"
[[ -f "$wfig" ]] || say "no figures of the Windows build ($wfig): make bench runs bench/run.sh first"
row() { # LABEL KEY
  printf 'bench: %-44s %14s %20s\n' "$1" "$(na "$(figure "$results/figures.tsv" "$2")")" \
    "$(na "$(figure "$wfig" "$2")")"
}
printf 'bench: %-44s %14s %20s\n' "" "Linux (Qt 6)" "Windows under Wine"
row "countdown (s)" seconds
row "error of the tick that ends it (ms)" error_ms
row "naive 1000 ms timer, same tick (ms)" naive_error_ms
row "CPU time at start-up (s)" startup_cpu_s
row "CPU time counting, scaled to an hour (s)" cpu_s_per_hour
row "peak memory, VmHWM (kB)" peak_kb
row "program (bytes)" program_bytes
row "package: .deb | installer (bytes)" package_bytes
say "  details in $results"
exit 0

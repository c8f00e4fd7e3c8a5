#!/usr/bin/env bash
# Timer accuracy, CPU time, peak memory and size of the real unwindle.exe under Wine, and what the
# history costs (unwindle_history_bench.exe: one journal append, 400 days of figures; the real
# program's Statistics window opened on 400 days of history).
#
#   bench/run.sh [BUILD_DIR]        (default: build/windows)
#   UNWINDLE_BENCH_SECONDS=10 bench/run.sh     a shorter countdown (default 120)
#
# unwindle.exe counts a planted interval of N seconds down (started at launch) while a plain
# SetTimer(1000) counter (bench/naive_timer.cpp) counts N + 1 ticks beside it, both in one private
# Xvfb and Wine prefix. The tick that ends the countdown is due N + 1 s after Start; the trace gives
# both moments (timer.start / timer.stop of BreakCycle's tmrMain: the time-up tick stops it before
# anything else). Never fails: what cannot be measured prints "n/a".
set -u

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-$root/build/windows}"
seconds="${UNWINDLE_BENCH_SECONDS:-120}"
[[ "$seconds" =~ ^[0-9]+$ ]] || seconds=120
((seconds > 359999)) && seconds=359999
exe="$build/backends/win32/unwindle.exe"
driver="$build/tests/e2e/unwindle_e2e_driver.exe"
naive="$build/bench/naive_timer.exe"
history="$build/bench/unwindle_history_bench.exe"
catalogue_bench="$build/bench/unwindle_catalogue_bench.exe"
results="${BENCH_RESULTS:-$build/bench-results}"

say() { printf 'bench: %s\n' "$*"; }

# --- Build what is missing or stale.
if [[ "$(cd "$build" 2>/dev/null && pwd)" == "$root/build/windows" || ! -d "$build" ]]; then
  (cd "$root" && { [[ -f build/windows/build.ninja ]] || cmake --preset windows >/dev/null; } &&
    cmake --build --preset windows >/dev/null) || say "the Windows build failed; using what exists"
else
  cmake --build "$build" >/dev/null || say "the build in $build failed; using what exists"
fi
mkdir -p "$build/bench"
if [[ ! -f "$naive" || "$root/bench/naive_timer.cpp" -nt "$naive" ]]; then
  x86_64-w64-mingw32-g++-posix -std=c++20 -O2 -Wall -Wextra -static \
    -o "$naive" "$root/bench/naive_timer.cpp" || say "naive_timer.exe did not build"
fi

rm -rf "$results"
mkdir -p "$results"
trace="$results/trace.txt"

# shellcheck source=../tools/wine-env.sh
source "$root/tools/wine-env.sh"
finish() {
  wine_env_cleanup
  exit 0
}
trap finish EXIT
trap 'exit 0' INT TERM

na() { [[ -n "${1:-}" ]] && printf '%s' "$1" || printf 'n/a'; }

report() {
  local size=""
  [[ -f "$exe" ]] && size="$(stat -c %s "$exe")"
  say "countdown of $seconds s; its last tick is due $((seconds + 1)) s after Start"
  say "  unwindle.exe, tick that ends the countdown: error $(na "$err_ms") ms" \
    "(came $(na "$span_ms") ms after Start, due $(((seconds + 1) * 1000)))"
  say "  naive SetTimer(1000) counter, tick $((seconds + 1)): error $(na "$naive_ms") ms"
  say "  unwindle.exe CPU time (utime+stime): $(na "$cpu_s") s"
  say "  unwindle.exe peak memory (VmHWM): $(na "$hwm_kb") kB"
  say "  unwindle.exe size: $(na "$size") bytes"
  # Its parts: the built-in clips and the program icon as the resource files compiled in (a few
  # bytes of resource headers aside), the code and everything else the rest.
  local clips=0 icons=0 f
  for f in $(sed -n 's/^[A-Z]* *WAVE *"\(.*\)"/\1/p' "$root/resources/sounds/sounds.rc"); do
    clips=$((clips + $(stat -c %s "$root/resources/sounds/$f" 2>/dev/null || echo 0)))
  done
  [[ -f "$build/host/unwindle.ico" ]] && icons="$(stat -c %s "$build/host/unwindle.ico")"
  # The catalogues are stored as one compressed pack; beside it, what the .mo files would take.
  local catalogues=0 mos=0 languages=0
  [[ -f "$build/po/catalogues.pack" ]] && catalogues="$(stat -c %s "$build/po/catalogues.pack")"
  for f in "$build"/po/*.mo; do
    [[ -f "$f" ]] && mos=$((mos + $(stat -c %s "$f"))) && languages=$((languages + 1))
  done
  [[ -n "$size" ]] &&
    say "  unwindle.exe parts: code and data $((size - clips - icons - catalogues)), clips $clips," \
      "icons $icons, catalogues $catalogues bytes (budget 1048576: $((1048576 - size)) left)"
  say "  catalogues: $languages languages in a pack of $catalogues bytes ($mos bytes as .mo files)"
  if [[ -s "$results/catalogues.txt" ]]; then
    sed 's/^/bench: /' "$results/catalogues.txt"
  else
    say "catalogues: start-up cost n/a"
  fi
  for phase in resting paused counting shortbreaks; do
    if [[ -s "$results/$phase.txt" ]]; then
      sed 's/^/bench: /' "$results/$phase.txt"
    else
      say "  $phase: n/a"
    fi
  done
  if [[ -s "$results/history.txt" ]]; then
    sed 's/^/bench: /' "$results/history.txt"
  else
    say "history: n/a"
  fi
  if [[ -s "$results/history-big.txt" ]]; then
    sed 's/^/bench: /' "$results/history-big.txt"
  else
    say "history: 200 MB of recent lines: n/a"
  fi
  say "history: the Statistics window on 400 days, from the request to the window shown:" \
    "median $(na "$stats_median") ms, slowest $(na "$stats_max") ms of $(na "$stats_runs")" \
    "(goal: under 100 ms)"
  say "history: unwindle.exe on 200 MB of recent history: its window $(na "$big_ms") ms after" \
    "its start, peak memory (VmHWM) $(na "$big_hwm") kB"
  say "  details in $results"
  local setup
  setup="$(ls "$build"/dist/Unwindle-*-setup.exe 2>/dev/null | head -1)"
  printf '%s\t%s\n' seconds "$seconds" error_ms "$err_ms" naive_error_ms "$naive_ms" \
    startup_cpu_s "$start_cpu" cpu_s_per_hour "$hour_cpu" peak_kb "$hwm_kb" \
    program_bytes "$size" package_bytes "$([[ -n "$setup" ]] && stat -c %s "$setup")" \
    >"$results/figures.tsv"
}

err_ms="" span_ms="" naive_ms="" cpu_s="" hwm_kb="" stats_median="" stats_max="" stats_runs=""
start_cpu="" hour_cpu=""
big_ms="" big_hwm=""
if [[ ! -f "$exe" || ! -f "$driver" ]]; then
  say "unwindle.exe or the e2e driver is missing: nothing to run"
  report
  exit 0
fi

wine_env_setup >/dev/null 2>"$results/setup.txt" || {
  say "no Wine prefix or Xvfb (see $results/setup.txt)"
  report
  exit 0
}

# What the catalogues cost at start-up.
if [[ -f "$catalogue_bench" ]]; then
  timeout 60 wine "$catalogue_bench" >"$results/catalogues.txt" 2>/dev/null ||
    say "the catalogue bench did not finish"
fi

# The history's costs first, so that they do not share the machine with the countdown.
if [[ -f "$history" ]]; then
  timeout 120 wine "$history" >"$results/history.txt" 2>"$results/history-stderr.txt" ||
    say "the history bench did not finish"
  # A file of 200 MB of recent lines, written a megabyte at a time, read by a process of its own
  # so that its peak memory is the read's.
  timeout 300 wine "$history" --big 200 >"$results/history-big.txt" \
    2>"$results/history-big-stderr.txt" || say "the 200 MB history bench did not finish"
fi

# The Statistics window of the real program on 400 days of history (planted as the user's own):
# from the request (the trace's statistics.open) to the window's showing (window.show), five times.
statistics_trace="$results/trace-statistics.txt"
shown_count() { grep -c $'\twindow.show\tfrmStatistics' "$statistics_trace" 2>/dev/null; }
closed_count() { grep -c $'\twindow.unload\tfrmStatistics' "$statistics_trace" 2>/dev/null; }
wait_count() { # wait_count FUNCTION N: until FUNCTION says N, for up to 10 s
  local i
  for ((i = 0; i < 100; i++)); do
    (($("$1") >= $2)) && return 0
    sleep 0.1
  done
  return 1
}
if [[ -f "$history" ]] && wine "$history" --plant >"$results/plant.txt" 2>&1; then
  wine "$driver" plant --clean StartTimerOnLaunch=0 LaunchMinimized=0 2>/dev/null
  UNWINDLE_TRACE="Z:${statistics_trace//\//\\}" wine "$exe" >/dev/null 2>&1 &
  if wine "$driver" wait-window 40 >/dev/null 2>&1; then
    for ((run = 1; run <= 5; run++)); do
      wine "$driver" invoke frmTimer mnuStatistics >/dev/null 2>&1 && wait_count shown_count "$run" &&
        wine "$driver" invoke frmStatistics cmdClose >/dev/null 2>&1 &&
        wait_count closed_count "$run" || break
    done
  fi
  wine "$driver" exit 10 >/dev/null 2>&1
  read -r stats_median stats_max stats_runs < <(awk -F'\t' '
    $2 == "statistics.open" { asked = $1 }
    $2 == "window.show" && $3 == "frmStatistics" && asked != "" { print $1 - asked; asked = "" }
  ' "$statistics_trace" 2>/dev/null | sort -n | awk '{ v[NR] = $1 }
    END { if (NR) print v[int((NR + 1) / 2)], v[NR], NR }')
  # The countdown below runs on a history of its own.
  find "$WINEPREFIX/drive_c/users" -path '*/KORVANTE/Unwindle/history.tsv*' -delete 2>/dev/null
else
  say "could not plant 400 days of history (see $results/plant.txt)"
fi

# The real program started on 200 MB of recent history: from its start to its window, and its
# peak memory then (VmHWM of its Linux process).
big_ms="" big_hwm=""
if [[ -f "$history" ]] && wine "$history" --plant-big 200 >"$results/plant-big.txt" 2>&1; then
  wine "$driver" plant --clean StartTimerOnLaunch=0 LaunchMinimized=0 2>/dev/null
  big_start=$(date +%s%N)
  wine "$exe" >/dev/null 2>&1 &
  if wine "$driver" wait-window 60 >/dev/null 2>&1; then
    big_ms=$((($(date +%s%N) - big_start) / 1000000))
    big_pid="$(wine_env_pid_of unwindle.exe)" &&
      big_hwm="$(awk '/^VmHWM:/ { print $2 }' "/proc/$big_pid/status" 2>/dev/null)"
  fi
  wine "$driver" exit 10 >/dev/null 2>&1
  find "$WINEPREFIX/drive_c/users" -path '*/KORVANTE/Unwindle/history.tsv*' -delete 2>/dev/null
fi

# The interval, with the timer started at launch.
wine "$driver" plant --clean "Hours=$((seconds / 3600))" "Minutes=$((seconds % 3600 / 60))" \
  "Seconds=$((seconds % 60))" StartTimerOnLaunch=1 2>/dev/null || say "could not plant the settings"

wintrace="Z:${trace//\//\\}"
UNWINDLE_TRACE="$wintrace" wine "$exe" >"$results/unwindle-output.txt" 2>&1 &
if [[ -f "$naive" ]]; then
  wine "$naive" "$seconds" >"$results/naive.txt" 2>"$results/naive-stderr.txt" &
  naive_pid=$!
else
  naive_pid=""
fi
say "running for $((seconds + 1)) s (countdown and naive counter side by side)"

pid=""
hz="$(getconf CLK_TCK)"
sample() {
  [[ -n "$pid" ]] || pid="$(wine_env_pid_of unwindle.exe)" || return 1
  local stat rest utime stime hwm
  stat="$(cat "/proc/$pid/stat" 2>/dev/null)" || return 1
  rest="${stat##*) }" # fields from the 3rd on; the name in parentheses may hold spaces
  read -r -a f <<<"$rest"
  utime="${f[11]}" stime="${f[12]}"
  hwm="$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status" 2>/dev/null)"
  [[ -n "$utime" && -n "$stime" ]] && cpu_s="$(awk -v u="$utime" -v s="$stime" -v hz="$hz" \
    'BEGIN { printf "%.2f", (u + s) / hz }')"
  [[ -n "$hwm" ]] && hwm_kb="$hwm"
  return 0
}
ended() {
  awk -F'\t' '$2 == "timer.start" && $3 == "BreakCycle" && $4 == "tmrMain" { s = 1 }
              s && $2 == "timer.stop" && $3 == "BreakCycle" && $4 == "tmrMain" { found = 1 }
              END { exit !found }' "$trace" 2>/dev/null
}

# CPU time while counting, for the table beside the Linux build (bench/run-linux.sh): from the
# first sample once the countdown runs to the last one before it ended, scaled to an hour by the
# wall time between them; what came before is start-up.
now_s() { awk -v ns="$(date +%s%N)" 'BEGIN { printf "%.3f", ns / 1e9 }'; }
c0="" w0="" c1="" w1=""
deadline=$((SECONDS + seconds + 40))
while ((SECONDS < deadline)); do
  sample
  wall="$(now_s)"
  [[ -z "$c0" && -n "$cpu_s" ]] && grep -q $'\ttimer.start\tBreakCycle\ttmrMain' "$trace" 2>/dev/null &&
    c0="$cpu_s" w0="$wall"
  ended && break
  [[ -n "$c0" ]] && c1="$cpu_s" w1="$wall"
  sleep 0.5
done
sample # once more, right after the countdown ended and before the program goes
start_cpu="$c0" hour_cpu=""
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

# Quiet time: the program started outside working hours (its one working day is three days on) and
# in a timed pause, each for a while, its timers and CPU time read from the trace and /proc.
quiet_seconds="${UNWINDLE_BENCH_QUIET_SECONDS:-70}"
quiet_phase() { # NAME STATE PLANT...
  local name=$1 state=$2 qtrace="$results/$1-trace.txt" qpid="" c0="" c1="" t0 t1
  shift 2
  [[ -n "$pid" ]] && kill "$pid" 2>/dev/null
  pid=""
  sleep 1
  wine "$driver" plant --clean "$@" 2>/dev/null || { say "could not plant the $name settings"; return; }
  UNWINDLE_TRACE="Z:${qtrace//\//\\}" wine "$exe" >/dev/null 2>&1 &
  # After the splash and the first look at the clock, the quiet begins.
  for ((i = 0; i < 60; i++)); do
    grep -q "cycle.state	$state" "$qtrace" 2>/dev/null && break
    sleep 0.5
  done
  qpid="$(wine_env_pid_of unwindle.exe)" || { say "$name: the program did not start"; return; }
  pid="$qpid"
  cpu() { awk -v hz="$hz" '{ split($0, a, ") "); split(a[2], f, " "); printf "%.2f", (f[12] + f[13]) / hz }' \
    "/proc/$qpid/stat" 2>/dev/null; }
  t0=$(awk -F'\t' 'END { print $1 }' "$qtrace")
  c0="$(cpu)"
  sleep "$quiet_seconds"
  c1="$(cpu)"
  t1=$(awk -F'\t' 'END { print $1 }' "$qtrace")
  awk -F'\t' -v t0="$t0" -v name="$name" -v secs="$quiet_seconds" -v c0="$c0" -v c1="$c1" '
    $2 == "timer.start" && $3 == "BreakCycle" { run[$4] = 1; if ($1 > t0) starts[$4]++ }
    $2 == "timer.stop" && $3 == "BreakCycle" { delete run[$4] }
    END {
      others = ""
      for (t in run) if (t != "tmrClock") others = others " " t
      if (name == "counting" || name == "shortbreaks") {
        n = 0
        for (t in starts) n += starts[t]
        printf "  %s for %d s: timers running:%s; timer starts meanwhile: %d; CPU %.2f s\n",
          name, secs, others == "" ? " none" : others, n, c1 - c0
      } else {
        printf "  %s for %d s: %d looks at the clock (tmrClock), other timers running:%s; CPU %.2f s\n",
          name, secs, starts["tmrClock"], others == "" ? " none" : others, c1 - c0
      }
    }' "$qtrace" >"$results/$name.txt"
}
if [[ -f "$driver" ]]; then
  names=(Mon Tue Wed Thu Fri Sat Sun)
  day=$((($(date +%u) - 1 + 3) % 7))
  week=""
  for d in 0 1 2 3 4 5 6; do
    week+="${names[$d]}=$([[ $d == "$day" ]] && printf '09:00-17:00');"
  done
  say "quiet time: $quiet_seconds s outside working hours, then $quiet_seconds s in a timed pause"
  quiet_phase resting resting Hours=1 Minutes=0 Seconds=0 StartTimerOnLaunch=1 \
    WorkingHoursEnabled=1 "WorkingHours=${week%;}"
  quiet_phase paused pauseduntil Hours=1 Minutes=0 Seconds=0 StartTimerOnLaunch=1 \
    "PausedUntil=$(date -u -d '+30 min' +%Y-%m-%dT%H:%M:%SZ)"
  # Counting, short breaks off and then on (one a minute, five seconds long, with a heads-up):
  # the same timers, and no wake-up beyond the countdown's one-second tick.
  say "counting: $quiet_seconds s with short breaks off, then on (one a minute)"
  quiet_phase counting counting Hours=1 Minutes=0 Seconds=0 StartTimerOnLaunch=1 ShortBreaks=0
  quiet_phase shortbreaks counting Hours=1 Minutes=0 Seconds=0 StartTimerOnLaunch=1 ShortBreaks=1 \
    ShortBreakMinutes=1 ShortBreakSeconds=5 HeadsUpSeconds=5 ShortBreakSound=0
  [[ -n "$pid" ]] && kill "$pid" 2>/dev/null
fi

if [[ -n "$naive_pid" ]]; then
  # The counter started with the program and ends on its own about now.
  for ((i = 0; i < 200; i++)); do
    kill -0 "$naive_pid" 2>/dev/null || break
    sleep 0.1
  done
  naive_ms="$(sed -n 's/.*error_ms=\(-\{0,1\}[0-9]*\).*/\1/p' "$results/naive.txt" 2>/dev/null)"
fi

report
exit 0

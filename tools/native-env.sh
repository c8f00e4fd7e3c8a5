# Sourced by tools/run-native.sh and tests/e2e/native.sh: a private X server and session bus for
# the native program, and the program's automation seam (org.korvante.Unwindle /Automation) from
# the shell.
#
#   native_env_setup       starts Xvfb (on a display it finds free itself) and a session bus, and
#                          exports DISPLAY and DBUS_SESSION_BUS_ADDRESS; and a home of its own:
#                          XDG_CONFIG_HOME, XDG_DATA_HOME and XDG_RUNTIME_DIR in a temporary
#                          folder, so that nothing of the user's settings, history or running
#                          program is touched
#   native_env_cleanup     ends the program ($program_pid), the bus and Xvfb
#   auto METHOD [ARGS...]  calls the seam (Invoke FORM CONTROL, Read FORM CONTROL, Windows,
#                          Answer BUTTON) and prints its answer
#   wait_for SECONDS CMD   runs CMD until it succeeds, at most SECONDS long
#   countdown              the main window's time remaining, HH:MM:SS
#   check WHAT CMD         prints "ok" or "FAIL" for CMD and counts the failures in $failures;
#                          shown, gone and pressed (FORM [CONTROL]) and ended ($program_pid) to
#                          check with

xvfb_pid="" bus_pid="" program_pid="" native_home=""

native_env_setup() {
  local display address
  native_home=$(mktemp -d "${TMPDIR:-/tmp}/unwindle-native.XXXXXX") || return 1
  mkdir -p "$native_home/config" "$native_home/data" "$native_home/runtime"
  chmod 700 "$native_home/runtime"
  export XDG_CONFIG_HOME="$native_home/config" XDG_DATA_HOME="$native_home/data"
  export XDG_RUNTIME_DIR="$native_home/runtime"
  exec {displayfd}<> <(:)
  Xvfb -screen 0 1280x800x24 -nolisten tcp -displayfd "$displayfd" >/dev/null 2>&1 &
  xvfb_pid=$!
  read -r -t 15 -u "$displayfd" display || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=":$display"
  exec {busfd}<> <(:)
  dbus-daemon --session --nofork --print-address="$busfd" >/dev/null 2>&1 &
  bus_pid=$!
  read -r -t 15 -u "$busfd" address || { echo "dbus-daemon did not start" >&2; return 1; }
  export DBUS_SESSION_BUS_ADDRESS="$address"
  # Nothing of the user's desktop: its theme, its portal.
  unset XDG_CURRENT_DESKTOP QT_QPA_PLATFORMTHEME WAYLAND_DISPLAY
}

native_env_cleanup() {
  if [[ -n "$program_pid" ]]; then
    kill "$program_pid" 2>/dev/null && wait "$program_pid" 2>/dev/null
    program_pid=""
  fi
  [[ -n "$bus_pid" ]] && kill "$bus_pid" 2>/dev/null
  [[ -n "${system_bus_pid:-}" ]] && kill "$system_bus_pid" 2>/dev/null
  system_bus_pid=""
  [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null
  bus_pid="" xvfb_pid=""
  [[ -n "$native_home" ]] && rm -rf "$native_home"
  native_home=""
}

auto() {
  local method=$1
  shift
  local args=()
  for a in "$@"; do args+=("string:$a"); done
  dbus-send --session --print-reply=literal --reply-timeout=5000 --dest=org.korvante.Unwindle \
    /Automation "org.korvante.Unwindle.Automation.$method" "${args[@]}" 2>/dev/null |
    tr '\n' ' ' | sed 's/^ *//; s/ *$//'
}

# The end-to-end checks: each prints "ok" or "FAIL" and counts the failures in $failures.
failures=0
check() {  # WHAT COMMAND...: the command must succeed
  local what=$1
  shift
  if "$@"; then
    echo "  ok    $what"
  else
    echo "  FAIL  $what"
    failures=$((failures + 1))
  fi
}
shown() { auto Windows | grep -q "$1 visible"; }
gone() { ! auto Windows | grep -q "$1 visible"; }
pressed() { [[ "$(auto Invoke "$1" "$2")" == "boolean true" ]]; }
ended() { ! kill -0 "$program_pid" 2>/dev/null; }

wait_for() {
  local until=$((SECONDS + $1))
  shift
  while ((SECONDS < until)); do
    "$@" && return 0
    sleep 0.25
  done
  return 1
}

countdown() {
  echo "$(auto Read frmTimer lblHours):$(auto Read frmTimer lblMinutes):$(auto Read frmTimer lblSeconds)"
}

seconds_of() {
  local h m s
  IFS=: read -r h m s <<<"$1"
  echo $((10#${h:-0} * 3600 + 10#${m:-0} * 60 + 10#${s:-0}))
}

# The message box on the screen, if any.
message_box() { auto Windows | grep -o 'msgbox .*' | sed 's/^msgbox //; s/ *]$//'; }

# A system bus of its own beside the session's (after native_env_setup), for stand-ins of the
# system's services (tests/e2e/native_presence.sh): exports DBUS_SYSTEM_BUS_ADDRESS; it ends with
# native_env_cleanup. Its rules are a session bus's: any name may be owned on it.
system_bus_pid=""
native_env_system_bus() {
  local address
  exec {sysbusfd}<> <(:)
  dbus-daemon --session --nofork --print-address="$sysbusfd" >/dev/null 2>&1 &
  system_bus_pid=$!
  read -r -t 15 -u "$sysbusfd" address || { echo "dbus-daemon did not start" >&2; return 1; }
  export DBUS_SYSTEM_BUS_ADDRESS="$address"
}

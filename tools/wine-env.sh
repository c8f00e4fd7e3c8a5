# shellcheck shell=bash
# Throw-away Wine prefixes and private virtual displays for running unwindle.exe.
#
# Source this file, then:
#   wine_env_start_xvfb [WxHxD]    start Xvfb on a free display (default 1280x800x24);
#                                  exports DISPLAY. With WINE_ENV_MONITORS="1280x800 1024x768"
#                                  the screen is those monitors side by side (RandR monitors,
#                                  which Xinerama reports; needs xrandr), and the prefix made
#                                  next lists them through Xinerama (UseXRandR=N)
#   wine_env_make_prefix [DIR]     create a fresh 64-bit prefix (default: mktemp -d under /tmp);
#                                  exports WINEPREFIX, WINEARCH, WINEDEBUG, WINEDLLOVERRIDES
#   wine_env_setup                 both of the above
#   wine_env_cleanup               stop this prefix's wineserver (and so every Wine process in it),
#                                  stop our Xvfb, delete the prefix; safe to call more than once
#   wine_env_use_prefix DIR        use an existing prefix (not deleted by wine_env_cleanup)
#   wine_env_pid_of NAME.exe       the Linux process id of that program in this prefix
#   wine_env_capture_audio DIR FILE  send what Wine plays into the WAV file FILE instead of a
#                                  sound card (ALSA's default device becomes a file writer over
#                                  the null device; its configuration goes into DIR, exported as
#                                  XDG_CONFIG_HOME); switches the prefix (made already) to Wine's
#                                  ALSA driver
#
# Callers install the cleanup themselves: trap wine_env_cleanup EXIT
#
# Prefix creation is the slow part (8-13 s on a 2-core machine, nearly all of it wine.inf copying
# and registering ~630 MB of DLLs through the wineserver). Two things keep it short:
# - The X11 driver setting "Managed"="N" is written into user.reg before wineboot runs, so the
#   explorer.exe that wineboot starts already has it and no wineserver restart is needed afterwards
#   (without the setting, every hide or destroy of a top-level window blocks for 2 s when no window
#   manager runs). The wineserver stays warm: the first program start takes ~0.5 s, not ~1.5 s.
# - Mono and Gecko installers are disabled (mscoree, mshtml), as is winemenubuilder.
# Faster still, opt-in: UNWINDLE_WINE_TEMPLATE=/some/dir builds a prefix there once (per Wine
# version) and copies it for each run (~1-2 s). It keeps ~700 MB on disk until you delete it.

WINE_ENV_XVFB_PID=""
WINE_ENV_XVFB_OWNED=0
WINE_ENV_PREFIX_OWNED=0

wine_env_log() { printf '[wine-env] %s\n' "$*" >&2; }

wine_env_exports() {
  export WINEARCH=win64
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml,winemenubuilder.exe=d"
}

# Starts Xvfb on the first free display (the server picks it and reports it through -displayfd).
wine_env_start_xvfb() {
  local geometry="${1:-1280x800x24}"
  local monitors=(${WINE_ENV_MONITORS:-})
  if ((${#monitors[@]} > 1)); then
    local m width=0 height=0
    for m in "${monitors[@]}"; do
      width=$((width + ${m%x*}))
      ((${m#*x} > height)) && height=${m#*x}
    done
    geometry="${width}x${height}x24"
  fi
  local numfile
  numfile="$(mktemp /tmp/unwindle-xvfb.XXXXXX)" || return 1
  Xvfb -displayfd 9 -screen 0 "$geometry" -nolisten tcp -noreset 9>"$numfile" >/dev/null 2>&1 &
  WINE_ENV_XVFB_PID=$!
  WINE_ENV_XVFB_OWNED=1
  local i num=""
  for ((i = 0; i < 200; i++)); do # up to 10 s
    num="$(tr -dc '0-9' <"$numfile")"
    [[ -n "$num" ]] && break
    if ! kill -0 "$WINE_ENV_XVFB_PID" 2>/dev/null; then break; fi
    sleep 0.05
  done
  rm -f "$numfile"
  if [[ -z "$num" ]]; then
    wine_env_log "Xvfb did not start"
    return 1
  fi
  export DISPLAY=":$num"
  wine_env_log "Xvfb pid $WINE_ENV_XVFB_PID on display $DISPLAY ($geometry)"
  if ((${#monitors[@]} > 1)); then
    # Left to right, the first one primary; sizes in millimetres at 96 dots per inch.
    local i left=0 w h
    for i in "${!monitors[@]}"; do
      w=${monitors[$i]%x*} h=${monitors[$i]#*x}
      xrandr --setmonitor "unwindle$i" "$w/$((w * 254 / 960))x$h/$((h * 254 / 960))+$left+0" \
        "$([[ $i == 0 ]] && echo screen || echo none)" >/dev/null 2>&1 || {
        wine_env_log "xrandr could not set monitor $i (${monitors[$i]})"
        return 1
      }
      left=$((left + w))
    done
    wine_env_log "monitors: ${monitors[*]}"
  fi
}

# Seeds DIR with the X11 driver setting and runs wineboot --init in it (WINEPREFIX=DIR).
wine_env_boot() {
  export WINEPREFIX="$1"
  wine_env_exports
  # Pre-seeded before the prefix exists: wineboot keeps it and adds everything else.
  cat >"$WINEPREFIX/user.reg" <<'REG'
WINE REGISTRY Version 2
#arch=win64

[Software\\Wine\\X11 Driver] 1700000000
"Managed"="N"
REG
  # Several monitors: Wine's RandR view sees one screen, Xinerama the monitors on it.
  [[ -n "${WINE_ENV_MONITORS:-}" ]] && printf '"UseXRandR"="N"\n' >>"$WINEPREFIX/user.reg"
  wineboot --init >/dev/null 2>&1 || return 1
  wine_env_link_cjk_fonts
}

# Chinese and Japanese in the program's fonts. Debian's Wine carries no Tahoma, MS Sans Serif or
# Arial: it draws them (and "MS Shell Dlg", the dialogs' font) in Liberation Sans, which holds no
# CJK glyphs. The faces it really draws in are linked (FontLink\SystemLink, which GDI follows for a
# glyph its face lacks, when drawing and when measuring alike) to the CJK faces of the Debian
# packages fonts-noto-cjk and fonts-wqy-microhei, found through fontconfig. Only faces that exist
# are linked: a link for a missing face would make its first CJK face stand in for all of it,
# Latin letters included. A link to a face that is not installed is skipped by Wine.
wine_env_link_cjk_fonts() {
  local reg face
  reg="$(mktemp /tmp/unwindle-fontlink.XXXXXX.reg)" || return 1
  {
    printf 'Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Microsoft\\Windows NT\\CurrentVersion\\FontLink\\SystemLink]\n'
    # Each style by its own name (the title bars' bold caption font is "Liberation Sans Bold").
    for face in "Liberation Sans" "Liberation Sans Bold" "Liberation Sans Italic" \
      "Liberation Sans Bold Italic" "Liberation Sans Narrow" "Liberation Serif" \
      "Liberation Serif Bold" "DejaVu Sans" "DejaVu Sans Bold"; do
      # REG_MULTI_SZ (hex(7)), "file,face" each: Wine's regedit reads the bytes of a text file
      # as ANSI and widens them itself.
      printf '"%s"=hex(7):%s\n' "$face" "$(printf '%s\0%s\0%s\0%s\0\0' \
        "NotoSansCJK-Regular.ttc,Noto Sans CJK SC" "NotoSansCJK-Regular.ttc,Noto Sans CJK JP" \
        "wqy-microhei.ttc,WenQuanYi Micro Hei" "wqy-zenhei.ttc,WenQuanYi Zen Hei" |
        od -An -v -tx1 | tr -s ' \n' ',' | sed 's/^,//; s/,$//')"
    done
  } >"$reg"
  wine regedit /S "$reg" >/dev/null 2>&1
  local rc=$?
  rm -f "$reg"
  return $rc
}

# Opt-in cache: a prefix made once and copied for every run (cp -a, ~2 s instead of ~12 s).
# Costs ~700 MB that stay on disk in $UNWINDLE_WINE_TEMPLATE until you delete it.
wine_env_ensure_template() {
  local tpl="$1" version
  version="$(wine --version 2>/dev/null)"
  mkdir -p "$(dirname "$tpl")" || return 1
  (
    flock 8
    if [[ -f "$tpl/.unwindle-template" && "$(cat "$tpl/.unwindle-template")" == "$version" ]]; then
      exit 0
    fi
    wine_env_log "building prefix template $tpl (once)"
    rm -rf "$tpl" && mkdir -p "$tpl" || exit 1
    (
      wine_env_boot "$tpl" || exit 1
      serverdir="$(wine_env_server_dir)" || serverdir=""
      wineserver -k >/dev/null 2>&1
      timeout 10 wineserver -w >/dev/null 2>&1
      [[ -n "$serverdir" ]] && rm -rf "$serverdir"
      rm -f "$tpl/wineserver"
    ) || exit 1
    printf '%s' "$version" >"$tpl/.unwindle-template"
  ) 8>"$tpl.lock"
}

# Creates a fresh prefix. Prints nothing on stdout.
wine_env_make_prefix() {
  local dir="${1:-}"
  if [[ -z "$dir" ]]; then
    dir="$(mktemp -d /tmp/unwindle-wine.XXXXXX)" || return 1
  else
    mkdir -p "$dir" || return 1
  fi
  WINE_ENV_PREFIX_OWNED=1
  local t0=$SECONDS
  if [[ -n "${UNWINDLE_WINE_TEMPLATE:-}" && -z "${WINE_ENV_MONITORS:-}" ]] &&
    wine_env_ensure_template "$UNWINDLE_WINE_TEMPLATE" &&
    cp -a "$UNWINDLE_WINE_TEMPLATE/." "$dir/"; then
    export WINEPREFIX="$dir"
    wine_env_exports
    rm -f "$WINEPREFIX/.unwindle-template"
    wine_env_log "prefix $WINEPREFIX copied from $UNWINDLE_WINE_TEMPLATE in $((SECONDS - t0)) s"
    return 0
  fi
  if ! wine_env_boot "$dir"; then
    wine_env_log "wineboot --init failed in $WINEPREFIX"
    return 1
  fi
  wine_env_log "prefix $WINEPREFIX ready in $((SECONDS - t0)) s"
}

wine_env_use_prefix() {
  export WINEPREFIX="$1"
  WINE_ENV_PREFIX_OWNED=0
  wine_env_exports
}

wine_env_setup() {
  wine_env_start_xvfb "${WINE_ENV_GEOMETRY:-1280x800x24}" || return 1
  wine_env_make_prefix "$@" || return 1
}

# The server directory Debian's Wine keeps for a prefix: /tmp/wine-XXXXXX, named in the file
# $WINEPREFIX/wineserver. It outlives the wineserver, so the cleanup removes it.
wine_env_server_dir() {
  local f="$WINEPREFIX/wineserver" name
  [[ -r "$f" ]] || return 1
  name="$(tr -d '\n' <"$f")"
  [[ "$name" =~ ^wine-[A-Za-z0-9]+$ ]] || return 1
  printf '/tmp/%s\n' "$name"
}

wine_env_cleanup() {
  local status=$?
  if [[ -n "${WINEPREFIX:-}" && "$WINE_ENV_PREFIX_OWNED" == 1 ]]; then
    local serverdir=""
    serverdir="$(wine_env_server_dir)" || serverdir=""
    # Ends every process of this prefix (only ours: the prefix is private) and waits for the server.
    wineserver -k >/dev/null 2>&1 || true
    timeout 10 wineserver -w >/dev/null 2>&1 || true
    case "$WINEPREFIX" in
      /tmp/unwindle-*) rm -rf "$WINEPREFIX" ;;
      *) wine_env_log "leaving prefix $WINEPREFIX (not created under /tmp/unwindle-*)" ;;
    esac
    [[ -n "$serverdir" ]] && rm -rf "$serverdir"
    WINE_ENV_PREFIX_OWNED=0
  fi
  if [[ "$WINE_ENV_XVFB_OWNED" == 1 && -n "$WINE_ENV_XVFB_PID" ]]; then
    kill "$WINE_ENV_XVFB_PID" 2>/dev/null || true
    wait "$WINE_ENV_XVFB_PID" 2>/dev/null || true
    WINE_ENV_XVFB_OWNED=0
    WINE_ENV_XVFB_PID=""
  fi
  return $status
}

# The Linux process id of a Wine process of this prefix (Wine names each process after its exe,
# e.g. "unwindle.exe"); fails when there is none.
wine_env_pid_of() {
  local name="$1" p
  for p in /proc/[0-9]*; do
    [[ "$(cat "$p/comm" 2>/dev/null)" == "$name" ]] || continue
    tr '\0' '\n' <"$p/environ" 2>/dev/null | grep -qxF -- "WINEPREFIX=$WINEPREFIX" || continue
    printf '%s\n' "${p#/proc/}"
    return 0
  done
  return 1
}

# Every sound starts FILE afresh (one file for all Wine processes: the name cannot come from the
# Windows side, whose environment changes do not reach a child's Unix side). The null device is
# not real time: a clip lands in the file faster than it would play. The file plugin writes the
# WAV header's sizes when the device closes, at the end of each sound.
wine_env_capture_audio() {
  local dir="$1" file="$2"
  mkdir -p "$dir/alsa" || return 1
  cat >"$dir/alsa/asoundrc" <<ALSA
pcm.!default {
  type file
  slave.pcm "null"
  file "$file"
  format "wav"
}
ALSA
  export XDG_CONFIG_HOME="$dir"
  # Wine's sound driver: ALSA, whatever else the machine offers. Each process reads it when it
  # first plays a sound.
  wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f >/dev/null 2>&1
}

#!/usr/bin/env bash
# Checks the Debian package as a user would get it: unpacked with dpkg-deb -x into a temporary
# folder, its control fields, its files, its menu entry, its icons (real PNGs of the size their
# folder names), its program (runs its usage without a display, links no sanitizer runtime) and
# that it starts nothing at sign-in by itself. With Xvfb and dbus-daemon at hand it also starts
# the program on a private display and reads the autostart entry Launch On Startup writes: its
# Exec must be the program where it lies (/usr/bin/unwindle once installed).
#
#   tools/check_deb.sh PACKAGE.deb        exit code 0 when every check held
set -u

deb="${1:?usage: check_deb.sh PACKAGE.deb}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
[[ -f "$deb" ]] || { echo "check_deb: $deb not found" >&2; exit 2; }
tmp="$(mktemp -d "${TMPDIR:-/tmp}/unwindle-deb-check.XXXXXX")"
trap 'rm -rf "$tmp"' EXIT
dpkg-deb -x "$deb" "$tmp/root" || { echo "check_deb: dpkg-deb -x failed" >&2; exit 1; }

failures=0
check() { # WHAT COMMAND...: the command must succeed
  local what=$1
  shift
  if "$@"; then
    echo "  ok    $what"
  else
    echo "  FAIL  $what"
    failures=$((failures + 1))
  fi
}
field() { dpkg-deb -f "$deb" "$1"; }
version="$(sed -n 's/^project(Unwindle VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")"
[[ "$version" == *.* ]] || version="$version.0"

echo "check_deb: $deb"
check "Package is unwindle" [ "$(field Package)" = unwindle ]
check "Version is the project's ($version)" [ "$(field Version)" = "$version" ]
check "Architecture is this machine's" [ "$(field Architecture)" = "$(dpkg --print-architecture)" ]
check "Maintainer is KORVANTE" eval '[[ "$(field Maintainer)" == "KORVANTE <"*@*">" ]]'
# The program links Qt's widgets and D-Bus, xcb and ALSA: each library's package must be named.
depends="$(field Depends)"
for lib in libqt6widgets6 libqt6dbus6 libqt6gui6 libqt6core6 libxcb1 libxcb-screensaver0 \
  libasound2 libc6 libstdc++6; do
  check "Depends names $lib" eval 'tr , "\n" <<<"$depends" | awk "{ print \$1 }" | grep -qx "$lib"'
done
check "Installed-Size is the unpacked size in KiB (within 10%)" eval \
  '(( $(du -sk "$tmp/root" | cut -f1) * 10 >= $(field Installed-Size) * 9 &&
      $(du -sk "$tmp/root" | cut -f1) * 9 <= $(field Installed-Size) * 10 ))'
check "Description has a summary and a body" eval \
  '[[ -n "$(field Description | head -1)" && $(field Description | wc -l) -ge 2 ]]'

# The files: these and nothing else (nothing under /etc: no autostart entry, no configuration).
sizes=(16 22 24 32 48 64 128 256)
expected="$tmp/expected" actual="$tmp/actual"
{
  printf '%s\n' ./usr/bin/unwindle ./usr/share/applications/unwindle.desktop \
    ./usr/share/doc/unwindle/README ./usr/share/doc/unwindle/copyright
  for n in "${sizes[@]}"; do echo "./usr/share/icons/hicolor/${n}x$n/apps/unwindle.png"; done
} | sort >"$expected"
(cd "$tmp/root" && find . -type f -o -type l | sort) >"$actual"
check "the files are the program, its entry, icons and doc" diff "$expected" "$actual"
check "no autostart entry, nothing under /etc" eval '[[ ! -e "$tmp/root/etc" ]]'
check "the files belong to root" eval \
  '! dpkg-deb -c "$deb" | awk "{ print \$2 }" | grep -qv "^root/root$"'
check "the program is executable, the rest is not" eval \
  '[[ $(cd "$tmp/root" && find . -type f -perm /111) == "./usr/bin/unwindle" ]]'

# The menu entry.
program="$tmp/root/usr/bin/unwindle"
entry="$tmp/root/usr/share/applications/unwindle.desktop"
value() { sed -n "s/^$1=//p" "$entry"; }
check "entry: [Desktop Entry] of Type Application" eval \
  '[[ "$(head -1 "$entry")" == "[Desktop Entry]" && "$(value Type)" == Application ]]'
check "entry: Name Unwindle, a Comment" eval '[[ "$(value Name)" == Unwindle && -n "$(value Comment)" ]]'
check "entry: Exec is the installed program" eval \
  '[[ "$(value Exec | cut -d" " -f1)" == @(unwindle|/usr/bin/unwindle) && -x "$program" ]]'
check "entry: Icon unwindle, Categories Utility" eval \
  '[[ "$(value Icon)" == unwindle && ";$(value Categories)" == *";Utility;"* ]]'
if command -v desktop-file-validate >/dev/null; then
  check "entry: desktop-file-validate finds nothing" eval \
    '[[ -z "$(desktop-file-validate "$entry" 2>&1)" ]]'
else
  echo "  n/a   desktop-file-validate is not installed"
fi

# The icons: the PNG signature, then IHDR's width and height (big-endian) as the folder says.
png_size() { od -An -tu1 -N24 "$1" | tr -s ' \n' ' ' | awk '{
  sig = $1 " " $2 " " $3 " " $4 " " $5 " " $6 " " $7 " " $8
  if (sig != "137 80 78 71 13 10 26 10" || $13 != 73 || $14 != 72 || $15 != 68 || $16 != 82) exit 1
  printf "%dx%d", (($17 * 256 + $18) * 256 + $19) * 256 + $20, (($21 * 256 + $22) * 256 + $23) * 256 + $24 }'; }
for n in "${sizes[@]}"; do
  check "icon ${n}x$n is a PNG of ${n}x$n" eval \
    '[[ "$(png_size "$tmp/root/usr/share/icons/hicolor/${n}x$n/apps/unwindle.png")" == "${n}x$n" ]]'
done

# The program: what its command line does with no display (in a home of its own), and the
# libraries it loads.
mkdir -p "$tmp/home/runtime" && chmod 700 "$tmp/home/runtime"
headless() {
  (unset DISPLAY WAYLAND_DISPLAY DBUS_SESSION_BUS_ADDRESS
   XDG_CONFIG_HOME="$tmp/home/config" XDG_DATA_HOME="$tmp/home/data" \
     XDG_RUNTIME_DIR="$tmp/home/runtime" "$program" "$@")
}
check "unwindle --help: exit code 0 with no display" headless --help
check "unwindle --history 1: a CSV of today, exit code 0, with no display" eval \
  'csv="$(headless --history 1 2>&1)" &&
   [[ $(wc -l <<<"$csv") == 2 && "$(tail -1 <<<"$csv")" == "$(date +%F),"* ]]'
check "no sanitizer runtime linked, every library found" eval \
  '! ldd "$program" | grep -Eq "lib(asan|ubsan|tsan|lsan)|not found"'
check "stripped (no symbol table)" eval '! readelf -S "$program" | grep -q "\.symtab"'

# Launch On Startup (on at first) writes the user's autostart entry with this program's path.
if command -v Xvfb >/dev/null && command -v dbus-daemon >/dev/null; then
  # shellcheck source=native-env.sh
  source "$root/tools/native-env.sh"
  trap 'native_env_cleanup; rm -rf "$tmp"' EXIT
  if native_env_setup; then
    "$program" >"$tmp/output.txt" 2>&1 &
    program_pid=$!
    autostart="$XDG_CONFIG_HOME/autostart/unwindle.desktop"
    wait_for 20 test -s "$autostart"
    check "autostart entry written by the program runs it where it lies" eval \
      '[[ "$(sed -n "s/^Exec=//p" "$autostart" 2>/dev/null)" == "\"$program\"" ]]'
    "$program" /exit >/dev/null 2>&1
    wait_for 10 eval '! kill -0 "$program_pid" 2>/dev/null' && program_pid=""
    native_env_cleanup
  else
    echo "  n/a   no private display and bus for the autostart entry"
  fi
fi

if ((failures)); then
  echo "check_deb: $failures check(s) failed"
  exit 1
fi
echo "check_deb: every check held"

#!/usr/bin/env bash
# Packs the Linux program of a release build as a Debian package, with dpkg-deb (no debhelper):
# the program, its menu entry, its icon in the hicolor theme at the usual sizes (drawn by
# program_icon_png from the same code as every other icon of ours) and its copyright and README.
# Nothing starts at sign-in by the package: Options > Launch On Startup writes the user's own
# ~/.config/autostart entry.
#
#   make_deb.sh PROGRAM ICON_TOOL VERSION SOURCE_DIR OUT.deb
set -euo pipefail

program=$1 icon_tool=$2 version=$3 source=$4 out=$5
here="$source/packaging/linux"
arch="$(dpkg --print-architecture)"
stage="$(mktemp -d "${TMPDIR:-/tmp}/unwindle-deb.XXXXXX")"
trap 'rm -rf "$stage"' EXIT
root="$stage/root"
doc="$root/usr/share/doc/unwindle"

install -D -m 0755 "$program" "$root/usr/bin/unwindle"
install -D -m 0644 "$here/unwindle.desktop" "$root/usr/share/applications/unwindle.desktop"
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "$root/usr/share/icons/hicolor/${size}x$size/apps"
  "$icon_tool" "$size" "$root/usr/share/icons/hicolor/${size}x$size/apps/unwindle.png"
  chmod 0644 "$root/usr/share/icons/hicolor/${size}x$size/apps/unwindle.png"
done
mkdir -p "$doc"
sed "s/@VERSION@/$version/" "$here/README" >"$doc/README"
{
  printf '%s\n' "Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" \
    "Upstream-Name: Unwindle" "Upstream-Contact: KORVANTE <unwindle@korvante.example>" "" \
    "Files: *" "Copyright: $(sed -n 's/^Copyright (c) //p' "$source/LICENSE")" "License: Expat"
  sed -n '/^Permission/,$p' "$source/LICENSE" | sed 's/^$/./; s/^/ /'
} >"$doc/copyright"
chmod 0644 "$doc/README" "$doc/copyright"

# The libraries the program links, as the packages that provide them (with the least version
# of each that has every symbol it uses). Without dpkg-dev, Debian 12's packages of what
# backends/qt links (Qt 6 Widgets and D-Bus, xcb with its screen saver extension, ALSA).
if command -v dpkg-shlibdeps >/dev/null; then
  mkdir -p "$stage/debian"
  printf 'Source: unwindle\n\nPackage: unwindle\nArchitecture: any\n' >"$stage/debian/control"
  depends="$(cd "$stage" && dpkg-shlibdeps -O root/usr/bin/unwindle 2>/dev/null |
    sed -n 's/^shlibs:Depends=//p')"
  [[ -n "$depends" ]] || { echo "make_deb.sh: dpkg-shlibdeps found no dependencies" >&2; exit 1; }
else
  echo "make_deb.sh: no dpkg-shlibdeps (dpkg-dev); Depends written out for Debian 12" >&2
  depends="libasound2 (>= 1.0.16), libc6 (>= 2.34), libgcc-s1 (>= 3.0), libqt6core6 (>= 6.4.0),"
  depends+=" libqt6dbus6 (>= 6.4.0), libqt6gui6 (>= 6.4.0), libqt6widgets6 (>= 6.4.0),"
  depends+=" libstdc++6 (>= 12), libxcb-screensaver0, libxcb1"
fi

mkdir -p "$root/DEBIAN"
cat >"$root/DEBIAN/control" <<CONTROL
Package: unwindle
Version: $version
Architecture: $arch
Maintainer: KORVANTE <unwindle@korvante.example>
Installed-Size: $(du -sk --exclude=DEBIAN "$root" | cut -f1)
Depends: $depends
Section: utils
Priority: optional
Homepage: https://korvante.example/unwindle/
Description: break reminder for the desktop
 Unwindle sits in the notification area and counts your work interval down
 once a second, in its window, its tooltip and an animated tray icon. When
 the time is up it reminds you to take a break, with a sound of your choice,
 and counts the break down too. It pauses when asked, keeps to your working
 hours, holds a reminder while you are away or a full-screen program is in
 front, and keeps a history of the breaks you took or skipped.
CONTROL
(cd "$root" && find usr -type f -exec md5sum {} + | sort -k2 >DEBIAN/md5sums)
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"
mkdir -p "$(dirname "$out")"
rm -f "$(dirname "$out")"/unwindle_*.deb # one package in the folder: make dist copies it
dpkg-deb --root-owner-group -Zxz --build "$root" "$out" >/dev/null

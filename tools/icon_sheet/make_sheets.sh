#!/usr/bin/env bash
# Builds tools/icon_sheet and writes the tray icon contact sheets into docs/icons/.
# Usage: tools/icon_sheet/make_sheets.sh [output directory]   (default: docs/icons)
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
out="${1:-$root/docs/icons}"
bin="$(mktemp -d)"
trap 'rm -rf "$bin"' EXIT
art=()
for f in "$root"/resources/icons/*.cpp; do
  [[ "$f" == *_test.cpp ]] || art+=("$f")
done
g++ -std=c++20 -O2 -Wall -Wextra -I"$root" "$root/tools/icon_sheet/icon_sheet.cpp" \
  "$root/tools/png/png_file.cpp" "${art[@]}" -lz -o "$bin/icon_sheet"
mkdir -p "$out"
"$bin/icon_sheet" "$out"
# ImageMagick picks a PNG filter per row and squeezes the sheets further (losslessly) when it is there.
if command -v convert >/dev/null; then
  for f in "$out"/*.png; do
    convert "$f" -strip -define png:compression-level=9 "$bin/small.png" && mv "$bin/small.png" "$f"
  done
fi
echo "icon sheets written to $out"

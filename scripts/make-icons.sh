#!/usr/bin/env bash
# Renders the program's icon at the sizes of the hicolor theme from its vector source. The PNGs
# are committed, so the build never needs a renderer; run this only after changing the SVG.
# Needs rsvg-convert (Debian package librsvg2-bin) and optipng when present.
set -euo pipefail
cd "$(dirname "$0")/.."
source=src/app/resources/marrowleaf.svg
for size in 16 22 24 32 48 64 128 256; do
  out=packaging/icons/${size}x${size}/marrowleaf.png
  mkdir -p "$(dirname "$out")"
  rsvg-convert -w "$size" -h "$size" "$source" -o "$out"
  if command -v optipng >/dev/null; then optipng -quiet -o7 -strip all "$out"; fi
done

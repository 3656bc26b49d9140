#!/usr/bin/env bash
# Installs what is missing, builds, and starts the desktop program on a note file (a generated
# sample when none is given). Without a display it runs once under a virtual X server, opens
# the first note, saves a screenshot and quits.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
file="${1:-build/sample.mlf}"
if [ $# -eq 0 ] && [ ! -f "$file" ]; then build/bin/marrowleaf-make-sample "$file"; fi
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/bin/marrowleaf "$file"
fi
echo "No display: running once under xvfb-run."
MLF_SMOKE_SCREENSHOT="$PWD/build/screenshot.png" xvfb-run -a -s "-screen 0 1280x800x24" build/bin/marrowleaf "$file"
echo "Screenshot of the main window: build/screenshot.png"

#!/usr/bin/env bash
# Installs what is missing, builds, and starts the desktop program on a note file (a generated
# sample when none is given).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
file="${1:-build/sample.mlf}"
if [ $# -eq 0 ] && [ ! -f "$file" ]; then build/bin/marrowleaf-make-sample "$file"; fi
exec build/bin/marrowleaf "$file"

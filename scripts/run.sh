#!/usr/bin/env bash
# Installs what is missing, builds, and shows a note file (a generated sample when none is
# given) with the mlf tool.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
file="${1:-build/sample.mlf}"
if [ $# -eq 0 ] && [ ! -f "$file" ]; then build/bin/marrowleaf-make-sample "$file"; fi
build/bin/mlf info "$file"
echo
build/bin/mlf ls --long "$file"

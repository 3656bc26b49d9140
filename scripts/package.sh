#!/usr/bin/env bash
# Installs what is missing, builds, and makes the Debian package build/marrowleaf_<version>_<arch>.deb.
# Install it with: sudo apt install ./build/marrowleaf_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
cd build
cpack -G DEB >/dev/null
ls "$PWD"/marrowleaf_*.deb

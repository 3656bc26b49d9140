#!/usr/bin/env bash
# Installs what is missing, builds without the tests (so the programs carry no test-only fault
# triggers), and makes the Debian package build-package/marrowleaf_<version>_<arch>.deb.
# Install it with: sudo apt install ./build-package/marrowleaf_*.deb
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DMLF_BUILD_TESTS=OFF -DMLF_BUILD_BENCH=OFF >/dev/null
cmake --build build-package -j "$(nproc)"
cd build-package
cpack -G DEB >/dev/null
ls "$PWD"/marrowleaf_*.deb

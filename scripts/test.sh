#!/usr/bin/env bash
# Installs, builds and runs the whole test suite; exits non-zero on any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
ctest --test-dir build --output-on-failure -j "$(nproc)" --timeout 600

#!/usr/bin/env bash
# Builds the core, the modules, the CLI and their tests in build-sanitize/ with AddressSanitizer,
# UndefinedBehaviorSanitizer and leak detection, and runs those tests; exits non-zero on any
# failure or sanitizer report. The desktop program and the benchmarks are left out.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DMLF_SANITIZE=address,undefined \
  -DMLF_BUILD_GUI=OFF -DMLF_BUILD_BENCH=OFF "${launcher[@]}" >/dev/null
cmake --build build-sanitize -j "$(nproc)"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir build-sanitize --output-on-failure -j "$(nproc)" --timeout 900

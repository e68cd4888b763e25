#!/usr/bin/env bash
# Installs what is missing, then builds and runs the whole test suite twice:
# a warnings-as-errors build, and a build under AddressSanitizer and
# UndefinedBehaviorSanitizer. Exits non-zero on any failure or report.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh

jobs=$(nproc)
run_suite() {
  local dir=$1; shift
  cmake -S . -B "$dir" -DCORVANE_WERROR=ON "$@" >/dev/null
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

echo "== plain build"
run_suite build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo
echo "== sanitized build"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
run_suite build/sanitize -DCMAKE_BUILD_TYPE=Debug -DCORVANE_SANITIZE=ON -DCORVANE_BUILD_BENCHMARKS=OFF

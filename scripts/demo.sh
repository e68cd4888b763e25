#!/usr/bin/env bash
# Installs what is missing, builds the library and the corvane tool, and runs
# the main job on the built-in sample: `corvane demo [DIR]`.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/release -j "$(nproc)" --target corvane_tool
exec build/release/tools/corvane demo "$@"

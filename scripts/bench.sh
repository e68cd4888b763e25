#!/usr/bin/env bash
# Installs what is missing, builds the benchmarks in Release and runs them:
# the exchange file (FileConvert and CXml against pugixml), the tool's diff
# and convert (against loading the files they read) and the mesh file
# (CMeshBin against one fwrite/fread and, when installed, cereal), each in
# ROUNDS alternated rounds; then one load of a ~1 GB exchange file.
# Usage: scripts/bench.sh [XML_SCALE (1.0 = ~120 MB)] [MESH_MEGABYTES (100)] [ROUNDS (5)]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh libcereal-dev  # cereal: a reference of the mesh benchmark
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DCORVANE_BUILD_TESTS=OFF \
  -DCORVANE_BUILD_TOOLS=ON -DCORVANE_BUILD_EXAMPLES=OFF >/dev/null
cmake --build build/bench -j "$(nproc)" --target xml_bench tool_bench mesh_bench >/dev/null
build/bench/bench/xml_bench "${1:-1.0}" "${3:-5}"
echo
build/bench/bench/tool_bench "${1:-1.0}" "${3:-5}"
echo
build/bench/bench/mesh_bench "${2:-100}" "${3:-5}"
echo
build/bench/bench/xml_bench --huge

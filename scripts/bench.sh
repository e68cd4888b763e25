#!/usr/bin/env bash
# Installs what is missing, builds the benchmarks in Release and runs both:
# the exchange file (FileConvert against pugixml and Boost.PropertyTree) and
# the mesh file (CMeshBin against cereal and raw fwrite/fread).
# Usage: scripts/bench.sh [XML_SCALE (1.0 = ~120 MB)] [MESH_MEGABYTES (100)]
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build/bench -DCMAKE_BUILD_TYPE=Release -DCORVANE_BUILD_TESTS=OFF \
  -DCORVANE_BUILD_TOOLS=OFF -DCORVANE_BUILD_EXAMPLES=OFF >/dev/null
cmake --build build/bench -j "$(nproc)" --target xml_bench mesh_bench >/dev/null
build/bench/bench/xml_bench "${1:-1.0}" 3
build/bench/bench/mesh_bench "${2:-100}"

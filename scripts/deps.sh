#!/usr/bin/env bash
# Installs with apt-get whatever build and test dependency is missing, and
# any further packages named on the command line.
# Usage: scripts/deps.sh [PACKAGE...]
set -euo pipefail

packages=(cmake make g++ clang clang-format libclang-rt-14-dev pkg-config
          libboost-dev libpugixml-dev libexpat1-dev libxml2-utils libgtest-dev googletest rapidjson-dev
          python3-dev pybind11-dev python3-numpy python3-pytest python3-lxml
          g++-mingw-w64-x86-64-posix wine64 "$@")  # the last two: the Windows pass
missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' \
    || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -q
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends \
    "${missing[@]}"
fi

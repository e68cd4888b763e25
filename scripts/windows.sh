#!/usr/bin/env bash
# The Windows pass: cross-builds the library, its tool and its tests with
# MinGW-w64 and runs the whole suite under Wine. The dependencies that Debian
# ships for Linux only (expat, pugixml, libxml2's xmllint, GoogleTest) are
# built once with the same toolchain into build/windows/deps and reused while
# this script and the toolchain file stay the same.
# Their pinned sources come from CORVANE_THIRD_PARTY (default:
# ../shared/third_party beside the repository); without them the pass is
# skipped with one line saying so, and exits 0.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
third_party=${CORVANE_THIRD_PARTY:-$root/../shared/third_party}
if [ ! -f "$third_party/README.md" ]; then
  echo "Windows pass skipped: set CORVANE_THIRD_PARTY to the folder of pinned expat, pugixml and libxml2 sources (not found at $third_party)"
  exit 0
fi
third_party=$(cd "$third_party" && pwd)

jobs=${JOBS:-$(nproc)}
out=$root/build/windows
deps=$out/deps
toolchain=$root/cmake/toolchain-mingw64.cmake
wine=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)

# Every archive's sha256 must match the one its README gives.
check_sources() {
  local archive sum expected
  for archive in expat-2.5.0 pugixml-1.13 libxml2-2.9.14; do
    expected=$(grep -o "^| $archive.tar.gz |.*" "$third_party/README.md" | grep -oE '[0-9a-f]{64}')
    sum=$(sha256sum "$third_party/$archive.tar.gz" | cut -d' ' -f1)
    if [ -z "$expected" ] || [ "$sum" != "$expected" ]; then
      echo "$archive.tar.gz: sha256 $sum does not match the README's ($expected)" >&2
      exit 1
    fi
  done
}

cross_build() {  # cross_build SOURCE_DIR NAME [CMAKE_OPTION...]
  local source=$1 name=$2; shift 2
  cmake -S "$source" -B "$out/deps-build/$name" -DCMAKE_TOOLCHAIN_FILE="$toolchain" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$deps" -DBUILD_SHARED_LIBS=OFF "$@" >/dev/null
  cmake --build "$out/deps-build/$name" -j "$jobs" >/dev/null
  cmake --install "$out/deps-build/$name" >/dev/null
}

build_deps() {
  echo "== Windows dependencies (once, into $deps)"
  rm -rf "$deps" "$out/deps-build" "$out/deps-src"
  mkdir -p "$out/deps-src"
  for archive in expat-2.5.0 pugixml-1.13 libxml2-2.9.14; do
    tar -xzf "$third_party/$archive.tar.gz" -C "$out/deps-src"
  done
  local src=$out/deps-src
  cross_build "$src/expat-2.5.0" expat -DEXPAT_BUILD_TOOLS=OFF -DEXPAT_BUILD_EXAMPLES=OFF \
    -DEXPAT_BUILD_TESTS=OFF -DEXPAT_BUILD_DOCS=OFF -DEXPAT_SHARED_LIBS=OFF
  cross_build "$src/pugixml-1.13" pugixml
  cross_build "$src/libxml2-2.9.14" libxml2 -DLIBXML2_WITH_ICONV=OFF -DLIBXML2_WITH_ZLIB=OFF \
    -DLIBXML2_WITH_LZMA=OFF -DLIBXML2_WITH_PYTHON=OFF -DLIBXML2_WITH_HTTP=OFF \
    -DLIBXML2_WITH_FTP=OFF -DLIBXML2_WITH_TESTS=OFF -DLIBXML2_WITH_MODULES=OFF
  cross_build /usr/src/googletest googletest -DBUILD_GMOCK=OFF -Dgtest_disable_pthreads=OFF
  # Header-only libraries: Debian's headers, seen through the cross root only.
  mkdir -p "$deps/include" "$deps/lib/cmake/RapidJSON"
  ln -sfn /usr/include/boost "$deps/include/boost"
  ln -sfn /usr/include/rapidjson "$deps/include/rapidjson"
  cat >"$deps/lib/cmake/RapidJSON/RapidJSONConfig.cmake" <<'CONFIG'
get_filename_component(RAPIDJSON_INCLUDE_DIRS "${CMAKE_CURRENT_LIST_DIR}/../../../include" ABSOLUTE)
set(RapidJSON_INCLUDE_DIRS "${RAPIDJSON_INCLUDE_DIRS}")
CONFIG
  echo "$stamp" >"$deps/stamp"
}

check_sources
# Rebuilt when the toolchain, the sources or the build recipe below change.
deps_recipe=1
stamp=$( (cat "$toolchain"; sha256sum "$third_party"/*.tar.gz; echo "$deps_recipe") | sha256sum | cut -d' ' -f1)
if [ "$(cat "$deps/stamp" 2>/dev/null)" != "$stamp" ]; then
  build_deps
fi

# Wine keeps its own Windows installation in the build folder, made once.
export WINEPREFIX=$out/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wineserver=${wine%64}server
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "== Wine prefix (once)"
  "$wine" wineboot --init >/dev/null 2>&1 || true
  "$wineserver" -w  # the server that made it goes first
fi
# One Wine server for the whole pass: programs started side by side would
# otherwise race to start one.
# Its background services start now, holding no test's output open.
"$wineserver" -p
trap '"$wineserver" -k 2>/dev/null || true' EXIT
"$wine" wineboot >/dev/null 2>&1 </dev/null || true

# xmllint.exe, the tests' outside judge, on the Windows side's PATH.
export WINEPATH="Z:${deps//\//\\}\\bin"

echo "== MinGW-w64 build, tests under Wine"
cmake -S . -B "$out/corvane" -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCORVANE_WINDOWS_DEPS="$deps" \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCORVANE_WERROR=ON -DCORVANE_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$out/corvane" -j "$jobs"
status=0
ctest --test-dir "$out/corvane" --output-on-failure -j "$jobs" || status=$?
count() { ctest --test-dir "$out/corvane" -N "$@" | sed -n 's/^Total Tests: //p'; }
echo "Windows pass: $(count) tests under Wine, $(count -L windows) of them Windows-only"
exit $status

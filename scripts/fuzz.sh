#!/usr/bin/env bash
# Builds the libFuzzer targets with clang under AddressSanitizer and
# UndefinedBehaviorSanitizer (build/fuzz) and runs each one for
# SECONDS_PER_TARGET seconds (default 60) over a scratch copy of its seed
# corpus (a folder of fuzz/corpus/ per target; the XML targets share one),
# leak detection on. Prints one line per target, with the share of the
# executions that reached the code the target is for (each target counts
# them and writes "reached N of M (WHAT)" at exit), and exits non-zero
# when any target finds a crash, leak, timeout or out-of-memory input; the
# finding is kept under the scratch directory, which is then not removed.
#
# Usage: scripts/fuzz.sh [SECONDS_PER_TARGET] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD

seconds=${1:-60}
shift || true
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_xml_file_convert fuzz_xml_file_io fuzz_mesh_load fuzz_mesh_archive fuzz_codepage)
fi

bash scripts/deps.sh

build=build/fuzz
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCORVANE_FUZZ=ON -DCORVANE_SANITIZE=ON -DCORVANE_BUILD_TESTS=OFF \
  -DCORVANE_BUILD_BENCHMARKS=OFF -DCORVANE_BUILD_TOOLS=OFF >/dev/null
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}" >/dev/null

# Saves are synced; in memory (/dev/shm) a sync costs nothing, so the targets
# that save run at full speed.
scratch_root=${TMPDIR:-/tmp}
[ -d /dev/shm ] && [ -w /dev/shm ] && scratch_root=/dev/shm
scratch=$(mktemp -d "$scratch_root/corvane-fuzz.XXXXXX")
export ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=0:abort_on_error=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export TMPDIR=$scratch  # the targets' own scratch files go there too

failed=0
passed_targets=0
failed_targets=0
for target in "${targets[@]}"; do
  work=$scratch/$target
  mkdir -p "$work/corpus" "$work/findings"
  flags=(-max_total_time="$seconds" -rss_limit_mb=2048 -timeout=10 -detect_leaks=1
         -print_final_stats=0 -artifact_prefix="$work/findings/")
  # Both XML targets read chunk files: they share one seed folder.
  case $target in
    fuzz_xml_*) seeds=xml_chunk_file; flags+=(-max_len=1048576 -dict="$root/fuzz/xml.dict") ;;
    *) seeds=$target; flags+=(-max_len=65536) ;;
  esac
  cp "fuzz/corpus/$seeds/"* "$work/corpus/"
  start=$(date +%s)
  status=0
  CORVANE_FUZZ_REACHED="$work/reached" \
    "$build/fuzz/$target" "${flags[@]}" "$work/corpus" >"$work/log" 2>&1 || status=$?
  elapsed=$(( $(date +%s) - start ))
  runs=$(grep -Eo '^#[0-9]+' "$work/log" | tail -n 1 | tr -d '#' || true)
  inputs=$(find "$work/corpus" -type f | wc -l)
  findings=$(find "$work/findings" -type f | wc -l)
  share="share unknown"
  if [[ $(cat "$work/reached" 2>/dev/null) =~ ^reached\ ([0-9]+)\ of\ ([0-9]+)\ \((.*)\)$ ]] &&
     [ "${BASH_REMATCH[2]}" -gt 0 ]; then
    share="$(( BASH_REMATCH[1] * 100 / BASH_REMATCH[2] ))% reached ${BASH_REMATCH[3]}"
  fi
  if [ "$status" -ne 0 ] || [ "$findings" -ne 0 ]; then
    failed=1
    failed_targets=$((failed_targets + 1))
    echo "FAIL $target: ${elapsed}s, exit $status, $share, findings in $work/findings (log $work/log)"
    grep -E 'ERROR|SUMMARY|runtime error' "$work/log" | head -n 3 || true
  else
    passed_targets=$((passed_targets + 1))
    echo "ok   $target: ${elapsed}s, ${runs:-0} runs, $share, corpus $inputs inputs"
  fi
done

echo "fuzz: $passed_targets passed, $failed_targets failed"
if [ "$failed" -ne 0 ]; then
  echo "findings kept in $scratch"
  exit 1
fi
rm -rf "$scratch"

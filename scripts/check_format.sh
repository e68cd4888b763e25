#!/usr/bin/env bash
# Fails, listing them, when tracked C++ files differ from what the committed
# .clang-format makes of them. Fix with:
#   git ls-files '*.cpp' '*.h' | xargs clang-format -i
set -euo pipefail
cd "$(dirname "$0")/.."
unformatted=$(git ls-files '*.cpp' '*.h' | xargs clang-format --dry-run 2>&1 |
  grep -oE '^[^:]+\.(cpp|h):' | sort -u | tr -d ':' || true)
if [ -n "$unformatted" ]; then
  echo "not formatted as .clang-format asks:"
  echo "$unformatted"
  exit 1
fi
echo "format: every C++ file as .clang-format asks"

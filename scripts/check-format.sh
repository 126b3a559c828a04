#!/usr/bin/env bash
# Fails when a tracked C++ file differs from what clang-format makes of it
# (the style is in .clang-format). Run with --fix to reformat them in place.
set -euo pipefail
cd "$(dirname "$0")/.."
mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [ "${1:-}" = "--fix" ]; then
  clang-format -i "${files[@]}"
  exit 0
fi
clang-format --dry-run --Werror "${files[@]}"
echo "format: ${#files[@]} files match .clang-format"

#!/usr/bin/env bash
# Fails when a C++ file differs from what clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  # Tracked files deleted but not yet committed are listed too: skip those.
  mapfile -t files < <(git ls-files -co --exclude-standard -- '*.cpp' '*.h' |
    while read -r file; do [ ! -f "${file}" ] || echo "${file}"; done)
else
  mapfile -t files < <(find . -path ./build -prune -o \( -name '*.cpp' -o -name '*.h' \) -print)
fi
clang-format --dry-run --Werror "${files[@]}"
echo "formatting: ${#files[@]} files as .clang-format says"

#!/usr/bin/env bash
# Checks that every C++ source under src/ tests/ tools/ bench/ fuzz/ is as clang-format
# would write it (exit 1 and a diff-like report naming each file otherwise).
# Usage: scripts/format.sh [--fix]   (--fix rewrites the files in place instead)
set -euo pipefail
cd "$(dirname "$0")/.."
# The tracked files in a checkout; every file of the folders otherwise (a source tarball).
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  list() { git ls-files -- src tests tools bench fuzz; }
else
  list() { find src tests tools bench fuzz -type f; }
fi
mapfile -t files < <(list | grep -E '\.(c|cc|cpp|h|hpp)$' || true)
if [[ ${#files[@]} -eq 0 ]]; then
  echo "format.sh: no sources found" >&2
  exit 1
fi
if [[ "${1:-}" == "--fix" ]]; then
  clang-format -i "${files[@]}"
else
  clang-format --dry-run -Werror "${files[@]}"
fi

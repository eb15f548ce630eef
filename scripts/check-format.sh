#!/usr/bin/env bash
# Fails when a tracked .cpp or .h file does not match .clang-format, and names each one.
# Fix them with: clang-format -i <file>...   (Debian package clang-format)
# Usage: scripts/check-format.sh [source root]   (default: this checkout)
# CLANG_FORMAT names another clang-format binary.
set -euo pipefail
root=${1:-"$(dirname "$0")/.."}
cd "$root"
clang_format=${CLANG_FORMAT:-clang-format}
command -v "$clang_format" >/dev/null || { echo "$clang_format not found (package clang-format)"; exit 2; }

mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h')
if [ ${#files[@]} -eq 0 ]; then
  echo "no tracked .cpp or .h file under $PWD"
  exit 2
fi

mapfile -t unformatted < <(printf '%s\0' "${files[@]}" |
  xargs -0 -n 16 -P "$(nproc)" sh -c 'for f; do "$0" --dry-run --Werror "$f" >/dev/null 2>&1 || echo "$f"; done' \
    "$clang_format" | sort)

if [ ${#unformatted[@]} -gt 0 ]; then
  printf '%s\n' "${unformatted[@]}"
  echo "${#unformatted[@]} of ${#files[@]} files do not match .clang-format ($("$clang_format" --version))"
  exit 1
fi
echo "format ok: ${#files[@]} files"

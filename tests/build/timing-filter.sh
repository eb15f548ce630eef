#!/usr/bin/env bash
# Each name in a test executable's timing filter must still name a test: a renamed timing
# test would otherwise lose its label and run beside the others.
# Usage: timing-filter.sh <test executable> <gtest filter of its timing tests>
set -uo pipefail
exe=$1
IFS=: read -ra patterns <<<"$2"
missing=0
for p in "${patterns[@]}"; do
  if ! "$exe" --gtest_list_tests "--gtest_filter=$p" 2>/dev/null | grep -q '^  '; then
    echo "FAIL: '$p' names no test of $(basename "$exe")"
    missing=1
  fi
done
exit $missing

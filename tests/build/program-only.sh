#!/usr/bin/env bash
# `make run` must build the program without any test target and without the test libraries:
# configures a scratch tree with the tests off and GoogleTest and Google Benchmark hidden.
set -euo pipefail
src=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake -S "$src" -B "$work" -G Ninja -DBUILD_TESTING=OFF \
  -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON >"$work/configure.log" 2>&1 ||
  { cat "$work/configure.log"; echo "FAIL: the program does not configure without the test libraries"; exit 1; }

targets=$(ninja -C "$work" -t targets all)
if grep -Eq '(^|/)(test_[a-z_]+|channeldeck_bench|cd_test_support)[:.]' <<<"$targets"; then
  grep -E '(test_[a-z_]+|channeldeck_bench|cd_test_support)' <<<"$targets" | head
  echo "FAIL: a test or benchmark target exists with the tests off"
  exit 1
fi
grep -q '^cd_program:' <<<"$targets" || { echo "FAIL: no cd_program target"; exit 1; }
inputs=$(ninja -C "$work" -t inputs cd_program)
grep -q 'channeldeck' <<<"$inputs" || { echo "FAIL: cd_program does not build the program"; exit 1; }

# The Makefile's run goal builds that target and nothing else.
plan=$(make -C "$src" -n run BUILD="$work")
grep -q -- "--target cd_program" <<<"$plan" || { echo "FAIL: make run does not build cd_program alone"; echo "$plan"; exit 1; }
if grep -q 'install-deps.sh --test' <<<"$plan"; then echo "FAIL: make run installs test packages"; exit 1; fi
echo "ok"

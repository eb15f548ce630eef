#!/usr/bin/env bash
# The layer and format checks that CI runs, tried on small scratch trees: each must pass a
# clean tree and name every fault, with its file (and line), in a faulty one.
# Usage: source-checks.sh <source root> layers|format
set -uo pipefail
src=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}
put() { # put <file> <line>...
  mkdir -p "$work/$(dirname "$1")"
  local f=$1
  shift
  printf '%s\n' "$@" >"$work/$f"
}

layers() {
  put platform/core/Text.h '#pragma once'
  put platform/ui/Form.h '#pragma once' '#include "platform/core/Text.h"' '#include <QWidget>'
  put services/modGlobals.h '#pragma once' '#include "../platform/ui/Form.h"'
  put services/modGlobals.cpp '#include "modGlobals.h"' '// #include "mainwindow/Form1.h"'
  put localisation/clsLanguages.h '#pragma once' '#include "services/modGlobals.h"'
  put mainwindow/Form1.h '#pragma once' '#include "localisation/clsLanguages.h"'
  put submission/frmSubmit.h '#pragma once'
  put app/main.cpp '#include "mainwindow/Form1.h"' '#include "submission/frmSubmit.h"'
  put tests/mainwindow/Form1Test.cpp '#include "mainwindow/Form1.h"' '#include "tests/support/Fixture.h"'
  put tests/support/Fixture.h '#pragma once' '#include "submission/frmSubmit.h"'

  out=$("$src/scripts/check-layers.sh" "$work") || fail "a clean tree fails: $out"

  put platform/core/Inet.cpp '#include "platform/core/Text.h"' '#include "platform/ui/Form.h"'
  put services/modDownload.cpp '' '' '#include "../mainwindow/Form1.h"'
  put mainwindow/Form1_menus.cpp '#include "Form1.h"' '#  include <submission/frmSubmit.h>'
  put platform/ui/MsgBox.cpp '#include "tests/support/Fixture.h"'
  out=$("$src/scripts/check-layers.sh" "$work") && fail "upward includes pass: $out"
  for where in platform/core/Inet.cpp:2: services/modDownload.cpp:3: mainwindow/Form1_menus.cpp:2: \
    platform/ui/MsgBox.cpp:1:; do
    grep -q "^$where" <<<"$out" || fail "$where not reported: $out"
  done
  [ "$(grep -Ec '^[^ ]+:[0-9]+: ' <<<"$out")" -eq 4 ] || fail "not just the four offences: $out"
}

format() {
  command -v git >/dev/null || { echo "git not installed"; exit 77; }
  cp "$src/.clang-format" "$work/"
  put platform/core/Good.cpp 'int good(int a)' '{' '    return a + 1;' '}'
  put platform/core/Bad.h '#pragma once' 'int  bad( int a ) ;'
  put services/Ugly.cpp 'int ugly(){return 0;}'
  put notes.txt 'not   source'
  git -C "$work" init -q && git -C "$work" add platform services notes.txt || fail "git"
  put platform/core/Untracked.cpp 'int   untracked ( ) ;'

  out=$("$src/scripts/check-format.sh" "$work") && fail "unformatted files pass: $out"
  [ "$(grep -vc 'do not match' <<<"$out")" -eq 2 ] || fail "not just the two tracked misfits: $out"
  grep -qx 'platform/core/Bad.h' <<<"$out" || fail "Bad.h not named: $out"
  grep -qx 'services/Ugly.cpp' <<<"$out" || fail "Ugly.cpp not named: $out"
  grep -q '^2 of 3 files' <<<"$out" || fail "wrong count: $out"

  (cd "$work" && clang-format -i platform/core/Bad.h services/Ugly.cpp) || fail "clang-format"
  out=$("$src/scripts/check-format.sh" "$work") || fail "a formatted tree fails: $out"
}

"$2"
echo ok

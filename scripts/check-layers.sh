#!/usr/bin/env bash
# Each source folder is a layer that may include its own headers and those of the layers it
# stands on, never a header of a layer above it or beside it:
#   platform/core <- platform/ui <- services <- localisation <- mainwindow, submission <- app
# Prints each offending include as file:line and fails. tests/ and bench/ may include any
# layer; no layer includes them.
# Usage: scripts/check-layers.sh [source root]   (default: this checkout)
set -euo pipefail
root=${1:-"$(dirname "$0")/.."}
cd "$root"

# What each layer stands on, besides itself.
declare -A allowed=(
  [platform/core]=""
  [platform/ui]="platform/core"
  [services]="platform/ui platform/core"
  [localisation]="services platform/ui platform/core"
  [mainwindow]="localisation services platform/ui platform/core"
  [submission]="localisation services platform/ui platform/core"
  [app]="mainwindow submission localisation services platform/ui platform/core"
)

layer_of() {
  case $1 in
    platform/core/*) echo platform/core ;;
    platform/ui/*) echo platform/ui ;;
    services/* | localisation/* | mainwindow/* | submission/* | app/*) echo "${1%%/*}" ;;
    tests/* | bench/*) echo "${1%%/*}" ;;
    *) echo "" ;;
  esac
}

# A path relative to the root with ./ and ../ folded away; empty when it leaves the root.
normalise() {
  local -a out=()
  local part
  IFS=/ read -ra parts <<<"$1"
  for part in "${parts[@]}"; do
    case $part in
      '' | .) ;;
      ..)
        [ ${#out[@]} -gt 0 ] || return 0
        unset 'out[${#out[@]}-1]'
        ;;
      *) out+=("$part") ;;
    esac
  done
  local IFS=/
  echo "${out[*]}"
}

if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -d '' files < <(git ls-files -z -- '*.cpp' '*.h')
else
  mapfile -d '' files < <(find . -path ./build\* -prune -o \( -name '*.cpp' -o -name '*.h' \) -printf '%P\0')
fi

offences=0
for file in "${files[@]}"; do
  from=$(layer_of "$file")
  case $from in '' | tests | bench) continue ;; esac
  dir=$(dirname "$file")
  while IFS=: read -r line text; do
    # The header named between quotes or angle brackets.
    inc=${text#*include}
    inc=${inc#"${inc%%[\"<]*}"}
    inc=${inc:1}
    inc=${inc%%[\">]*}
    # Found beside the including file first, then from the root (the include path).
    if [ -f "$dir/$inc" ]; then
      target=$(normalise "$dir/$inc")
    elif [ -f "$inc" ]; then
      target=$(normalise "$inc")
    else
      continue # a system or generated header
    fi
    to=$(layer_of "$target")
    if [ -z "$to" ] || [ "$to" = "$from" ] || [[ " ${allowed[$from]} " == *" $to "* ]]; then
      continue
    fi
    echo "$file:$line: $from includes $target ($to)"
    offences=$((offences + 1))
  done < <(grep -nE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<]' "$file" || true)
done

if [ $offences -gt 0 ]; then
  echo "$offences include(s) reach a layer above or beside their own"
  exit 1
fi
echo "layers ok: ${#files[@]} files"

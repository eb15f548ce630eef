#!/usr/bin/env bash
# Start-up cost of the program: time from launch to the splash window and to the main window,
# and the memory of the program with every process it started, a few seconds after the main
# window appeared. Each run uses a fresh home (seeded so that it is not a first run: no
# language chooser, no help viewer) on a private Xvfb with openbox.
#
#   scripts/measure-startup.sh [-n runs] [-s settle-seconds] [program]
#
# Needs Xvfb, xdotool and sqlite3 (openbox is used when installed). Times are taken by polling
# the window list, so they are good to a few milliseconds.
set -euo pipefail

runs=5
settle=5
while getopts "n:s:h" opt; do
  case $opt in
    n) runs=$OPTARG ;;
    s) settle=$OPTARG ;;
    *) sed -n '2,10p' "$0"; exit 2 ;;
  esac
done
shift $((OPTIND - 1))
here=$(cd "$(dirname "$0")/.." && pwd)
app=$(realpath "${1:-$here/build/bin/channeldeck}")
[ -x "$app" ] || { echo "no program at $app" >&2; exit 1; }
for tool in Xvfb xdotool sqlite3; do
  command -v $tool >/dev/null || { echo "$tool is needed" >&2; exit 1; }
done

work=$(mktemp -d)
xvfb_pid= wm_pid= app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "$wm_pid" ] && kill "$wm_pid" 2>/dev/null || true
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# A display of its own: the server picks a free number.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1600x1200x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
exec 3>&-
export DISPLAY=:$(cat "$work/display")
if command -v openbox >/dev/null; then
  openbox >"$work/openbox.log" 2>&1 &
  wm_pid=$!
  sleep 1
fi
if [ "$(id -u)" -eq 0 ]; then
  export QTWEBENGINE_CHROMIUM_FLAGS=${QTWEBENGINE_CHROMIUM_FLAGS:---no-sandbox --disable-gpu}
fi

# The settings of someone who has started the program before.
seed_home() {
  local home=$1 registry=$1/data/ChannelDeck/registry
  mkdir -p "$home/rt" "$home/data/TVDAT" "$registry"
  chmod 700 "$home/rt"
  cp "$here/resources/Data.txt" "$home/data/TVDAT/Data.txt"
  sqlite3 "$registry/HKEY_CURRENT_USER.db" <<'SQL'
CREATE TABLE keys(id INTEGER PRIMARY KEY AUTOINCREMENT, parent INTEGER,
  name TEXT NOT NULL, folded TEXT NOT NULL, UNIQUE(parent, folded));
CREATE TABLE vals(id INTEGER PRIMARY KEY AUTOINCREMENT, key INTEGER NOT NULL,
  name TEXT NOT NULL, folded TEXT NOT NULL, type INTEGER NOT NULL, data BLOB NOT NULL,
  UNIQUE(key, folded));
CREATE INDEX vals_by_key ON vals(key);
INSERT INTO keys VALUES(1, NULL, '', ''), (2, 1, 'Software', 'software'),
  (3, 2, 'ChannelDeck', 'channeldeck'), (4, 3, 'Settings', 'settings');
INSERT INTO vals(key, name, folded, type, data) VALUES
  (4, 'Language', 'language', 1, X'456E676C69736800'), (4, 'showHelp', 'showhelp', 1, X'3000');
SQL
}

# The program's process and all its descendants.
process_tree() {
  local pids=("$1") i=0 p
  while [ $i -lt ${#pids[@]} ]; do
    for p in $(cat /proc/"${pids[$i]}"/task/*/children 2>/dev/null); do pids+=("$p"); done
    i=$((i + 1))
  done
  echo "${pids[@]}"
}

kb() { awk -v k="$1:" '$1 == k { print $2; exit }' "$2" 2>/dev/null || true; }

now_ms() { echo $(($(date +%s%N) / 1000000)); }

printf '%-4s %9s %9s %9s %9s %9s %6s\n' run splash_ms main_ms main_MB tree_MB tree_PSS procs
results=()
for run in $(seq "$runs"); do
  home=$work/home$run
  seed_home "$home"
  start=$(now_ms)
  HOME=$home XDG_RUNTIME_DIR=$home/rt XDG_DATA_HOME=$home/data XDG_CONFIG_HOME=$home/config \
    XDG_CACHE_HOME=$home/cache "$app" >"$home/out.log" 2>&1 &
  app_pid=$!
  splash= main=
  while [ -z "$main" ]; do
    kill -0 "$app_pid" 2>/dev/null || { echo "the program ended:" >&2; cat "$home/out.log" >&2; exit 1; }
    [ $(($(now_ms) - start)) -lt 60000 ] || { echo "no main window after 60 s" >&2; exit 1; }
    if [ -z "$splash" ] && xdotool search --onlyvisible --pid "$app_pid" >/dev/null 2>&1; then
      splash=$(($(now_ms) - start))
    fi
    if xdotool search --all --onlyvisible --pid "$app_pid" --name ' by ' >/dev/null 2>&1; then
      main=$(($(now_ms) - start))
    fi
  done
  sleep "$settle"
  main_rss=$(kb VmRSS /proc/$app_pid/status)
  tree_rss=0 tree_pss=0 procs=0
  for p in $(process_tree "$app_pid"); do
    tree_rss=$((tree_rss + $(kb VmRSS /proc/$p/status)))
    tree_pss=$((tree_pss + $(kb Pss /proc/$p/smaps_rollup)))
    procs=$((procs + 1))
  done
  awk -v r="$run" -v s="$splash" -v m="$main" -v a="$main_rss" -v b="$tree_rss" -v c="$tree_pss" -v p="$procs" \
    'BEGIN { printf "%-4s %9s %9s %9.1f %9.1f %9.1f %6s\n", r, s, m, a / 1024, b / 1024, c / 1024, p }'
  results+=("$splash $main $main_rss $tree_rss $tree_pss")
  kill "$app_pid"
  wait "$app_pid" 2>/dev/null || true
  app_pid=
done

# Median of each column.
printf '%s\n' "${results[@]}" | awk '
  { for (c = 1; c <= NF; c++) v[c, NR] = $c }
  END {
    n = NR
    for (c = 1; c <= 5; c++) {
      for (i = 1; i <= n; i++) a[i] = v[c, i]
      for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (a[j] < a[i]) { t = a[i]; a[i] = a[j]; a[j] = t }
      m[c] = (n % 2) ? a[(n + 1) / 2] : (a[n / 2] + a[n / 2 + 1]) / 2
    }
    printf "%-4s %9d %9d %9.1f %9.1f %9.1f\n", "med", m[1], m[2], m[3] / 1024, m[4] / 1024, m[5] / 1024
  }'

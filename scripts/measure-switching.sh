#!/usr/bin/env bash
# Memory of the program's main process over channel switching. Serves a video MP4, a video TS
# and an MP3 radio made with ffmpeg on loopback, lists them as channels, plays the first video,
# then clicks through the channels and stops, printing the resident set size (RSS) on the way.
#
#   scripts/measure-switching.sh [switches, default 30] [build folder in the repository, default build]
#
# Environment: FIRST_SECONDS (the first video, default 30), SWITCH_SECONDS (per channel,
# default 4), SETTLE_SECONDS (after Stop, default 10); APP_WRAPPER runs the program under a
# tool ("heaptrack -o /tmp/ht"); MALLOC_ARENA_MAX and the like reach the program unchanged.
# The clicks assume the window's default layout; a click that requested nothing is reported.
# Needs: ffmpeg (installed with apt-get when missing and run as root), python3 for the loopback
# server, xdotool, and Xvfb (the script starts one through xvfb-run when there is no display).
set -euo pipefail

switches=${1:-30}
build=${2:-build}
here=$(cd "$(dirname "$0")/.." && pwd)
case $build in /*) ;; *) build=$here/$build ;; esac
app=$build/bin/channeldeck
first_seconds=${FIRST_SECONDS:-30}
switch_seconds=${SWITCH_SECONDS:-4}
settle_seconds=${SETTLE_SECONDS:-10}

if [ ! -x "$app" ]; then
  echo "No program at $app: build it first (cmake --build $build)." >&2
  exit 1
fi
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1600x1200x24" "$0" "$@"
fi
if ! command -v ffmpeg >/dev/null; then
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing ffmpeg (a measuring tool only)..."
    apt-get install -y --no-install-recommends ffmpeg >/dev/null
  else
    echo "This script needs ffmpeg: apt-get install ffmpeg" >&2
    exit 1
  fi
fi
for tool in python3 xdotool; do
  if ! command -v $tool >/dev/null; then
    echo "This script needs $tool." >&2
    exit 1
  fi
done

work=$(mktemp -d)
server_pid=
app_pid=
cleanup() {
  [ -n "$app_pid" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "${wrapper_pid:-}" ] && wait "$wrapper_pid" 2>/dev/null || true
  [ -n "$server_pid" ] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

echo "Making media..."
mkdir -p "$work/media"
ffmpeg -hide_banner -loglevel error -f lavfi -i testsrc2=size=640x360:rate=25 \
  -f lavfi -i sine=frequency=440:sample_rate=44100 -t 120 -c:v libx264 -preset veryfast \
  -pix_fmt yuv420p -c:a aac -movflags +faststart "$work/media/video.mp4"
ffmpeg -hide_banner -loglevel error -f lavfi -i smptebars=size=640x360:rate=25 \
  -f lavfi -i sine=frequency=660:sample_rate=44100 -t 120 -c:v libx264 -preset veryfast \
  -pix_fmt yuv420p -c:a aac -f mpegts "$work/media/video.ts"
ffmpeg -hide_banner -loglevel error -f lavfi -i sine=frequency=330:sample_rate=44100 -t 120 \
  -c:a libmp3lame -b:a 128k "$work/media/radio.mp3"

# Files over loopback; every request is logged so the script can tell that a click played.
cat >"$work/serve.py" <<'EOF'
import http.server, socketserver, sys, os
class Handler(http.server.SimpleHTTPRequestHandler):
    def log_message(self, fmt, *args):
        with open(sys.argv[2], 'a') as log:
            log.write(self.path + '\n')
class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    def handle_error(self, request, client_address):
        pass  # players hang up in the middle of a reply
os.chdir(sys.argv[1])
server = Server(('127.0.0.1', 0), Handler)
with open(sys.argv[3], 'w') as f:
    f.write(str(server.server_address[1]))
server.serve_forever()
EOF
python3 "$work/serve.py" "$work/media" "$work/requests.log" "$work/port" &
server_pid=$!
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(cat "$work/port")
base=http://127.0.0.1:$port

# A fresh user: own home, data, runtime folder and settings; the first-run help opens nothing.
export HOME=$work/home XDG_DATA_HOME=$work/home/data XDG_CONFIG_HOME=$work/home/config
export XDG_RUNTIME_DIR=$work/home/run CHANNELDECK_REGISTRY_DIR=$work/home/registry
export CHANNELDECK_SERVER=http://127.0.0.1:1 CHANNELDECK_VIDEO_SITE=http://127.0.0.1:1
mkdir -p "$XDG_DATA_HOME/TVDAT" "$XDG_RUNTIME_DIR" "$CHANNELDECK_REGISTRY_DIR" "$work/bin"
chmod 700 "$XDG_RUNTIME_DIR"
for opener in xdg-open xchm kchmviewer; do
  printf '#!/bin/sh\nexit 0\n' >"$work/bin/$opener"
  chmod +x "$work/bin/$opener"
done
export PATH=$work/bin:$PATH
if [ "$(id -u)" -eq 0 ]; then
  export QTWEBENGINE_CHROMIUM_FLAGS=${QTWEBENGINE_CHROMIUM_FLAGS:---no-sandbox --disable-gpu}
fi
# Rated 9, 8, 7 so that the list shows them in this order.
printf '%s\r\n' \
  "1|Video MP4|TV|$base/video.mp4|English|1/1/01|1/1/01|000001|9|" \
  "2|Radio MP3|TV|$base/radio.mp3|English|1/1/01|1/1/01|000001|8|" \
  "3|Video TS|TV|$base/video.ts|English|1/1/01|1/1/01|000001|7|" >"$XDG_DATA_HOME/TVDAT/Data.txt"
files=(video.mp4 radio.mp3 video.ts)

# APP_WRAPPER runs the program under a tool (heaptrack, valgrind); RSS is the program's own.
${APP_WRAPPER:-} "$app" >"$work/app.log" 2>&1 &
wrapper_pid=$!
app_pid=$wrapper_pid
if [ -n "${APP_WRAPPER:-}" ]; then
  app_pid=
  for _ in $(seq 300); do
    for p in $(pgrep -P "$wrapper_pid" || true) $(pgrep -g "$(ps -o pgid= "$wrapper_pid" | tr -d ' ')" || true); do
      if [ "$(readlink "/proc/$p/exe" 2>/dev/null)" = "$(readlink -f "$app")" ]; then
        app_pid=$p
        break 2
      fi
    done
    sleep 0.1
  done
  [ -n "$app_pid" ] || { echo "The program did not start under $APP_WRAPPER." >&2; exit 1; }
fi

wait_window() { # name, seconds
  for _ in $(seq $(($2 * 10))); do
    local w
    w=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -1 || true)
    if [ -n "$w" ]; then
      echo "$w"
      return 0
    fi
    sleep 0.1
  done
  return 1
}
rss_mb() { awk '/^VmRSS/ { printf "%d", $2 / 1024 }' "/proc/$app_pid/status"; }
threads() { awk '/^Threads/ { print $2 }' "/proc/$app_pid/status"; }

if chooser=$(wait_window "Language Selection" 60); then
  # Its OK button, at the bottom right.
  size=$(xdotool getwindowgeometry "$chooser" | awk '/Geometry/ { print $2 }')
  xdotool mousemove --window "$chooser" $((${size%x*} - 50)) $((${size#*x} - 22)) click 1
fi
main=$(wait_window "ChannelDeck by" 60) || {
  echo "The main window did not appear." >&2
  cat "$work/app.log" >&2
  exit 1
}
xdotool windowmove "$main" 0 0
sleep 2

# Rows of the channel list, in the window's own coordinates (the list starts below the
# menu bar and its header); the player's Stop button sits at the left of its bar.
row_y=(176 190 204)
click_at() { xdotool mousemove --window "$main" "$1" "$2" click 1; }
play_row() {
  local before
  before=$(grep -c "/${files[$1]}" "$work/requests.log" 2>/dev/null || true)
  click_at 50 "${row_y[$1]}"
  sleep "$switch_seconds"
  local after
  after=$(grep -c "/${files[$1]}" "$work/requests.log" 2>/dev/null || true)
  if [ "${after:-0}" -le "${before:-0}" ]; then
    echo "warning: the click on ${files[$1]} requested nothing" >&2
  fi
}

echo "Program started: $(rss_mb) MB, $(threads) threads"
play_row 0
sleep $((first_seconds > switch_seconds ? first_seconds - switch_seconds : 0))
start=$(rss_mb)
echo "After ${first_seconds} s of the first video: $start MB, $(threads) threads"
order=(2 1 0)
for i in $(seq "$switches"); do
  play_row "${order[$(((i - 1) % 3))]}"
  if [ $((i % 10)) -eq 0 ] || [ "$i" -eq "$switches" ]; then
    echo "After $i switches: $(rss_mb) MB, $(threads) threads"
  fi
done
peak=$(rss_mb)
geometry=$(xdotool getwindowgeometry "$main" | awk '/Geometry/ { print $2 }')
height=${geometry#*x}
click_at 407 $((height - 30))
sleep "$settle_seconds"
stopped=$(rss_mb)
echo "${settle_seconds} s after Stop: $stopped MB, $(threads) threads"
echo "Growth over $switches switches: $((peak - start)) MB (first video $start MB)"

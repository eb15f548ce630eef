# Shared by the measurement scripts (sourced, not run): real media made with ffmpeg and served
# from loopback, a fresh user with the media as channels, the program started on an X display
# and its main window at the top left of the screen.
#
# The sourcing script sets `here` (the repository), calls session_begin with the build folder
# and its own arguments (which sets `app`, the program), then, in order: session_tools,
# session_prepare (scratch folder `work`, media, server), session_user, session_start and
# session_main_window. Afterwards: $base (the media server), $main (the main window), $app_pid,
# click_at X Y (in the main window), stop_player, session_video_area (needs xwininfo), and
# session_cleanup, which a trap calls. session_channel_lines and row help with the channels.

session_begin() { # build folder, the script's arguments: without a display, run again under xvfb-run
  local build=$1
  shift
  case $build in /*) ;; *) build=$here/$build ;; esac
  app=$build/bin/channeldeck
  if [ ! -x "$app" ]; then
    echo "No program at $app: build it first (cmake --build $build)." >&2
    exit 1
  fi
  if [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a -s "-screen 0 1600x1200x24" "$0" "$@"
  fi
}

session_install() { # tool: installed with apt-get when missing (as root; otherwise says so)
  if ! command -v "$1" >/dev/null; then
    if [ "$(id -u)" -eq 0 ]; then
      echo "Installing $1 (a measuring tool only)..."
      apt-get install -y --no-install-recommends "$1" >/dev/null
    else
      echo "This script needs $1: apt-get install $1" >&2
      exit 1
    fi
  fi
}

session_tools() { # the tools beyond ffmpeg, python3 and xdotool
  session_install ffmpeg
  for tool in python3 xdotool "$@"; do
    if ! command -v "$tool" >/dev/null; then
      echo "This script needs $tool." >&2
      exit 1
    fi
  done
}

# Two minutes each of a 640x360 video as MP4 and as MPEG-TS, of an MP3 radio, and a 640x360
# HLS stream (hls/index.m3u8).
session_media() {
  echo "Making media..."
  local media=$work/media
  mkdir -p "$media/hls"
  ffmpeg -hide_banner -loglevel error -f lavfi -i testsrc2=size=640x360:rate=25 \
    -f lavfi -i sine=frequency=440:sample_rate=44100 -t 120 -c:v libx264 -preset veryfast \
    -pix_fmt yuv420p -c:a aac -movflags +faststart "$media/video.mp4"
  ffmpeg -hide_banner -loglevel error -f lavfi -i smptebars=size=640x360:rate=25 \
    -f lavfi -i sine=frequency=660:sample_rate=44100 -t 120 -c:v libx264 -preset veryfast \
    -pix_fmt yuv420p -c:a aac -f mpegts "$media/video.ts"
  ffmpeg -hide_banner -loglevel error -f lavfi -i sine=frequency=330:sample_rate=44100 -t 120 \
    -c:a libmp3lame -b:a 128k "$media/radio.mp3"
  ffmpeg -hide_banner -loglevel error -f lavfi -i testsrc=size=640x360:rate=25 \
    -f lavfi -i sine=frequency=550:sample_rate=44100 -t 120 -c:v libx264 -preset veryfast \
    -pix_fmt yuv420p -g 50 -c:a aac -f hls -hls_time 2 -hls_list_size 0 "$media/hls/index.m3u8"
}

# Files over loopback; every request is logged to $work/requests.log.
session_serve() {
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
  python3 "$work/serve.py" "$work/media" "$work/requests.log" "$work/port" >/dev/null 2>&1 &
  server_pid=$!
  for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
  base=http://127.0.0.1:$(cat "$work/port")
}

# A fresh user: own home, data, runtime folder and settings; the first-run help opens nothing.
# The arguments are the lines of Data.txt.
session_user() {
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
  printf '%s\r\n' "$@" >"$XDG_DATA_HOME/TVDAT/Data.txt"
}

# The lines of Data.txt for "Name|address" pairs, into the array `lines`: rated from 20 down,
# so that the list shows them in this order, 14 pixels apart (see row).
session_channel_lines() {
  lines=()
  local i=0 pair
  for pair in "$@"; do
    lines+=("$((i + 1))|${pair%%|*}|TV|${pair#*|}|English|1/1/01|1/1/01|000001|$((20 - i))|")
    i=$((i + 1))
  done
}
row() { echo $((176 + 14 * $1)); } # the channel list's row N in the main window

# APP_WRAPPER runs the program under a tool (heaptrack, valgrind); $app_pid is the program's own.
session_start() {
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
}

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

session_main_window() {
  local chooser size
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
}

click_at() { xdotool mousemove --window "$main" "$1" "$2" click 1; }

# The player's Stop button sits at the left of its bar.
stop_player() {
  local geometry
  geometry=$(xdotool getwindowgeometry "$main" | awk '/Geometry/ { print $2 }')
  click_at 407 $((${geometry#*x} - 30))
}

# The video area: the black rectangle right of the channel list, found in a still of the idle
# window. Sets win_x win_y win_w win_h (the window on screen) and area_x area_y area_w area_h
# (in the window; the sizes a multiple of 4, to be halved for the analysis).
session_video_area() {
  read -r win_x win_y win_w win_h < <(xwininfo -id "$main" |
    awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
         /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }')
  ffmpeg -hide_banner -loglevel error -f x11grab -draw_mouse 0 -video_size "${win_w}x${win_h}" -i "$DISPLAY+$win_x,$win_y" \
    -frames:v 1 -f rawvideo -pix_fmt rgb24 -y "$work/still.raw"
  read -r area_x area_y area_w area_h < <(python3 - "$work/still.raw" "$win_w" "$win_h" <<'EOF'
import sys
f, width, height = open(sys.argv[1], 'rb').read(), int(sys.argv[2]), int(sys.argv[3])
dark = lambda x, y: max(f[(y * width + x) * 3:(y * width + x) * 3 + 3]) < 8
y = height // 2
best = (0, 0)
x = width // 3
while x < width:
    if dark(x, y):
        start = x
        while x < width and dark(x, y):
            x += 1
        best = max(best, (x - start, start))
    x += 1
w, x0 = best
cx = x0 + w // 2
top = y
while top > 0 and dark(cx, top - 1):
    top -= 1
bottom = y
while bottom < height - 1 and dark(cx, bottom + 1):
    bottom += 1
print(x0, top, w, bottom - top + 1)
EOF
  )
  area_w=$((area_w / 4 * 4))
  area_h=$((area_h / 4 * 4))
}

session_prepare() {
  work=$(mktemp -d)
  trap session_cleanup EXIT
  session_media
  session_serve
}

session_cleanup() {
  [ -n "${app_pid:-}" ] && kill "$app_pid" 2>/dev/null || true
  [ -n "${wrapper_pid:-}" ] && wait "$wrapper_pid" 2>/dev/null || true
  [ -n "${server_pid:-}" ] && kill "$server_pid" 2>/dev/null || true
  rm -rf "$work"
}

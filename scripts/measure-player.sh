#!/usr/bin/env bash
# How sharp the player's picture is, what the player costs while paused, and what it shows for
# an address it cannot play. Runs the program under Xvfb with openbox as window manager and
# serves media made with ffmpeg from loopback.
#
# Sharpness: a 1920x1080 still of fine detail (line sweeps, a fractal, a cellular automaton, a
# zone plate), as an MP4 file and as a live MPEG-TS (sent at the pace of its clock, without a
# length, never seekable). "grown": played in the window at its default size, then the window
# is maximised; "fresh": clicked again in the maximised window. The detail of a grab is the
# mean absolute difference between neighbouring grey pixels of the picture (without its bars);
# each is printed as a share of the same figure for the source frame scaled with Lanczos to the
# shown size, and grown as a share of fresh.
# CPU, % of one core over 10 s from /proc: the idle program, a 640x360 and a 1920x1080 MP4 and
# a 1920x1080 MPEG-TS playing and paused with the player's Play/Pause button, and ffplay
# playing and paused with the 1920x1080 MP4 in a window of the video area's size.
# Unplayable: a channel whose address answers with an ordinary HTML page and one whose port
# refuses connections; the video area is recorded at 25 frames a second and the time from the
# click to the first lit frame is printed ("never" when nothing shows within 4 s).
# Full screen (F11, Escape to leave) on the display's whole screen: the detail's sharpness, the
# CPU of the 1920x1080 MP4 against ffplay -fs, and the distinct pictures a second of a 1280x720
# 60-fps video, counted on its frame counter recorded from the screen at 200 frames a second.
# Words: the same for a live MPEG-TS whose server waits 3 s before each reply (the probe's and
# the player's), where the first lit frame holds the words that the player connects.
# Re-joining: a live MPEG-TS that its server cuts after 4 s and refuses (503) for 12 s, recorded
# at 10 frames a second: when the area dims after the cut, when the tries come (from the
# server's log), and the time from the server's return to the picture joined again. Then the
# program again with the waits shortened to 0.2 s and the channel refused for good: its memory
# (RSS) at the 10th and the 60th try.
# Grabs are kept in /tmp/measure-player-shots/<time>/ for a person to look at.
#
#   scripts/measure-player.sh [build folder, default build]
#
# A measurement, not a test: the figures depend on the machine and on what else runs on it.
# Needs what measure-shapes.sh needs, openbox, ffplay and wmctrl (installed with apt-get when
# missing and run as root).
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)

# shellcheck source=scripts/media-session.sh
. "$here/scripts/media-session.sh"
session_begin "${1:-build}" "$@"
session_tools xwininfo bc openbox ffplay
session_install wmctrl

shots=/tmp/measure-player-shots/$(date +%Y%m%d-%H%M%S)
mkdir -p "$shots"

player_media() {
  echo "Making media..."
  local m=$work/media f=(-hide_banner -loglevel error -y) x264=(-c:v libx264 -preset veryfast -pix_fmt yuv420p)
  mkdir -p "$m/portal"
  # Detail up to 0.3 cycles a pixel, in four quarters: shown maximised (about 1200 pixels wide)
  # that is still below the finest the screen holds, so a good scaler keeps it all and none of it
  # folds back into coarser false detail.
  ffmpeg "${f[@]}" \
    -f lavfi -i "nullsrc=size=960x540:rate=1,format=gray,geq=lum='if(lt(Y,270),128+110*cos(PI*0.3125*X*X/960),128+110*cos(PI*0.3*(Y-270)*(Y-270)/270))'" \
    -f lavfi -i "mandelbrot=size=960x540:rate=1" \
    -f lavfi -i "cellauto=size=480x270:rate=1:rule=30:start_full=1,scale=960:540:flags=bicubic" \
    -f lavfi -i "nullsrc=size=960x540:rate=1,format=gray,geq=lum='128+110*cos(0.00171*((X-480)*(X-480)+(Y-270)*(Y-270)))'" \
    -filter_complex "[0:v]format=yuv420p[a];[1:v]format=yuv420p[b];[2:v]format=yuv420p[c];[3:v]format=yuv420p[d];[a][b][c][d]xstack=inputs=4:layout=0_0|w0_0|0_h0|w0_h0" \
    -frames:v 1 "$m/detail.png"
  # A key frame every 2 s, so that the live stream shows soon after it is joined.
  ffmpeg "${f[@]}" -loop 1 -framerate 25 -i "$m/detail.png" -t 60 "${x264[@]}" -tune stillimage -g 50 \
    -movflags +faststart "$m/detail.mp4"
  ffmpeg "${f[@]}" -i "$m/detail.mp4" -c copy -f mpegts "$m/detail.ts"
  ffmpeg "${f[@]}" -f lavfi -i testsrc2=size=640x360:rate=25 -f lavfi -i sine=frequency=440:sample_rate=44100 \
    -t 60 "${x264[@]}" -c:a aac -movflags +faststart "$m/sd.mp4"
  ffmpeg "${f[@]}" -f lavfi -i testsrc2=size=1920x1080:rate=25 -t 60 "${x264[@]}" -movflags +faststart "$m/hd.mp4"
  ffmpeg "${f[@]}" -i "$m/hd.mp4" -c copy -f mpegts "$m/hd.ts"
  # Every picture differs (a frame counter in its top left corner).
  ffmpeg "${f[@]}" -f lavfi -i testsrc2=size=1280x720:rate=60 -t 30 "${x264[@]}" -movflags +faststart "$m/hd60.mp4"
  # A portal page: none of the words that make the program's probe call a channel offline.
  cat >"$m/portal/index.html" <<'EOF'
<!DOCTYPE html>
<html><head><title>City television</title></head>
<body><h1>City television</h1><p>Welcome. Today's programmes are listed in the guide below.</p>
<ul><li>Morning news</li><li>Weather</li><li>Evening film</li></ul></body></html>
EOF
}

# The TS from the start at the pace of its PCR, as a live server sends it: HTTP/1.0 without a
# length, no ranges.
live_serve() {
  cat >"$work/live.py" <<'EOF'
import http.server, os, socketserver, sys, threading, time, urllib.parse

# A dropping channel (/drop/...): /ctl?cut=S&down=D makes the next player's reply end S s after
# it starts; every request in the D s after that is refused with 503. Requests to it are logged.
drop = {'cut': None, 'down': 0.0, 'until': 0.0}
lock = threading.Lock()

def log(what):
    with open(sys.argv[3], 'a') as f:
        f.write('%.3f %s\n' % (time.time(), what))

class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.0'

    def log_message(self, fmt, *args):
        pass

    def headers_for(self):
        path = os.path.join(sys.argv[1], self.path.split('?')[0].lstrip('/'))
        if not os.path.isfile(path):
            self.send_error(404)
            return None
        self.send_response(200)
        self.send_header('Content-Type', 'video/mp2t')
        self.send_header('Cache-Control', 'no-cache')
        self.end_headers()
        return path

    def do_HEAD(self):
        self.headers_for()

    def do_GET(self):
        if self.path.startswith('/ctl?'):
            q = urllib.parse.parse_qs(self.path[5:])
            with lock:
                drop.update(cut=float(q['cut'][0]), down=float(q['down'][0]), until=0.0)
            self.send_response(204)
            self.end_headers()
            return
        # A far or busy server: every reply waits.
        if self.path.startswith('/slow/'):
            time.sleep(3)
            self.path = self.path[len('/slow'):]
        cut = None
        if self.path.startswith('/drop/'):
            self.path = self.path[len('/drop'):]
            player = self.headers.get('User-Agent') != 'Mozilla'
            with lock:
                if time.monotonic() < drop['until']:
                    log('refused')
                    self.send_error(503)
                    return
                if player:
                    cut, drop['cut'] = drop['cut'], None
            log('served' if player else 'probe')
        path = self.headers_for()
        if path is None:
            return
        data = open(path, 'rb').read()
        start, first, sent = time.monotonic(), None, 0
        for i in range(0, len(data) - 187, 188):
            p = data[i:i + 188]
            if p[3] & 0x20 and p[4] >= 7 and p[5] & 0x10:
                pcr = (p[6] << 25 | p[7] << 17 | p[8] << 9 | p[9] << 1 | p[10] >> 7) / 90000
                first = pcr if first is None else first
                self.wfile.write(data[sent:i])
                sent = i
                if cut is not None and time.monotonic() - start >= cut:
                    with lock:
                        drop['until'] = time.monotonic() + drop['down']
                    log('cut')
                    return
                wait = start + pcr - first - time.monotonic()
                if wait > 0:
                    time.sleep(wait)
        self.wfile.write(data[sent:])

class Server(socketserver.ThreadingMixIn, http.server.HTTPServer):
    daemon_threads = True
    def handle_error(self, request, client_address):
        pass  # players hang up in the middle of a reply

server = Server(('127.0.0.1', 0), Handler)
with open(sys.argv[2], 'w') as f:
    f.write(str(server.server_address[1]))
server.serve_forever()
EOF
  python3 "$work/live.py" "$work/media" "$work/live-port" "$work/live.log" >/dev/null 2>&1 &
  live_pid=$!
  for _ in $(seq 50); do [ -s "$work/live-port" ] && break; sleep 0.1; done
  live=http://127.0.0.1:$(cat "$work/live-port")
}

player_cleanup() {
  [ -n "${ffplay_pid:-}" ] && kill "$ffplay_pid" 2>/dev/null || true
  [ -n "${live_pid:-}" ] && kill "$live_pid" 2>/dev/null || true
  session_cleanup
  [ -n "${wm_pid:-}" ] && kill "$wm_pid" 2>/dev/null || true
}

work=$(mktemp -d)
trap player_cleanup EXIT
player_media
session_serve
live_serve
# A port nobody listens on: taken from the system, then let go.
refused=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')

# Maximising needs a window manager; a display that has one keeps it.
if ! wmctrl -m >/dev/null 2>&1; then
  openbox >/dev/null 2>&1 &
  wm_pid=$!
  for _ in $(seq 50); do wmctrl -m >/dev/null 2>&1 && break; sleep 0.1; done
fi

channels=(
  "Detail MP4|$base/detail.mp4" "Detail live TS|$live/detail.ts" "SD MP4|$base/sd.mp4" "HD MP4|$base/hd.mp4"
  "Portal page|$base/portal/" "Refused port|http://127.0.0.1:$refused/live" "HD TS|$base/hd.ts"
  "HD 60 fps MP4|$base/hd60.mp4"
  "Slow live TS|$live/slow/detail.ts" "Dropping live TS|$live/drop/detail.ts"
)
session_channel_lines "${channels[@]}"
session_user "${lines[@]}"
session_start
session_main_window

cat >"$work/player.py" <<'EOF'
import operator, subprocess, sys

LIT = bytes(0 if v <= 40 else 1 for v in range(256))

def layout(raw, width, height):
    """In a still of the window: the video area and the picture in it, each as x y w h, the
    picture "none" when the area is all black. The area holds the window's middle and is black
    where no picture is. Looked up each time: the window does not lay out the player alike
    after each resize."""
    rgb = open(raw, 'rb').read()
    dark = lambda x, y: max(rgb[(y * width + x) * 3:(y * width + x) * 3 + 3]) < 8
    band = range(width // 2 - 100, width // 2 + 100, 2)
    dark_row = [all(dark(x, y) for x in band) for y in range(height)]

    def run(y):
        top = bottom = y
        while top > 0 and dark_row[top - 1] == dark_row[y]:
            top -= 1
        while bottom < height - 1 and dark_row[bottom + 1] == dark_row[y]:
            bottom += 1
        return top, bottom

    middle = height // 2
    picture = None
    if dark_row[middle]:
        top, bottom = run(middle)
    else:
        picture = run(middle)
        if picture[0] == 0 or picture[1] == height - 1:
            print('0 0 0 0 none')
            return
        top, bottom = run(picture[0] - 1)[0], run(picture[1] + 1)[1]
    left = right = width // 2
    while left > 0 and dark(left - 1, top):
        left -= 1
    while right < width - 1 and dark(right + 1, top):
        right += 1
    area = (left, top, (right - left + 1) // 2 * 2, (bottom - top + 1) // 2 * 2)
    if picture is None:
        print('%d %d %d %d none' % area)
        return
    marks = rgb.translate(LIT)
    x0, x1 = right, left
    for y in range(picture[0], picture[1] + 1):
        row = marks[(y * width + left) * 3:(y * width + right + 1) * 3]
        first = row.find(1)
        if first >= 0:
            x0, x1 = min(x0, left + first // 3), max(x1, left + row.rfind(1) // 3)
    print('%d %d %d %d %d %d %d %d' % (area + (x0, picture[0], x1 - x0 + 1, picture[1] - picture[0] + 1)))

def grey(rgb, width, height, crop):
    # Both pictures go the same way from RGB to grey.
    x, y, w, h = crop
    return subprocess.run(['ffmpeg', '-hide_banner', '-loglevel', 'error', '-f', 'rawvideo', '-pix_fmt', 'rgb24',
                           '-s', '%dx%d' % (width, height), '-i', '-', '-vf', 'crop=%d:%d:%d:%d,format=gray' % (w, h, x, y),
                           '-f', 'rawvideo', '-'], input=rgb, stdout=subprocess.PIPE, check=True).stdout, w, h

def detail(picture):
    g, w, h = picture
    total = 0
    for y in range(h):
        row = g[y * w:(y + 1) * w]
        total += sum(map(abs, map(operator.sub, row[1:], row[:-1])))
        if y + 1 < h:
            total += sum(map(abs, map(operator.sub, g[(y + 1) * w:(y + 2) * w], row)))
    return total / (h * (w - 1) + (h - 1) * w)

def sharpness(raw, width, height, box, source):
    """The shown picture's detail, the source's scaled to its size, and their ratio."""
    rgb = open(raw, 'rb').read()
    x, y, w, h = box
    # Edge pixels blend with the bars.
    inset = 2
    shown = detail(grey(rgb, width, height, (x + inset, y + inset, w - 2 * inset, h - 2 * inset)))
    scaled = subprocess.run(['ffmpeg', '-hide_banner', '-loglevel', 'error', '-ss', '10', '-i', source, '-frames:v', '1',
                             '-vf', 'scale=%d:%d:flags=lanczos' % (w, h), '-pix_fmt', 'rgb24', '-f', 'rawvideo', '-'],
                            stdout=subprocess.PIPE, check=True).stdout
    reference = detail(grey(scaled, w, h, (inset, inset, w - 2 * inset, h - 2 * inset)))
    print('%.4f %.3f %.3f' % (shown / reference, shown, reference))

def first_lit(raw, info, width, height, click):
    """ms from the click to the first recorded frame with something lit, or never."""
    stamps = [int(l.split('pts:')[1].split()[0]) / 1e6 for l in open(info) if 'pts:' in l and 'n:' in l]
    data = open(raw, 'rb').read()
    size = width * height * 3
    for i in range(min(len(stamps), len(data) // size)):
        if stamps[i] < click:
            continue
        if data[i * size:(i + 1) * size].translate(LIT).count(1) >= 20:
            print(round((stamps[i] - click) * 1000))
            return
    print('never')

def distinct(raw, width, height):
    """Recorded frames, and how many of them differ from the one before (the first counts)."""
    data = open(raw, 'rb').read()
    size = width * height * 3
    frames = [data[i:i + size] for i in range(0, len(data) - size + 1, size)]
    print(len(frames), sum(1 for i, f in enumerate(frames) if i == 0 or f != frames[i - 1]))

def tries(log, since=0.0):
    """The player's tries in the dropping channel's log after `since`: refused requests less
    than 0.1 s apart are one try (libVLC asks twice). As times."""
    times = []
    for line in open(log):
        t, what = line.split()
        if float(t) > since and what in ('refused', 'served'):
            if not times or float(t) - times[-1][-1] > 0.1:
                times.append([float(t)])
            else:
                times[-1].append(float(t))
    return [t[0] for t in times]

def rejoin(raw, info, width, height, log, down):
    """The schedule of the tries after the cut, when the area dimmed, and the time from the
    server's return to the picture joined again."""
    stamps = [int(l.split('pts:')[1].split()[0]) / 1e6 for l in open(info) if 'pts:' in l and 'n:' in l]
    data = open(raw, 'rb').read()
    size = width * height * 3
    means = [sum(data[i * size:(i + 1) * size]) / size for i in range(min(len(stamps), len(data) // size))]
    cut = [float(l.split()[0]) for l in open(log) if l.split()[1] == 'cut'][0]
    back = cut + down
    bright = sorted(m for s, m in zip(stamps, means) if cut - 2 < s < cut)
    bright = bright[len(bright) // 2]
    dimmed = next((s for s, m in zip(stamps, means) if s > cut and m < 0.6 * bright), None)
    joined = next((s for s, m in zip(stamps, means) if s > back and m > 0.8 * bright), None)
    t = tries(log, cut)
    waits = ' '.join('%.1f' % (b - a) for a, b in zip(t, t[1:]))
    print('cut->dimmed %s s; cut->first try %.2f s; dimmed->first try %s s; waits %s; back->picture %s s; tries %d' % (
        '%.2f' % (dimmed - cut) if dimmed else 'never', t[0] - cut if t else -1,
        '%.2f' % (t[0] - dimmed) if dimmed and t else '-', waits,
        '%.2f' % (joined - back) if joined else 'never', len(t)))

if __name__ == '__main__':
    if sys.argv[1] == 'distinct':
        distinct(sys.argv[2], int(sys.argv[3]), int(sys.argv[4]))
    elif sys.argv[1] == 'tries':
        print(len(tries(sys.argv[2])))
    elif sys.argv[1] == 'rejoin':
        rejoin(sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5]), sys.argv[6], float(sys.argv[7]))
    elif sys.argv[1] == 'layout':
        layout(sys.argv[2], int(sys.argv[3]), int(sys.argv[4]))
    elif sys.argv[1] == 'sharpness':
        sharpness(sys.argv[2], int(sys.argv[3]), int(sys.argv[4]), [int(v) for v in sys.argv[5:9]], sys.argv[9])
    else:
        first_lit(sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5]), float(sys.argv[6]))
EOF

window_still() { # file: the window now, as raw RGB; sets still_x still_y still_w still_h
  read -r still_x still_y still_w still_h < <(window_geometry)
  ffmpeg -hide_banner -loglevel error -f x11grab -draw_mouse 0 -video_size "${still_w}x${still_h}" \
    -i "$DISPLAY+$still_x,$still_y" -frames:v 1 -f rawvideo -pix_fmt rgb24 -y "$1"
}
# Sets area_x area_y (on the screen) area_w area_h, and picture (x y w h in $work/still.raw, or
# none), from stills taken until two agree, as the window settles after a resize.
video_area() {
  local seen='' found x y w h
  for _ in $(seq 10); do
    window_still "$work/still.raw"
    found=$(python3 "$work/player.py" layout "$work/still.raw" "$still_w" "$still_h")
    [ "$seen" = "$found" ] && break
    seen=$found
    sleep 0.5
  done
  read -r x y w h picture <<<"$found"
  if [ "$w" -eq 0 ]; then
    echo "No video area found; keeping the last one." >&2
    picture=none
    return
  fi
  area_x=$((still_x + x)) area_y=$((still_y + y)) area_w=$w area_h=$h
}

window_geometry() { # X Y W H of the main window on the screen
  xwininfo -id "$main" | awk '/Absolute upper-left X/ { x = $4 } /Absolute upper-left Y/ { y = $4 }
    /Width:/ { w = $2 } /Height:/ { h = $2 } END { print x, y, w, h }'
}
maximise() { wmctrl -i -r "$main" -b add,maximized_vert,maximized_horz; }
restore() { wmctrl -i -r "$main" -b remove,maximized_vert,maximized_horz; }
# The player's buttons sit just under the video area at its left; taken from the area, as the
# window's own layout after a restore differs from its first one. The pointer then leaves the
# player, so that no tooltip or hover shows in a grab.
press() { # offset from the area's left
  xdotool mousemove "$((area_x + $1))" "$((area_y + area_h + 13))" click 1
  sleep 0.2
  xdotool mousemove --window "$main" 150 400
}
play_pause() { press 14; }
stop() { press 41; }

window_shot() { # name: a PNG of the window, pointer included, for a person
  local x y w h
  read -r x y w h < <(window_geometry)
  ffmpeg -hide_banner -loglevel error -f x11grab -video_size "$((w / 2 * 2))x$((h / 2 * 2))" -i "$DISPLAY+$x,$y" \
    -frames:v 1 -y "$shots/$1.png"
}

end_ffplay() { # and the program's window comes back to the front
  kill "$ffplay_pid" 2>/dev/null || true
  wait "$ffplay_pid" 2>/dev/null || true
  ffplay_pid=
  xdotool windowactivate --sync "$main"
  sleep 1
}

cpu_of() { # pid: % of one core over the next 10 s
  local hz before after
  hz=$(getconf CLK_TCK)
  before=$(awk '{ print $14 + $15 }' "/proc/$1/stat")
  sleep 10
  after=$(awk '{ print $14 + $15 }' "/proc/$1/stat")
  LC_ALL=C printf '%.1f' "$(echo "scale=2; ($after - $before) * 100 / $hz / 10" | bc)"
}

video_area
default_size=$(window_geometry | awk '{ print $3 "x" $4 }')
small=("$area_x" "$area_y" "$area_w" "$area_h")
echo "Window ${default_size}, video area ${area_w}x${area_h}; grabs in $shots"

echo "CPU of the idle program..."
cpu_idle=$(cpu_of "$app_pid")

echo "CPU of the paused and playing player..."
click_at 50 "$(row 2)"
sleep 3
cpu_playing_sd=$(cpu_of "$app_pid")
play_pause
sleep 2
window_shot paused-640x360
cpu_paused_sd=$(cpu_of "$app_pid")
stop
sleep 1
click_at 50 "$(row 3)"
sleep 3
cpu_playing_hd=$(cpu_of "$app_pid")
play_pause
sleep 2
window_shot paused-1920x1080
cpu_paused_hd=$(cpu_of "$app_pid")
stop
sleep 1
# A transport stream tells its picture size only after the first picture.
click_at 50 "$(row 6)"
sleep 3
cpu_playing_hd_ts=$(cpu_of "$app_pid")
play_pause
sleep 2
cpu_paused_hd_ts=$(cpu_of "$app_pid")
stop
sleep 1

SDL_AUDIODRIVER=dummy ffplay -hide_banner -loglevel error -an -x "$area_w" -y "$area_h" "$work/media/hd.mp4" \
  >"$work/ffplay.log" 2>&1 &
ffplay_pid=$!
ffplay_window=$(wait_window hd.mp4 20) || ffplay_window=
sleep 3
cpu_ffplay=$(cpu_of "$ffplay_pid")
cpu_ffplay_paused=-
if [ -n "$ffplay_window" ]; then
  xdotool windowactivate --sync "$ffplay_window"
  xdotool key --window "$ffplay_window" p
  sleep 2
  ffmpeg -hide_banner -loglevel error -f x11grab -video_size "$(xdotool getdisplaygeometry | tr ' ' x)" -i "$DISPLAY" \
    -frames:v 1 -y "$shots/ffplay-paused.png"
  cpu_ffplay_paused=$(cpu_of "$ffplay_pid")
fi
end_ffplay

echo "Addresses the player cannot play, and a slow server..."
declare -A lit
lit_after_click() { # case row: records the video area from before the click
  local recorder click
  stop
  sleep 1.5
  ffmpeg -hide_banner -loglevel info -f x11grab -draw_mouse 0 -framerate 25 -video_size "${area_w}x${area_h}" \
    -t 4.5 -i "$DISPLAY+$area_x,$area_y" -copyts -vf "showinfo,scale=iw/2:ih/2" \
    -f rawvideo -pix_fmt rgb24 -y "$work/try.raw" 2>"$work/try.info" &
  recorder=$!
  sleep 0.5
  click=$(date +%s.%N)
  click_at 50 "$(row "$2")"
  wait "$recorder"
  window_shot "${1// /-}"
  lit[$1]=$(python3 "$work/player.py" first-lit "$work/try.raw" "$work/try.info" $((area_w / 2)) $((area_h / 2)) "$click")
  echo "$1: first lit frame after the click: ${lit[$1]}$([ "${lit[$1]}" = never ] || echo " ms"); $shots/${1// /-}.png"
}
lit_after_click "portal page" 4
lit_after_click "refused port" 5
lit_after_click "slow server" 8
stop
sleep 1

# A live channel whose server cuts it after 4 s and refuses it for 12 s: the tries, recorded at
# 10 frames a second, and the time from the server's return to the picture.
echo "A live channel that drops and comes back..."
ctl() { python3 -c "import urllib.request, sys; urllib.request.urlopen(sys.argv[1])" "$live/ctl?cut=$1&down=$2"; }
: >"$work/live.log"
ctl 4 12
ffmpeg -hide_banner -loglevel info -f x11grab -draw_mouse 0 -framerate 10 -video_size "${area_w}x${area_h}" \
  -t 30 -i "$DISPLAY+$area_x,$area_y" -copyts -vf "showinfo,scale=iw/4:ih/4" \
  -f rawvideo -pix_fmt rgb24 -y "$work/rejoin.raw" 2>"$work/rejoin.info" &
recorder=$!
sleep 0.5
click_at 50 "$(row 9)"
sleep 12
window_shot reconnecting
wait "$recorder"
rejoined=$(python3 "$work/player.py" rejoin "$work/rejoin.raw" "$work/rejoin.info" $((area_w / 4)) $((area_h / 4)) \
  "$work/live.log" 12)
echo "re-join: $rejoined; $shots/reconnecting.png"
stop
sleep 1

# Sharpness, each grab with the area and picture found in it.
declare -A ratio size
sharpness() { # case
  local r shown reference
  video_area
  ffmpeg -hide_banner -loglevel error -f rawvideo -pix_fmt rgb24 -s "${still_w}x${still_h}" -i "$work/still.raw" \
    -vf "crop=$area_w:$area_h:$((area_x - still_x)):$((area_y - still_y))" -y "$shots/${1// /-}.png"
  if [ "$picture" = none ]; then
    r=none shown=- reference=-
  else
    # shellcheck disable=SC2086 # x y w h
    read -r r shown reference < <(python3 "$work/player.py" sharpness "$work/still.raw" "$still_w" "$still_h" \
      $picture "$work/media/detail.mp4")
  fi
  ratio[$1]=$r
  size[$1]=$(echo "$picture" | awk 'NF == 4 { print $3 "x" $4 }')
  echo "$1: area ${area_w}x${area_h}, picture ${size[$1]:-none}, detail $shown, reference $reference," \
    "shown/reference $r; $shots/${1// /-}.png"
}
kinds=(MP4 "live TS")
for k in 0 1; do
  click_at 50 "$(row "$k")"
  sleep 3
  maximise
  sleep 4
  sharpness "${kinds[$k]} grown"
  stop
  sleep 1
  click_at 50 "$(row "$k")"
  sleep 4
  sharpness "${kinds[$k]} fresh"
  stop
  sleep 1
  restore
  sleep 2
  video_area
done

# Full screen: F11 from the channel list just clicked, Escape to leave.
echo "Full screen..."
read -r screen_w screen_h < <(xdotool getdisplaygeometry)
screen_shot() { # name
  ffmpeg -hide_banner -loglevel error -f x11grab -video_size "${screen_w}x${screen_h}" -i "$DISPLAY" -frames:v 1 \
    -y "$shots/$1.png"
}
full_screen() { # row: plays it, then takes it to full screen, where the bar hides after 3 s
  click_at 50 "$(row "$1")"
  sleep 3
  xdotool key F11
  sleep 4
}
full_screen 0
ffmpeg -hide_banner -loglevel error -f x11grab -draw_mouse 0 -video_size "${screen_w}x${screen_h}" -i "$DISPLAY" \
  -frames:v 1 -f rawvideo -pix_fmt rgb24 -y "$work/full.raw"
ffmpeg -hide_banner -loglevel error -f rawvideo -pix_fmt rgb24 -s "${screen_w}x${screen_h}" -i "$work/full.raw" \
  -y "$shots/full-screen-detail.png"
read -r _ _ _ _ fx fy fw fh < <(python3 "$work/player.py" layout "$work/full.raw" "$screen_w" "$screen_h")
full_ratio=none full_size=none
if [ -n "${fh:-}" ]; then
  full_size=${fw}x$fh
  read -r full_ratio _ < <(python3 "$work/player.py" sharpness "$work/full.raw" "$screen_w" "$screen_h" \
    "$fx" "$fy" "$fw" "$fh" "$work/media/detail.mp4")
fi
xdotool key Escape
sleep 1
stop
sleep 1
full_screen 3
screen_shot full-screen-1920x1080
cpu_full_hd=$(cpu_of "$app_pid")
xdotool key Escape
sleep 1
window_shot after-full-screen
stop
sleep 1
SDL_AUDIODRIVER=dummy ffplay -hide_banner -loglevel error -an -fs "$work/media/hd.mp4" >"$work/ffplay.log" 2>&1 &
ffplay_pid=$!
sleep 4
screen_shot ffplay-full-screen
cpu_ffplay_full=$(cpu_of "$ffplay_pid")
end_ffplay
# The 60-fps video's frame counter, in the top left corner of the picture, recorded at 200
# frames a second for 5 s: every new picture on the screen is a new frame there.
full_screen 7
picture_top=$(((screen_h - screen_w * 9 / 16) / 2))
ffmpeg -hide_banner -loglevel error -f x11grab -draw_mouse 0 -framerate 200 -video_size 240x80 \
  -t 5 -i "$DISPLAY+0,$((picture_top > 0 ? picture_top : 0))" -vsync passthrough -f rawvideo -pix_fmt rgb24 -y "$work/counter.raw"
read -r counter_frames counter_distinct < <(python3 "$work/player.py" distinct "$work/counter.raw" 240 80)
xdotool key Escape
sleep 1
stop

# Memory while the tries go on, with waits shortened to 0.2 s: the program again, the channel
# refused from 3 s on.
echo "Memory over 60 tries to re-join..."
kill "$app_pid"
wait "$wrapper_pid" 2>/dev/null || true
CHANNELDECK_REJOIN_SCHEDULE=100,200,3600000 session_start
main=$(wait_window "ChannelDeck by" 60)
xdotool windowmove "$main" 0 0
sleep 2
: >"$work/live.log"
ctl 3 100000
click_at 50 "$(row 9)"
rss() { awk '/VmRSS/ { printf "%.1f", $2 / 1024 }' "/proc/$app_pid/status"; }
rss10=- rss60=-
for _ in $(seq 1200); do
  n=$(python3 "$work/player.py" tries "$work/live.log")
  [ "$rss10" = - ] && [ "$n" -ge 10 ] && rss10=$(rss)
  [ "$n" -ge 60 ] && { rss60=$(rss); break; }
  sleep 0.1
done
window_shot memory-tries
echo "memory at try 10: $rss10 MB, at try 60: $rss60 MB"

grown_fresh() {
  if [ "${ratio[$1 fresh]}" = none ] || [ "${ratio[$1 grown]}" = none ]; then
    echo -
  else
    echo "scale=4; ${ratio[$1 grown]} / ${ratio[$1 fresh]}" | bc
  fi
}
two() { case $1 in none | -) echo "$1" ;; *) LC_ALL=C printf '%.2f' "$1" ;; esac; }
echo
echo "Sharpness of the 1920x1080 detail in the maximised window:"
printf '  %-8s %-12s %-22s %-22s %s\n' kind picture "grown, of reference" "fresh, of reference" "grown/fresh"
for k in "${kinds[@]}"; do
  printf '  %-8s %-12s %-22s %-22s %s\n' "$k" "${size[$k fresh]}" "$(two "${ratio[$k grown]}")" \
    "$(two "${ratio[$k fresh]}")" "$(two "$(grown_fresh "$k")")"
done
echo "CPU, % of one core over 10 s (window ${default_size}, video area ${small[2]}x${small[3]}):"
echo "  idle program                 $cpu_idle"
echo "  640x360 MP4 playing          $cpu_playing_sd"
echo "  640x360 MP4 paused           $cpu_paused_sd"
echo "  1920x1080 MP4 paused         $cpu_paused_hd"
echo "  1920x1080 MP4 playing        $cpu_playing_hd"
echo "  1920x1080 TS paused          $cpu_paused_hd_ts"
echo "  1920x1080 TS playing         $cpu_playing_hd_ts"
echo "  ffplay 1920x1080 playing     $cpu_ffplay"
echo "  ffplay 1920x1080 paused      $cpu_ffplay_paused"
echo "Click to the first lit frame in the video area, ms (recorded for 4 s):"
echo "  portal page (HTML, 200)      ${lit[portal page]}"
echo "  refused port                 ${lit[refused port]}"
echo "  slow server (3 s), the words ${lit[slow server]}"
echo "Full screen (screen ${screen_w}x${screen_h}):"
echo "  1920x1080 detail, picture $full_size, of reference  $(two "$full_ratio")"
echo "  CPU 1920x1080 MP4 playing    $cpu_full_hd"
echo "  CPU ffplay -fs 1920x1080     $cpu_ffplay_full"
echo "  1280x720 60 fps: $counter_distinct distinct pictures in 5 s ($((counter_distinct / 5))/s;" \
  "$counter_frames frames recorded)"
echo "A live channel cut after 4 s, refused for 12 s:"
echo "  $rejoined"
echo "Memory (RSS) while re-joining, tries every 0.2 s: try 10 $rss10 MB, try 60 $rss60 MB"
echo "Grabs: $shots"

#!/usr/bin/env bash
# Whether every picture keeps its right shape through changes of shape, and what drawing the
# video costs. Serves, from loopback, a vertical MP4, a 16:9 MPEG-TS, an HLS stream with a
# 640x360 and a 1280x720 variant, a TS that changes from 16:9 to 4:3 after 4 s, an MP4 stored
# 640x360 and turned a quarter, and a 720x576 picture with 64:45 pixels (as TS, where only the
# stream tells the pixel shape, and as MP4 without its pixel-shape box). Each case clicks a
# channel (most after the vertical video) and records the video area with x11grab at 25
# frames a second. Prints per case: the click to the first picture, the frames whose picture
# had another shape or size than the area allows (medians over the tries, with the range),
# and the black frames after the first picture. Then the CPU the program takes over 10 s of a
# 640x360 and of a 1920x1080 MP4.
#
#   scripts/measure-shapes.sh [tries per case, default 3] [build folder, default build]
#
# A measurement, not a test: the figures depend on the machine.
set -euo pipefail

tries=${1:-3}
here=$(cd "$(dirname "$0")/.." && pwd)

# shellcheck source=scripts/media-session.sh
. "$here/scripts/media-session.sh"
session_begin "${2:-build}" "$@"
session_tools xwininfo bc

shapes_media() {
  echo "Making the media of other shapes..."
  local m=$work/media f=(-hide_banner -loglevel error -y) x264=(-c:v libx264 -preset veryfast -pix_fmt yuv420p)
  mkdir -p "$m/hls2"
  ffmpeg "${f[@]}" -f lavfi -i testsrc2=size=360x640:rate=25 -f lavfi -i sine=frequency=440 -t 60 "${x264[@]}" \
    -c:a aac -movflags +faststart "$m/vertical.mp4"
  ffmpeg "${f[@]}" -f lavfi -i testsrc=size=640x360:rate=25 -f lavfi -i sine=frequency=500 -t 4 "${x264[@]}" \
    -c:a aac -f mpegts "$m/part1.ts"
  ffmpeg "${f[@]}" -f lavfi -i testsrc=size=640x480:rate=25 -f lavfi -i sine=frequency=500 -t 30 "${x264[@]}" \
    -c:a aac -output_ts_offset 4 -f mpegts "$m/part2.ts"
  cat "$m/part1.ts" "$m/part2.ts" >"$m/change.ts"
  ffmpeg "${f[@]}" -f lavfi -i testsrc2=size=640x360:rate=25 -t 30 "${x264[@]}" -movflags +faststart "$m/flat.mp4"
  ffmpeg "${f[@]}" -i "$m/flat.mp4" -c copy -metadata:s:v:0 rotate=90 -movflags +faststart "$m/rotated.mp4"
  ffmpeg "${f[@]}" -f lavfi -i smptebars=size=720x576:rate=25 -f lavfi -i sine=frequency=300 -t 30 \
    -vf setsar=64/45 "${x264[@]}" -c:a aac -movflags +faststart "$m/anamorphic.mp4"
  ffmpeg "${f[@]}" -i "$m/anamorphic.mp4" -c copy -f mpegts "$m/anamorphic.ts"
  # The MP4 keeps the pixel shape in the stream only: its box is renamed to one players skip.
  python3 - "$m/anamorphic.mp4" <<'EOF'
import sys
data = bytearray(open(sys.argv[1], 'rb').read())
at = data.find(b'pasp')
if at >= 0:
    data[at:at + 4] = b'free'
open(sys.argv[1], 'wb').write(data)
EOF
  ffmpeg "${f[@]}" -f lavfi -i testsrc=size=1280x720:rate=25 -f lavfi -i sine=frequency=550 -t 60 \
    -filter_complex "[0:v]split=2[a][b];[a]scale=640:360[lo];[b]copy[hi]" -map "[lo]" -map "[hi]" -map 1:a -map 1:a \
    "${x264[@]}" -g 50 -keyint_min 50 -sc_threshold 0 -b:v:0 600k -b:v:1 2500k -c:a aac -f hls -hls_time 2 \
    -hls_list_size 0 -master_pl_name master.m3u8 -var_stream_map "v:0,a:0 v:1,a:1" \
    -hls_segment_filename "$m/hls2/v%v_%03d.ts" "$m/hls2/v%v.m3u8"
  ffmpeg "${f[@]}" -f lavfi -i testsrc2=size=1920x1080:rate=25 -t 60 "${x264[@]}" -movflags +faststart "$m/hd.mp4"
}

session_prepare
shapes_media
channels=(
  "Vertical|vertical.mp4" "Wide TS|video.ts" "HLS|hls2/master.m3u8" "Change TS|change.ts" "Rotated|rotated.mp4"
  "Anamorphic TS|anamorphic.ts" "Anamorphic MP4|anamorphic.mp4" "SD MP4|video.mp4" "HD MP4|hd.mp4"
)
session_channel_lines "${channels[@]/|/|$base/}"
session_user "${lines[@]}"
session_start
session_main_window

cat >"$work/shapes.py" <<'EOF'
import statistics, sys

def lit_box(f, width, height):
    xs, ys = [], []
    for y in range(0, height, 2):
        row = f[y * width * 3:(y + 1) * width * 3]
        for x in range(0, width, 2):
            if max(row[x * 3:x * 3 + 3]) > 40:
                xs.append(x)
                ys.append(y)
    if len(xs) < 20:
        return None
    return min(xs), min(ys), max(xs) + 2, max(ys) + 2

def fits(box, width, height, aspect):
    """Whether the box is the picture of that aspect as large as the area allows, centred."""
    if width / height > aspect:
        pw, ph = height * aspect, height
    else:
        pw, ph = width, width / aspect
    x0, y0 = (width - pw) / 2, (height - ph) / 2
    return all(abs(a - b) <= 6 for a, b in zip(box, (x0, y0, x0 + pw, y0 + ph)))

def classify(raw_path, info_path, width, height, click, aspects, before):
    """One try: ms from the click to the first picture, the frames with a picture of another
    shape or size, the black frames after the first picture. Until the area first goes black,
    a picture in the shape of the video played before (aspect `before`, 0 for none) is that
    video still playing while the click's probe runs."""
    stamps = [int(l.split('pts:')[1].split()[0]) / 1e6 for l in open(info_path) if 'pts:' in l and 'n:' in l]
    data = open(raw_path, 'rb').read()
    size = width * height * 3
    first = None
    wrong = black = 0
    switched = before == 0
    for i in range(min(len(stamps), len(data) // size)):
        box = lit_box(data[i * size:(i + 1) * size], width, height)
        if (stamps[i] - click) * 1000 < 0:
            continue
        if box is None:
            switched = True
            black += first is not None
            continue
        if not switched and fits(box, width, height, before):
            continue
        switched = True
        if first is None:
            first = round((stamps[i] - click) * 1000)
        if not any(fits(box, width, height, a) for a in aspects):
            wrong += 1
    print(-1 if first is None else first, wrong, black)

def summary(path):
    rows = {}
    for line in open(path):
        case, first, wrong, black = line.split('|')
        rows.setdefault(case, []).append((int(first), int(wrong), int(black)))
    print('%-34s %-24s %-22s %s' % ('case', 'click to picture, ms', 'wrong-shaped frames', 'black frames after'))
    for case, values in rows.items():
        seen = [v[0] for v in values if v[0] >= 0]
        first = '%d (%d-%d)' % (statistics.median(seen), min(seen), max(seen)) if seen else 'never'
        print('%-34s %-24s %-22s %d in %d tries' % (case, first, '%d in %d tries' % (sum(v[1] for v in values), len(values)),
                                                   sum(v[2] for v in values), len(values)))

if __name__ == '__main__':
    if sys.argv[1] == 'classify':
        classify(sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5]), float(sys.argv[6]),
                 [float(a) for a in sys.argv[7].split(',')], float(sys.argv[8]))
    else:
        summary(sys.argv[2])
EOF

session_video_area
echo "Video area: ${area_w}x${area_h}; $tries tries per case"

# record CASE SECONDS ASPECTS BEFORE ROW: plays the row BEFORE for 3 s (then stops it when
# BEFORE ends in "s"; only stops when it is -), then records while clicking ROW.
record() {
  local case=$1 seconds=$2 aspects=$3 before=$4 target=$5 click recorder still=0
  if [ "$before" != - ]; then
    click_at 50 "$(row "${before%s}")"
    sleep 3
  fi
  if [ "$before" = - ] || [ "${before%s}" != "$before" ]; then
    stop_player
  else
    still=${shape_of[$before]}
  fi
  sleep 1
  ffmpeg -hide_banner -loglevel info -f x11grab -framerate 25 -video_size "${area_w}x${area_h}" -t "$seconds" \
    -draw_mouse 0 -i "$DISPLAY+$((win_x + area_x)),$((win_y + area_y))" -copyts -vf "showinfo,scale=iw/2:ih/2" \
    -f rawvideo -pix_fmt rgb24 -y "$work/try.raw" 2>"$work/try.info" &
  recorder=$!
  sleep 0.5
  click=$(date +%s.%N)
  click_at 50 "$(row "$target")"
  wait "$recorder"
  read -r first wrong black < <(python3 "$work/shapes.py" classify "$work/try.raw" "$work/try.info" \
    $((area_w / 2)) $((area_h / 2)) "$click" "$aspects" "$still")
  echo "$case: picture $first ms, wrong-shaped $wrong, black after $black"
  echo "$case|$first|$wrong|$black" >>"$work/results"
}

wide=1.7778
# The shape of the rows played before a case.
shape_of=(0.5625 $wide)
: >"$work/results"
for _ in $(seq "$tries"); do
  record "16:9 TS after vertical, stopped" 3 $wide 0s 1
  record "16:9 TS after vertical, no stop" 3 $wide 0 1
  record "HLS after vertical" 3 $wide 0 2
  # Before 4 s 16:9, then 4:3: each full size.
  record "TS 16:9 then 4:3 in the stream" 7 $wide,1.3333 - 3
  record "MP4 turned a quarter" 3 0.5625 1 4
  record "720x576, 64:45 in the stream: TS" 3 $wide 0 5
  record "720x576, 64:45 in the stream: MP4" 3 $wide 0 6
  # The player moves to the 1280x720 variant within the first seconds.
  record "HLS variant change" 12 $wide - 2
done
stop_player
python3 "$work/shapes.py" summary "$work/results"

cpu_of() { # row: % of one core over 10 s, from 3 s after the click
  local hz before after
  hz=$(getconf CLK_TCK)
  click_at 50 "$(row "$1")"
  sleep 3
  before=$(awk '{ print $14 + $15 }' "/proc/$app_pid/stat")
  sleep 10
  after=$(awk '{ print $14 + $15 }' "/proc/$app_pid/stat")
  echo "scale=1; ($after - $before) * 100 / $hz / 10" | bc
}
echo "CPU, % of one core: 640x360 MP4 $(cpu_of 7), 1920x1080 MP4 $(cpu_of 8)"
stop_player

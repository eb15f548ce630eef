#!/usr/bin/env bash
# How soon a clicked channel shows its picture, and whether any frame shows it in the wrong
# shape. Serves a 640x360 video as MP4, MPEG-TS and HLS from loopback, lists them as channels,
# and for each kind stops the player, clicks the channel and records the video area with
# ffmpeg's x11grab at 25 frames a second. Prints, per kind, the click to the first frame with a
# picture and to the first frame whose picture has the video's shape (medians over the tries,
# with the range), and how many frames showed a picture of another shape (stretched over the
# whole area, for one).
#
#   scripts/measure-first-frames.sh [tries per kind, default 5] [build folder, default build]
#
# A measurement, not a test: the figures depend on the machine. Times are taken from the
# wall clock of the click and the capture times x11grab gives each frame (one frame is 40 ms).
# Needs what measure-switching.sh needs; starts Xvfb through xvfb-run when there is no display.
set -euo pipefail

tries=${1:-5}
here=$(cd "$(dirname "$0")/.." && pwd)
record_seconds=${RECORD_SECONDS:-3.5}

# shellcheck source=scripts/media-session.sh
. "$here/scripts/media-session.sh"
session_begin "${2:-build}" "$@"
session_tools xwininfo

session_prepare
# Rated 9, 8, 7 so that the list shows them in this order.
session_user \
  "1|Video MP4|TV|$base/video.mp4|English|1/1/01|1/1/01|000001|9|" \
  "2|Video TS|TV|$base/video.ts|English|1/1/01|1/1/01|000001|8|" \
  "3|Video HLS|TV|$base/hls/index.m3u8|English|1/1/01|1/1/01|000001|7|"
kinds=(MP4 TS HLS)
row_y=(176 190 204)
session_start
session_main_window

cat >"$work/frames.py" <<'EOF'
import statistics, sys

def classify(raw_path, info_path, width, height, aspect, click):
    """One try: ms from the click to the first frame with a picture, to the first frame whose
    picture has the right shape, and the count of frames with a picture of another shape."""
    stamps = [int(l.split('pts:')[1].split()[0]) / 1e6 for l in open(info_path) if 'pts:' in l and 'n:' in l]
    data = open(raw_path, 'rb').read()
    size = width * height * 3
    if width / height > aspect:
        pw, ph = height * aspect, height
    else:
        pw, ph = width, width / aspect
    x0, y0 = (width - pw) / 2, (height - ph) / 2
    first = right = None
    wrong = 0
    for i in range(min(len(stamps), len(data) // size)):
        f = data[i * size:(i + 1) * size]
        lit = lambda x, y: max(f[(y * width + x) * 3:(y * width + x) * 3 + 3]) > 40
        inside = bars = lit_inside = lit_bars = 0
        for y in range(2, height - 2, 4):
            for x in range(2, width - 2, 4):
                if x0 + 3 < x < x0 + pw - 3 and y0 + 3 < y < y0 + ph - 3:
                    inside += 1
                    lit_inside += lit(x, y)
                elif x < x0 - 3 or x > x0 + pw + 3 or y < y0 - 3 or y > y0 + ph + 3:
                    bars += 1
                    lit_bars += lit(x, y)
        if lit_bars > bars * 0.05:
            shape = 'wrong'
        elif lit_inside > inside * 0.05:
            shape = 'right'
        else:
            continue
        ms = (stamps[i] - click) * 1000
        if first is None:
            first = ms
        if shape == 'wrong':
            wrong += 1
        elif right is None:
            right = ms
    print(-1 if first is None else round(first), -1 if right is None else round(right), wrong)

def summary(path):
    rows = {}
    for line in open(path):
        kind, first, right, wrong = line.split()
        rows.setdefault(kind, []).append((int(first), int(right), int(wrong)))
    print('%-5s %-32s %-32s %s' % ('kind', 'click to first frame, ms', 'click to right-shaped frame, ms',
                                   'wrong-shaped frames'))
    for kind, values in rows.items():
        def figure(column):
            seen = [v[column] for v in values if v[column] >= 0]
            if not seen:
                return 'never'
            return '%d (%d-%d)' % (statistics.median(seen), min(seen), max(seen))
        print('%-5s %-32s %-32s %d in %d tries' % (kind, figure(0), figure(1), sum(v[2] for v in values),
                                                  len(values)))

if __name__ == '__main__':
    command = sys.argv[1]
    if command == 'classify':
        classify(sys.argv[2], sys.argv[3], int(sys.argv[4]), int(sys.argv[5]), float(sys.argv[6]),
                 float(sys.argv[7]))
    else:
        summary(sys.argv[2])
EOF

session_video_area
echo "Video area: ${area_w}x${area_h} at $((win_x + area_x)),$((win_y + area_y)); $tries tries per kind"

: >"$work/results"
for try in $(seq "$tries"); do
  for k in 0 1 2; do
    stop_player
    sleep 1.5
    ffmpeg -hide_banner -loglevel info -f x11grab -framerate 25 -video_size "${area_w}x${area_h}" \
      -t "$record_seconds" -draw_mouse 0 -i "$DISPLAY+$((win_x + area_x)),$((win_y + area_y))" -copyts \
      -vf "showinfo,scale=iw/2:ih/2" -f rawvideo -pix_fmt rgb24 -y "$work/try.raw" 2>"$work/try.info" &
    recorder=$!
    sleep 0.5
    click=$(date +%s.%N)
    click_at 50 "${row_y[$k]}"
    wait "$recorder"
    read -r first right wrong < <(python3 "$work/frames.py" classify "$work/try.raw" "$work/try.info" \
      $((area_w / 2)) $((area_h / 2)) 1.7778 "$click")
    echo "try $try ${kinds[$k]}: first frame $first ms, right-shaped $right ms, wrong-shaped frames $wrong"
    echo "${kinds[$k]} $first $right $wrong" >>"$work/results"
  done
done
stop_player
python3 "$work/frames.py" summary "$work/results"

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
# The media, the server and the program's start are shared with measure-first-frames.sh.
set -euo pipefail

switches=${1:-30}
here=$(cd "$(dirname "$0")/.." && pwd)
first_seconds=${FIRST_SECONDS:-30}
switch_seconds=${SWITCH_SECONDS:-4}
settle_seconds=${SETTLE_SECONDS:-10}

# shellcheck source=scripts/media-session.sh
. "$here/scripts/media-session.sh"
session_begin "${2:-build}" "$@"
session_tools

session_prepare
# Rated 9, 8, 7 so that the list shows them in this order.
session_user \
  "1|Video MP4|TV|$base/video.mp4|English|1/1/01|1/1/01|000001|9|" \
  "2|Radio MP3|TV|$base/radio.mp3|English|1/1/01|1/1/01|000001|8|" \
  "3|Video TS|TV|$base/video.ts|English|1/1/01|1/1/01|000001|7|"
files=(video.mp4 radio.mp3 video.ts)
session_start
session_main_window

rss_mb() { awk '/^VmRSS/ { printf "%d", $2 / 1024 }' "/proc/$app_pid/status"; }
threads() { awk '/^Threads/ { print $2 }' "/proc/$app_pid/status"; }

# Rows of the channel list, in the window's own coordinates (the list starts below the
# menu bar and its header); the player's Stop button sits at the left of its bar.
row_y=(176 190 204)
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

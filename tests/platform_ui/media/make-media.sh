#!/usr/bin/env bash
# Makes the small videos the player tests play, each a plain colour, with ffmpeg. They are
# kept in the repository; run this again only to change them.
#   wide.ts        128x72, square pixels: its size is known only once the decoder has it
#   anamorphic.ts  96x72 stored, pixels 4:3 wide: shown 128x72; the shape is in the stream only
#   change.ts      128x72 green for 1.5 s, then 96x72 red with square pixels (16:9, then 4:3)
#   rotated.mp4    128x72 stored, turned a quarter by the container: shown 72x128
set -euo pipefail
cd "$(dirname "$0")"
x264=(-c:v libx264 -preset veryfast -tune stillimage -pix_fmt yuv420p -g 25 -bf 0)
ff() { ffmpeg -hide_banner -loglevel error -y "$@"; }
ff -f lavfi -i color=c=0x2060e0:size=128x72:rate=25 -t 3 "${x264[@]}" -f mpegts wide.ts
ff -f lavfi -i color=c=0xe0a020:size=96x72:rate=25 -t 3 -vf setsar=4/3 "${x264[@]}" -f mpegts anamorphic.ts
ff -f lavfi -i color=c=0x20c040:size=128x72:rate=25 -t 1.5 "${x264[@]}" -f mpegts change-a.ts
ff -f lavfi -i color=c=0xe04020:size=96x72:rate=25 -t 2.5 "${x264[@]}" -output_ts_offset 1.5 -f mpegts change-b.ts
cat change-a.ts change-b.ts >change.ts
rm change-a.ts change-b.ts
ff -f lavfi -i color=c=0xd03090:size=128x72:rate=25 -t 3 "${x264[@]}" -movflags +faststart rotated-plain.mp4
ff -i rotated-plain.mp4 -c copy -metadata:s:v:0 rotate=90 -movflags +faststart rotated.mp4
rm rotated-plain.mp4
# stripes.mp4, stripes.ts  640x360: 2-pixel grey stripes moving a pixel a frame over the top
#   three quarters, a red band below; 8 s
# sar-change.ts  128x72 green with square pixels for 1.5 s, then 128x72 red with pixels 3:4
#   wide (16:9, then 4:3 in one output)
stripes="geq=lum='if(lt(Y,0.75*H),if(lt(mod(X+N,4),2),230,30),81)':cb='if(lt(Y,0.75*H),128,90)':cr='if(lt(Y,0.75*H),128,240)'"
ff -f lavfi -i color=c=black:size=640x360:rate=25 -t 8 -vf "format=yuv420p,$stripes" -c:v libx264 -preset veryfast \
  -crf 12 -pix_fmt yuv420p -g 25 -bf 0 -movflags +faststart stripes.mp4
ff -i stripes.mp4 -c copy -f mpegts stripes.ts
ff -f lavfi -i color=c=0x20c040:size=128x72:rate=25 -t 1.5 "${x264[@]}" -f mpegts sar-a.ts
ff -f lavfi -i color=c=0xe04020:size=128x72:rate=25 -t 2.5 -vf setsar=3/4 "${x264[@]}" -output_ts_offset 1.5 \
  -f mpegts sar-b.ts
cat sar-a.ts sar-b.ts >sar-change.ts
rm sar-a.ts sar-b.ts
# tone.mp3       4 s of a 440 Hz tone, mono MP3 at 32 kbit/s: a radio's sound, looped by the tests
# cover.mp3      20 s of sound with the tags "Morning Song" by "Walk Band" and a 64x32 cover
ff -f lavfi -i sine=frequency=440:sample_rate=22050:duration=4 -c:a libmp3lame -b:a 32k -ac 1 tone.mp3
ff -f lavfi -i color=c=0x3070d0:size=64x32:rate=1 -frames:v 1 cover.jpg
ff -f lavfi -i sine=frequency=330:sample_rate=8000:duration=20 -i cover.jpg -map 0:a -map 1:v -c:a libmp3lame \
  -b:a 8k -ac 1 -c:v copy -disposition:v attached_pic -id3v2_version 3 -metadata title="Morning Song" \
  -metadata artist="Walk Band" -metadata:s:v comment="Cover (front)" cover.mp3
rm cover.jpg

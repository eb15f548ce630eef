#!/usr/bin/env bash
# Renders the large menu icons from the drawing (rsvg-convert, package librsvg2-bin). The small
# sizes are the hand-drawn window icons of resources/icons/AAA, which stay sharp at 16 px.
set -euo pipefail
cd "$(dirname "$0")"
mkdir -p icons
for size in 64 128 256; do
  rsvg-convert -w "$size" -h "$size" icon.svg -o "icons/$size.png"
done

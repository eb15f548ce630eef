#!/usr/bin/env bash
# Starts the program; without a display it runs on a private Xvfb server.
set -euo pipefail
app=$1
if [ "$(id -u)" -eq 0 ]; then
  export QTWEBENGINE_CHROMIUM_FLAGS=${QTWEBENGINE_CHROMIUM_FLAGS:---no-sandbox --disable-gpu}
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: running on a virtual display (xvfb-run)."
  exec xvfb-run -a -s "-screen 0 1600x1200x24" "$app"
fi
exec "$app"

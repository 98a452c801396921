#!/usr/bin/env bash
# Sets up, builds and starts the program. Without a display it starts one
# (Xvfb) first, so that the program can still be driven and screenshot.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/deps.sh"
"$here/build.sh"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting Xvfb on :99 (screenshot: DISPLAY=:99 import -window root shot.png)"
  Xvfb :99 -screen 0 1280x800x24 >/dev/null 2>&1 &
  export DISPLAY=:99
  sleep 1
fi
exec "$here/../build/release/kestrune"

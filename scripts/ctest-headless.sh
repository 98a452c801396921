#!/usr/bin/env bash
# Runs ctest with a private Xvfb display for the tests that need a real one.
set -euo pipefail
cd "$(dirname "$0")/.."
display=":$((100 + RANDOM % 400))"
Xvfb "$display" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
export DISPLAY="$display"
export XDG_RUNTIME_DIR="$(mktemp -d)"
for _ in $(seq 50); do xdpyinfo -display "$display" >/dev/null 2>&1 && break; sleep 0.1; done
ctest --preset test --output-on-failure

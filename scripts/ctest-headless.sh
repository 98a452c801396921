#!/usr/bin/env bash
# Runs ctest with a private Xvfb display for the tests that need a real one.
set -euo pipefail
cd "$(dirname "$0")/.."
# Xvfb picks a free display itself and writes its number into the file.
numberfile="$(mktemp)"
export XDG_RUNTIME_DIR="$(mktemp -d)"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp 3>"$numberfile" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -rf "$numberfile" "$XDG_RUNTIME_DIR"' EXIT
for _ in $(seq 100); do [ -s "$numberfile" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$numberfile")"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
ctest --preset test --output-on-failure

#!/usr/bin/env bash
# Sets up, builds and runs every test headless: unit tests on the fake
# backend, Qt tests offscreen and end-to-end tests under Xvfb, all inside one
# D-Bus session so that no daemon outlives the run; then the toolkit-free
# core cross-built for Windows and its tests run under Wine.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
"$here/deps.sh"
PRESET=test "$here/build.sh"
# The program as scripts/run.sh builds it (optimised, tests off) must build too.
PRESET=release "$here/build.sh"
cd "$here/.."
dbus-run-session -- "$here/ctest-headless.sh"
"$here/windows-tests.sh"

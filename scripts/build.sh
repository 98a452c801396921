#!/usr/bin/env bash
# Configures and builds into build/ (Release unless BUILD_TYPE says otherwise).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset "${PRESET:-release}" >/dev/null
cmake --build --preset "${PRESET:-release}" -j"$(nproc)"

#!/usr/bin/env bash
# Builds the toolkit-free core and its tests as 64-bit Windows programs
# (mingw-w64) and runs them under Wine, in a Wine prefix of its own that it
# throws away afterwards. Fails when any Windows test fails. Expects the
# packages of deps.sh. Each step prints how long it took.
#
# Wine's background processes (wineserver, services) inherit whatever output
# the first Wine program had and keep it open after that program exits: a pipe
# from Wine would never see its end. So every Wine output goes to a file, and
# the ctest emulator (cmake/mingw-w64.cmake) does the same for each test.
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

step_start=$SECONDS
step() {
  echo "windows-tests: $1 took $((SECONDS - step_start)) s"
  step_start=$SECONDS
}

sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"

# Wine takes its code page from the locale: without a generated zh_CN.UTF-8
# it answers 1252 and cannot create a file with a Chinese name.
if ! locale -a 2>/dev/null | grep -qix 'zh_CN\.utf-\?8'; then
  $sudo sed -i 's/^# *\(zh_CN\.UTF-8 UTF-8\)/\1/' /etc/locale.gen
  grep -qx 'zh_CN.UTF-8 UTF-8' /etc/locale.gen ||
    echo 'zh_CN.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
  step "locale zh_CN.UTF-8"
fi

# GoogleTest from Debian's sources, built with the same toolchain; built again
# when the sources or the toolchain change.
gtest="$root/build/googletest-mingw"
gtest_stamp="$(dpkg-query -W -f='${Version}' googletest) $(sha1sum cmake/mingw-w64.cmake | cut -c1-40)"
if [ ! -f "$gtest/lib/cmake/GTest/GTestConfig.cmake" ] ||
   [ "$(cat "$gtest/stamp" 2>/dev/null)" != "$gtest_stamp" ]; then
  rm -rf "$gtest" "$gtest-build"
  mkdir -p "$root/build"
  cmake -S /usr/src/googletest -B "$gtest-build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$gtest" >"$root/build/googletest-mingw.log" 2>&1 &&
  cmake --build "$gtest-build" -j"$(nproc)" >>"$root/build/googletest-mingw.log" 2>&1 &&
  cmake --install "$gtest-build" >>"$root/build/googletest-mingw.log" 2>&1 || {
    cat "$root/build/googletest-mingw.log"
    exit 1
  }
  echo "$gtest_stamp" >"$gtest/stamp"
  step "GoogleTest for Windows"
fi

cmake --preset windows >/dev/null
cmake --build --preset windows -j"$(nproc)"
step "cross-build"

export WINEDEBUG=-all
# No Mono or Gecko download prompt; no sound drivers (ALSA noise at start-up).
export WINEDLLOVERRIDES="mscoree,mshtml=;winealsa.drv,winepulse.drv="
export LC_ALL=zh_CN.UTF-8
# Nothing of Wine's may open a window on the developer's desktop.
unset DISPLAY WAYLAND_DISPLAY
wine_dir="$(mktemp -d "${TMPDIR:-/tmp}/kestrune-wine.XXXXXX")"
export WINEPREFIX="$wine_dir/prefix"
small="$wine_dir/small"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if mountpoint -q "$small"; then umount "$small"; fi
  rm -rf "$wine_dir"
}
trap cleanup EXIT
mkdir "$WINEPREFIX" "$small"
logs="$root/build/windows/wine-logs"
rm -rf "$logs"
mkdir -p "$logs"
# A small file system to fill, for the full-disk test, where mounting is
# allowed; the test is skipped elsewhere. Wine sees it through drive Z:.
if [ "$(id -u)" -eq 0 ] && mount -t tmpfs -o size=64k tmpfs "$small" 2>/dev/null; then
  export KESTRUNE_SMALL_DISK="Z:${small//\//\\}"
fi

# A server that stays up between the tests: otherwise each test after a pause
# pays for Wine's start-up again.
wineserver -p >"$logs/wineserver.log" 2>&1 || { cat "$logs/wineserver.log"; exit 1; }
wineboot --init >"$logs/wineboot.log" 2>&1 || { cat "$logs/wineboot.log"; exit 1; }
step "fresh Wine prefix"

status=0
ctest --preset windows || status=$?
step "tests under Wine"

wineserver -k >/dev/null 2>&1 || true
exit $status

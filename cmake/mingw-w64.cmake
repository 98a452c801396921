# 64-bit Windows programs from Linux with Debian's mingw-w64.
#
# The -posix thread model: the default win32 one has no std::mutex or
# std::thread, which GoogleTest and the core's tests need. Programs are linked
# statically so that a .exe runs under Wine (or on a bare Windows) without
# carrying libstdc++, libgcc and winpthread DLLs beside it.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KESTRUNE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KESTRUNE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTRUNE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KESTRUNE_MINGW_TRIPLE}-windres)

# Headers, libraries and packages come only from the Windows side (the
# cross-built GoogleTest included), never from the Linux system.
set(CMAKE_FIND_ROOT_PATH /usr/${KESTRUNE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs cannot run during the build (that needs a Wine prefix, made by
# the test script): list their tests only when ctest asks.
set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)

# ctest runs the programs through Wine (WINEPREFIX and the rest come from
# scripts/windows-tests.sh). Wine's output goes through a file: its background
# processes inherit the first program's output and never close it, so ctest
# would wait for the end of a pipe for ever.
set(CMAKE_CROSSCOMPILING_EMULATOR sh -c "
out=$(mktemp) || exit 1
wine \"$@\" >\"$out\" 2>&1
status=$?
cat \"$out\"
rm -f \"$out\"
exit $status" wine-run)

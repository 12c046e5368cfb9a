#!/usr/bin/env bash
# wine-run.sh PREFIX PROGRAM.exe [ARGS...]
#
# Runs a Windows program of the cross build under Wine, in a prefix of the
# build's own (created on first use, which takes several seconds) and without
# Wine's debug output. CMake uses this as the cross-compiling emulator, so
# ctest and GoogleTest's test discovery run the .exe files through it.
set -euo pipefail

prefix=$1
shift
export WINEPREFIX="$prefix"
export WINEDEBUG=-all
# No Mono or Gecko installer dialogs when the prefix is made.
export WINEDLLOVERRIDES="mscoree,mshtml="

mkdir -p "$(dirname "$prefix")"
(
    # Parallel tests must not create the prefix twice.
    flock 9
    if [ ! -f "$prefix/system.reg" ]; then
        wineboot -i >/dev/null 2>&1
        wineserver -w
    fi
) 9>"$prefix.lock"

exec wine "$@"

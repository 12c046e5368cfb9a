#!/usr/bin/env bash
# wine-run.sh PREFIX PROGRAM.exe [ARGS...]
#
# Runs a Windows program of the cross build under Wine, in a prefix of the
# build's own (created on first use, which takes several seconds) and without
# Wine's debug output. CMake uses this as the cross-compiling emulator, so
# ctest and GoogleTest's test discovery run the .exe files through it.
#
# A program that shows windows sets TALLYROLL_WINE_DISPLAY=xvfb: without a
# display of our own it then runs on a virtual X server, in a second prefix,
# one such program at a time, and that prefix's Wine is stopped after it so
# that nothing is left attached to the X server that goes away.
set -euo pipefail

prefix=$1
shift
display=no
if [ "${TALLYROLL_WINE_DISPLAY:-}" = xvfb ] && [ -z "${DISPLAY:-}" ]; then
    display=yes
    prefix="$prefix-display"
fi
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

if [ $display = no ]; then
    # Wine's server goes a few seconds after its last client; a program that
    # attaches just then loses its connection before it has run
    # ("wine client error ... Connection reset by peer"). Such a start is made
    # again once that server has gone.
    errors=$(mktemp)
    status=0
    wine "$@" 2>"$errors" || status=$?
    if [ $status -ne 0 ] && grep -q "wine client error" "$errors"; then
        wineserver -w 2>/dev/null || true
        status=0
        wine "$@" 2>"$errors" || status=$?
    fi
    cat "$errors" >&2
    rm -f "$errors"
    exit $status
fi

exec 9>"$prefix.run.lock"
flock 9
status=0
xvfb-run -a -s "-screen 0 1024x768x24" wine "$@" || status=$?
# -k only asks the server to go: wait until it has, or the next program of
# this prefix may attach to a server on its way out and lose its connection.
wineserver -k 2>/dev/null || true
wineserver -w 2>/dev/null || true
exit $status

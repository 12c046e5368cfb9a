#!/usr/bin/env bash
# Checks every C and C++ file against .clang-format (tools/format.sh), then
# builds Tallyroll and runs every test: the ci preset (the build the README's
# run command uses too) and the sanitizer preset, both with warnings as
# errors; the jobs on threads under ThreadSanitizer; line coverage; the
# Windows builds, 64- and 32-bit, installed from their installers and run end to
# end under Wine (tools/test-msi.sh, tools/test-windows.sh); the Debian
# package; clang-tidy on the program, its tests and its tools; and a short run of every fuzz target from its seeds.
# This is what CI runs.
#
#   tools/test-all.sh            everything
#   SKIP_TIDY=1 SKIP_FUZZ=1 SKIP_TSAN=1 SKIP_COVERAGE=1 ...
#                                leave those steps out (local runs)
#   TALLYROLL_SKIP_WINDOWS=1 ... leave out the Windows build (local runs;
#                                CI runs it)
set -euo pipefail
. "$(dirname "$0")/script_usage.sh"
take_no_arguments "$@"
cd "$(dirname "$0")/.."

step() {
    echo
    echo "=== $* ($(date +%H:%M:%S))"
}

step "dependencies"
tools/deps.sh

# Seconds, and it needs no build: a file off the style fails the run first.
step "format"
tools/format.sh --check

jobs="$(nproc)"
tidy_pid=""
tidy_log="build/tidy.log"
# clang-tidy is the longest step, and needs nothing but the ci build's
# compile commands and generated headers. It starts as soon as they exist and
# runs at the lowest priority beside everything else, so that it takes only
# the CPU the other steps leave idle (tests that wait on a paced line, Wine
# starting and waiting, links): what it has not done by its turn below is
# then done at full speed. Its own process group, so that a run that fails
# earlier stops it too.
stop_tidy() {
    if [[ -n "${tidy_pid}" ]]; then
        kill -- "-${tidy_pid}" 2> /dev/null || true
        wait "${tidy_pid}" 2> /dev/null || true
        tidy_pid=""
    fi
}
trap stop_tidy EXIT

for preset in ci sanitize; do
    step "preset ${preset}: configure and build"
    cmake --preset "${preset}" > /dev/null
    cmake --build --preset "${preset}" -j "${jobs}"
    if [[ "${preset}" == ci && -z "${SKIP_TIDY:-}" ]]; then
        step "clang-tidy: started beside the other steps at low priority (${tidy_log})"
        setsid -w nice -n 19 tools/tidy.sh -p build/ci > "${tidy_log}" 2>&1 &
        tidy_pid=$!
        tidy_started=${SECONDS}
    fi
    step "preset ${preset}: tests"
    ctest --preset "${preset}" -j "${jobs}"
done

if [[ -z "${SKIP_TSAN:-}" ]]; then
    step "preset tsan: jobs, ports and stalls on threads"
    cmake --workflow --preset tsan
fi

if [[ -z "${SKIP_COVERAGE:-}" ]]; then
    step "line coverage"
    tools/coverage.sh
fi

if [[ -z "${TALLYROLL_SKIP_WINDOWS:-}" ]]; then
    step "Windows build: tallyroll.exe and its tests under Wine"
    cmake --workflow --preset windows
    step "Windows build, 32-bit: tallyroll.exe and its tests under 32-bit Wine"
    cmake --workflow --preset windows-i686
    # The installed program is byte-equal to the build's (tools/test-msi.sh
    # checks), so its end-to-end run under tools/test-windows.sh is the
    # program's.
    step "Windows installer, 64-bit: installed, run end to end and uninstalled under Wine"
    tools/test-msi.sh build/windows/tallyroll-*-x64.msi
    step "Windows installer, 32-bit: installed, run end to end and uninstalled under Wine"
    tools/test-msi.sh build/windows-i686/tallyroll-*-x86.msi
fi

step "Debian package"
tools/check-deb.sh build/ci

if [[ -n "${tidy_pid}" ]]; then
    step "clang-tidy: waiting for the files it has left"
    tidy_waited=${SECONDS}
    tidy_status=0
    wait "${tidy_pid}" || tidy_status=$?
    tidy_pid=""
    cat "${tidy_log}"
    # What running beside the other steps saved is the time tidy took in all
    # less the time the run waited for it here.
    echo "clang-tidy took $((SECONDS - tidy_started)) s beside the other steps;" \
        "the run waited $((SECONDS - tidy_waited)) s for it"
    if ((tidy_status != 0)); then
        exit "${tidy_status}"
    fi
fi

if [[ -z "${SKIP_FUZZ:-}" ]]; then
    step "fuzz targets"
    tools/fuzz-smoke.sh
fi

step "done"

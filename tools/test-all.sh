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
for preset in ci sanitize; do
    step "preset ${preset}: configure and build"
    cmake --preset "${preset}" > /dev/null
    cmake --build --preset "${preset}" -j "${jobs}"
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

if [[ -z "${SKIP_TIDY:-}" ]]; then
    step "clang-tidy"
    tools/tidy.sh -p build/ci
fi

if [[ -z "${SKIP_FUZZ:-}" ]]; then
    step "fuzz targets"
    tools/fuzz-smoke.sh
fi

step "done"

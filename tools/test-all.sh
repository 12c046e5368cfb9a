#!/usr/bin/env bash
# Builds Tallyroll and runs every test: the ci preset (the build the README's
# run command uses too) and the sanitizer preset, both with warnings as
# errors, clang-tidy on the program, its tests and its tools, and a short run
# of every fuzz target from its seeds. This is what CI runs.
#
#   tools/test-all.sh            everything
#   SKIP_TIDY=1 SKIP_FUZZ=1 ...  leave those steps out (local runs)
set -euo pipefail
cd "$(dirname "$0")/.."

step() {
    echo
    echo "=== $* ($(date +%H:%M:%S))"
}

step "dependencies"
tools/deps.sh

jobs="$(nproc)"
for preset in ci sanitize; do
    step "preset ${preset}: configure and build"
    cmake --preset "${preset}" > /dev/null
    cmake --build --preset "${preset}" -j "${jobs}"
    step "preset ${preset}: tests"
    ctest --preset "${preset}" -j "${jobs}"
done

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

#!/usr/bin/env bash
# Builds Tallyroll and runs every test: the default preset and the sanitizer
# preset. This is what CI runs.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/deps.sh

for preset in default sanitize; do
    echo "=== preset ${preset}"
    cmake --preset "${preset}" -DTALLYROLL_WERROR=ON
    cmake --build --preset "${preset}" -j "$(nproc)"
    ctest --preset "${preset}" -j "$(nproc)"
done

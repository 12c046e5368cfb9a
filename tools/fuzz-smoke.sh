#!/usr/bin/env bash
# Builds every libFuzzer target (fuzz preset, clang) and runs each for a few
# seconds from its committed seeds, through its ctest entry. A crash fails
# the run and leaves the input beside the target in build/fuzz/tests/.
set -euo pipefail
. "$(dirname "$0")/script_usage.sh"
take_no_arguments "$@"
cd "$(dirname "$0")/.."

cmake --preset fuzz -DTALLYROLL_WERROR=ON > /dev/null
cmake --build --preset fuzz --target fuzz_targets -j "$(nproc)"
ctest --test-dir build/fuzz -L '^fuzz$' -j "$(nproc)" --output-on-failure

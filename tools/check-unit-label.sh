#!/usr/bin/env bash
# Runs `ctest -L unit` where a test that needs more than its own process
# cannot pass: no pseudo-terminal can be opened (/dev/ptmx is /dev/null in a
# private mount namespace) and tmux fails at once (a stand-in first on PATH).
# A test that fails here but passes in the plain run needs its label moved to
# pty or terminal (tests/CMakeLists.txt, `tallyroll_test ... PTY`).
#
#   tools/check-unit-label.sh [BUILD_DIR]
#
# BUILD_DIR defaults to build/ci, built. Needs unshare(1) with a mount
# namespace: as root, or where unprivileged user namespaces are allowed.
set -euo pipefail
. "$(dirname "$0")/script_usage.sh"
answer_help "$@"
if (($# > 1)); then
    refuse_argument "$2"
fi

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-${root}/build/ci}"
if [[ ! -f "${build}/CTestTestfile.cmake" ]]; then
    refuse_argument "${build}"
fi
build="$(cd "${build}" && pwd)"

stand_in="$(mktemp -d "${TMPDIR:-/tmp}/tallyroll-unit-check-XXXXXX")"
trap 'rm -rf "${stand_in}"' EXIT
printf '#!/bin/sh\necho "tmux: not in a unit test" >&2\nexit 1\n' > "${stand_in}/tmux"
chmod +x "${stand_in}/tmux"

# As root a mount namespace alone keeps the tests' own user (some drop to an
# ordinary one); otherwise the namespace comes with a user namespace.
namespace=(-m)
if [[ "$(id -u)" != 0 ]]; then
    namespace=(-r -m)
fi
PATH="${stand_in}:${PATH}" unshare "${namespace[@]}" bash -c '
    mount --bind /dev/null /dev/ptmx || exit 3
    ctest --test-dir "$1" -L "^unit$" -j "$(nproc)" --output-on-failure
' check-unit-label "${build}"

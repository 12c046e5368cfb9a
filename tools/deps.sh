#!/usr/bin/env bash
# Installs the Debian packages Tallyroll needs. Idempotent: asks apt only for
# what is missing.
#
#   tools/deps.sh         everything building, running and testing need (CI)
#   tools/deps.sh --run   only what building and running the program and the
#                         virtual printer need (tools/run-demo.sh): no test
#                         frameworks, Windows cross compilers, Wine or linters
#
# A fresh machine often runs its own updates at first boot and holds apt's
# lock meanwhile: the install waits for it (up to 10 minutes) and says so.
set -euo pipefail

run_packages=(
    cmake ninja-build g++ libncurses-dev libicu-dev libpng-dev zlib1g-dev locales tmux
)
test_packages=(
    clang clang-tidy clang-format-14 libclang-rt-14-dev
    libgtest-dev libgmock-dev libbenchmark-dev googletest
    icu-devtools hyperfine llvm dpkg-dev
    libcups2-dev cups cups-client
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 fonts-wine xvfb imagemagick
    msitools wixl wine32:i386
)

case "${1:-}" in
"") packages=("${run_packages[@]}" "${test_packages[@]}") ;;
--run) packages=("${run_packages[@]}") ;;
*)
    echo "usage: tools/deps.sh [--run]" >&2
    exit 2
    ;;
esac

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
    sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
# The 32-bit Windows program runs under Debian's 32-bit Wine, a package of
# the i386 architecture.
if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
fi
lock_wait=(-o DPkg::Lock::Timeout=600)
if ! command -v fuser > /dev/null; then
    echo "(If another package manager holds apt's lock, this waits for it, up to 10 minutes.)"
elif $sudo fuser /var/lib/dpkg/lock-frontend /var/lib/apt/lists/lock > /dev/null 2>&1; then
    echo "Another package manager holds apt's lock (a first boot's updates, say);" \
        "waiting for it, up to 10 minutes ..."
fi
$sudo apt-get "${lock_wait[@]}" update -qq
$sudo apt-get "${lock_wait[@]}" install -y -qq --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Installs the Debian packages that building, running and testing Tallyroll need.
# Idempotent: asks apt only for what is missing.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang clang-tidy libclang-rt-14-dev
    libgtest-dev libgmock-dev libbenchmark-dev
    libncurses-dev libicu-dev icu-devtools libpng-dev zlib1g-dev
    tmux hyperfine locales llvm dpkg-dev
    g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine wine64 xvfb googletest imagemagick
    msitools wixl wine32:i386
)

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
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

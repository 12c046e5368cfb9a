#!/usr/bin/env bash
# Builds the Debian package from a configured build folder and checks it:
# both programs present and stripped, the man pages, the desktop entry, the
# bash completion, the icons, the CUPS backend (mode 0700, as CUPS runs it
# as root only then) and its PPD, and dependencies declared for the libraries
# the programs link.
#
#   tools/check-deb.sh [BUILD_DIR]      (default build/ci)
set -euo pipefail
. "$(dirname "$0")/script_usage.sh"
answer_help "$@"
if (($# > 1)) || [[ "${1:-}" == -* ]]; then
    refuse_argument "${@: -1}"
fi
cd "$(dirname "$0")/.."
build="${1:-build/ci}"

(cd "$build" && cpack -G DEB > /dev/null)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
deb="$build/tallyroll_${version}-1_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { echo "check-deb: $deb was not written" >&2; exit 1; }

fail() {
    echo "check-deb: $*" >&2
    exit 1
}
listing=$(dpkg-deb --contents "$deb")
contents=$(awk '{print $6}' <<< "$listing")
for path in ./usr/bin/tallyroll ./usr/bin/tallyroll-vprinter \
    ./usr/share/man/man1/tallyroll.1 ./usr/share/man/man1/tallyroll-vprinter.1 \
    ./usr/share/applications/tallyroll.desktop \
    ./usr/share/bash-completion/completions/tallyroll \
    ./usr/share/icons/hicolor/48x48/apps/tallyroll.png \
    ./usr/lib/cups/backend/tallyroll ./usr/share/cups/model/tallyroll.ppd; do
    grep -qx "$path" <<< "$contents" || fail "missing $path"
done

grep -q '^-rwx------ root/root .* \./usr/lib/cups/backend/tallyroll$' <<< "$listing" ||
    fail "the CUPS backend is not root's with mode 0700"

unpacked=$(mktemp -d)
trap 'rm -rf "$unpacked"' EXIT
dpkg-deb --extract "$deb" "$unpacked"
for program in bin/tallyroll bin/tallyroll-vprinter lib/cups/backend/tallyroll; do
    if readelf -S "$unpacked/usr/$program" | grep -q '\.debug_info'; then
        fail "$program is not stripped"
    fi
done

depends=$(dpkg-deb --field "$deb" Depends)
for library in libc6 libstdc++6 libncursesw6 libicu libpng16 libcups2; do
    grep -q "$library" <<< "$depends" || fail "Depends lacks $library: $depends"
done
echo "check-deb: $deb ($(du -h "$deb" | cut -f1)); Depends: $depends"

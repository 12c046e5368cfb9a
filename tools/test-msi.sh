#!/usr/bin/env bash
# The Windows installer under Wine, in a prefix of its own that is removed
# afterwards:
#
#   - its version is the program's: the installer's ProductVersion and the
#     Linux build's --version say the same, and tallyroll.exe's version
#     block keeps its described numbers;
#   - `msiexec /i ... /qn` puts tallyroll.exe, its console companion
#     tallyroll.com and README.txt under Program Files\Tallyroll, byte-equal
#     to the build's, that folder at the end of the system's PATH (a console
#     opened afterwards runs `tallyroll --version` from anywhere), the Start
#     menu shortcut with the program's icon, and the entry of "Apps &
#     features" with the name, version, publisher and icon;
#   - the installed program passes tools/test-windows.sh (Print and Test on
#     COM3, the missing port, the open-file dialog, Quit with exit code 0);
#   - the next version's installer (built here with the same upgrade code)
#     replaces it: one Tallyroll is left, the later one;
#   - `msiexec /x ... /qn` removes every file, the folder, the shortcut, the
#     entry and the folder from PATH.
#
#   tools/test-msi.sh build/windows/tallyroll-2.0-x64.msi [--no-session]
#
# --no-session leaves out tools/test-windows.sh (install and uninstall only).
# Environment: TALLYROLL_LINUX_BUILD, the Linux build for --version (default
# build/ci).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"

msi=""
session=yes
for arg in "$@"; do
    case "$arg" in
    --no-session) session="" ;;
    -*)
        echo "usage: tools/test-msi.sh INSTALLER.msi [--no-session]" >&2
        exit 2
        ;;
    *) msi="$arg" ;;
    esac
done
[[ -n "$msi" ]] || {
    echo "usage: tools/test-msi.sh INSTALLER.msi [--no-session]" >&2
    exit 2
}
[[ -f "$msi" ]] || {
    echo "test-msi: FAIL: $msi does not exist" >&2
    exit 1
}
msi="$(realpath "$msi")"
build="$(dirname "$msi")"
name="$(basename "$msi")"
linux_build="${TALLYROLL_LINUX_BUILD:-build/ci}"
failures=0

note() { echo "test-msi: $name: $*"; }
fail() {
    echo "test-msi: $name: FAIL: $*" >&2
    failures=$((failures + 1))
}
die() {
    echo "test-msi: $name: FAIL: $*" >&2
    exit 1
}

for tool in wine wineboot wineserver msiinfo msibuild; do
    command -v "$tool" > /dev/null || die "$tool is missing (tools/deps.sh installs it)"
done

# --- one version -------------------------------------------------------------
property() { msiinfo export "$msi" Property | tr -d '\r' | awk -F'\t' -v key="$1" '$1 == key { print $2 }'; }
msi_version="$(property ProductVersion)"

# The fixed part of the version block follows its signature 0xFEEF04BD:
# structure version, then the file version's high and low words.
exe_version() {
    local offset words
    offset="$(LC_ALL=C grep -obUaP '\xBD\x04\xEF\xFE' "$1" | head -n1 | cut -d: -f1)"
    [[ -n "$offset" ]] || return 1
    read -r -a words < <(od -An -tu2 -j $((offset + 8)) -N 8 -v "$1")
    echo "${words[1]}.${words[0]}.${words[3]}.${words[2]}"
}
block_version="$(exe_version "$build/tallyroll.exe" || true)"
linux_version=""
if [[ -x "$linux_build/app/tallyroll" ]]; then
    linux_version="$("$linux_build/app/tallyroll" --version | awk '{ print $2 }')"
fi
# 2.0 is 2.0.0 in the installer.
padded() {
    local -a parts
    IFS=. read -r -a parts <<< "$1"
    while ((${#parts[@]} < $2)); do parts+=(0); done
    (IFS=.; echo "${parts[*]}")
}
# The version block's numbers are the release's own, 2006.7.31.1, as the
# program describes them; the installer and --version carry the project's.
if [[ -z "$block_version" ]]; then
    fail "tallyroll.exe has no version block"
elif [[ "$block_version" != "2006.7.31.1" ]]; then
    fail "the program's version block says $block_version, not 2006.7.31.1"
elif [[ -n "$linux_version" && "$(padded "$linux_version" 3)" != "$msi_version" ]]; then
    fail "--version says $linux_version, the installer $msi_version"
else
    note "version $msi_version: the installer${linux_version:+ and --version ($linux_version)} agree; the version block keeps $block_version"
fi
[[ "$name" == "tallyroll-${linux_version:-${msi_version%.0}}-"* ]] ||
    fail "the file name does not carry the version ${linux_version:-$msi_version}"

# --- a fresh prefix ------------------------------------------------------------
scratch="$(mktemp -d "${TMPDIR:-/tmp}/tallyroll-msi.XXXXXX")"
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
unset DISPLAY
cleanup() {
    wineserver -k 2> /dev/null || true
    wineserver -w 2> /dev/null || true
    rm -rf "$scratch"
}
trap cleanup EXIT

timeout 120 wineboot -i > "$scratch/wineboot.log" 2>&1 || {
    cat "$scratch/wineboot.log" >&2
    die "wineboot failed or took over 120 s"
}

case "$name" in
*-x64.msi) program_files="$WINEPREFIX/drive_c/Program Files" ;;
*) program_files="$WINEPREFIX/drive_c/Program Files (x86)" ;;
esac
folder="$program_files/Tallyroll"
# Windows puts a per-machine installation's shortcut in the common Start menu;
# Wine 8 puts it in the installing user's.
find_shortcut() { find "$WINEPREFIX/drive_c" -path '*/Start Menu/Programs/Tallyroll.lnk' -print -quit; }

# The registry as Wine keeps it on disk, up to date once its server is gone:
# the keys under $1 that hold the value $2, each with its values.
registry_keys() {
    awk -v under="$1" -v want="$2" '
        /^\[/ { if (keep) printf "%s", block; block = ""; keep = 0; inside = index($0, under) > 0 }
        inside { block = block $0 "\n"; if (index($0, want)) keep = 1 }
        END { if (keep) printf "%s", block }' "$WINEPREFIX/system.reg"
}
# The entry of "Apps & features" is the uninstall key the installer wrote; the
# icon it shows is the product's icon, kept with the installer's records.
arp_entry() { registry_keys 'Microsoft\\\\Windows\\\\CurrentVersion\\\\Uninstall\\\\' '"DisplayName"="Tallyroll"'; }
product_record() { registry_keys 'Software\\\\Classes\\\\Installer\\\\Products\\\\' '"ProductName"="Tallyroll"'; }

# --- install ---------------------------------------------------------------------
status=0
timeout 180 wine msiexec /i "$msi" /qn > "$scratch/install.log" 2>&1 || status=$?
wineserver -w
[[ $status -eq 0 ]] || die "msiexec /i ended with status $status"
for file in tallyroll.exe tallyroll.com README.txt; do
    if [[ ! -f "$folder/$file" ]]; then
        fail "$file was not installed in ${folder#"$WINEPREFIX/"}"
    fi
done
cmp -s "$folder/tallyroll.exe" "$build/tallyroll.exe" || fail "the installed tallyroll.exe is not the build's"
cmp -s "$folder/tallyroll.com" "$build/tallyroll.com" || fail "the installed tallyroll.com is not the build's"
cmp -s "$folder/README.txt" docs/windows-readme.txt || fail "the installed README.txt is not docs/windows-readme.txt"
shortcut="$(find_shortcut)"
if [[ -z "$shortcut" ]]; then
    fail "no Start menu shortcut Tallyroll.lnk"
else
    # A shell link keeps its target's path, and its icon's place in UTF-16.
    strings -a "$shortcut" | grep -qF 'C:\Program Files' || fail "the shortcut does not point under Program Files"
    strings -a "$shortcut" | grep -qF 'Tallyroll\tallyroll.exe' || fail "the shortcut does not point at tallyroll.exe"
    strings -a -el "$shortcut" | grep -q 'Installer\\{.*}\\tallyroll.exe' ||
        fail "the shortcut does not show the program's icon: $(strings -a -el "$shortcut" | tr '\n' ' ')"
fi
entry="$(arp_entry)"
if [[ -z "$entry" ]]; then
    fail "no entry named Tallyroll in Apps & features"
else
    for want in "\"DisplayVersion\"=\"$msi_version\"" '"Publisher"="Tallyroll developers"' '"UninstallString"='; do
        grep -qF "$want" <<< "$entry" || fail "the Apps & features entry lacks $want: $(tr '\n' ' ' <<< "$entry")"
    done
fi
icon="$(product_record | sed -n 's/^"ProductIcon"="\(.*\)"$/\1/p' | sed 's/\\\\/\\/g')"
icon_file="$WINEPREFIX/drive_c/$(sed 's/^C:\\//; s/\\/\//g' <<< "$icon")"
if [[ -z "$icon" ]]; then
    fail "the product has no icon for Apps & features"
elif ! cmp -s "$icon_file" "$build/tallyroll.exe"; then
    fail "the product's icon $icon is not the program's"
fi
note "installed: $(cd "$WINEPREFIX/drive_c" && find "${folder#"$WINEPREFIX/drive_c/"}" "${shortcut#"$WINEPREFIX/drive_c/"}" -type f | tr '\n' ' ')"
# The system's PATH as the registry keeps it, and as a console opened after
# the install sees it: `tallyroll` there is the installed companion.
system_path() {
    registry_keys 'Control\\\\Session Manager\\\\Environment' '"PATH"=' | sed -n 's/^"PATH"=[^"]*"\(.*\)"$/\1/p'
}
windows_folder="${folder#"$WINEPREFIX/drive_c/"}"
windows_folder="C:\\${windows_folder//\//\\}"
if ! system_path | sed 's/\\\\/\\/g' | tr ';' '\n' | grep -qxiF "$windows_folder\\"; then
    fail "the system's PATH does not name $windows_folder\\: $(system_path)"
else
    answer="$(cd "$scratch" && timeout 60 wine cmd /c 'tallyroll --version' 2> /dev/null | tr -d '\r')" || true
    if [[ "$answer" == "tallyroll ${linux_version:-${msi_version%.0}}" ]]; then
        note "the system's PATH names $windows_folder\\; 'tallyroll --version' in a console answers $answer"
    else
        fail "'tallyroll --version' in a console opened after the install answered \"$answer\""
    fi
fi
note "Apps & features: $(grep -E '^"(DisplayName|DisplayVersion|Publisher)"' <<< "$entry" | tr '\n' ' '), icon $icon"

# --- the installed program ---------------------------------------------------------
if [[ -n "$session" ]]; then
    # In the prefix it was installed in: the program is
    # C:\Program Files\Tallyroll\tallyroll.exe, as on Windows.
    if TALLYROLL_WINDOWS_EXE="$folder/tallyroll.exe" TALLYROLL_WINE_PREFIX="$WINEPREFIX" \
        tools/test-windows.sh; then
        note "the installed program passed tools/test-windows.sh"
    else
        fail "the installed program failed tools/test-windows.sh"
    fi
fi

# --- a later version replaces this one ---------------------------------------------
# The same description with the next patch number and this installer's
# upgrade code, as the next release would be built: installing it must leave
# one Tallyroll, the later one. It is then the one uninstalled.
uninstaller="$msi"
if command -v wixl > /dev/null; then
    IFS=. read -r major minor patch <<< "$msi_version"
    later_version="$major.$minor.$((${patch:-0} + 1))"
    mkdir "$scratch/later"
    cp "$build/tallyroll.exe" "$build/tallyroll.com" "$scratch/later/"
    cp docs/windows-readme.txt "$scratch/later/README.txt"
    case "$name" in
    *-x64.msi) later_arch=(-a x64 -D Win64=yes -D ProgramFilesFolder=ProgramFiles64Folder) ;;
    *) later_arch=(-a x86 -D Win64=no -D ProgramFilesFolder=ProgramFilesFolder) ;;
    esac
    (cd "$scratch/later" && wixl "${later_arch[@]}" -D Version="$later_version" \
        -D UpgradeCode="$(property UpgradeCode | tr -d '{}')" -o later.msi "$root/packaging/tallyroll.wxs" &&
        "$root/packaging/add-path-entry.sh" later.msi) \
        > "$scratch/later.log" 2>&1 || die "the later installer could not be built (see $scratch/later.log)"
    status=0
    timeout 180 wine msiexec /i "$scratch/later/later.msi" /qn > "$scratch/upgrade.log" 2>&1 || status=$?
    wineserver -w
    [[ $status -eq 0 ]] || fail "msiexec /i of version $later_version over $msi_version ended with status $status"
    versions="$(arp_entry | sed -n 's/^"DisplayVersion"="\(.*\)"$/\1/p' | sort | tr '\n' ' ')"
    if [[ "$versions" == "$later_version " ]]; then
        note "version $later_version installed over $msi_version replaced it"
        uninstaller="$scratch/later/later.msi"
    else
        fail "after installing version $later_version over $msi_version, Apps & features lists: ${versions:-nothing}"
    fi
    [[ -f "$folder/tallyroll.exe" ]] || fail "tallyroll.exe is gone after the upgrade"
else
    note "wixl is missing: the upgrade is not tried"
fi

# --- uninstall -------------------------------------------------------------------
status=0
timeout 180 wine msiexec /x "$uninstaller" /qn > "$scratch/uninstall.log" 2>&1 || status=$?
wineserver -w
[[ $status -eq 0 ]] || fail "msiexec /x ended with status $status"
[[ ! -e "$folder" ]] || fail "${folder#"$WINEPREFIX/"} is still there after uninstalling: $(ls -A "$folder" | tr '\n' ' ')"
[[ -z "$(find_shortcut)" ]] || fail "the Start menu shortcut is still there after uninstalling"
[[ -z "$(arp_entry)" ]] || fail "the Apps & features entry is still there after uninstalling"
if system_path | grep -qiF 'Tallyroll'; then
    fail "the system's PATH still names the program's folder: $(system_path)"
fi
[[ -z "$(product_record)" ]] || fail "the installer's record of the product is still there after uninstalling"
[[ -z "$icon" || ! -e "$icon_file" ]] || fail "the product's icon $icon is still there after uninstalling"

if ((failures > 0)); then
    echo "test-msi: $name: $failures failure(s)" >&2
    exit 1
fi
note "installed${session:+, ran} and uninstalled: nothing left behind"

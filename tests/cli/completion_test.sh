#!/usr/bin/env bash
# The bash completion: commands, options, printer models and the COM ports
# of the device table, as bash asks for them.
set -euo pipefail
source "$1"

TALLYROLL_DEVICES=$(mktemp -d)
trap 'rm -rf "$TALLYROLL_DEVICES"' EXIT
ln -s /dev/null "$TALLYROLL_DEVICES/COM3"
ln -s tcp:printer:9100 "$TALLYROLL_DEVICES/COM5"

failures=0
expect() { # expected completions, then the words typed so far
    local expected=$1
    shift
    COMP_WORDS=("$@")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    _tallyroll
    local got="${COMPREPLY[*]}"
    if [[ $got != "$expected" ]]; then
        echo "completing '$*': expected '$expected', got '$got'" >&2
        failures=$((failures + 1))
    fi
}

expect 'print ports' tallyroll p
expect '--printer' tallyroll print --pri
expect 'Sovak' tallyroll print -p S
expect '3 5 COM3 COM5' tallyroll print --com ''
expect 'COM5' tallyroll unlink COM5
expect '--com --output --quiet --help' tallyroll test -
exit $((failures > 0))

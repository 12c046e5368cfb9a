# Sourced by the scripts in tools/ and bench/ to answer their command line
# alike: --help or -h prints the script's usage (the comment block at its top,
# which every script keeps) and succeeds; an argument it does not take is
# named on standard error with the usage, and fails with status 2, before the
# script starts any work (a build, a test run) on it.

# The comment block after the #! line, without its leading "# ".
script_usage() {
    echo "Usage of $(basename "$0"):"
    awk 'NR == 1 { next } /^#$/ { print ""; next } /^#/ { sub(/^# ?/, "  "); print; next } { exit }' "$0"
}

# Handles -h and --help; answers nothing otherwise.
answer_help() {
    local arg
    for arg in "$@"; do
        if [[ "$arg" == --help || "$arg" == -h ]]; then
            script_usage
            exit 0
        fi
    done
}

refuse_argument() {
    echo "$(basename "$0"): unexpected argument '$1'" >&2
    script_usage >&2
    exit 2
}

# For a script that takes no arguments at all.
take_no_arguments() {
    answer_help "$@"
    if (($# > 0)); then
        refuse_argument "$1"
    fi
}

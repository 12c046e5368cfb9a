#!/usr/bin/env bash
# Formats every C and C++ file of the tree with clang-format 14 and the style
# of .clang-format: the program (app ui engine link document res), cli, cups,
# platform, tests, bench and tools. build/ is never touched.
#
#   tools/format.sh            rewrites the files that differ from the style
#   tools/format.sh --check    changes nothing; names every file that differs
#                              and fails (CI runs this)
#
# CLANG_FORMAT names the binary (default clang-format-14). Another major
# version lays some lines out differently, so it is refused: its findings
# would be about the tool, not the code.
set -euo pipefail
. "$(dirname "$0")/script_usage.sh"
answer_help "$@"
check=""
for arg in "$@"; do
    case "${arg}" in
    --check) check=1 ;;
    *) refuse_argument "${arg}" ;;
    esac
done
cd "$(dirname "$0")/.."

format="${CLANG_FORMAT:-$(command -v clang-format-14 || command -v clang-format || true)}"
if [[ -z "${format}" ]]; then
    echo "format: clang-format not found (apt-get install clang-format-14)" >&2
    exit 2
fi
version="$("${format}" --version)"
if [[ ! "${version}" =~ version\ 14\. ]]; then
    echo "format: ${format} is not clang-format 14 (${version}); set CLANG_FORMAT" >&2
    exit 2
fi

folders=(app ui engine link document res cli cups platform tests bench tools)
mapfile -t files < <(find "${folders[@]}" -type f \
    \( -name '*.cpp' -o -name '*.cc' -o -name '*.c' -o -name '*.h' -o -name '*.hpp' \) | sort)
if [[ ${#files[@]} -eq 0 ]]; then
    echo "format: no C or C++ files under ${folders[*]}" >&2
    exit 2
fi

if [[ -z "${check}" ]]; then
    printf '%s\0' "${files[@]}" | xargs -0 -n 40 -P "$(nproc)" "${format}" -i --style=file
    echo "format: ${#files[@]} files formatted"
    exit 0
fi

# The dry run names each place that differs as "FILE:LINE:COL: error: ...
# [-Wclang-format-violations]"; the files are taken from those lines. Any
# other complaint (a file it cannot read, a broken .clang-format) fails too.
report="$(mktemp)"
trap 'rm -f "${report}"' EXIT
status=0
printf '%s\0' "${files[@]}" |
    xargs -0 -n 50 -P "$(nproc)" "${format}" --dry-run --Werror --style=file 2> "${report}" ||
    status=$?
mapfile -t differ < <(sed -n 's/^\(.*\):[0-9]*:[0-9]*: error: .*\[-Wclang-format-violations\]$/\1/p' \
    "${report}" | sort -u)
if [[ ${#differ[@]} -gt 0 ]]; then
    echo "format: ${#differ[@]} of ${#files[@]} files differ from .clang-format" \
        "(tools/format.sh rewrites them; clang-format --dry-run FILE shows where):" >&2
    printf '  %s\n' "${differ[@]}" >&2
    exit 1
fi
if [[ ${status} -ne 0 ]]; then
    grep -v -- '-Wclang-format-violations' "${report}" >&2 || true
    echo "format: ${format##*/} failed" >&2
    exit 1
fi
echo "format: ${#files[@]} files match .clang-format"

#!/usr/bin/env bash
# clang-tidy over the program, its tests and its tools with the checks of
# .clang-tidy (tests/ adds a .clang-tidy of its own), in parallel; fails on
# any finding. Benchmarks and generated files are left out; headers are
# checked through the files that include them.
#
#   tools/tidy.sh [-p BUILD_DIR] [FOLDER...]
#
# BUILD_DIR holds compile_commands.json (default build/ci, which the ci
# preset writes); FOLDERs default to app ui engine link document res
# cli cups platform tests tools, and may name subfolders (platform/kernel32). CLANG_TIDY names the
# binary, TIDY_JOBS the number run at once (default: the number of cores).
set -euo pipefail
. "$(dirname "$0")/script_usage.sh"
answer_help "$@"

root="$(cd "$(dirname "$0")/.." && pwd)"
build="${root}/build/ci"
if [[ "${1:-}" == "-p" ]]; then
    build="$(cd "$2" && pwd)"
    shift 2
fi
folders=("$@")
for folder in "${folders[@]}"; do
    if [[ "${folder}" == -* || ! -d "${root}/${folder}" ]]; then
        refuse_argument "${folder}"
    fi
done
if [[ ${#folders[@]} -eq 0 ]]; then
    folders=(app ui engine link document res cli cups platform tests tools)
fi

tidy="${CLANG_TIDY:-$(command -v clang-tidy-14 || command -v clang-tidy || true)}"
if [[ -z "${tidy}" ]]; then
    echo "tidy: clang-tidy not found (apt-get install clang-tidy-14)" >&2
    exit 2
fi
database="${build}/compile_commands.json"
if [[ ! -f "${database}" ]]; then
    echo "tidy: ${database} missing; configure first: cmake --preset ci" >&2
    exit 2
fi

# Sources of the chosen folders that the build compiles. CMake writes one
# "file" entry per line; build/ never matches, so generated sources stay out.
pattern="^${root}/($(IFS='|'; echo "${folders[*]%/}"))/"
mapfile -t files < <(sed -n 's/^ *"file": "\(.*\)",\{0,1\}$/\1/p' "${database}" |
    grep -E "${pattern}" | sort -u)
if [[ ${#files[@]} -eq 0 ]]; then
    echo "tidy: no compiled sources under: ${folders[*]}" >&2
    exit 2
fi

# Headers of every project folder are checked, whichever folder includes them.
header_filter="^${root}/(app|ui|engine|link|document|res|platform|tests|tools)/"
logs="$(mktemp -d)"
trap 'rm -rf "${logs}"' EXIT

tidy_one() {
    local log="${logs}/$(printf '%s' "$1" | md5sum | cut -c1-16).log"
    if ! "${tidy}" -p "${build}" --quiet --header-filter="${header_filter}" \
        --extra-arg=-Wno-unknown-warning-option "$1" >"${log}" 2>&1; then
        echo "$1" >"${log}.failed"
    fi
}
export -f tidy_one
export tidy build header_filter logs

echo "tidy: ${#files[@]} files with ${tidy##*/}, ${TIDY_JOBS:-$(nproc)} at a time"
printf '%s\0' "${files[@]}" | xargs -0 -n 1 -P "${TIDY_JOBS:-$(nproc)}" bash -c 'tidy_one "$1"' _

shopt -s nullglob
failed=("${logs}"/*.failed)
if [[ ${#failed[@]} -eq 0 ]]; then
    echo "tidy: clean"
    exit 0
fi
for marker in "${failed[@]}"; do
    echo "=== $(cat "${marker}")"
    grep -v -E '^[0-9]+ (warning|error)s? (generated|treated as errors)\.$' "${marker%.failed}" || true
done
# A header's finding comes once from every file that includes it: count it once.
findings="$(cat "${logs}"/*.log | grep -E ': (warning|error): ' | sort -u)"
echo "=== $(printf '%s\n' "${findings}" | grep -c .) findings in ${#failed[@]} files:"
printf '%s\n' "${findings}" | grep -o -E '\[[^]]+\]$' | sed 's/,-warnings-as-errors//' | sort | uniq -c | sort -rn
exit 1

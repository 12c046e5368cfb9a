#!/usr/bin/env bash
# Line coverage of the program's own code (engine, link, document, ui, app)
# and of the platform, from the coverage preset (clang's source-based
# coverage): builds, runs every test but the slow ones, merges the profiles
# and prints one summary line per folder.
#
#   tools/coverage.sh
set -euo pipefail
. "$(dirname "$0")/script_usage.sh"
take_no_arguments "$@"
cd "$(dirname "$0")/.."
build=build/coverage
profdata=$(command -v llvm-profdata-14 || command -v llvm-profdata)
cov=$(command -v llvm-cov-14 || command -v llvm-cov)

cmake --preset coverage > /dev/null
cmake --build --preset coverage -j "$(nproc)"
rm -rf "$build/profiles"
ctest --preset coverage -j "$(nproc)" -LE slow > "$build/coverage-tests.log" ||
    { tail -30 "$build/coverage-tests.log"; exit 1; }

"$profdata" merge -sparse "$build"/profiles/*.profraw -o "$build/coverage.profdata"
objects=()
while IFS= read -r binary; do
    objects+=(-object "$binary")
done < <(find "$build" -type f -perm -u+x \( -path '*/tests/*' -o -path '*/app/*' \) \
    ! -name '*.so' ! -name '*.cmake' ! -path '*/CMakeFiles/*' | sort)
"$cov" report -instr-profile "$build/coverage.profdata" "${objects[@]}" \
    -ignore-filename-regex='(/tests/|/bench/|/tools/|/build/|/usr/)' > "$build/coverage-report.txt"

# Lines per top folder (platform by its subfolders), from the per-file rows.
awk -v root="$PWD/" '
    $1 ~ /\.(cpp|h)$/ {
        path = $1; sub(root, "", path)
        n = split(path, part, "/")
        area = (part[1] == "platform" && n > 2) ? part[1] "/" part[2] : part[1]
        lines[area] += $8; missed[area] += $9
    }
    END {
        for (area in lines) {
            covered = lines[area] - missed[area]
            printf "coverage: %-20s lines %6.1f%% (%d of %d)\n", area,
                   100 * covered / lines[area], covered, lines[area]
        }
    }' "$build/coverage-report.txt" | sort

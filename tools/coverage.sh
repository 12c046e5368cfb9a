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
# Every program the tests run. Left out: the install test's copies of the
# programs, and tallyroll_wine_expect, which only tools/test-windows.sh runs:
# a program that never ran has only functions without a profile to match.
objects=()
while IFS= read -r binary; do
    objects+=(-object "$binary")
done < <(find "$build" -type f -perm -u+x \( -path '*/tests/*' -o -path '*/app/*' \) \
    ! -name '*.so' ! -name '*.cmake' ! -path '*/CMakeFiles/*' ! -path '*/install/prefix/*' \
    ! -name tallyroll_wine_expect | sort)
# Sources are named as the compiler was given them: absolute, or, through
# ccache with CCACHE_BASEDIR, as build/coverage/../../engine/... Only what
# lies in the build folder itself (generated sources) is left out as build/.
ignored='(/tests/|/bench/|/tools/|/usr/|/build/coverage/[^.])'
"$cov" report -instr-profile "$build/coverage.profdata" "${objects[@]}" \
    -ignore-filename-regex="$ignored" > "$build/coverage-report.txt" 2> "$build/coverage-warnings.txt"

# llvm-cov warns "N functions have mismatched data" when a function's
# record in one program has no profile of the same hash. Almost always that
# is an inline function of a header that a program includes but never
# calls: clang records it there with hash 0, while the programs that call it
# give it a profile under its real hash, which is what the report counts.
# Only a mismatch with another hash is a fault: profiles of an older build
# of the program, or a program that the tests never ran.
if grep -q "mismatched data" "$build/coverage-warnings.txt"; then
    "$cov" report -dump -instr-profile "$build/coverage.profdata" "${objects[@]}" \
        -ignore-filename-regex="$ignored" > /dev/null 2> "$build/coverage-dump.txt"
else
    : > "$build/coverage-dump.txt"
fi
grep -v "mismatched data" "$build/coverage-warnings.txt" >&2 || true
unused=$(grep -c "^hash-mismatch: .* with hash = 0x0\$" "$build/coverage-dump.txt" || true)
stale=$(grep "^hash-mismatch: " "$build/coverage-dump.txt" | grep -v " with hash = 0x0\$" || true)
if ((unused > 0)); then
    echo "coverage: $unused inline functions are unused in some test programs (llvm-cov's" \
        "\"mismatched data\"; their coverage comes from the programs that use them)"
fi
if [[ -n "$stale" ]]; then
    echo "coverage: profiles that match no build of their function (an older build's," \
        "or a program the tests never ran):" >&2
    echo "$stale" | sed 's/^/  /' >&2
fi

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

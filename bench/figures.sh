#!/usr/bin/env bash
# Takes every figure of docs/performance.md on this machine, each beside its
# anchor: builds the benchmarks (Release) and the program (as the default
# preset builds it: optimised, with debug information), then runs them in
# turn. Takes about three minutes on two cores; prints everything it measures.
#
#   bench/figures.sh            all figures
#   bench/figures.sh load       only loading, peak memory and start-up
#   bench/figures.sh gigabyte   the text box, loading and Print with 1 GB of text
#                               (about seven minutes; needs about 4 GB of memory free)
set -euo pipefail
. "$(dirname "$0")/../tools/script_usage.sh"
answer_help "$@"
case "$#:${1:-}" in
0: | 1:all | 1:load | 1:gigabyte) ;;
*) refuse_argument "${@: -1}" ;;
esac
cd "$(dirname "$0")/.."

bench_dir=${BENCH_DIR:-build/bench}
app_dir=${APP_DIR:-build/bench-app}
only=${1:-all}

cmake -S . -B "$bench_dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTALLYROLL_WERROR=ON > /dev/null
cmake -S . -B "$app_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTALLYROLL_WERROR=ON \
    -DTALLYROLL_TESTS=OFF > /dev/null
ninja -C "$bench_dir" -j2 loader_bench load_peak startup_probe print_job_bench windows_bench \
    codepage_bench print_peak > /dev/null
ninja -C "$app_dir" -j2 tallyroll > /dev/null
b="$bench_dir/bench"

work=$(mktemp -d "${TMPDIR:-/tmp}/tallyroll-figures-XXXXXX")
trap 'rm -rf "$work"' EXIT

section() { printf '\n== %s\n' "$*"; }

section "machine"
echo "nproc: $(nproc)"
grep -m1 'model name' /proc/cpuinfo
echo "kernel: $(uname -r)"
uptime

if [ "$only" = gigabyte ]; then
    section "a key and its redraw with 1 GB in the text box"
    "$b/windows_bench" --text-mb=1024 --benchmark_repetitions=3 \
        --benchmark_report_aggregates_only=true
    section "loading 1 GB against iconv, code pages 1252 and 936"
    "$b/loader_bench" --size-mb=1024 --benchmark_filter=Against
    "$b/loader_bench" --size-mb=1024 --code-page=936 --benchmark_filter=Against
    section "peak memory and CPU time of a Print of 1 GB"
    "$b/print_peak" --write "$work/western-1g.txt" --size-mb=1024
    LC_ALL=en_US.UTF-8 "$b/print_peak" --rounds=1 "$work/western-1g.txt"
    exit 0
fi

if [ "$only" = all ]; then
    section "a print job of 1 KB over its 20 ms pause"
    "$b/print_job_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
    section "the same job to a network printer on loopback (TCP)"
    "$b/print_job_bench" --line=tcp --benchmark_repetitions=5 \
        --benchmark_report_aggregates_only=true
    section "code-page conversion against iconv"
    "$b/codepage_bench"
    section "a key and its redraw with 10 MB and with 100 MB in the text box"
    "$b/windows_bench"
    "$b/windows_bench" --text-mb=100 --benchmark_filter='Type|Enter|Alt|SetText' 
fi

section "loading 100 MB against iconv, code page 1252"
"$b/loader_bench"
section "loading 100 MB against iconv, code page 936"
"$b/loader_bench" --code-page=936

section "peak memory of a 100 MB load"
"$b/load_peak" --write "$work/western.txt"
"$b/load_peak" --write "$work/chinese.txt" --code-page=936
ls -l "$work/western.txt" "$work/chinese.txt"
for mode in "" --form; do
    /usr/bin/time -f "time: %e s wall, %U s user, %S s system, max RSS %M KB" \
        "$b/load_peak" $mode "$work/western.txt"
    LC_ALL=zh_CN.GBK /usr/bin/time -f "time: %e s wall, %U s user, %S s system, max RSS %M KB" \
        "$b/load_peak" $mode "$work/chinese.txt"
done
if command -v hyperfine > /dev/null; then
    section "the whole loading process against the iconv command"
    hyperfine -N -w 1 -r 10 "$b/load_peak $work/western.txt" \
        "iconv -f WINDOWS-1252 -t UTF-16LE -o /dev/null $work/western.txt"
fi

section "peak memory and CPU time of a Print of 100 MB from the form"
"$b/print_peak" --write "$work/western-print.txt"
LC_ALL=en_US.UTF-8 "$b/print_peak" --rounds=9 "$work/western-print.txt"

section "start-up to the drawn form"
"$b/startup_probe" --runs=50 "$app_dir/app/tallyroll"

#!/usr/bin/env bash
# Peak memory of the virtual printer fed 10 MB of random bytes, once read
# from a file (--decode) and once written to its port, with a picture of the
# roll (--png). Prints /usr/bin/time's figures for each.
#
#   bench/vprinter_memory.sh                         the default build
#   VPRINTER=path/to/tallyroll-vprinter bench/vprinter_memory.sh
#
# LIMIT_KB, when set, caps the printer's address space (ulimit -v), for a
# printer that would otherwise take all the machine's memory.
set -euo pipefail
. "$(dirname "$0")/../tools/script_usage.sh"
take_no_arguments "$@"
cd "$(dirname "$0")/.."

program=$(realpath "${VPRINTER:-build/default/tools/vprinter/tallyroll-vprinter}")
work=$(mktemp -d "${TMPDIR:-/tmp}/vprinter-memory-XXXXXX")
printer=
trap '[ -n "$printer" ] && kill "$printer" 2>/dev/null; rm -rf "$work"' EXIT
format="time: %e s wall, %U s user, %S s system, max RSS %M KB, exit %x"
limited() { ( [ -n "${LIMIT_KB:-}" ] && ulimit -v "$LIMIT_KB"; "$@" ); }

head -c 10485760 /dev/urandom > "$work/random.bin"

echo "== 10 MB of random bytes from a file"
mkdir "$work/file"
limited /usr/bin/time -f "$format" -o "$work/time.txt" "$program" --quiet \
    --decode "$work/random.bin" --png "$work/file/roll.png" || true
cat "$work/time.txt"
echo "pictures: $(ls "$work/file" | wc -l), $(du -sh "$work/file" | cut -f1)"

echo "== 10 MB of random bytes through the port"
mkdir "$work/port"
TALLYROLL_DEVICES="$work/devices" limited /usr/bin/time -f "$format" -o "$work/time.txt" \
    "$program" --quiet --port 9 --events "$work/events.jsonl" --png "$work/port/roll.png" \
    --idle-exit 2000 &
printer=$!
for _ in $(seq 100); do
    grep -q '"ready"' "$work/events.jsonl" 2>/dev/null && break
    sleep 0.1
done
cat "$work/random.bin" > "$work/devices/COM9" || true
wait "$printer" || true
printer=
cat "$work/time.txt"
echo "pictures: $(ls "$work/port" | wc -l), $(du -sh "$work/port" | cut -f1)"

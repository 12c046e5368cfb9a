#!/usr/bin/env bash
# Builds Tallyroll, starts the virtual printer linked as COM3 in a private
# device table, and opens the form in this terminal. When the form closes,
# shows what the printer printed and where the picture of the roll is.
set -euo pipefail
cd "$(dirname "$0")/.."

# Only what the program and the virtual printer need; tools/test-all.sh
# installs the test tools when it runs.
tools/deps.sh --run
# A build of its own with no tests, so that no test framework is needed.
cmake --preset demo > /dev/null
cmake --build --preset demo

work=$(mktemp -d "${TMPDIR:-/tmp}/tallyroll-demo-XXXXXX")
devices="$work/devices"
printer=build/demo/tools/vprinter/tallyroll-vprinter

# At a real printer's pace (115200 baud), so the roll grows as on paper.
"$printer" --port 3 --devices "$devices" --baud 115200 --color always \
    --png "$work/roll.png" --raw "$work/roll.bin" \
    > "$work/roll.txt" 2> "$work/printer.log" &
printer_pid=$!
stop_printer() {
    if kill -0 "$printer_pid" 2> /dev/null; then
        kill -TERM "$printer_pid" 2> /dev/null || true
        wait "$printer_pid" 2> /dev/null || true
    fi
}
trap stop_printer EXIT

for _ in $(seq 100); do
    [ -L "$devices/COM3" ] && break
    sleep 0.05
done
if [ ! -L "$devices/COM3" ]; then
    echo "The virtual printer did not start:" >&2
    cat "$work/printer.log" >&2
    exit 1
fi

# Inside tmux, the paper shows as it prints, in a pane beside the form (or
# below it), where the window leaves the form its 49 x 21 cells.
roll_pane=""
if [ -n "${TMUX:-}" ] && command -v tmux > /dev/null; then
    columns=$(tmux display-message -p '#{window_width}')
    rows=$(tmux display-message -p '#{window_height}')
    roll="printf 'The virtual printer on COM3\n\n'; exec tail -n +1 -f '$work/roll.txt'"
    if [ "$columns" -ge 90 ]; then
        width=$((columns - 50)) # the roll is 50 columns wide
        [ "$width" -gt 54 ] && width=54
        roll_pane=$(tmux split-window -h -d -l "$width" -P -F '#{pane_id}' "$roll") || roll_pane=""
    elif [ "$rows" -ge 30 ]; then
        roll_pane=$(tmux split-window -v -d -l $((rows - 22)) -P -F '#{pane_id}' "$roll") || roll_pane=""
    fi
fi
close_roll_pane() {
    if [ -n "$roll_pane" ]; then
        tmux kill-pane -t "$roll_pane" 2> /dev/null || true
        roll_pane=""
    fi
}
trap 'close_roll_pane; stop_printer' EXIT

# The form: COM3 is already chosen. Press Print or Test, then Quit.
TALLYROLL_DEVICES="$devices" build/demo/app/tallyroll || true

close_roll_pane
stop_printer
trap - EXIT
echo
echo "What the virtual printer printed:"
echo "------------------------------------------------------------"
cat "$work/roll.txt"
echo "------------------------------------------------------------"
echo "Picture of the paper roll: $work/roll.png"
echo "Raw bytes received:        $work/roll.bin"

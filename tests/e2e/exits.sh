#!/usr/bin/env bash
# The ways out of a game other than its end, and a resize, through the real game in an X window
# replaying short scripts with a fixed step:
#   Escape at frame 30 ends the game before that frame: 30 trace lines, exit 0, no box;
#   the window's close at frame 20 does the same with 20 lines;
#   a resize to 400 x 300 at frame 10: the frames captured after it are 400 x 300 (before it
#   800 x 600), the view does not turn by itself, and --frames 30 ends it with exit 0.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
start_xserver
cd "$build"

# play NAME SCRIPT-TEXT [options]: the game's exit code in RC, its trace in $work/NAME.trace.
play() {
    local name=$1 text=$2
    shift 2
    printf '%s\n' "$text" > "$work/$name.script"
    trace="$work/$name.trace"
    run_game "$name" --windowed --dialogs=stderr --fixed-step 40 --script "$work/$name.script" \
        --trace "$trace" "$@"
}
no_box() { ! grep -qE '^(VICTORY|DEFEAT) !:|^Error:' "$work/$1.err" || fail "$1: a box: $(cat "$work/$1.err")"; }

play escape "0 key w down
30 key escape down"
[ "$RC" -eq 0 ] || fail "Escape: exit code $RC"
[ "$(frames)" -eq 30 ] || fail "Escape: $(frames) frames, not 30"
[ "$(field "$(trace_line 0)" pos)" != "$(field "$(trace_line 29)" pos)" ] ||
    fail "Escape: the walk before it moved nothing"
no_box escape

play close "20 close"
[ "$RC" -eq 0 ] || fail "close: exit code $RC"
[ "$(frames)" -eq 20 ] || fail "close: $(frames) frames, not 20"
no_box close

play resize "10 resize 400 300" --frames 30 --capture "5:$work/before.bmp" --capture "15:$work/after.bmp"
[ "$RC" -eq 0 ] || fail "resize: exit code $RC"
[ "$(frames)" -eq 30 ] || fail "resize: $(frames) frames, not 30"
no_box resize
[ -s "$work/before.bmp" ] && [ -s "$work/after.bmp" ] || fail "resize: no capture written"
[ "$(bmp_size "$work/before.bmp")" = 800x600 ] || fail "resize: frame 5 is $(bmp_size "$work/before.bmp")"
[ "$(bmp_size "$work/after.bmp")" = 400x300 ] || fail "resize: frame 15 is $(bmp_size "$work/after.bmp")"
# No mouse line in the script: the view's direction never changes (the eye only bobs on the spot).
views=$(awk "$trace_awk"'{ split(f("pos"), p, ","); split(f("view"), v, ",")
    printf "%.2f,%.2f\n", v[1] - p[1], v[3] - p[3] }' "$trace" | sort -u | wc -l)
[ "$views" -eq 1 ] || fail "resize: the view turned by itself: $(sed -n 10,12p "$trace" | cut -c1-90)"
echo "Escape at frame 30: 30 frames, exit 0; close at frame 20: 20 frames, exit 0;" \
    "resize at frame 10: captures 800x600 then 400x300, view steady, exit 0"

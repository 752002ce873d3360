#!/usr/bin/env bash
# The ways out of a game other than its end, and a resize, through the real game in an X window
# replaying short scripts with a fixed step:
#   Escape at frame 30 ends the game before that frame: 30 trace lines, exit 0, no box;
#   the window's close at frame 20 does the same with 20 lines;
#   a resize to 400 x 300 at frame 10: the frames captured after it are 400 x 300 (before it
#   800 x 600), the view does not turn by itself, and --frames 30 ends it with exit 0.
set -euo pipefail
game=$1
build=$2
source "$(dirname "$0")/xserver.sh"
work=$(mktemp -d)
cleanup_work() { rm -rf "$work"; }
start_xserver
cd "$build"
export SDL_AUDIODRIVER=dummy

fail() { echo "FAIL: $*"; cat "$work"/err-*.txt 2>/dev/null | tail -n 5; exit 1; }

# play NAME SCRIPT-TEXT [options]: the game's exit code in RC, files $work/{trace,err}-NAME.txt.
play() {
    local name=$1 text=$2
    shift 2
    printf '%s\n' "$text" > "$work/script-$name.txt"
    RC=0
    "$game" --windowed --dialogs=stderr --fixed-step 40 --script "$work/script-$name.txt" \
        --trace "$work/trace-$name.txt" "$@" > "$work/out-$name.txt" 2> "$work/err-$name.txt" || RC=$?
}
field() { sed -n "$(($2 + 1))p" "$work/trace-$1.txt" | grep -o " $3=[^ ]*" | cut -d= -f2; }
no_box() { ! grep -qE '^(VICTORY|DEFEAT) !:|^Error:' "$work/err-$1.txt" || fail "$1: a box: $(cat "$work/err-$1.txt")"; }

play escape "0 key w down
30 key escape down"
[ "$RC" -eq 0 ] || fail "Escape: exit code $RC"
[ "$(wc -l < "$work/trace-escape.txt")" -eq 30 ] || fail "Escape: $(wc -l < "$work/trace-escape.txt") frames, not 30"
[ "$(field escape 0 pos)" != "$(field escape 29 pos)" ] || fail "Escape: the walk before it moved nothing"
no_box escape

play close "20 close"
[ "$RC" -eq 0 ] || fail "close: exit code $RC"
[ "$(wc -l < "$work/trace-close.txt")" -eq 20 ] || fail "close: $(wc -l < "$work/trace-close.txt") frames, not 20"
no_box close

play resize "10 resize 400 300" --frames 30 --capture "5:$work/before.bmp" --capture "15:$work/after.bmp"
[ "$RC" -eq 0 ] || fail "resize: exit code $RC"
[ "$(wc -l < "$work/trace-resize.txt")" -eq 30 ] || fail "resize: $(wc -l < "$work/trace-resize.txt") frames, not 30"
no_box resize
# A BMP's width and height: little-endian 32-bit words at bytes 18 and 22.
bmp_size() { od -An -t u4 -j 18 -N 8 "$1" | awk '{ print $1 "x" $2 }'; }
[ -s "$work/before.bmp" ] && [ -s "$work/after.bmp" ] || fail "resize: no capture written"
[ "$(bmp_size "$work/before.bmp")" = 800x600 ] || fail "resize: frame 5 is $(bmp_size "$work/before.bmp")"
[ "$(bmp_size "$work/after.bmp")" = 400x300 ] || fail "resize: frame 15 is $(bmp_size "$work/after.bmp")"
# No mouse line in the script: the view's direction never changes (the eye only bobs on the spot).
views=$(cut -d' ' -f3,4 "$work/trace-resize.txt" | awk '{ split($1, p, "[=,]"); split($2, v, "[=,]");
    printf "%.2f,%.2f\n", v[2] - p[2], v[4] - p[4] }' | sort -u | wc -l)
[ "$views" -eq 1 ] || fail "resize: the view turned by itself: $(sed -n 10,12p "$work/trace-resize.txt" | cut -c1-90)"
echo "Escape at frame 30: 30 frames, exit 0; close at frame 20: 20 frames, exit 0;" \
    "resize at frame 10: captures 800x600 then 400x300, view steady, exit 0"

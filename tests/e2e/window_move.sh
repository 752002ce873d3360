#!/usr/bin/env bash
# Moving the window (a window manager's shortcut, or a drag) moves the mouse-look centre with
# it: the game re-centres the cursor and the view does not turn. The real game under X, its
# window moved with xdotool, the view read from --trace; then a real mouse move still turns it.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
start_xserver
cd "$build"

start_game game --windowed --dialogs=stderr --trace "$trace"
game_window
xdotool windowfocus --sync "$id"
wait_frames 10
before=$(last_line)

read -r x0 y0 _ _ < <(place)
xdotool windowmove --sync "$id" $((x0 + 200)) $((y0 + 150))
read -r x1 y1 _ _ < <(place)
[ "$x1" -eq $((x0 + 200)) ] && [ "$y1" -eq $((y0 + 150)) ] ||
  fail "the window did not move: ($x0, $y0) to ($x1, $y1)"
wait_frames 10
after=$(last_line)
[ "$(field "$before" view)" = "$(field "$after" view)" ] ||
  fail "moving the window turned the view: $(field "$before" view) to $(field "$after" view)"
centre="x:$((x1 + 400)) y:$((y1 + 300))"
[ "$(pointer)" = "$centre" ] || fail "the cursor is not on the moved window's centre: $(pointer), centre $centre"

# Mouse look still works from the new centre.
xdotool mousemove_relative -- 100 0
wait_frames 5
turned=$(last_line)
[ "$(field "$after" view)" != "$(field "$turned" view)" ] || fail "mouse look stopped after the move"

quit_game
[ "$RC" -eq 0 ] || fail "Escape ended the game with exit code $RC"
echo "window moved from ($x0, $y0) to ($x1, $y1): view unchanged ($(field "$after" view))," \
  "cursor on the new centre $centre; a 100 px mouse move still turns; Escape: exit 0"

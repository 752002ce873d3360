#!/usr/bin/env bash
# Moving the window (a window manager's shortcut, or a drag) moves the mouse-look centre with
# it: the game re-centres the cursor and the view does not turn. The real game under X, its
# window moved with xdotool, the view read from --trace; then a real mouse move still turns it.
set -euo pipefail
game=$(readlink -f "$1")
build=$(readlink -f "$2")
source "$(dirname "$0")/xserver.sh"
work=$(mktemp -d)
pid=""
cleanup_work() {
  [ -z "$pid" ] || kill "$pid" 2>/dev/null || true
  rm -rf "$work"
}
start_xserver
cd "$build"
export SDL_AUDIODRIVER=dummy
trace="$work/trace.txt"

fail() {
  echo "FAIL: $*"
  echo "--- stderr:"; cat "$work/err.txt" 2>/dev/null
  exit 1
}
frames() { [ -f "$trace" ] && wc -l < "$trace" || echo 0; }
last_line() { tail -n 2 "$trace" | head -n 1; }
field() { echo "$1" | grep -o " $2=[^ ]*" | cut -d= -f2; }
wait_frames() {
  local want=$(($(frames) + $1))
  for _ in $(seq 1 600); do
    [ "$(frames)" -ge "$want" ] && return 0
    kill -0 "$pid" 2>/dev/null || fail "the game ended early"
    sleep 0.05
  done
  fail "no $1 new frames in 30 s"
}
pointer() { xdotool getmouselocation | sed 's/ screen.*//'; }
origin() {
  xwininfo -id "$id" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
    END {print x, y}'
}

"$game" --windowed --dialogs=stderr --trace "$trace" > "$work/out.txt" 2> "$work/err.txt" &
pid=$!
id=$(wait_for_game_window "$pid") || fail "the window never appeared"
xdotool windowfocus --sync "$id"
wait_frames 10
before=$(last_line)

read -r x0 y0 < <(origin)
xdotool windowmove --sync "$id" $((x0 + 200)) $((y0 + 150))
read -r x1 y1 < <(origin)
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

xdotool windowfocus --sync "$id" key Escape
for _ in $(seq 1 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
rc=0
wait "$pid" || rc=$?
pid=""
[ "$rc" -eq 0 ] || fail "Escape ended the game with exit code $rc"
echo "window moved from ($x0, $y0) to ($x1, $y1): view unchanged ($(field "$after" view))," \
  "cursor on the new centre $centre; a 100 px mouse move still turns; Escape: exit 0"

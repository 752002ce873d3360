#!/usr/bin/env bash
# Demos: a live session under X, driven with xdotool (walk forward, look around, shoot, step
# aside, Escape), is recorded with --record; played back with --script, by a player with other
# mouse preferences, the recording gives the same trace line for line and the same captured
# frames byte for byte.
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
trace="$work/live.txt"

fail() {
  echo "FAIL: $*"
  echo "--- stderr:"; cat "$work"/err*.txt 2>/dev/null
  echo "--- recording:"; grep -v ' step ' "$work/demo.txt" 2>/dev/null | head -n 40
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

# Frames 5 and 25 are captured in both runs; the session lasts longer than that.
"$game" --windowed --dialogs=stderr --record "$work/demo.txt" --trace "$trace" \
  --capture 5:"$work/live5.bmp" --capture 25:"$work/live25.png" > "$work/out1.txt" 2> "$work/err1.txt" &
pid=$!
id=$(wait_for_game_window "$pid") || fail "the window never appeared"
xdotool windowfocus --sync "$id"
wait_frames 5
start=$(last_line)
xdotool keydown w
wait_frames 10
xdotool keyup w
wait_frames 2
walked=$(last_line)
[ "$(field "$start" pos)" != "$(field "$walked" pos)" ] || fail "holding W did not walk"
xdotool mousemove_relative -- 80 -30
wait_frames 3
looked=$(last_line)
[ "$(field "$walked" view)" != "$(field "$looked" view)" ] || fail "the mouse did not turn the view"
xdotool click 1
wait_frames 3
xdotool keydown a
wait_frames 5
xdotool keyup a
xdotool mousemove_relative -- -40 20
wait_frames 30
xdotool windowfocus --sync "$id" key Escape
for _ in $(seq 1 200); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
rc=0
wait "$pid" || rc=$?
pid=""
[ "$rc" -eq 0 ] || fail "the recorded session ended with exit code $rc"

# The recording holds what was done, each frame's step and the seed.
rec="$work/demo.txt"
grep -Eq '^seed [0-9]+$' "$rec" || fail "no seed line"
grep -qx 'mouse_sensitivity 1' "$rec" && grep -qx 'invert_mouse no' "$rec" || fail "no mouse settings"
[ "$(grep -c ' step ' "$rec")" -eq "$(wc -l < "$trace")" ] || fail "not one step line per frame"
for what in ' key w down$' ' key w up$' ' key a down$' ' mouse 80 -30$' ' click left$' ' key escape down$'; do
  grep -Eq "^[0-9]+$what" "$rec" || fail "the recording lacks \"$what\""
done

# Played back by a player whose own preferences turn the mouse differently: the recording's
# mouse settings hold, so it is still the same game.
mkdir -p "$work/other-config/ostravel"
printf 'mouse_sensitivity = 3\ninvert_mouse = yes\n' > "$work/other-config/ostravel/ostravel.conf"
XDG_CONFIG_HOME="$work/other-config" \
"$game" --windowed --dialogs=stderr --script "$rec" --trace "$work/replay.txt" \
  --capture 5:"$work/replay5.bmp" --capture 25:"$work/replay25.png" > "$work/out2.txt" 2> "$work/err2.txt" ||
  fail "the replay ended with exit code $?"
diff "$trace" "$work/replay.txt" > "$work/diff.txt" ||
  fail "the replay's trace differs from the live one: $(head -n 4 "$work/diff.txt")"
cmp "$work/live5.bmp" "$work/replay5.bmp" || fail "frame 5 differs"
cmp "$work/live25.png" "$work/replay25.png" || fail "frame 25 differs"
echo "recorded $(wc -l < "$trace") frames (walk $(field "$start" pos) to $(field "$walked" pos)," \
  "view $(field "$walked" view) to $(field "$looked" view), a shot, a step aside, Escape);" \
  "the replay's trace is identical and frames 5 and 25 are the same bytes"

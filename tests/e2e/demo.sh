#!/usr/bin/env bash
# Demos: a live session under X, driven with xdotool (walk forward, look around, shoot, step
# aside, Escape), is recorded with --record; played back with --script, by a player with other
# mouse preferences, the recording gives the same trace line for line and the same captured
# frames byte for byte.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
start_xserver
cd "$build"
trace="$work/live.txt"
rec="$work/demo.txt"
fail_context() { echo "--- recording:"; grep -v ' step ' "$rec" 2>/dev/null | head -n 40; }

# Frames 5 and 25 are captured in both runs; the session lasts longer than that.
start_game live --windowed --dialogs=stderr --record "$rec" --trace "$trace" \
  --capture 5:"$work/live5.bmp" --capture 25:"$work/live25.png"
game_window
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
quit_game
[ "$RC" -eq 0 ] || fail "the recorded session ended with exit code $RC"

# The recording holds what was done, each frame's step and the seed.
grep -Eq '^seed [0-9]+$' "$rec" || fail "no seed line"
grep -qx 'mouse_sensitivity 1' "$rec" && grep -qx 'invert_mouse no' "$rec" || fail "no mouse settings"
[ "$(grep -c ' step ' "$rec")" -eq "$(frames)" ] || fail "not one step line per frame"
for what in ' key w down$' ' key w up$' ' key a down$' ' mouse 80 -30$' ' click left$' ' key escape down$'; do
  grep -Eq "^[0-9]+$what" "$rec" || fail "the recording lacks \"$what\""
done

# Played back by a player whose own preferences turn the mouse differently: the recording's
# mouse settings hold, so it is still the same game.
mkdir -p "$work/other-config/ostravel"
printf 'mouse_sensitivity = 3\ninvert_mouse = yes\n' > "$work/other-config/ostravel/ostravel.conf"
XDG_CONFIG_HOME="$work/other-config" run_game replay --windowed --dialogs=stderr --script "$rec" \
  --trace "$work/replay.txt" --capture 5:"$work/replay5.bmp" --capture 25:"$work/replay25.png"
[ "$RC" -eq 0 ] || fail "the replay ended with exit code $RC"
diff "$trace" "$work/replay.txt" > "$work/diff.txt" ||
  fail "the replay's trace differs from the live one: $(head -n 4 "$work/diff.txt")"
cmp "$work/live5.bmp" "$work/replay5.bmp" || fail "frame 5 differs"
cmp "$work/live25.png" "$work/replay25.png" || fail "frame 25 differs"
echo "recorded $(frames) frames (walk $(field "$start" pos) to $(field "$walked" pos)," \
  "view $(field "$walked" view) to $(field "$looked" view), a shot, a step aside, Escape);" \
  "the replay's trace is identical and frames 5 and 25 are the same bytes"

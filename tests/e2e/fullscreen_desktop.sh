#!/usr/bin/env bash
# fullscreen_mode = desktop: a game started full screen covers the whole screen at the screen's
# own size (1280 x 1024 here) whatever the settings' window size (800 x 600), without a change of
# display mode, and draws its view for that size; F11 then brings it back to a window of the
# settings' size. Xvfb runs no window manager: SDL places a full-screen-desktop window itself.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
start_xserver
cd "$build"
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/ostravel"
echo "800 600 32" > "$XDG_CONFIG_HOME/ostravel/Setup.ini"
printf 'fullscreen_mode = desktop\nrender_scale = 0.5\n' > "$XDG_CONFIG_HOME/ostravel/ostravel.conf"

start_game game --fullscreen --dialogs=stderr --trace "$trace" --capture 10:"$work/full.bmp"
game_window
wait_place "0 0 1280 1024" "starting full screen over the desktop"
wait_frames 12
[ "$(bmp_size "$work/full.bmp")" = 1280x1024 ] ||
  fail "the full-screen frame is $(bmp_size "$work/full.bmp"), not the screen's 1280x1024"
if grep -q "display mode\|Display Mode" "$work/game.err"; then
  fail "the display mode was asked for: $(grep -i 'display mode' "$work/game.err")"
fi

xdotool windowfocus --sync "$id"
xdotool key F11
wait_place "0 0 800 600" "F11"
wait_frames 5
quit_game
[ "$RC" -eq 0 ] || fail "Escape ended the game with exit code $RC"
echo "full screen over the desktop: 1280 x 1024 window and frame at half scale; F11: a window" \
  "of 800 x 600; Escape: exit 0"

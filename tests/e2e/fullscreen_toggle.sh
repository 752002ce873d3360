#!/usr/bin/env bash
# Alt+Enter and F11 switch a running game between its window and full screen: full screen takes
# the configured size (here the player's Setup.ini asks for the whole 1280 x 1024 screen, the
# only mode Xvfb offers), the way back restores the window's size and place, and the view takes
# no turn either way. Xvfb runs no window manager, and the window manager is what carries out a
# full-screen request on a mapped window, so the script plays its part: it puts the window over
# the screen once the game has asked, and the way back must then bring the old place back.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
start_xserver
cd "$build"
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/ostravel"
echo "1280 1024 32" > "$XDG_CONFIG_HOME/ostravel/Setup.ini"

start_game game --windowed --dialogs=stderr --trace "$trace"
game_window
xdotool windowfocus --sync "$id"
xdotool windowsize --sync "$id" 600 400
xdotool windowmove --sync "$id" 50 40
wait_place "50 40 600 400" "the player's resize and move"
wait_frames 5
before=$(last_line)

xdotool windowfocus --sync "$id"
xdotool key alt+Return
wait_frames 3
xdotool windowmove --sync "$id" 0 0 windowsize --sync "$id" 1280 1024
wait_place "0 0 1280 1024" "Alt+Enter"
wait_frames 10
full=$(last_line)
[ "$(field "$before" view)" = "$(field "$full" view)" ] ||
  fail "going full screen turned the view: $(field "$before" view) to $(field "$full" view)"

xdotool windowfocus --sync "$id"
xdotool key F11
wait_place "50 40 600 400" "F11"
wait_frames 5
back=$(last_line)
[ "$(field "$before" view)" = "$(field "$back" view)" ] ||
  fail "coming back to the window turned the view: $(field "$before" view) to $(field "$back" view)"

quit_game
[ "$RC" -eq 0 ] || fail "Escape ended the game with exit code $RC"
echo "window 600 x 400 at (50, 40); Alt+Enter: full screen 1280 x 1024; F11: back to 600 x 400" \
  "at (50, 40); the view stayed $(field "$back" view); Escape: exit 0"

#!/usr/bin/env bash
# The real game in a real X window: 30 frames end with exit code 0; the window's client area is
# the size of the settings; Escape ends the game with exit code 0.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
start_xserver
cd "$build"

run_game frames --windowed --dialogs=stderr --frames 30
[ "$RC" -eq 0 ] || fail "--frames 30 ended with exit code $RC"

start_game escape --windowed --dialogs=stderr
game_window
sleep 0.3
read -r _ _ width height < <(place)
quit_game
[ "$width x $height" = "800 x 600" ] || fail "client area is not 800 x 600: $width x $height"
[ "$RC" -eq 0 ] || fail "Escape ended with exit code $RC"
echo "30 frames: exit 0; client area 800 x 600; Escape: exit 0"

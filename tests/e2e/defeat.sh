#!/usr/bin/env bash
# A mission lost through the real game: the route tool walks unarmed to the spot with the most
# enemies around it and stands there; the game replays its script. The traces agree frame for
# frame; the health falls to 0 with living enemies close by; the defeat box is the last line on
# standard error; exit 0.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
STEP=40

play_mission defeat "DEFEAT !: Killed by enemies. Mission unsuccessful." "VICTORY !"

last=$(tail -n 1 "$trace")
[ "$(field "$last" health)" -eq 0 ] || fail "the last frame has health above 0: $last"
[ "$(field "$last" letters)" -eq 0 ] || fail "letters were collected: $last"
pos=$(field "$last" pos)
# Living enemies within the wake radius (640) of where the player fell.
near=$(field "$last" enemies | tr ';' '\n' | awk -F'[:,]' -v px="${pos%%,*}" -v pz="${pos##*,}" \
    '$2 != 16 && $3 > 0 && ($4-px)^2 + ($5-pz)^2 < 640^2 { n++ } END { print n + 0 }')
[ "$near" -ge 2 ] || fail "only $near living enemies near the player at the end: $last"
# The health only ever went down: no letter, no refill.
trace_values health | sort -c -n -r || fail "the health rose on the way"
echo "defeat: $(frames) frames of $STEP ms replayed in $GAME_SECONDS s; traces identical;" \
    "$near living enemies within 640 units at the end; exit 0"

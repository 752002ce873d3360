#!/usr/bin/env bash
# The real game replaying a script with a fixed step: it walks, looks and shoots for 80 frames,
# ends with exit code 0 and traces every frame; a mission-end box on standard error must agree
# with the trace.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
cd "$build"

cat > "$work/script.txt" <<'SCRIPT'
# walk forward, look right and up, shoot, sidestep, shoot again
0 key w down
10 mouse 50 0
20 mouse 0 -30
30 click left
40 key w up
41 key d down
60 key d up
61 click left
SCRIPT

SDL_VIDEODRIVER=offscreen run_game game --windowed --dialogs=stderr --fixed-step 20 --frames 80 \
  --script "$work/script.txt" --trace "$trace"
[ "$RC" -eq 0 ] || fail "exit code $RC"
[ -s "$trace" ] || fail "no trace written"
lines=$(frames)
last=$(tail -n 1 "$trace")

# A box ends the game early; otherwise all 80 frames ran.
if grep -q '^VICTORY !: Letters collected. Mission successful.$' "$work/game.err"; then
  [ "$(field "$last" letters)" = 5 ] || fail "victory box but the trace says: $last"
elif grep -q '^DEFEAT !: Killed by enemies. Mission unsuccessful.$' "$work/game.err"; then
  [ "$(field "$last" health)" = 0 ] || fail "defeat box but the trace says: $last"
else
  [ "$lines" -eq 80 ] || fail "$lines trace lines for 80 frames"
  echo "$last" | grep -qE '^frame=79 clock_ms=1600 pos=[-0-9.]+,[-0-9.]+,[-0-9.]+ view=' ||
    fail "last line: $last"
fi
# Every line in the agreed form, frames in order from 0.
grep -vqE '^frame=[0-9]+ clock_ms=[0-9]+ pos=(-?[0-9]+\.[0-9]{2},){2}-?[0-9]+\.[0-9]{2} view=(-?[0-9]+\.[0-9]{2},){2}-?[0-9]+\.[0-9]{2} health=[0-9]+ letters=[0-5] fps=[0-9]+ enemies=([0-9]+:[0-9]+:-?[0-9]+:-?[0-9]+\.[0-9]{2},-?[0-9]+\.[0-9]{2}(;|$))*$' \
  "$trace" && fail "malformed line: $(grep -vE '^frame=' "$trace" | head -1)"
[ "$(trace_values frame | tr '\n' ' ')" = "$(seq 0 $((lines - 1)) | tr '\n' ' ')" ] ||
  fail "frames out of order"
if [ "$lines" -ge 41 ]; then
  [ "$(field "$(trace_line 0)" pos)" != "$(field "$(trace_line 40)" pos)" ] || fail "walking forward moved nothing"
  [ "$(field "$(trace_line 9)" view)" != "$(field "$(trace_line 11)" view)" ] || fail "the mouse turned nothing"
fi
echo "$lines frames traced; exit 0; last: ${last:0:120}"

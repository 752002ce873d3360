#!/usr/bin/env bash
# The real game recording a live session in an X window, ended three ways:
#   SIGTERM and SIGINT close the window as its close button does: exit 0, and the recording's
#   last line is the close at the frame after the last traced one;
#   the X server ending under the game: a message on standard error, exit code 5, the recording
#   closed the same way, and played back it gives the live session's trace, line for line.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
start_xserver
mkdir -p "$work/run/Data"
for entry in "$build"/Data/*; do
  [ "$(basename "$entry")" = Setup.ini ] || ln -s "$entry" "$work/run/Data/"
done
echo "160 120 32" > "$work/run/Data/Setup.ini"
cd "$work/run"

# live NAME: the game recording and tracing a live session in the background. SIGINT is put
# back to its default: a background job of a script starts with it ignored, and the game
# leaves an ignored signal alone.
live() {
  trace="$work/$1.trace"
  env --default-signal=INT "$game" --windowed --dialogs=stderr --trace "$trace" \
    --record "$work/$1.rec" > "$work/$1.out" 2> "$work/$1.err" &
  pid=$!
  game_window
  wait_frames 5
}
# ended NAME: the game's exit code in RC; its recording must end with the close before the
# frame after the last traced one.
ended() {
  for _ in $(seq 1 400); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
  kill -0 "$pid" 2>/dev/null && fail "$1: still running 20 s later"
  RC=0
  wait "$pid" || RC=$?
  pid=""
  [ "$(tail -n 1 "$work/$1.rec")" = "$(frames) close" ] ||
    fail "$1: the recording ends with '$(tail -n 1 "$work/$1.rec")' after $(frames) frames"
}

for signal in TERM INT; do
  live "$signal"
  kill -s "$signal" "$pid"
  ended "$signal"
  [ "$RC" -eq 0 ] || fail "SIG$signal: exit code $RC"
done

live lost
kill -KILL "$XSERVER_PID"
wait "$XSERVER_PID" 2>/dev/null || true
trap cleanup_work EXIT # the server is gone already
ended lost
[ "$RC" -eq 5 ] || fail "the X server's end: exit code $RC"
grep -qxF "Error: the display is gone (the connection to the X server broke); the game ends" \
  "$work/lost.err" || fail "the X server's end was not said"
grep -q 'X connection\|XIO' "$work/lost.err" && fail "Xlib's own message came too"
SDL_VIDEODRIVER=offscreen run_game replay --windowed --dialogs=stderr --script "$work/lost.rec" \
  --trace "$work/replay.trace"
[ "$RC" -eq 0 ] || fail "the recording does not play back: exit code $RC"
cmp -s "$work/lost.trace" "$work/replay.trace" ||
  fail "the recording plays back another game: $(cmp "$work/lost.trace" "$work/replay.trace" 2>&1)"
echo "SIGTERM and SIGINT: exit 0, closed recordings; the X server's end after $(frames) frames:" \
  "said, exit 5, the recording closed and played back to the same trace"

#!/usr/bin/env bash
# The real game in a real X window: 30 frames end with exit code 0; the window's client area is
# the size of the settings; Escape ends the game with exit code 0.
set -euo pipefail
game=$1
build=$2
source "$(dirname "$0")/xserver.sh"
work=$(mktemp -d)
cleanup_work() { rm -rf "$work"; }
start_xserver
cd "$build"
export SDL_AUDIODRIVER=dummy

fail() { echo "FAIL: $*"; cat "$work"/err*.txt 2>/dev/null; exit 1; }

rc=0
"$game" --windowed --dialogs=stderr --frames 30 > "$work/out1.txt" 2> "$work/err1.txt" || rc=$?
[ "$rc" -eq 0 ] || fail "--frames 30 ended with exit code $rc"

"$game" --windowed --dialogs=stderr > "$work/out2.txt" 2> "$work/err2.txt" &
pid=$!
id=$(wait_for_game_window $pid) || { kill $pid 2>/dev/null; fail "the window never appeared"; }
sleep 0.3
xwininfo -id "$id" > "$work/win.txt"
# On a loaded machine the first key can reach the window before it has the focus: try again.
for _ in 1 2 3 4; do
  timeout 5 xdotool windowfocus --sync "$id" key Escape 2>/dev/null || true
  for _ in $(seq 1 100); do kill -0 $pid 2>/dev/null || break; sleep 0.05; done
  kill -0 $pid 2>/dev/null || break
done
kill $pid 2>/dev/null && fail "still running after Escape"
rc=0
wait $pid || rc=$?

grep -q 'Width: 800$' "$work/win.txt" && grep -q 'Height: 600$' "$work/win.txt" ||
  fail "client area is not 800 x 600: $(grep -E 'Width|Height' "$work/win.txt" | tr '\n' ' ')"
[ "$rc" -eq 0 ] || fail "Escape ended with exit code $rc"
echo "30 frames: exit 0; client area 800 x 600; Escape: exit 0"

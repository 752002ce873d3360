#!/usr/bin/env bash
# A display that cannot give the game a GL framebuffer says so and ends, after loading, without
# drawing: with the GL library out of reach (SDL_OPENGL_LIBRARY names a missing file) the window
# opens without GL, and the two pixel-format messages come in order, followed by the
# multitexturing one (no context, so nothing offers it). Mesa cannot be made to report a context
# older than GL 1.3, so the multitexturing decision itself is tested through the test backend.
set -euo pipefail
game=$(readlink -f "$1")
build=$(readlink -f "$2")
source "$(dirname "$0")/xserver.sh"
work=$(mktemp -d)
cleanup_work() { rm -rf "$work"; }
start_xserver
cd "$build"
export SDL_AUDIODRIVER=dummy

fail() { echo "FAIL: $*"; echo "--- stderr:"; cat "$work/err.txt" 2>/dev/null; exit 1; }

# run NAME ENV...: the game in a window with the given environment; its trace must stay empty.
run() {
  local rc=0
  rm -f "$work/trace.txt"
  env "$@" timeout 120 "$game" --windowed --dialogs=stderr --trace "$work/trace.txt" \
    > "$work/out.txt" 2> "$work/err.txt" || rc=$?
  [ "$rc" -eq 0 ] || fail "$* ended with exit code $rc"
  [ ! -s "$work/trace.txt" ] || fail "$* drew $(wc -l < "$work/trace.txt") frames"
}

run SDL_OPENGL_LIBRARY=/nonexistent/libGL.so.1
boxes=$( (grep '^Error: ' "$work/err.txt" || true) | head -n 3 | tr '\n' '|')
[ "$boxes" = "Error: ChoosePixelFormat failed|Error: SetPixelFormat failed|Error: Your current setup does not support multitexturing|" ] ||
  fail "no GL: the messages were $boxes"

echo "no GL library: ChoosePixelFormat failed, SetPixelFormat failed, then the multitexturing" \
  "message; exit 0, no frame drawn"

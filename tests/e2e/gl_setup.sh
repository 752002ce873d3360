#!/usr/bin/env bash
# A display that cannot give the game a GL framebuffer says so and ends, after loading, without
# drawing and with exit code 3 (could not start): with the GL library out of reach (SDL_OPENGL_LIBRARY names a missing file) the window
# opens without GL, and the two pixel-format messages come in order, followed by the
# multitexturing one (no context, so nothing offers it). Mesa cannot be made to report a context
# older than GL 1.3, so the multitexturing decision itself is tested through the test backend.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
start_xserver
cd "$build"

# The game in a window without its GL library; its trace must stay empty.
nogl=SDL_OPENGL_LIBRARY=/nonexistent/libGL.so.1
game_wrapper=(env "$nogl" timeout 120)
run_game game --windowed --dialogs=stderr --trace "$trace"
[ "$RC" -eq 3 ] || fail "$nogl ended with exit code $RC, not 3"
[ ! -s "$trace" ] || fail "$nogl drew $(frames) frames"
boxes=$( (grep '^Error: ' "$work/game.err" || true) | head -n 3 | tr '\n' '|')
[ "$boxes" = "Error: ChoosePixelFormat failed|Error: SetPixelFormat failed|Error: Your current setup does not support multitexturing|" ] ||
  fail "no GL: the messages were $boxes"

echo "no GL library: ChoosePixelFormat failed, SetPixelFormat failed, then the multitexturing" \
  "message; exit 3, no frame drawn"

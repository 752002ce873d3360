#!/usr/bin/env bash
# The real game under valgrind's memcheck on the generated level, drawn by SDL's offscreen driver
# (Mesa's software GL) with no sound device: no invalid read or write, no use of an undefined
# value, and no definite leak. Only what the GL driver and the system libraries own is suppressed
# (tests/valgrind/gl_driver.supp).
#
# Memcheck makes every frame about fifty times slower, so the test plays 30 frames in a 320 x 240
# window (the generated data, linked file by file, with its own Setup.ini); that covers loading,
# every drawing stage, the world update and shutdown in under a minute of CPU time.
# OSTRAVEL_MEMCHECK_FRAMES=200 runs the longer check.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
source_dir=${OSTRAVEL_SOURCE_DIR:-$(cd "$(dirname "$0")/../.." && pwd)}
count=${OSTRAVEL_MEMCHECK_FRAMES:-30}
fail_context() { tail -60 "$work/valgrind.txt" 2>/dev/null || true; }

# A sanitizer build carries its own allocator and shadow memory, which memcheck cannot run.
if grep -q '^OSTRAVEL_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" 2>/dev/null; then
  echo "memcheck: not run on the sanitizer build"; exit 77
fi
command -v valgrind > /dev/null || fail "valgrind is not installed (tools/deps.sh --test)"

mkdir "$work/run"
cp -rs "$build/Data" "$work/run/Data"
rm "$work/run/Data/Setup.ini"
echo "320 240 32" > "$work/run/Data/Setup.ini"
cd "$work/run"
# The rasteriser on the game's own thread: memcheck runs one thread at a time anyway.
export SDL_VIDEODRIVER=offscreen LP_NUM_THREADS=0
start=$(date +%s)
# --keep-debuginfo names the frames of the GL driver that is unloaded before the leak check, so
# the suppressions can match it by name.
game_wrapper=(valgrind --tool=memcheck --error-exitcode=97 --leak-check=full
  --show-leak-kinds=definite --errors-for-leak-kinds=definite --keep-debuginfo=yes
  --num-callers=40 --suppressions="$source_dir/tests/valgrind/gl_driver.supp"
  --log-file="$work/valgrind.txt")
run_game game --windowed --dialogs=stderr --frames "$count" --trace "$trace"
seconds=$(( $(date +%s) - start ))

[ "$RC" -ne 97 ] || fail "memcheck found errors"
[ "$RC" -eq 0 ] || fail "the game ended with exit code $RC"
# The generated data loads without a single message box, and every frame was played.
if grep -q '^Error: ' "$work/game.err"; then
  fail "loading the generated data showed messages"
fi
[ "$(frames)" -eq "$count" ] || fail "$(frames) of $count frames traced"
summary=$(grep -E 'ERROR SUMMARY' "$work/valgrind.txt" | tail -1 | sed 's/^==[0-9]*== //')
leaks=$(grep -E 'definitely lost:' "$work/valgrind.txt" | tail -1 | sed 's/^==[0-9]*== *//')
echo "memcheck, $count frames in ${seconds}s: $summary; ${leaks:-definitely lost: 0 bytes}"

#!/usr/bin/env bash
# Frame-time benchmark: in one run, on one private X server with Mesa's software renderer and
# the same 800x600 window, times the floor (ostravel_floor: clear and present only) and the game
# on the fixed tour of the generated level (bench/tour.txt), then prints both medians and their
# ratio. The game's own --stats line comes along for its other figures.
#
#   bench/run.sh [BUILD_DIR] [FLOOR_FRAMES]
#
# BUILD_DIR (default build/) must hold ostravel, ostravel_floor and the generated Data/.
# BENCH_CAPTURE=DIR also writes frames 0, 100, ..., 500 of the tour to DIR as BMPs, for a
# byte-for-byte comparison of the picture before and after a change (the timed run then carries
# the read-backs: time a separate run without it).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
floor_frames=${2:-600}
tour="$here/tour.txt"
tour_frames=600

for f in "$build/ostravel" "$build/ostravel_floor" "$build/Data/Levels/Level01.olv"; do
  [ -e "$f" ] || { echo "bench: missing $f (build the default preset first)" >&2; exit 1; }
done

source "$here/../tests/e2e/xserver.sh"
err=$(mktemp)
cleanup_work() { rm -f "$err"; }
start_xserver
# Mesa's llvmpipe whatever the machine offers, and no sound device needed.
export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe SDL_AUDIODRIVER=dummy
cd "$build"

floor_line=$(./ostravel_floor "$floor_frames")
captures=()
if [ -n "${BENCH_CAPTURE:-}" ]; then
  mkdir -p "$BENCH_CAPTURE"
  for n in 0 100 200 300 400 500; do
    captures+=(--capture "$n:$BENCH_CAPTURE/frame$n.bmp")
  done
fi
game_line=$(./ostravel --windowed --dialogs=stderr --fixed-step 16 --no-vsync \
  --frames "$tour_frames" --script "$tour" --stats "${captures[@]}" 2>"$err" | grep '^stats ') ||
  { echo "bench: the tour run gave no stats line:" >&2; tail -n 5 "$err" >&2; exit 1; }

field() { echo "$1" | grep -o " $2=[^ ]*" | cut -d= -f2; }
floor_ms=$(field " $floor_line" frame_ms_median)
game_ms=$(field "$game_line" frame_ms_median)
echo "$floor_line"
echo "$game_line"
awk -v f="$floor_ms" -v g="$game_ms" 'BEGIN {
  printf "floor_ms_median=%.3f game_ms_median=%.3f ratio=%.1f\n", f, g, (f > 0 ? g / f : 0) }'

#!/usr/bin/env bash
# Frame-time benchmark: in one run, on one private X server with Mesa's software renderer and a
# window of one size, times the floor (ostravel_floor: clear and present only) and the game on
# the fixed tour of the generated level (bench/tour.txt), then prints both medians and their
# ratio, and beside them the game's overdraw (window pixels drawn per window pixel, median over
# the frames). The game's own --stats line comes along for its other figures, the overdraw by
# stage among them.
#
#   bench/run.sh [--size WxH] [--render-scale S|auto] [--script FILE --frames N --step MS]
#                [BUILD_DIR] [FLOOR_FRAMES]
#
# BUILD_DIR (default build/) must hold ostravel, ostravel_floor and the generated Data/;
# BENCH_FLOOR=PROGRAM times another floor (bench/compare.sh gives both builds the same one).
# --size sets the window of the floor and the game alike (default 800x600, the game's default);
# the X screen is made large enough for it. --script plays another input script (a route from
# tools/route, say) for N frames of MS milliseconds instead of the tour. --render-scale gives the
# game that option (the floor always fills the whole window); its stats line then says the scale
# in use at the end and, under auto, how many steps the scale took.
# BENCH_STDERR=FILE keeps what the game wrote to standard error (a profiling build's report).
# BENCH_CAPTURE=DIR writes frames 0, 100, ..., 500 (those the run reaches) to DIR as BMPs, and
# every frame of the run, read back before each swap, to DIR/frames.rgba (bench/frame_dump.c,
# preloaded): run two builds and compare the files with cmp to prove a change leaves every pixel
# as it was (the timed run then carries the read-backs: time a separate run without it).
set -euo pipefail
case ${1:-} in -h | --help) sed -n '2,/^set -euo/{/^#/s/^# \{0,1\}//p}' "$0"; exit 0 ;; esac
here=$(cd "$(dirname "$0")" && pwd)
size=800x600
tour="$here/tour.txt"
tour_frames=600
step=16
scale_args=()
while [ $# -gt 0 ]; do
  case $1 in
    --size) size=$2; shift 2 ;;
    --script) tour=$(cd "$(dirname "$2")" && pwd)/$(basename "$2"); shift 2 ;;
    --frames) tour_frames=$2; shift 2 ;;
    --step) step=$2; shift 2 ;;
    --render-scale) scale_args=(--render-scale "$2"); shift 2 ;;
    -*) echo "bench: unknown option $1 (see bench/run.sh --help)" >&2; exit 2 ;;
    *) break ;;
  esac
done
[[ $size =~ ^([0-9]+)x([0-9]+)$ ]] || { echo "bench: --size takes WxH, not $size" >&2; exit 2; }
width=${BASH_REMATCH[1]}
height=${BASH_REMATCH[2]}
build=$(cd "${1:-$here/../build}" && pwd)
floor_frames=${2:-600}

floor=${BENCH_FLOOR:-$build/ostravel_floor}
for f in "$build/ostravel" "$floor" "$build/Data/Levels/Level01.olv"; do
  [ -e "$f" ] || { echo "bench: missing $f (build the default preset first)" >&2; exit 1; }
done

# The game reads its window size from Data/Setup.ini: a run directory shares the build's data
# but carries its own.
run=$(mktemp -d)
mkdir "$run/Data"
for entry in "$build"/Data/*; do
  [ "$(basename "$entry")" = Setup.ini ] || ln -s "$entry" "$run/Data/"
done
echo "$width $height 32" > "$run/Data/Setup.ini"

preload=()
if [ -n "${BENCH_CAPTURE:-}" ]; then
  mkdir -p "$BENCH_CAPTURE"
  BENCH_CAPTURE=$(cd "$BENCH_CAPTURE" && pwd)
  cc -O2 -shared -fPIC -o "$run/frame_dump.so" "$here/frame_dump.c" -ldl ||
    { echo "bench: cannot build the frame reader" >&2; exit 1; }
  preload=(env "LD_PRELOAD=$run/frame_dump.so" "BENCH_FRAMES_FILE=$BENCH_CAPTURE/frames.rgba")
fi

screen_w=$((width > 1280 ? width : 1280))
screen_h=$((height > 1024 ? height : 1024))
XSERVER_SCREEN="${screen_w}x${screen_h}x24"
source "$here/../tests/e2e/xserver.sh"
err=$(mktemp)
cleanup_work() { rm -rf "$err" "$run"; }
start_xserver
# Mesa's llvmpipe whatever the machine offers, and no sound device needed.
export LIBGL_ALWAYS_SOFTWARE=1 GALLIUM_DRIVER=llvmpipe SDL_AUDIODRIVER=dummy
cd "$run"

floor_line=$("$floor" "$floor_frames" "$width" "$height")
captures=()
if [ -n "${BENCH_CAPTURE:-}" ]; then
  # Only frames the run reaches: the game names a capture whose frame never came, exit code 4.
  for n in 0 100 200 300 400 500; do
    [ "$n" -lt "$tour_frames" ] || break
    captures+=(--capture "$n:$BENCH_CAPTURE/frame$n.bmp")
  done
fi
game_line=$("${preload[@]}" "$build/ostravel" --windowed --dialogs=stderr --fixed-step "$step" \
  --no-vsync --frames "$tour_frames" --script "$tour" --stats "${scale_args[@]}" "${captures[@]}" \
  2>"$err" |
  grep '^stats ') ||
  { echo "bench: the tour run gave no stats line:" >&2; tail -n 5 "$err" >&2; exit 1; }

[ -z "${BENCH_STDERR:-}" ] || cp "$err" "$BENCH_STDERR"
field() { echo "$1" | grep -o " $2=[^ ]*" | cut -d= -f2; }
floor_ms=$(field " $floor_line" frame_ms_median)
game_ms=$(field "$game_line" frame_ms_median)
echo "$floor_line"
echo "$game_line"
awk -v f="$floor_ms" -v g="$game_ms" -v s="$size" 'BEGIN {
  printf "size=%s floor_ms_median=%.3f game_ms_median=%.3f ratio=%.1f", s, f, g, (f > 0 ? g / f : 0) }'
overdraw=$(field "$game_line" overdraw || true)
[ -z "$overdraw" ] || printf ' overdraw=%s' "$overdraw"
scale=$(field "$game_line" render_scale || true)
if [ -n "$scale" ]; then
  echo " render_scale=$scale render_scale_auto=$(field "$game_line" render_scale_auto)"
else
  echo
fi

#!/usr/bin/env bash
# The game built for arm64 plays the same game as the x86-64 desktop, checked under qemu's
# user-mode emulator on an x86-64 machine:
#   1. the cross build (cmake --preset arm64: the game, the route tool, the tests) and the unit
#      tests run under qemu (ctest --preset arm64);
#   2. the arm64 data generator wrote the same Data/ as the desktop's, byte for byte;
#   3. the arm64 route tool plays the victory and the defeat to the same scripts and traces;
#   4. a session recorded live by the desktop game (under Xvfb, on the real clock) replays on the
#      arm64 game (offscreen, Mesa's llvmpipe) to the desktop's trace, byte for byte.
# The desktop's side comes from the default preset's build/, built here if it is missing.
#   tests/arm64/check.sh [FRAMES]   (FRAMES: length of the recording, default 300)
set -euo pipefail
cd "$(dirname "$0")/../.."
frames=${1:-300}
jobs=$(nproc)
say() { echo "arm64 check: $* (${SECONDS}s)"; }
fail() { echo "FAIL: $*"; exit 1; }

# quietly NAME COMMAND...: runs it with its output in build-arm64/NAME.log, shown if it fails.
quietly() {
  local log=build-arm64/$1.log
  shift
  mkdir -p build-arm64
  "$@" > "$log" 2>&1 || { tail -n 60 "$log"; fail "$*"; }
}

./tools/deps.sh --arm64
say "the desktop's build"
quietly host-configure cmake --preset default -DBUILD_TESTING=ON
quietly host-build cmake --build --preset default -j"$jobs" \
  --target ostravel ostravel_route gamedata
say "the cross build"
quietly configure cmake --preset arm64
quietly build cmake --build --preset arm64 -j"$jobs"
file build-arm64/ostravel | grep -q 'ARM aarch64' ||
  fail "build-arm64/ostravel is $(file -b build-arm64/ostravel)"
say "the unit tests under qemu"
quietly ctest ctest --preset arm64 -j"$jobs"
tail -n 3 build-arm64/ctest.log

say "the generated data"
diff -r build/Data build-arm64/Data || fail "the arm64 data generator wrote other bytes"
cmp build/Icons/ostravel.png build-arm64/Icons/ostravel.png

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
arm64=(qemu-aarch64-static -L /)
say "the route tool's victory and defeat, both builds side by side"
# Each tool reads the Data/ of its own build, from that directory.
route() { # route MODE ARCH COMMAND...
  local mode=$1 arch=$2
  shift 2
  "$@" --mode "$mode" --fixed-step 40 --script "$work/$mode.$arch.txt" \
    --trace "$work/$mode-trace.$arch.txt" > "$work/$mode.$arch.out" 2>&1
}
routes=()
for mode in victory defeat; do
  (cd build && route $mode x86-64 ./ostravel_route) &
  routes+=($!)
  (cd build-arm64 && route $mode arm64 "${arm64[@]}" ./ostravel_route) &
  routes+=($!)
done
for p in "${routes[@]}"; do
  wait "$p" || fail "a route tool ended with an error: $(cat "$work"/*.out)"
done
for mode in victory defeat; do
  cmp "$work/$mode.x86-64.txt" "$work/$mode.arm64.txt" || fail "the $mode scripts differ"
  cmp "$work/$mode-trace.x86-64.txt" "$work/$mode-trace.arm64.txt" || fail "the $mode traces differ"
  echo "$mode: $(wc -l < "$work/$mode-trace.arm64.txt") frames, the same script and trace"
done

# The victory route's opening inputs drive the live session (walking, turning, shooting), in the
# desktop's own window (Data/Setup.ini's) on the real clock.
awk -v n="$frames" '$1 < n' "$work/victory.x86-64.txt" > "$work/input.txt"
echo "$frames key escape down" >> "$work/input.txt"
say "a live session on the desktop, $frames frames"
export SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME=$work/desktop-config
cleanup_work() { rm -rf "$work"; }
# shellcheck source=tests/e2e/xserver.sh
source tests/e2e/xserver.sh
start_xserver
build/ostravel --windowed --dialogs=stderr --script "$work/input.txt" --record "$work/demo.txt" \
  --trace "$work/live.txt" > "$work/live.out" 2> "$work/live.err" ||
  { cat "$work/live.err"; fail "the live session"; }
grep -q ' step ' "$work/demo.txt" || fail "the recording holds no steps"
# The arm64 game in a small window (the player's own Setup.ini): the rules never see its size,
# and every pixel costs time under emulation.
export XDG_CONFIG_HOME=$work/config
mkdir -p "$XDG_CONFIG_HOME/ostravel"
echo "160 120 32" > "$XDG_CONFIG_HOME/ostravel/Setup.ini"
say "the recording replayed by the arm64 game"
SDL_VIDEODRIVER=offscreen "${arm64[@]}" build-arm64/ostravel --windowed --dialogs=stderr \
  --script "$work/demo.txt" --trace "$work/replay.txt" > "$work/replay.out" 2> "$work/replay.err" ||
  { cat "$work/replay.err"; fail "the arm64 replay"; }
if ! cmp "$work/live.txt" "$work/replay.txt"; then
  diff "$work/live.txt" "$work/replay.txt" | head -n 4 | cut -c1-200
  fail "the arm64 replay left the desktop's trace"
fi
steps=$(awk '$2 == "step" { print $3 }' "$work/demo.txt" | sort -n | sed -n '1p;$p' | paste -sd-)
say "$(wc -l < "$work/replay.txt") frames of a live recording (steps of $steps ms)" \
  "replayed to the same trace"

#!/usr/bin/env bash
# A paired timing of two builds on this machine: REF (any commit) and the working tree. REF is
# exported with git archive and built beside the tree (kept between calls, by commit); the tree
# builds in build/. Then the two take turns in ROUNDS rounds of bench/run.sh, the order swapped
# each round (REF first in odd rounds), so that a machine whose speed drifts slows both alike.
# Each round prints both medians, the floor measured just before each, each ratio to its floor,
# both peak memory sizes and the saving; the last line gives the medians over the rounds and the median saving.
#
#   bench/compare.sh REF [ROUNDS] [--size WxH] [--render-scale S|auto] [--ref-render-scale S|-]
#
# --render-scale times both builds at that scale; --ref-render-scale gives REF another one, where
# "-" passes it none (a REF from before the option draws at full size).
# Both games are timed against the working tree's floor program, which knows every size.
set -euo pipefail
case ${1:-} in -h | --help) sed -n '2,/^set -euo/{/^#/s/^# \{0,1\}//p}' "$0"; exit 0 ;; esac
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
[ $# -ge 1 ] || { echo "usage: bench/compare.sh REF [ROUNDS] [--size WxH]" >&2; exit 2; }
ref=$1
shift
rounds=5
if [ $# -gt 0 ] && [[ $1 =~ ^[0-9]+$ ]]; then
  rounds=$1
  shift
fi
size_args=()
new_args=()
ref_args=()
ref_set=0
while [ $# -gt 0 ]; do
  case $1 in
    --size) size_args=(--size "$2"); shift 2 ;;
    --render-scale) new_args=(--render-scale "$2"); shift 2 ;;
    --ref-render-scale)
      ref_set=1
      [ "$2" = - ] && ref_args=() || ref_args=(--render-scale "$2")
      shift 2 ;;
    *) echo "compare: unknown argument $1" >&2; exit 2 ;;
  esac
done
[ "$ref_set" -eq 1 ] || ref_args=("${new_args[@]}")
jobs=${COMPARE_JOBS:-2}

sha=$(git -C "$root" rev-parse --verify "$ref^{commit}") ||
  { echo "compare: $ref names no commit" >&2; exit 2; }
ref_src=${COMPARE_DIR:-${TMPDIR:-/tmp}/ostravel-compare}/${sha:0:12}
if [ ! -x "$ref_src/build/ostravel" ]; then
  echo "compare: building $ref (${sha:0:12}) in $ref_src"
  mkdir -p "$ref_src"
  git -C "$root" archive "$sha" | tar -x -C "$ref_src"
  cmake -S "$ref_src" -B "$ref_src/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF \
    > "$ref_src/configure.log"
  cmake --build "$ref_src/build" -j"$jobs" > "$ref_src/build.log" ||
    { tail -n 20 "$ref_src/build.log" >&2; exit 1; }
fi
echo "compare: building the working tree in $root/build"
[ -f "$root/build/CMakeCache.txt" ] || (cd "$root" && cmake --preset default > /dev/null)
cmake --build "$root/build" -j"$jobs" > /dev/null
export BENCH_FLOOR="$root/build/ostravel_floor"

field() { echo "$1" | grep -o "$2=[^ ]*" | cut -d= -f2; }
# One bench run of a build: "game_ms floor_ms peak_rss_mb"; arguments after the build go to
# bench/run.sh.
one_run() {
  local out build=$1
  shift
  out=$("$here/run.sh" "${size_args[@]}" "$@" "$build")
  echo "$(field "$out" game_ms_median) $(field "$out" floor_ms_median) $(field "$out" peak_rss_mb)"
}

results=$(mktemp)
trap 'rm -f "$results"' EXIT
for r in $(seq 1 "$rounds"); do
  if [ $((r % 2)) -eq 1 ]; then
    read -r ref_ms ref_floor ref_rss < <(one_run "$ref_src/build" "${ref_args[@]}")
    read -r new_ms new_floor new_rss < <(one_run "$root/build" "${new_args[@]}")
  else
    read -r new_ms new_floor new_rss < <(one_run "$root/build" "${new_args[@]}")
    read -r ref_ms ref_floor ref_rss < <(one_run "$ref_src/build" "${ref_args[@]}")
  fi
  echo "$ref_ms $new_ms $ref_floor $new_floor" >> "$results"
  awk -v r="$r" -v a="$ref_ms" -v b="$new_ms" -v fa="$ref_floor" -v fb="$new_floor" \
    -v ra="$ref_rss" -v rb="$new_rss" 'BEGIN {
    printf "round %d: ref %.3f ms (floor %.3f, ratio %.1f, peak %s MB)  new %.3f ms (floor %.3f," \
      " ratio %.1f, peak %s MB)  saving %.3f ms (%.1f %%)\n", r, a, fa, a / fa, ra, b, fb, b / fb,
      rb, a - b, 100 * (a - b) / a }'
done
sort_median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2 ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2) }'; }
ref_med=$(cut -d' ' -f1 "$results" | sort_median)
new_med=$(cut -d' ' -f2 "$results" | sort_median)
floor_med=$(cut -d' ' -f3,4 "$results" | tr ' ' '\n' | sort_median)
saving=$(awk '{ print $1 - $2 }' "$results" | sort_median)
awk -v n="$rounds" -v a="$ref_med" -v b="$new_med" -v f="$floor_med" -v s="$saving" 'BEGIN {
  printf "compare: %d rounds: ref median %.3f ms, new median %.3f ms, floor %.3f ms (ratios %.1f and %.1f); median saving %.3f ms a frame\n",
    n, a, b, f, a / f, b / f, s }'

#!/usr/bin/env bash
# Runs every fuzz target for SECONDS seconds each (default 60), seeded from fuzz/seeds/ and the
# generated game data. Fails on any crash, leak or undefined behaviour.
#
#   fuzz/run.sh [SECONDS]
set -euo pipefail
case ${1:-} in -h | --help) sed -n '2,/^set -euo/{/^#/s/^# \{0,1\}//p}' "$0"; exit 0 ;; esac
cd "$(dirname "$0")/.."
seconds=${1:-60}
[[ $seconds =~ ^[0-9]+$ ]] || { echo "usage: fuzz/run.sh [SECONDS] (see --help)" >&2; exit 2; }
cmake --preset fuzz >/dev/null
# Only the fuzz targets (and the game library under them): the game, its tools and data are
# built by the other presets.
targets=$(cd fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//')
# shellcheck disable=SC2086
cmake --build --preset fuzz -j"$(nproc)" --target $targets >/dev/null
data=build/Data
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Seeds: the hand-made ones, plus every generated file of the kind each reader takes.
seed_dir() {
  local name=$1; shift
  local dir="$work/$name"
  mkdir -p "$dir"
  [ -d "fuzz/seeds/$name" ] && cp -r "fuzz/seeds/$name/." "$dir/"
  for pattern in "$@"; do
    find "$data" -iname "$pattern" -size -300k -exec cp {} "$dir/" \; 2>/dev/null || true
  done
  echo "$dir"
}

status=0
for target in build-fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  name=$(basename "$target"); name=${name#fuzz_}
  case $name in
    bmp) corpus=$(seed_dir bmp '*.bmp') ;;
    md2) corpus=$(seed_dir md2 '*.md2') ;;
    level) corpus=$(seed_dir level '*.olv') ;;
    settings) corpus=$(seed_dir settings '*.ini') ;;
    height_map) corpus=$(seed_dir height_map) ;;
    *) corpus=$(seed_dir "$name") ;;
  esac
  log="$work/$name.log"
  # Absolute: some targets work in a scratch directory of their own.
  artifacts=$PWD/build-fuzz/artifacts
  mkdir -p "$artifacts"
  if "$target" -max_total_time="$seconds" -rss_limit_mb=1024 -max_len=65536 \
       -artifact_prefix="$artifacts/" \
       -print_final_stats=1 "$corpus" < /dev/null > "$log" 2>&1; then
    runs=$(grep -E '^stat::number_of_executed_units' "$log" | awk '{print $2}')
    echo "fuzz $name: ${runs:-?} executions in ${seconds}s, no finding"
  else
    echo "fuzz $name: FINDING"; tail -40 "$log"; status=1
  fi
done
exit $status

#!/usr/bin/env bash
# The render scale: the same walk through the field (the benchmark's tour, fixed step) played at
# full size, at half size (asked in the player's ostravel.conf) and under the automatic scale
# (asked on the command line). The rules never see the scale: the three traces are the same line
# for line. The half-size frame is the window's size, its health text has the very pixels of the
# full-size frame (the overlay is drawn after the stretch, at the window's own size), and its
# world matches the full-size one within the blur of drawing a quarter of the pixels.
# Then as a player sets it up, with no test option: render_scale = auto in ostravel.conf, a
# 1920x1080 window from Setup.ini, no --stats, no fixed step, no script, on an X server; within
# 20 s the window's title names a scale below 1.0.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
{ command -v convert && command -v compare; } > /dev/null ||
  fail "ImageMagick's convert and compare are needed (package imagemagick)"
command -v xdotool > /dev/null || fail "xdotool is needed (package xdotool)"
tour=$(readlink -f "$(dirname "$0")/../../bench/tour.txt")
mkdir -p "$work/run/Data"
for entry in "$build"/Data/*; do
  [ "$(basename "$entry")" = Setup.ini ] || ln -s "$entry" "$work/run/Data/"
done
echo "400 300 32" > "$work/run/Data/Setup.ini"
cd "$work/run"
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME/ostravel"
frames=120
last=$((frames - 1))

play() {
  local name=$1
  shift
  SDL_VIDEODRIVER=offscreen run_game "$name" --windowed --dialogs=stderr --fixed-step 16 \
    --script "$tour" --frames "$frames" --trace "$work/$name.txt" --stats \
    --capture "$last:$work/$name.bmp" "$@"
  [ "$RC" -eq 0 ] || fail "the $name run ended with exit code $RC"
}
stat_field() { grep -o " $2=[^ ]*" "$work/$1.out" | cut -d= -f2; }

play full
echo "render_scale = 0.5" > "$XDG_CONFIG_HOME/ostravel/ostravel.conf"
play half
rm "$XDG_CONFIG_HOME/ostravel/ostravel.conf"
play auto --render-scale auto

[ "$(stat_field full render_scale)" = 1.00 ] || fail "the full-size run drew at $(stat_field full render_scale)"
[ "$(stat_field half render_scale)" = 0.50 ] || fail "ostravel.conf's render_scale = 0.5 drew at $(stat_field half render_scale)"
[ "$(stat_field auto render_scale_auto)" = yes ] || fail "--render-scale auto was not automatic"
for run in half auto; do
  diff "$work/full.txt" "$work/$run.txt" > "$work/diff.txt" ||
    fail "the $run run's trace differs from the full-size one: $(head -n 4 "$work/diff.txt")"
done
[ "$(wc -l < "$work/full.txt")" -eq "$frames" ] || fail "the trace holds $(wc -l < "$work/full.txt") frames"

[ "$(bmp_size "$work/half.bmp")" = 400x300 ] || fail "the half-size frame is $(bmp_size "$work/half.bmp")"
# The health text's box (at the lower-left corner, 2 pixels up, 16 high): the text adds its red
# to the world below it, so its pixels are those where red exceeds green by 30 % of full scale
# (grass, sky and soldiers never do). They are the same at both scales, to 2 % (an edge pixel
# over a differently blurred ground); a text drawn small and stretched with the world moves
# nearly all of them.
glyphs() {
  convert "$work/$1.bmp" -crop 120x16+0+282 +repage -fx 'r - g > 0.3 ? 1 : 0' -threshold 50% \
    "$work/$1-glyphs.pbm"
}
glyphs full
glyphs half
lit=$(convert "$work/full-glyphs.pbm" -format '%[fx:round(mean * w * h)]' info:)
[ "$lit" -gt 100 ] || fail "only $lit pixels of health text in the full-size frame"
moved=$(compare -metric AE "$work/full-glyphs.pbm" "$work/half-glyphs.pbm" null: 2>&1 || true)
[ "$((moved * 50))" -le "$lit" ] || fail "$moved of the health text's $lit pixels differ at half size"
# The whole picture: the mean difference per channel, in units of 1/255. Drawn at half size and
# stretched, edges and fine texture blur; a misplaced or missing stretch (a corner only, the
# picture upside down, a black world) differs by far more.
error=$(compare -metric MAE "$work/full.bmp" "$work/half.bmp" null: 2>&1 | awk '{ print $1 / 257 }' || true)
awk -v e="$error" 'BEGIN { exit !(e > 0.5 && e < 5) }' ||
  fail "the half-size frame differs from the full-size one by $error a channel on average (expected 0.5 ... 5)"
echo "traces of $frames frames identical at 1.0, 0.5 and auto (auto ended at" \
  "$(stat_field auto render_scale)); the half-size frame is 400x300, its health text as at" \
  "full size ($moved of $lit pixels differ), its picture $error/255 a channel from the full-size one"

echo "1920 1080 32" > "$work/run/Data/Setup.ini"
echo "render_scale = auto" > "$XDG_CONFIG_HOME/ostravel/ostravel.conf"
XSERVER_SCREEN=1920x1080x24 start_xserver
started=$SECONDS
start_game player --windowed --dialogs=stderr
game_window
title="" scale=""
while [ $((SECONDS - started)) -lt 20 ]; do
  title=$(xdotool getwindowname "$id" 2>/dev/null || true)
  scale=$(echo "$title" | sed -n 's/.*Render scale: \([0-9.]*\) (auto).*/\1/p')
  [ -n "$scale" ] && awk -v s="$scale" 'BEGIN { exit !(s < 1) }' && break
  sleep 0.2
done
took=$((SECONDS - started))
quit_game
awk -v s="${scale:-1}" 'BEGIN { exit !(s < 1) }' ||
  fail "with render_scale = auto at 1920x1080 the title still read \"$title\" after 20 s"
echo "as a player sets it (ostravel.conf, 1920x1080, no --stats): the title read \"$title\"" \
  "after ${took} s"

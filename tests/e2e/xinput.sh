#!/usr/bin/env bash
# Real input under X: the game runs with live clocks and real keyboard and mouse events sent
# with xdotool, and the trace tells what they did. In order: the "Options" box is answered No
# with Escape, and the first frame looks along +z wherever the pointer was; holding W walks forward; moving the mouse turns the view; a click fires a shot
# (its samples reach the audio output, silent until then); while another window has the focus
# the game leaves the cursor alone and its view still, and takes no turn from the jump when the
# focus comes back; F12 writes numbered screenshots and says so in the title; Escape ends the
# game with exit code 0.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
start_xserver
# Screenshots go to the working directory: a scratch one that sees the generated data.
ln -s "$build/Data" "$work/Data"
cd "$work"
export SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$work/audio.raw"
# The player's own directories, empty: screenshots must make theirs when first needed.
export XDG_DATA_HOME="$work/home-data" XDG_CONFIG_HOME="$work/home-config"
shots="$XDG_DATA_HOME/ostravel/screenshots"

# Heading of a trace line's view in radians, atan2(dx, dz): turning left makes it grow.
heading() {
  awk -v p="$(field "$1" pos)" -v v="$(field "$1" view)" 'BEGIN {
    split(p, a, ","); split(v, b, ","); printf "%.4f\n", atan2(b[1] - a[1], b[3] - a[3]) }'
}

start_game game --trace "$trace"

# The full-screen question: SDL's box is its own X window, named after its caption.
box=""
for _ in $(seq 1 400); do
  box=$(xwininfo -root -tree | grep -E '"Options"' | awk '{print $1}' | head -n 1 || true)
  [ -n "$box" ] && break
  kill -0 "$pid" 2>/dev/null || fail "the game ended before asking"
  sleep 0.05
done
[ -n "$box" ] || fail "no \"Options\" box"
sleep 0.3
xdotool key --window "$box" Escape

id=$(wait_for_game_window "$pid") ||
  fail "no game window after answering No; the windows: $(xwininfo -root -tree | grep -v '(has no name)')"
xdotool windowfocus --sync "$id"
wait_frames 10
read -r ox oy width height < <(place)
[ "$width x $height" = "800 x 600" ] || fail "answering No did not give the 800 x 600 window"
first=$(head -n 1 "$trace")
awk -v p="$(field "$first" pos)" -v v="$(field "$first" view)" 'BEGIN {
  split(p, a, ","); split(v, b, ","); exit !(b[1] == a[1] && b[3] - a[3] == 1) }' ||
  fail "the first frame does not look along +z from the start: $(echo "$first" | cut -c1-80)"
centre="x:$((ox + 400)) y:$((oy + 300))"

# Holding W for a second and a half walks along the view.
before=$(last_line)
xdotool keydown w
sleep 1.5
xdotool keyup w
wait_frames 3
after=$(last_line)
walked=$(awk -v p="$(field "$before" pos)" -v v="$(field "$before" view)" \
             -v q="$(field "$after" pos)" 'BEGIN {
  split(p, a, ","); split(v, b, ","); split(q, c, ",")
  printf "%.1f\n", (c[1] - a[1]) * (b[1] - a[1]) + (c[3] - a[3]) * (b[3] - a[3]) }')
awk -v d="$walked" 'BEGIN { exit !(d > 20) }' ||
  fail "holding W moved $walked units along the view (from $(field "$before" pos) to $(field "$after" pos))"

# 100 pixels to the right turn the view 0.1 rad to the right.
before=$(last_line)
xdotool mousemove_relative -- 100 0
wait_frames 5
after=$(last_line)
turn=$(awk -v a="$(heading "$before")" -v b="$(heading "$after")" 'BEGIN { printf "%.3f\n", b - a }')
awk -v t="$turn" 'BEGIN { exit !(t < -0.08 && t > -0.12) }' ||
  fail "moving the mouse 100 pixels right turned the view by $turn rad"
[ "$(pointer)" = "$centre" ] || fail "the cursor was not re-centred: $(pointer), centre $centre"

# A click: the audio output is silent up to the click and carries the shot after it.
sleep 0.3
silent=$(stat -c %s "$work/audio.raw")
[ "$silent" -gt 0 ] || fail "no audio output written"
cmp -s -n "$silent" "$work/audio.raw" /dev/zero || fail "the audio output was not silent before the click"
xdotool click 1
sleep 1
loud=$(tail -c +$((silent + 1)) "$work/audio.raw" | tr -d '\0' | wc -c)
[ "$loud" -gt 1000 ] || fail "only $loud non-zero audio bytes after the click"

# Another window takes the focus: the cursor stays where the player puts it, the view stays.
xmessage -geometry +900+700 "another window" &
other=$!
otherid=""
for _ in $(seq 1 200); do
  otherid=$(xdotool search --name '^xmessage$' 2>/dev/null | head -n 1 || true)
  [ -n "$otherid" ] && break
  sleep 0.05
done
[ -n "$otherid" ] || fail "xmessage did not start"
xdotool windowfocus --sync "$otherid"
wait_frames 3
before=$(last_line)
xdotool mousemove 1000 750
wait_frames 10
[ "$(pointer)" = "x:1000 y:750" ] || fail "the cursor was warped without the focus: $(pointer)"
xdotool mousemove 300 200
wait_frames 10
[ "$(pointer)" = "x:300 y:200" ] || fail "the cursor was warped without the focus: $(pointer)"
during=$(last_line)
[ "$(field "$before" view)" = "$(field "$during" view)" ] ||
  fail "the view turned without the focus: $(field "$before" view) to $(field "$during" view)"
# Back to the game: the cursor is centred and the jump from (300, 200) turns nothing.
xdotool windowfocus --sync "$id"
wait_frames 10
back=$(last_line)
[ "$(field "$before" view)" = "$(field "$back" view)" ] ||
  fail "the focus coming back turned the view: $(field "$before" view) to $(field "$back" view)"
[ "$(pointer)" = "$centre" ] || fail "the cursor is not centred with the focus back: $(pointer)"
kill "$other" 2>/dev/null || true
other=""

# F12: a PNG under the player's data directory, a note in the title for a moment naming it, then
# a second one beside it; nothing in the working directory.
title() { xprop -id "$id" WM_NAME | sed 's/^WM_NAME([^)]*) = //'; }
# Width and height of a PNG from its IHDR chunk (big-endian, bytes 16 to 23).
png_size() {
  od -An -tu1 -j16 -N8 "$1" | awk '{print $1*16777216+$2*65536+$3*256+$4, $5*16777216+$6*65536+$7*256+$8}'
}
xdotool key F12
noted=""
for _ in $(seq 1 100); do
  t=$(title)
  case "$t" in *"Screenshot saved: $shots/ostravel-"[0-9]*-[0-9]*.png*) noted=$t; break ;; esac
  sleep 0.05
done
[ -n "$noted" ] || fail "the title never named the saved screenshot: $(title)"
first=$(ls "$shots")
[ "$(echo "$first" | wc -l)" -eq 1 ] || fail "expected one screenshot, found: $first"
echo "$noted" | grep -qF "$shots/$first" || fail "the title names another file: $noted"
[ "$(head -c 8 "$shots/$first" | od -An -tx1 | tr -d ' ')" = "89504e470d0a1a0a" ] ||
  fail "$first is not a PNG file"
[ "$(png_size "$shots/$first")" = "800 600" ] || fail "$first is $(png_size "$shots/$first"), not 800 x 600"
cleared=""
for _ in $(seq 1 200); do
  t=$(title)
  case "$t" in "\"Frames Per Second: "[0-9]*\") cleared=$t; break ;; esac
  sleep 0.05
done
[ -n "$cleared" ] || fail "the note stayed in the title: $(title)"
xdotool key F12
for _ in $(seq 1 100); do [ "$(ls "$shots" | wc -l)" -eq 2 ] && break; sleep 0.05; done
[ "$(ls "$shots" | wc -l)" -eq 2 ] || fail "the second screenshot is missing: $(ls "$shots")"
[ -z "$(ls "$work" | grep -i '\.\(bmp\|png\)$')" ] || fail "a screenshot landed in the working directory"

# Escape: exit code 0.
quit_game
[ "$RC" -eq 0 ] || fail "Escape ended the game with exit code $RC"
grep -v "^CRITICAL: " "$work/game.err" && fail "unexpected messages on standard error"
echo "Options answered No (800 x 600 window); W walked $walked units along the view;" \
  "100 px right turned $turn rad; the click's shot reached the audio output ($loud bytes);" \
  "without the focus no warp and no turn, none on return; F12 wrote two 800 x 600 PNG files" \
  "under \$XDG_DATA_HOME/ostravel/screenshots with the title note ($noted); Escape: exit 0"

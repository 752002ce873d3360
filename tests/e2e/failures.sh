#!/usr/bin/env bash
# The real game on broken data: each case copies the generated Data/ into a scratch directory,
# breaks one thing, runs the game there and compares its standard output, its standard error
# (message boxes go there as "CAPTION: TEXT") and its exit code line by line. Where the game is
# to go on without the broken piece, the trace shows that it did.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
start_xserver

# An empty input script: live input is ignored, so a stray pointer under X turns no view.
echo "# no input" > "$work/quiet.txt"
failures=0
failed_cases=" "
nl=$'\n'
# What a run that reached the sound prints: the loading line and a blank line.
loaded="Loading the song...$nl$nl"
# Before the first problem with the data: which Data/ was read (CASE: the case's directory).
read_from="ostravel: reading the game's data from CASE/Data$nl"

# run_case NAME RC 'SETUP' 'STDOUT LINES' 'STDERR LINES' [OPTIONS...]
# SETUP and the game run in the case's directory $work/NAME; each list of lines ends in a newline
# ("" for none).
run_case() {
  local name=$1 rc_want=$2 setup=$3 out_want=$4 err_want=$5
  shift 5
  local dir="$work/$name"
  mkdir -p "$dir"
  cp -r "$build/Data" "$dir/Data"
  (cd "$dir" && eval "$setup")
  cd "$dir"
  run_game "$name" --dialogs=stderr --frames 5 --fixed-step 20 --script "$work/quiet.txt" \
    --trace trace.txt "$@"
  cd "$work"
  local rc=$RC
  printf '%s' "$out_want" > "$dir/out.want"
  printf '%s' "${err_want//CASE/$dir}" > "$dir/err.want"
  local bad=""
  [ "$rc" -eq "$rc_want" ] || bad="exit code $rc, not $rc_want"
  diff -u "$dir/out.want" "$work/$name.out" > "$dir/out.diff" || bad="$bad; standard output differs"
  diff -u "$dir/err.want" "$work/$name.err" > "$dir/err.diff" || bad="$bad; standard error differs"
  if [ -n "$bad" ]; then
    echo "FAIL $name: ${bad#; }"
    cat "$dir/out.diff" "$dir/err.diff"
    failures=$((failures + 1))
    failed_cases="$failed_cases$name "
    return 0
  fi
  echo "ok   $name (exit $rc)"
}

# trace_check NAME 'DESCRIPTION' 'SHELL TEST ON $trace' (skipped when the case failed already);
# the lib's trace helpers read the case's trace.
trace_check() {
  local trace="$work/$1/trace.txt"
  [[ "$failed_cases" != *" $1 "* ]] || return 0
  if ! eval "$3"; then
    echo "FAIL $1: $2"
    head -c 400 "$trace" 2>/dev/null || echo "(no trace)"
    failures=$((failures + 1))
  fi
}
enemy_count() { field "$(trace_line 0)" enemies | tr ';' '\n' | grep -c : || true; }

# Patches one byte of a file in place: patch_byte FILE OFFSET OCTAL.
patch_byte() { printf "\\$3" | dd of="$1" bs=1 seek="$2" conv=notrunc status=none; }

# The generated data as it is: no message at all, five frames.
run_case intact 0 ':' "$loaded" "" --windowed
trace_check intact "five frames, ten enemies" \
    '[ "$(frames)" -eq 5 ] && [ "$(enemy_count)" -eq 10 ]'

# Missing height map: flat ground at 0, the eye 50 above it at the origin, the game plays on.
run_case no_height_map 0 'rm Data/Terrains/Terrain.raw' "$loaded" \
  "${read_from}Error: Can't find the height map!$nl" --windowed
trace_check no_height_map "the camera does not start at (0, 50, 0) looking along +z" \
    'grep -q "^frame=0 clock_ms=20 pos=0.00,50.00,0.00 view=0.00,50.00,1.00 " "$trace" &&
     [ "$(frames)" -eq 5 ]'

# Missing textures: a fixed one, a model's skin; and one with a header the reader refuses.
run_case no_blood_texture 0 'rm Data/Blood.bmp' "$loaded" \
  "${read_from}Error: Unable to load BMP File!$nl" --windowed
run_case no_skin_texture 0 'rm Data/Models/Letters/T.bmp' "$loaded" \
  "${read_from}Error: Unable to load BMP File!$nl" --windowed
run_case v4_bitmap_header 0 'patch_byte Data/Skies/SkyBox01/Cloud.bmp 14 154' \
  "$loaded" "${read_from}Error: Unknown DIB file format.$nl" --windowed
for name in no_blood_texture no_skin_texture v4_bitmap_header; do
  trace_check $name "the game did not play on" '[ "$(frames)" -eq 5 ]'
done

# Models: one missing, one of version 7, one without skins whose level entry names none; each
# is reported once and the rest of the level is in place.
run_case no_model 0 'rm Data/Models/Letters/K.md2' "$loaded" \
  "${read_from}Error: Unable to find the file: K.md2!$nl" --windowed
run_case model_version_7 0 'patch_byte Data/Models/Letters/E.md2 4 007' \
  "$loaded" "${read_from}Error: Invalid file format (Version not 8): E.md2!$nl" --windowed
run_case model_needs_skin_name 0 \
  'patch_byte Data/Models/Letters/R.md2 20 000
   sed -i "s/^13 Letters R.md2 R.bmp /13 Letters R.md2 NULL /" Data/Levels/Level01.olv' \
  "$loaded" "${read_from}Error: Invalid file format (No skin name): R.md2!$nl" --windowed
run_case no_weapon_model 0 'rm Data/Models/Soldier/Weapon.md2' "$loaded" \
  "$read_from$(for _ in $(seq 10); do echo "Error: Unable to find the file: Weapon.md2!"; done)$nl" --windowed
for name in no_model model_version_7 model_needs_skin_name no_weapon_model; do
  trace_check $name "the rest of the level is not in place" \
    '[ "$(frames)" -eq 5 ] && [ "$(enemy_count)" -eq 10 ]'
done

# Missing level file: the player is told, and the game starts with an empty world.
run_case no_level 0 'rm Data/Levels/Level01.olv' "$loaded" \
  "${read_from}Error: Unable to find the level file: Data/Levels/Level01.olv!$nl" --windowed
trace_check no_level "the world is not empty" \
    '[ "$(frames)" -eq 5 ] && grep -q " letters=0 fps=[0-9]* enemies=$" "$trace"'

# A level entry with id 1000 is skipped with a message; the other entries stay.
run_case level_id_1000 0 \
  'echo "1000 Letters K.md2 K.bmp 0 NULL NULL -350.0 45.0 900.0 0.0 1.0 0" >> Data/Levels/Level01.olv' \
  "$loaded" \
  "${read_from}Error: Object 1000 of the level file Data/Levels/Level01.olv is skipped: ids go up to 999!$nl" \
  --windowed
trace_check level_id_1000 "the other entries are not in place" \
    '[ "$(frames)" -eq 5 ] && [ "$(enemy_count)" -eq 10 ]'

# The shot sound missing, empty or not a sound: exit code 1 after loading, before any frame.
run_case no_shot_sound 1 'rm Data/Sounds/Shot.wav' \
  "${loaded}File not found$nl" "$read_from" --windowed
run_case empty_shot_sound 1 ': > Data/Sounds/Shot.wav' \
  "${loaded}Unknown file format$nl" "$read_from" --windowed
run_case not_riff_shot_sound 1 'printf JUNK | dd of=Data/Sounds/Shot.wav conv=notrunc status=none' \
  "${loaded}Unknown file format$nl" "$read_from" --windowed
for name in no_shot_sound empty_shot_sound not_riff_shot_sound; do
  trace_check $name "frames ran" '[ "$(frames)" -eq 0 ]'
done

# No settings file: said on standard error; the game plays in an 800 x 600 window.
run_case no_settings 0 'rm Data/Setup.ini' "$loaded" \
  "${read_from}Data/Setup.ini: 0 of 3 settings read; using 800x600x32 for the rest$nl" \
  --windowed --capture 4:frame.bmp
trace_check no_settings "no 800 x 600 frame" \
    '[ "$(frames)" -eq 5 ] &&
     [ "$(bmp_size "$work/no_settings/frame.bmp")" = 800x600 ]'

# Full screen at a size no display offers: the message, the world loads (the sound is the last
# thing loaded), and the game ends with exit code 3 (could not start) before drawing a frame.
run_case impossible_mode 3 'echo "7777 7777 32" > Data/Setup.ini' "$loaded" \
  "Error: Display Mode Not Compatible$nl" --fullscreen
trace_check impossible_mode "frames were drawn" '[ "$(frames)" -eq 0 ]'

# No display to reach (DISPLAY unset, or a display number nobody serves; no driver named): the
# game says so and ends with exit code 3 (could not start) at once, drawing nothing, instead of
# running unseen.
for display in "" :4093; do
  trace="$work/no_display.trace"
  rm -f "$trace"
  if [ -z "$display" ]; then
    game_wrapper=(env -u SDL_VIDEODRIVER -u WAYLAND_DISPLAY -u DISPLAY timeout 60)
  else
    game_wrapper=(env -u SDL_VIDEODRIVER -u WAYLAND_DISPLAY DISPLAY=$display timeout 60)
  fi
  run_game no_display --windowed --dialogs=stderr --trace "$trace"
  if [ "$RC" -ne 3 ] || ! grep -qx "SDL video: no display to open a window on (DISPLAY=$display)" \
       "$work/no_display.err" || [ "$(frames)" -ne 0 ]; then
    echo "FAIL no_display (DISPLAY=$display): exit code $RC, $(frames) frames:"
    cat "$work/no_display.err"
    failures=$((failures + 1))
  else
    echo "ok   no_display (DISPLAY=$display, exit $RC)"
  fi
done

[ "$failures" -eq 0 ] || { echo "$failures failure case(s) failed"; exit 1; }
echo "every broken-data case gave its exact lines and exit code"

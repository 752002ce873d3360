#!/usr/bin/env bash
# What the player asked the game to keep, when the disk or the path lets it down, through the
# real game replaying a short script with a fixed step (no display needed):
#   every file the game writes, onto /dev/full, and a capture of a frame past the last: one
#   "Error:" line naming the file and the system's reason, every frame still played, exit code 4;
#   a recording and a trace cut short by a full disk: each said once, each ends at a whole line,
#   the trace is the start of the uncut run's, and the recording replays that start exactly; a
#   capture on the full disk is said and removed (a 16 KiB tmpfs where the test runs as root and
#   may mount; elsewhere a file-size limit makes the same cut, "File too large", and the test
#   says which one ran);
#   a directory where the game reads a file: refused with a message naming it;
#   a game that does not start leaves an earlier recording as it was;
#   the installed game reads its own data beside an empty Data/; the build's game reads that one
#   and names it first.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
export SDL_VIDEODRIVER=offscreen

# A 160 x 120 window over the build's data: the frames are quick, and the rules do not look at
# the window's size.
mkdir -p "$work/run/Data"
for entry in "$build"/Data/*; do
  [ "$(basename "$entry")" = Setup.ini ] || ln -s "$entry" "$work/run/Data/"
done
echo "160 120 32" > "$work/run/Data/Setup.ini"
cd "$work/run"
# Walking, turning a little every frame (so the recording grows by a line or two a frame) and
# shooting.
{
  echo "0 key w down"
  for i in $(seq 0 199); do echo "$i mouse $((i % 2 ? -3 : 4)) 0"; done
  echo "8 click left"
  echo "45 click left"
} | sort -n -s -k1,1 > "$work/script.txt"
play=(--windowed --dialogs=stderr --fixed-step 40 --seed 7 --script "$work/script.txt")
# errors NAME: the run's "Error:" lines.
errors() { grep '^Error: ' "$work/$1.err" || true; }

# ---- every written file onto /dev/full, and a capture the game ends before ----
ln -s /dev/full "$work/full.png"
mkdir -p "$work/shots"
# name | options | the one message
rows=(
  "recording|--record /dev/full|cannot write the recording /dev/full: No space left on device"
  "trace|--trace /dev/full|cannot write the trace /dev/full: No space left on device"
  "bmp capture|--capture 3:/dev/full|cannot write the capture /dev/full: No space left on device"
  "png capture|--capture 3:$work/full.png|cannot write the capture $work/full.png: No space left on device"
  "screenshot|--script $work/f12.txt|screenshot failed: cannot create /dev/full/ostravel/screenshots: Not a directory"
  "late capture|--capture 12:$work/late.bmp|the capture $work/late.bmp was not written: the game ended before frame 12"
)
echo "2 key f12 down" > "$work/f12.txt"
for row in "${rows[@]}"; do
  IFS='|' read -r name options message <<< "$row"
  # shellcheck disable=SC2086 # (the options are words)
  XDG_DATA_HOME=/dev/full run_game full "${play[@]}" --frames 10 --stats $options
  [ "$RC" -eq 4 ] || fail "$name onto /dev/full: exit code $RC"
  [ "$(errors full)" = "Error: $message" ] || fail "$name onto /dev/full said: $(errors full)"
  grep -q '^stats frames=10 ' "$work/full.out" || fail "$name onto /dev/full: not all 10 frames played"
done
echo "/dev/full and a late capture: ${#rows[@]} files, each said once with its reason, 10 frames" \
  "played, exit 4"

# ---- a recording and a trace cut short ----
run_game whole "${play[@]}" --frames 200 --trace "$work/whole.trace"
[ "$RC" -eq 0 ] && [ "$(wc -l < "$work/whole.trace")" -eq 200 ] || fail "the uncut run: exit $RC"

cut_dir=""
if [ "$(id -u)" -eq 0 ] && ! command -v mount > /dev/null && [ "${CI:-}" = true ]; then
  fail "no mount command for the full tmpfs (install mount)"
fi
if [ "$(id -u)" -eq 0 ] && mkdir -p "$work/tmpfs" &&
   mount -t tmpfs -o size=16k ostravel-test "$work/tmpfs" 2> "$work/mount.err"; then
  cut_dir="$work/tmpfs"
  trap 'umount "$work/tmpfs"; cleanup_work' EXIT
  reason="No space left on device"
  echo "cut by a full 16 KiB tmpfs"
  run_game cut "${play[@]}" --frames 200 --trace "$cut_dir/cut.trace" --record "$cut_dir/cut.rec" \
    --capture 199:"$cut_dir/cut.bmp"
else
  echo "cut by a 1 KiB file-size limit: no tmpfs can be mounted here" \
    "($([ "$(id -u)" -eq 0 ] && cat "$work/mount.err" || echo "not root"))"
  cut_dir="$work"
  reason="File too large"
  # The limit's signal ignored, so a write past it fails as on a full disk.
  (trap '' XFSZ; ulimit -f 1
   run_game cut "${play[@]}" --frames 200 --trace "$cut_dir/cut.trace" --record "$cut_dir/cut.rec" \
     --capture 199:"$cut_dir/cut.bmp"
   echo "$RC" > "$work/cut.rc")
  RC=$(cat "$work/cut.rc")
fi
[ "$RC" -eq 4 ] || fail "cut: exit code $RC"
[ "$(errors cut | sort)" = "Error: cannot write the capture $cut_dir/cut.bmp: $reason
Error: cannot write the recording $cut_dir/cut.rec: $reason
Error: cannot write the trace $cut_dir/cut.trace: $reason" ] || fail "cut said: $(errors cut)"
[ ! -e "$cut_dir/cut.bmp" ] || fail "the capture cut short was left on the disk"
for file in cut.trace cut.rec; do
  [ -s "$cut_dir/$file" ] && [ "$(tail -c 1 "$cut_dir/$file" | od -An -c | tr -d ' ')" = '\n' ] ||
    fail "$file does not end with a whole line"
done
kept=$(stat -c %s "$cut_dir/cut.trace")
head -c "$kept" "$work/whole.trace" | cmp -s - "$cut_dir/cut.trace" ||
  fail "the cut trace is not the start of the uncut one"
# The recording's frames: up to its last step line, each whole.
frames_kept=$(($(awk '$2 == "step" { last = $1 } END { print last }' "$cut_dir/cut.rec") + 1))
[ "$frames_kept" -gt 10 ] && [ "$frames_kept" -lt 200 ] || fail "the cut recording holds $frames_kept frames"
run_game replay --windowed --dialogs=stderr --script "$cut_dir/cut.rec" --frames "$frames_kept" \
  --trace "$work/replay.trace"
[ "$RC" -eq 0 ] || fail "the cut recording does not replay: exit $RC, $(errors replay)"
head -n "$frames_kept" "$work/whole.trace" | cmp -s - "$work/replay.trace" ||
  fail "the cut recording replays another game than the first $frames_kept frames"
echo "cut: trace $kept bytes, recording $frames_kept frames, each said once; the recording" \
  "replays them; the capture said and removed"

# ---- a directory where a file is read ----
mkdir -p "$work/run2/Data/Setup.ini" "$work/config/ostravel/Setup.ini" \
  "$work/config/ostravel/ostravel.conf" "$work/script-dir"
for entry in "$build"/Data/*; do
  [ "$(basename "$entry")" = Setup.ini ] || ln -s "$entry" "$work/run2/Data/"
done
own="$work/config/ostravel"
# name | working directory | XDG_CONFIG_HOME | options | exit code | the message
rows=(
  "--script|$work/run|$work/none|--script $work/script-dir|2|Error: script line 0: cannot open $work/script-dir: Is a directory"
  "player's Setup.ini|$work/run|$work/config|--frames 2|0|$own/Setup.ini: cannot read it: Is a directory; using 800x600x32"
  "Data/Setup.ini|$work/run2|$work/none|--frames 2|0|Data/Setup.ini: cannot read it: Is a directory; using 800x600x32"
  "ostravel.conf|$work/run|$work/config|--frames 2|0|$own/ostravel.conf: cannot read it: Is a directory; the defaults are used"
)
for row in "${rows[@]}"; do
  IFS='|' read -r name dir config options code message <<< "$row"
  # shellcheck disable=SC2086
  (cd "$dir" && XDG_CONFIG_HOME=$config run_game dir --windowed --dialogs=stderr $options
   echo "$RC" > "$work/dir.rc")
  RC=$(cat "$work/dir.rc")
  [ "$RC" -eq "$code" ] || fail "$name a directory: exit code $RC"
  grep -qxF "$message" "$work/dir.err" || fail "$name a directory said: $(cat "$work/dir.err")"
done
echo "a directory for --script, both Setup.ini and ostravel.conf: each refused by name"

# ---- a game that does not start (no display, no display mode) leaves a recording as it was ----
mkdir -p "$work/big-mode/ostravel"
echo "7777 7777 32" > "$work/big-mode/ostravel/Setup.ini"
cp "$work/script.txt" "$work/earlier.rec"
for wrapper in "env -u SDL_VIDEODRIVER -u DISPLAY -u WAYLAND_DISPLAY" "env XDG_CONFIG_HOME=$work/big-mode"; do
  read -ra game_wrapper <<< "$wrapper"
  run_game no_start --fullscreen --dialogs=stderr --record "$work/earlier.rec"
  game_wrapper=()
  [ "$RC" -eq 3 ] || fail "no start under '$wrapper': exit code $RC"
  cmp -s "$work/script.txt" "$work/earlier.rec" || fail "no start under '$wrapper' cut the recording"
done
echo "no display, no display mode: exit 3, the earlier recording as it was"

# ---- where the data is read from ----
cmake --install "$build" --prefix "$work/prefix" > "$work/install.log"
mkdir -p "$work/stray/Data"
cd "$work/stray"
game="$work/prefix/bin/ostravel" run_game installed --windowed --dialogs=stderr --frames 3
[ "$RC" -eq 0 ] || fail "the installed game in a directory with an empty Data/: exit code $RC"
! grep -q "^Error: \|reading the game's data" "$work/installed.err" ||
  fail "the installed game read the working directory's Data/"
run_game stray --windowed --dialogs=stderr --frames 3
[ "$RC" -eq 1 ] || fail "the build's game on an empty Data/: exit code $RC"
[ "$(head -n 1 "$work/stray.err")" = "ostravel: reading the game's data from $(pwd -P)/Data" ] ||
  fail "the first message does not name the Data/ read"
echo "an empty Data/ here: the installed game plays on its own data; the build's game names it"

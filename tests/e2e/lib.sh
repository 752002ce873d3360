# shellcheck shell=bash
# Sourced by every end-to-end test, each run as: bash tests/e2e/NAME.sh GAME BUILD. Sets:
#   game, build  the game binary and the build directory (its Data/ is the generated data), made
#                absolute so that a script may change directory;
#   work         a scratch directory, removed on exit together with whatever the script started;
#   trace        where a run's --trace goes ($work/trace.txt unless the script points it elsewhere);
#   pid, id      the game started by start_game and its X window (game_window); other, another
#                X client a script starts, ended on exit too;
#   RC           the exit code of the last run_game or quit_game.
# Every run has no sound device (SDL_AUDIODRIVER=dummy) unless the script exports another driver.
# The X server's own helpers (start_xserver, wait_for_game_window) stay in xserver.sh, which the
# benchmark and the package check source without this file.

game=$(readlink -f "$1")
build=$(readlink -f "${2:-.}")
# shellcheck source=tests/e2e/xserver.sh
source "$(dirname "${BASH_SOURCE[0]}")/xserver.sh"
work=$(mktemp -d)
trace="$work/trace.txt"
pid=""
id=""
other=""
RC=0
export SDL_AUDIODRIVER=dummy

# Runs on exit (after the X server is stopped, where start_xserver started one). KEEP_WORK=1
# keeps the work folder for a look at what a failed run left.
cleanup_work() {
  local p
  for p in $pid $other; do kill "$p" 2>/dev/null || true; done
  [ -n "${KEEP_WORK:-}" ] || rm -rf "$work"
}
trap cleanup_work EXIT

# fail MESSAGE...: ends the test with the message, the last lines the game wrote on standard
# error (every $work/*.err), the trace's last lines and whatever the script's fail_context adds.
fail() {
  echo "FAIL: $*"
  local f
  for f in "$work"/*.err; do
    [ -s "$f" ] || continue
    echo "--- standard error ($(basename "$f")):"
    tail -n 40 "$f"
  done
  if [ -s "$trace" ]; then
    echo "--- last trace lines:"
    tail -n 3 "$trace" | cut -c1-200
  fi
  fail_context
  exit 1
}
fail_context() { :; }

# ---- Running the game ----
# run_game NAME [OPTIONS...]: the game in the foreground; its standard output and error go to
# $work/NAME.out and $work/NAME.err, its exit code to RC. One run's environment goes before the
# call (SDL_VIDEODRIVER=offscreen run_game ...); game_wrapper holds a command to run it under.
game_wrapper=()
run_game() {
  local name=$1
  shift
  RC=0
  "${game_wrapper[@]}" "$game" "$@" > "$work/$name.out" 2> "$work/$name.err" || RC=$?
}

# start_game NAME [OPTIONS...]: the game in the background, its process id in pid; output as
# run_game's.
start_game() {
  local name=$1
  shift
  "$game" "$@" > "$work/$name.out" 2> "$work/$name.err" &
  pid=$!
}

# game_window: waits for the running game's window and puts its id in id.
game_window() {
  id=$(wait_for_game_window "$pid") || fail "the window never appeared"
}

# quit_game: Escape to the game's window until the game ends, its exit code in RC. On a loaded
# machine a key can reach the window before it has the focus and be lost, hence four tries.
quit_game() {
  for _ in 1 2 3 4; do
    timeout 5 xdotool windowfocus --sync "$id" key Escape 2>/dev/null || true
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
    kill -0 "$pid" 2>/dev/null || break
  done
  kill "$pid" 2>/dev/null && fail "still running after Escape"
  RC=0
  wait "$pid" || RC=$?
  pid=""
}

# "X Y WIDTH HEIGHT" of the game's window on the screen, and the pointer as "x:X y:Y".
place() {
  xwininfo -id "$id" | awk '/Absolute upper-left X/ {x = $NF} /Absolute upper-left Y/ {y = $NF}
    /^ *Width:/ {w = $NF} /^ *Height:/ {h = $NF} END {print x, y, w, h}'
}
# wait_place "X Y W H" WHAT: waits up to 5 s for the window to stand there, else fails after WHAT.
wait_place() {
  for _ in $(seq 1 100); do
    [ "$(place)" = "$1" ] && return 0
    sleep 0.05
  done
  fail "the window is at $(place), not $1, after $2"
}
pointer() { xdotool getmouselocation | sed 's/ screen.*//'; }
# bmp_size FILE: "WIDTHxHEIGHT" of a BMP capture (little-endian 32-bit words at bytes 18 and 22).
bmp_size() { od -An -t u4 -j 18 -N 8 "$1" | awk '{ print $1 "x" $2 }'; }

# ---- Reading the trace ----
# One line a frame, from frame 0, of NAME=VALUE fields: "frame=12 clock_ms=240 pos=X,Y,Z
# view=X,Y,Z health=100 letters=1 fps=50 enemies=ID:STATE:HEALTH:X,Z;...". trace_awk defines
# the awk function f(NAME), the value of field NAME on the current line ("" where there is
# none), for scripts that read whole traces: awk "$trace_awk"' { print f("health") }' FILE.
# shellcheck disable=SC2016 # (the $i are awk's)
trace_awk='function f(name,   i) {
  for (i = 1; i <= NF; i++) if (index($i, name "=") == 1) return substr($i, length(name) + 2)
  return ""
}'
# field LINE NAME: the value of field NAME on a trace line.
field() { awk -v name="$2" "$trace_awk"' { print f(name) }' <<< "$1"; }
# trace_values NAME [FILE]: the values of field NAME on every line of the trace, one a line.
trace_values() { awk -v name="$1" "$trace_awk"' { print f(name) }' "${2:-$trace}"; }
# trace_line N [FILE]: the line of frame N.
trace_line() { sed -n "$(($1 + 1))p" "${2:-$trace}"; }
# How many frames the trace holds so far.
frames() { [ -f "$trace" ] && wc -l < "$trace" || echo 0; }
# The last complete line of a trace being written (the game may be writing the one after it).
last_line() { tail -n 2 "$trace" | head -n 1; }

# wait_frames N: waits until the running game has traced N more frames than now.
wait_frames() {
  local want=$(($(frames) + $1))
  for _ in $(seq 1 600); do
    [ "$(frames)" -ge "$want" ] && return 0
    kill -0 "$pid" 2>/dev/null || fail "the game ended early"
    sleep 0.05
  done
  fail "no $1 new frames in 30 s"
}

# ---- Playthroughs (victory.sh, defeat.sh) ----
# The route tool plays the level headless and writes the input script, the real game replays it
# with the same fixed step (STEP, milliseconds per frame), and the two traces must agree line for
# line: the game is deterministic under a fixed step (its random seed is the clock at loading, 0).

# A working directory whose Data/ is the build's, but with a 160 x 120 window: software GL
# spends its time on pixels, and nothing the rules read depends on the window's size (the
# mouse centre does, and the route tool reads the same settings). The script moves into it.
enter_run_dir() {
  mkdir -p "$work/run/Data"
  local entry
  for entry in "$build"/Data/*; do
    [ "$(basename "$entry")" = Setup.ini ] || ln -s "$entry" "$work/run/Data/"
  done
  echo "160 120 32" > "$work/run/Data/Setup.ini"
  cd "$work/run" || fail "no working directory $work/run"
}

# run_route MODE [options]: the script in $work/route.txt, the tool's trace in route_trace.txt.
run_route() {
  local mode=$1
  shift
  local rc=0
  "$build/ostravel_route" --mode "$mode" --fixed-step "$STEP" "$@" --script "$work/route.txt" \
    --trace "$work/route_trace.txt" > "$work/route.out" 2> "$work/route.err" || rc=$?
  grep '^route:' "$work/route.out" || true
  [ "$rc" -eq 0 ] || fail "the route tool found no $mode (exit $rc)"
}

# The real game replays the script; RC and GAME_SECONDS are set.
replay_route() {
  local start end
  start=$(date +%s.%N)
  SDL_VIDEODRIVER=offscreen run_game game --windowed --dialogs=stderr --fixed-step "$STEP" \
    --script "$work/route.txt" --trace "$trace"
  end=$(date +%s.%N)
  # shellcheck disable=SC2034 # (read by the playthroughs)
  GAME_SECONDS=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }')
}

# Both traces the same, or the first frame where the replay left the tool's course.
compare_traces() {
  [ -s "$trace" ] || fail "the game wrote no trace"
  if ! cmp -s "$work/route_trace.txt" "$trace"; then
    local line
    line=$(cmp "$work/route_trace.txt" "$trace" 2>&1 | grep -o 'line [0-9]*' | cut -d' ' -f2 || true)
    if [ -z "$line" ]; then
      line=$(($(wc -l < "$trace") + 1))
    fi
    echo "route: $(sed -n "${line}p" "$work/route_trace.txt" | cut -c1-200)"
    echo "game:  $(sed -n "${line}p" "$trace" | cut -c1-200)"
    fail "the replay diverged from the route tool's run at trace line $line" \
      "($(wc -l < "$work/route_trace.txt") lines from the tool, $(wc -l < "$trace") from the game)"
  fi
}

# play_mission MODE LAST-LINE OTHER-CAPTION: the route tool plays MODE, the game replays it on
# the same course, ends with exit code 0 and LAST-LINE as its last line on standard error, and
# shows no box of the other ending.
play_mission() {
  enter_run_dir
  run_route "$1"
  replay_route
  compare_traces
  [ "$RC" -eq 0 ] || fail "exit code $RC"
  [ "$(tail -n 1 "$work/game.err")" = "$2" ] || fail "standard error does not end with: $2"
  if grep -q "^$3" "$work/game.err"; then
    fail "a box $3 came too"
  fi
}

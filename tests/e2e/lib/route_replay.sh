# Sourced by the playthrough tests: the route tool plays the level headless and writes the input
# script, the real game replays it with the same fixed step, and the two traces must agree line
# for line (the game is deterministic under a fixed step: its random seed is the clock at
# loading, 0).
#
# Expects: game, build, work (a fresh temporary directory), STEP (milliseconds per frame).

fail() {
    echo "FAIL: $*"
    [ -f "$work/err.txt" ] && tail -n 5 "$work/err.txt"
    exit 1
}

# A working directory whose Data/ is the build's, but with a 160 x 120 window: software GL
# spends its time on pixels, and nothing the rules read depends on the window's size (the
# mouse centre does, and the route tool reads the same settings).
make_run_dir() {
    mkdir -p "$work/run/Data"
    local entry
    for entry in "$build"/Data/*; do
        [ "$(basename "$entry")" = Setup.ini ] || ln -s "$entry" "$work/run/Data/"
    done
    echo "160 120 32" > "$work/run/Data/Setup.ini"
}

# run_route MODE [options]: the script in $work/route.txt, the tool's trace in route_trace.txt.
run_route() {
    local mode=$1
    shift
    local rc=0
    (cd "$work/run" && "$build/ostravel_route" --mode "$mode" --fixed-step "$STEP" "$@" \
        --script "$work/route.txt" --trace "$work/route_trace.txt") > "$work/route_out.txt" \
        2> "$work/route_err.txt" || rc=$?
    grep '^route:' "$work/route_out.txt" || true
    [ "$rc" -eq 0 ] || { cat "$work/route_err.txt"; fail "the route tool found no $mode (exit $rc)"; }
}

# The real game replays the script; GAME_RC and GAME_SECONDS are set.
replay_route() {
    local start end
    start=$(date +%s.%N)
    GAME_RC=0
    (cd "$work/run" && SDL_VIDEODRIVER=offscreen SDL_AUDIODRIVER=dummy "$game" --windowed \
        --dialogs=stderr --fixed-step "$STEP" --script "$work/route.txt" \
        --trace "$work/trace.txt") > "$work/out.txt" 2> "$work/err.txt" || GAME_RC=$?
    end=$(date +%s.%N)
    GAME_SECONDS=$(awk -v a="$start" -v b="$end" 'BEGIN { printf "%.1f", b - a }')
}

# Both traces the same, or the first frame where the replay left the tool's course.
compare_traces() {
    [ -s "$work/trace.txt" ] || fail "the game wrote no trace"
    if ! cmp -s "$work/route_trace.txt" "$work/trace.txt"; then
        local line
        line=$(cmp "$work/route_trace.txt" "$work/trace.txt" 2>&1 | grep -o 'line [0-9]*' | cut -d' ' -f2 || true)
        if [ -z "$line" ]; then
            line=$(($(wc -l < "$work/trace.txt") + 1))
        fi
        echo "route: $(sed -n "${line}p" "$work/route_trace.txt" | cut -c1-200)"
        echo "game:  $(sed -n "${line}p" "$work/trace.txt" | cut -c1-200)"
        fail "the replay diverged from the route tool's run at trace line $line" \
            "($(wc -l < "$work/route_trace.txt") lines from the tool, $(wc -l < "$work/trace.txt") from the game)"
    fi
}

# The value of field NAME on a trace line.
trace_field() {
    echo "$1" | grep -o " $2=[^ ]*" | cut -d= -f2
}

# play_mission MODE LAST-LINE OTHER-CAPTION: the route tool plays MODE, the game replays it on
# the same course, ends with exit code 0 and LAST-LINE as its last line on standard error, and
# shows no box of the other ending.
play_mission() {
    make_run_dir
    run_route "$1"
    replay_route
    compare_traces
    [ "$GAME_RC" -eq 0 ] || fail "exit code $GAME_RC"
    [ "$(tail -n 1 "$work/err.txt")" = "$2" ] || fail "standard error does not end with: $2"
    if grep -q "^$3" "$work/err.txt"; then
        fail "a box $3 came too"
    fi
}

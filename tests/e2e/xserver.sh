# Sourced by the end-to-end tests: starts a private X server on a display number it picks itself
# (so tests running side by side never share one), exports DISPLAY, and stops it on exit.
# The game is held to X (SDL_VIDEODRIVER=x11): if it cannot reach the server it says so and
# ends, rather than drawing unseen. XSERVER_SCREEN (WxHxDEPTH, default 1280x1024x24) sizes the
# screen for a larger window. -noreset keeps the server from starting over whenever its
# last client leaves, which would turn away a game started just after another one ended.
start_xserver() {
  local dfile
  dfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 "${XSERVER_SCREEN:-1280x1024x24}" -nolisten tcp -noreset 3>"$dfile" 2>/dev/null &
  XSERVER_PID=$!
  trap 'kill $XSERVER_PID 2>/dev/null; wait $XSERVER_PID 2>/dev/null; cleanup_work' EXIT
  for _ in $(seq 1 200); do
    [ -s "$dfile" ] && break
    sleep 0.05
  done
  if [ ! -s "$dfile" ]; then
    echo "FAIL: Xvfb did not start"; rm -f "$dfile"; exit 1
  fi
  DISPLAY=":$(head -n 1 "$dfile")"
  export DISPLAY SDL_VIDEODRIVER=x11
  rm -f "$dfile"
  for _ in $(seq 1 200); do
    xdpyinfo > /dev/null 2>&1 && return 0
    sleep 0.05
  done
  echo "FAIL: Xvfb on $DISPLAY takes no clients"
  exit 1
}
cleanup_work() { :; }

# wait_for_game_window PID: waits until a window of the game exists and prints its id; fails at
# once if the game has ended, and after a minute (a loaded machine under the sanitizers is slow).
# The window is found by xdotool's search or, failing that, in xwininfo's list (both read the X
# server's names).
wait_for_game_window() {
  local pid=$1 id="" deadline=$((SECONDS + 60))
  while [ "$SECONDS" -lt "$deadline" ]; do
    id=$(xdotool search --name '^(Ostravel|Frames Per Second.*)$' 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] || id=$(xwininfo -root -tree |
      grep -E '"(Ostravel|Frames Per Second: [0-9]+[^"]*)"' | awk '{print $1}' | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}

# Sourced by the end-to-end tests: starts a private X server on a display number it picks itself
# (so tests running side by side never share one), exports DISPLAY, and stops it on exit.
start_xserver() {
  local dfile
  dfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$dfile" 2>/dev/null &
  XSERVER_PID=$!
  for _ in $(seq 1 200); do
    [ -s "$dfile" ] && break
    sleep 0.05
  done
  if [ ! -s "$dfile" ]; then
    echo "FAIL: Xvfb did not start"; rm -f "$dfile"; exit 1
  fi
  DISPLAY=":$(head -n 1 "$dfile")"
  export DISPLAY
  rm -f "$dfile"
  trap 'kill $XSERVER_PID 2>/dev/null; wait $XSERVER_PID 2>/dev/null; cleanup_work' EXIT
}
cleanup_work() { :; }

# Waits until a window of the game exists and prints its id.
wait_for_game_window() {
  local id=""
  for _ in $(seq 1 400); do
    id=$(xdotool search --name '^(Ostravel|Frames Per Second.*)$' 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.05
  done
  return 1
}

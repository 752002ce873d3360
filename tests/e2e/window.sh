#!/usr/bin/env bash
# The real game in a real X window: 30 frames end with exit code 0; the window's client area is
# the size of the settings; Escape ends the game with exit code 0.
set -euo pipefail
game=$1
build=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$build"

cat > "$work/run.sh" <<INNER
#!/usr/bin/env bash
set -u
"$game" --windowed --dialogs=stderr --frames 30 > "$work/out1.txt" 2> "$work/err1.txt"
echo \$? > "$work/rc1"

"$game" --windowed --dialogs=stderr > "$work/out2.txt" 2> "$work/err2.txt" &
pid=\$!
id=""
for i in \$(seq 1 200); do
  id=\$(xdotool search --name '^(Ostravel|Frames Per Second.*)\$' 2>/dev/null | head -n 1 || true)
  [ -n "\$id" ] && break
  sleep 0.05
done
if [ -n "\$id" ]; then
  sleep 0.3
  xwininfo -id "\$id" > "$work/win.txt"
  xdotool windowfocus --sync "\$id" key Escape
fi
for i in \$(seq 1 100); do kill -0 \$pid 2>/dev/null || break; sleep 0.05; done
kill \$pid 2>/dev/null && echo "still running after Escape" >> "$work/err2.txt"
wait \$pid
echo \$? > "$work/rc2"
INNER
SDL_AUDIODRIVER=dummy xvfb-run -a -s "-screen 0 1280x1024x24" bash "$work/run.sh"

fail() { echo "FAIL: $*"; cat "$work"/err*.txt; exit 1; }
[ "$(cat "$work/rc1")" -eq 0 ] || fail "--frames 30 ended with exit code $(cat "$work/rc1")"
[ -s "$work/win.txt" ] || fail "the window never appeared"
grep -q 'Width: 800$' "$work/win.txt" && grep -q 'Height: 600$' "$work/win.txt" ||
  fail "client area is not 800 x 600: $(grep -E 'Width|Height' "$work/win.txt" | tr '\n' ' ')"
[ "$(cat "$work/rc2")" -eq 0 ] || fail "Escape ended with exit code $(cat "$work/rc2")"
echo "30 frames: exit 0; client area 800 x 600; Escape: exit 0"

#!/usr/bin/env bash
# The browser build against the desktop, in one run on one machine: the desktop's frame time on
# the tour (bench/run.sh: Xvfb and Mesa's llvmpipe), then the browser build's on the same tour in
# Debian's Chromium, headless, drawing WebGL with SwiftShader on the CPU; and the page's time from
# opening to its first frame (served from 127.0.0.1, so the 14 MB of data arrive at once).
#
#   bench/browser.sh [BUILD_DIR]
#
# In the browser a frame is one animation frame: the figure is the wall time from the first
# frame to the end over the tour's frames (at most 60 a second by the browser's own pacing), and
# the game's --stats median, the main thread's own share of a frame. The tour runs twice: at full
# size, and at render scale 0.5 chosen in the page's settings (as a player does).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
"$root/web.sh" --build > /dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/scratch" "$work/out"
cp "$here/tour.txt" "$work/scratch/"
if [ ! -d "$root/tests/web/node_modules/puppeteer-core" ]; then
  (cd "$root/tests/web" && PUPPETEER_SKIP_DOWNLOAD=1 npm ci --ignore-scripts --no-audit --no-fund) > /dev/null
fi

echo "== desktop: Xvfb, llvmpipe, 800x600"
"$here/run.sh" "$build" 60 | tail -n 4

echo "== browser: headless Chromium, SwiftShader, 800x600"
cat > "$work/runs.json" << 'JSON'
[{"name": "tour", "args": "--fixed-step 16 --no-vsync --frames 600 --script tour.txt --stats",
  "files": ["tour.txt"], "seconds": 600},
 {"name": "tour_half", "args": "--fixed-step 16 --no-vsync --frames 600 --script tour.txt --stats",
  "files": ["tour.txt"], "seconds": 600, "renderScale": "0.5"}]
JSON
node "$root/tests/web/browser_runs.mjs" "$root/build-web/site" "$work/scratch" "$work/out" \
  "$work/runs.json"
for run in tour tour_half; do
  node -e '
    const r = require(process.argv[1]);
    const stats = r.log.find((l) => l.startsWith("stats frames=")) || "";
    const median = (stats.match(/frame_ms_median=([0-9.]+)/) || [])[1];
    const scale = (stats.match(/render_scale=([0-9.]+)/) || [])[1];
    console.log("browser at render scale " + process.argv[2] + " (ended at " + scale + "): " +
      ((r.endedMs - r.firstFrameMs) / 599).toFixed(1) + " ms a frame (wall, first frame to " +
      "end), game median " + median + " ms (--stats); first frame " +
      (r.firstFrameMs / 1000).toFixed(2) + " s after opening the page");
    console.log(stats);' "$work/out/$run.json" "$([ $run = tour ] && echo 1.0 || echo 0.5)"
done

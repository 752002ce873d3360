#!/usr/bin/env bash
# Builds the browser version of Ostravel into build-web/site/ (a static folder: index.html, its
# script and style, ostravel.js, ostravel.wasm and ostravel.data, the packed Data/) and serves it
# on http://127.0.0.1:8000/. Copied to any static web host, the folder plays the same.
#   ./web.sh            build, then serve until Ctrl+C
#   ./web.sh --build    only build
#   ./web.sh --port N   serve on port N
# Everything comes from Debian (emscripten and its frozen library cache): nothing is downloaded
# at build time.
set -euo pipefail
cd "$(dirname "$0")"
port=8000
serve=true
while [[ $# -gt 0 ]]; do
  case $1 in
    --build) serve=false ;;
    --port)
      port=${2:-}
      shift
      ;;
    -h | --help)
      sed -n '2,9p' "$0" | cut -c3-
      exit 0
      ;;
    *)
      echo "web.sh: unknown option: $1 (see --help)" >&2
      exit 2
      ;;
  esac
  shift
done
if ! [[ $port =~ ^[0-9]+$ ]] || ((port < 1 || port > 65535)); then
  echo "web.sh: --port needs a port number" >&2
  exit 2
fi
./tools/deps.sh --web
# Emscripten runs its tools with Debian's node, which finds Debian's acorn here.
export NODE_PATH=/usr/share/nodejs
root=$PWD/build-web
jobs=$(nproc)

# The data: the desktop's own generator, built on its own (it needs no SDL or GL).
cmake -S tools/datagen -B "$root/datagen" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$root/datagen" -j"$jobs" --target gamedata

# The game, compiled to WebAssembly; its site goes to build-web/site/.
emcmake cmake -S . -B "$root/wasm" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  -DOSTRAVEL_WEB_DATA="$root/datagen/Data" -DOSTRAVEL_WEB_SITE="$root/site" >/dev/null
cmake --build "$root/wasm" -j"$jobs"
echo "web.sh: the site is in $root/site"
$serve || exit 0

# A WebAssembly page and its data load over http only, not from file://.
echo "Ostravel in the browser: http://127.0.0.1:$port/"
exec python3 -m http.server "$port" --bind 127.0.0.1 --directory "$root/site"

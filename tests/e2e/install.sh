#!/usr/bin/env bash
# Installs into a temporary prefix (game, data, launcher, desktop entry, icon) and starts the
# installed game from somewhere else entirely.
set -euo pipefail
game=$1
build=$2
source "$(dirname "$0")/xserver.sh"
prefix=$(mktemp -d)
cleanup_work() { rm -rf "$prefix"; }
start_xserver
export SDL_AUDIODRIVER=dummy

cmake --install "$build" --prefix "$prefix" > "$prefix/install.log"
for f in bin/ostravel libexec/ostravel/ostravel share/ostravel/Data/Setup.ini \
         share/applications/ostravel.desktop share/icons/hicolor/64x64/apps/ostravel.png; do
  [ -e "$prefix/$f" ] || { echo "FAIL: $f not installed"; exit 1; }
done
# The icon the desktop entry names: a 64 x 64 PNG.
icon="$prefix/share/icons/hicolor/64x64/apps/ostravel.png"
[ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' ')" = "89504e470d0a1a0a" ] &&
  [ "$(od -An -tx1 -j16 -N8 "$icon" | tr -d ' ')" = "0000004000000040" ] ||
  { echo "FAIL: the installed icon is not a 64 x 64 PNG"; exit 1; }
grep -qx 'Icon=ostravel' "$prefix/share/applications/ostravel.desktop" ||
  { echo "FAIL: the desktop entry does not name the icon"; exit 1; }
cd /
rc=0
"$prefix/bin/ostravel" --windowed --dialogs=stderr --frames 10 > "$prefix/out.txt" 2> "$prefix/err.txt" || rc=$?
cat "$prefix/err.txt"
[ "$rc" -eq 0 ] || { echo "FAIL: the installed game ended with exit code $rc"; exit 1; }
echo "installed under a temporary prefix (with the 64 x 64 icon); the launcher ran 10 frames from / with exit code 0"

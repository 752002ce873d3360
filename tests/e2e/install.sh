#!/usr/bin/env bash
# Installs into a temporary prefix (game, data, launcher, desktop entry, icon, manual page,
# AppStream file) and starts the installed game from somewhere else entirely; a screenshot goes
# to the player's directory, not into the installed data.
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
         share/applications/io.github.ostravel.Ostravel.desktop \
         share/metainfo/io.github.ostravel.Ostravel.metainfo.xml share/man/man6/ostravel.6.gz \
         share/icons/hicolor/64x64/apps/ostravel.png; do
  [ -e "$prefix/$f" ] || { echo "FAIL: $f not installed"; exit 1; }
done
# The icon the desktop entry names: a 64 x 64 PNG.
icon="$prefix/share/icons/hicolor/64x64/apps/ostravel.png"
[ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' ')" = "89504e470d0a1a0a" ] &&
  [ "$(od -An -tx1 -j16 -N8 "$icon" | tr -d ' ')" = "0000004000000040" ] ||
  { echo "FAIL: the installed icon is not a 64 x 64 PNG"; exit 1; }
grep -qx 'Icon=ostravel' "$prefix/share/applications/io.github.ostravel.Ostravel.desktop" ||
  { echo "FAIL: the desktop entry does not name the icon"; exit 1; }
# The manual page says what --help says.
zcat "$prefix/share/man/man6/ostravel.6.gz" | grep -q '^\\fB\\-\\-capture N:FILE\\fR$' ||
  { echo "FAIL: the manual page does not list --capture"; exit 1; }
export XDG_DATA_HOME="$prefix/player-data"
printf '3 key f12 down\n4 key f12 up\n' > "$prefix/f12.txt"
cd /
rc=0
"$prefix/bin/ostravel" --windowed --dialogs=stderr --frames 10 --script "$prefix/f12.txt" \
  > "$prefix/out.txt" 2> "$prefix/err.txt" || rc=$?
cat "$prefix/err.txt"
[ "$rc" -eq 0 ] || { echo "FAIL: the installed game ended with exit code $rc"; exit 1; }
ls "$XDG_DATA_HOME"/ostravel/screenshots/ostravel-*.png > /dev/null 2>&1 ||
  { echo "FAIL: F12 saved no screenshot in the player's directory"; exit 1; }
[ -z "$(find "$prefix/share" -newer "$prefix/f12.txt" -not -type d)" ] ||
  { echo "FAIL: the game wrote into its installed data"; exit 1; }
echo "installed under a temporary prefix (icon, manual page, AppStream file); the launcher ran" \
  "10 frames from / with exit code 0; F12 saved into the player's directory"

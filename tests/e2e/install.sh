#!/usr/bin/env bash
# Installs into a temporary prefix (game, data, launcher, desktop entry, icon, manual page,
# AppStream file) and starts the installed game from somewhere else entirely: it finds its data
# itself, a screenshot goes to the player's directory, not into the installed data, and a demo
# recorded by its plain name in the player's directory replays there to the same trace.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
start_xserver
prefix="$work/prefix"

cmake --install "$build" --prefix "$prefix" > "$work/install.log"
for f in bin/ostravel libexec/ostravel/ostravel share/ostravel/Data/Setup.ini \
         share/applications/io.github.ostravel.Ostravel.desktop \
         share/metainfo/io.github.ostravel.Ostravel.metainfo.xml share/man/man6/ostravel.6.gz \
         share/icons/hicolor/64x64/apps/ostravel.png share/doc/ostravel/README.md; do
  [ -e "$prefix/$f" ] || fail "$f not installed"
done
# The icon the desktop entry names: a 64 x 64 PNG.
icon="$prefix/share/icons/hicolor/64x64/apps/ostravel.png"
[ "$(head -c 8 "$icon" | od -An -tx1 | tr -d ' ')" = "89504e470d0a1a0a" ] &&
  [ "$(od -An -tx1 -j16 -N8 "$icon" | tr -d ' ')" = "0000004000000040" ] ||
  fail "the installed icon is not a 64 x 64 PNG"
grep -qx 'Icon=ostravel' "$prefix/share/applications/io.github.ostravel.Ostravel.desktop" ||
  fail "the desktop entry does not name the icon"
# The manual page says what --help says.
zcat "$prefix/share/man/man6/ostravel.6.gz" | grep -q '^\\fB\\-\\-capture N:FILE\\fR$' ||
  fail "the manual page does not list --capture"
export XDG_DATA_HOME="$work/player-data"
printf '3 key f12 down\n4 key f12 up\n' > "$work/f12.txt"
cd /
game="$prefix/bin/ostravel"
run_game game --windowed --dialogs=stderr --frames 10 --script "$work/f12.txt"
cat "$work/game.err"
[ "$RC" -eq 0 ] || fail "the installed game ended with exit code $RC"
! grep -q '^Error:' "$work/game.err" || fail "the installed game missed its data"
ls "$XDG_DATA_HOME"/ostravel/screenshots/ostravel-*.png > /dev/null 2>&1 ||
  fail "F12 saved no screenshot in the player's directory"

# The player's own names are taken from the player's working directory.
mkdir -p "$work/home"
cd "$work/home"
printf '5 key w down\n25 key w up\n26 mouse 40 -10\n27 click left\n40 key escape down\n' > walk.txt
run_game record --windowed --dialogs=stderr --fixed-step 40 --seed 7 --script walk.txt \
  --record demo.txt --trace live.txt
[ "$RC" -eq 0 ] || { cat "$work/record.err"; fail "the recording run ended with exit code $RC"; }
[ -s demo.txt ] && [ -s live.txt ] || fail "no demo.txt or live.txt in the player's directory"
run_game replay --windowed --dialogs=stderr --script demo.txt --trace t.txt
[ "$RC" -eq 0 ] || { cat "$work/replay.err"; fail "the replay ended with exit code $RC"; }
cmp live.txt t.txt || fail "the replay's trace differs from the recording run's"
[ "$(wc -l < t.txt)" -eq 40 ] || fail "the replay traced $(wc -l < t.txt) frames, not 40"
[ -z "$(find "$prefix" -newer "$work/f12.txt" -not -type d)" ] ||
  fail "the game wrote into its installed tree"
echo "installed under a temporary prefix (icon, manual page, AppStream file); the launcher ran" \
  "10 frames from / with exit code 0; F12 saved into the player's directory; a demo recorded" \
  "and replayed by its plain name gave the same 40-frame trace"

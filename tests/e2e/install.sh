#!/usr/bin/env bash
# Installs into a temporary prefix and starts the installed game from somewhere else entirely.
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
         share/applications/ostravel.desktop; do
  [ -e "$prefix/$f" ] || { echo "FAIL: $f not installed"; exit 1; }
done
cd /
rc=0
"$prefix/bin/ostravel" --windowed --dialogs=stderr --frames 10 > "$prefix/out.txt" 2> "$prefix/err.txt" || rc=$?
cat "$prefix/err.txt"
[ "$rc" -eq 0 ] || { echo "FAIL: the installed game ended with exit code $rc"; exit 1; }
echo "installed under a temporary prefix; the launcher ran 10 frames from / with exit code 0"

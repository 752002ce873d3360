#!/usr/bin/env bash
# The command line as a player meets it: --help names every control and every option the game
# accepts, --version prints the version, and a bad command line exits 2 with the usage.
set -euo pipefail
game=$1
source_dir=${OSTRAVEL_SOURCE_DIR:-$(dirname "$0")/../..}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fail() { echo "FAIL: $*"; exit 1; }
rc=0
"$game" --help > "$work/help.txt" 2> "$work/help_err.txt" || rc=$?
[ "$rc" -eq 0 ] || fail "--help exit code $rc"
[ ! -s "$work/help_err.txt" ] || fail "--help wrote to standard error"

# Every option the parser compares against is listed at the start of a help line.
options=$(grep -o 'strcmp(arg, "--[a-z=-]*")' "$source_dir/app/state/options.cpp" | cut -d'"' -f2)
[ "$(echo "$options" | wc -l)" -ge 12 ] || fail "found only: $options"
for option in $options; do
  grep -qE "^  $option( |$)" "$work/help.txt" || fail "--help does not list $option"
done
# And no option is listed that the parser does not know.
for listed in $(grep -oE '^  --[a-z=-]+' "$work/help.txt"); do
  echo "$options" | grep -qx -- "$listed" || fail "--help lists $listed, which the game refuses"
done
# Every control of the game.
for control in "W / Up arrow" "S / Down arrow" "A / Left arrow" "D / Right arrow" "mouse" \
               "left button" "Escape" "F12"; do
  grep -q "$control" "$work/help.txt" || fail "--help does not name the control $control"
done
grep -q "Data/Setup.ini" "$work/help.txt" || fail "--help does not name the settings file"

rc=0
version=$("$game" --version) || rc=$?
[ "$rc" -eq 0 ] && [ "$version" = "Ostravel 0.1.0" ] || fail "--version: '$version', exit $rc"

# Bad command lines: exit 2, the problem and the usage on standard error, nothing started.
for args in "--bogus" "--frames" "--frames -3" "--fixed-step 0" "--capture 5" "--script"; do
  rc=0
  # shellcheck disable=SC2086
  "$game" $args > "$work/out.txt" 2> "$work/err.txt" || rc=$?
  [ "$rc" -eq 2 ] || fail "'$args' exit code $rc"
  head -n 1 "$work/err.txt" | grep -q '^ostravel: ' || fail "'$args' said: $(head -n 1 "$work/err.txt")"
  grep -q '^Usage: ostravel \[OPTIONS\]$' "$work/err.txt" || fail "'$args' printed no usage"
  [ ! -s "$work/out.txt" ] || fail "'$args' wrote to standard output"
done
echo "--help lists $(echo "$options" | wc -l) options and every control; --version; bad command lines exit 2"

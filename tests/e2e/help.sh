#!/usr/bin/env bash
# The command line as a player meets it: --help names every control and every option the game
# accepts, --version prints the version, and a bad command line exits 2 with the usage.
set -euo pipefail
# shellcheck source=tests/e2e/lib.sh
source "$(dirname "$0")/lib.sh"
source_dir=${OSTRAVEL_SOURCE_DIR:-$(dirname "$0")/../..}

run_game help --help
[ "$RC" -eq 0 ] || fail "--help exit code $RC"
[ ! -s "$work/help.err" ] || fail "--help wrote to standard error"

# Every option the parser compares against is listed at the start of a help line.
options=$(grep -o 'strcmp(arg, "--[a-z=-]*")' "$source_dir/state/options.cpp" | cut -d'"' -f2)
[ "$(echo "$options" | wc -l)" -ge 12 ] || fail "found only: $options"
for option in $options; do
  grep -qE "^  $option( |$)" "$work/help.out" || fail "--help does not list $option"
done
# And no option is listed that the parser does not know.
for listed in $(grep -oE '^  --[a-z=-]+' "$work/help.out"); do
  echo "$options" | grep -qx -- "$listed" || fail "--help lists $listed, which the game refuses"
done
# Every control of the game.
for control in "W / Up arrow" "S / Down arrow" "A / Left arrow" "D / Right arrow" "mouse" \
               "left button" "Escape" "F12"; do
  grep -q "$control" "$work/help.out" || fail "--help does not name the control $control"
done
grep -q "Data/Setup.ini" "$work/help.out" || fail "--help does not name the settings file"

run_game version --version
version=$(cat "$work/version.out")
[ "$RC" -eq 0 ] && [ "$version" = "Ostravel 0.1.0" ] || fail "--version: '$version', exit $RC"

# Bad command lines: exit 2, the problem and the usage on standard error, nothing started.
for args in "--bogus" "--frames" "--frames -3" "--fixed-step 0" "--capture 5" "--script" \
            "--render-scale 0.2"; do
  # shellcheck disable=SC2086
  run_game bad $args
  [ "$RC" -eq 2 ] || fail "'$args' exit code $RC"
  head -n 1 "$work/bad.err" | grep -q '^ostravel: ' || fail "'$args' said: $(head -n 1 "$work/bad.err")"
  grep -q '^Usage: ostravel \[OPTIONS\]$' "$work/bad.err" || fail "'$args' printed no usage"
  [ ! -s "$work/bad.out" ] || fail "'$args' wrote to standard output"
done
echo "--help lists $(echo "$options" | wc -l) options and every control; --version; bad command lines exit 2"

#!/usr/bin/env bash
# Builds Ostravel and its data, then plays. Extra arguments go to the game (see --help); file
# names among them are taken from the directory play.sh was started in.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
(
  cd "$here"
  ./tools/deps.sh
  # Only the game: the test framework is installed by ./test.sh, not here.
  cmake --preset default -DBUILD_TESTING=OFF >/dev/null
  cmake --build --preset default -j"$(nproc)"
)
# The game finds the generated Data/ beside itself in the build tree.
exec "$here/build/ostravel" "$@"

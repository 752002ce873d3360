#!/usr/bin/env bash
# Builds Ostravel and its data, then plays. Extra arguments go to the game (see --help).
set -euo pipefail
cd "$(dirname "$0")"
./tools/deps.sh
# Only the game: the test framework is installed by ./test.sh, not here.
cmake --preset default -DBUILD_TESTING=OFF >/dev/null
cmake --build --preset default -j"$(nproc)"
# The game reads Data/ from its working directory: the build tree holds the generated copy.
cd build
exec ./ostravel "$@"

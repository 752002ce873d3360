#!/usr/bin/env bash
# Builds Ostravel and its data, then plays. Extra arguments go to the game (see --help).
set -euo pipefail
cd "$(dirname "$0")"
./tools/deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -j"$(nproc)"
# The game reads Data/ from its working directory: the build tree holds the generated copy.
cd build
exec ./ostravel "$@"

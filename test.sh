#!/usr/bin/env bash
# Builds everything and runs every test: unit tests, the data generator's tests and the
# end-to-end runs of the real game (which start their own X server), the same under ASan and
# UBSan, and a short run of every fuzz target. Takes no arguments.
set -euo pipefail
case ${1:-} in -h | --help) sed -n '2,/^set -euo/{/^#/s/^# \{0,1\}//p}' "$0"; exit 0 ;; esac
cd "$(dirname "$0")"
./tools/deps.sh --test
cmake --preset default -DBUILD_TESTING=ON
cmake --build --preset default -j"$(nproc)"
ctest --preset default -j"$(nproc)"

# The same unit and end-to-end tests under AddressSanitizer and UndefinedBehaviorSanitizer.
cmake --preset asan -DBUILD_TESTING=ON
cmake --build --preset asan -j"$(nproc)"
ctest --preset asan -j"$(nproc)"

# Every fuzz target for 3 seconds, seeded from fuzz/seeds/ and the generated data: any crash,
# leak or undefined behaviour fails the run (longer runs: fuzz/run.sh SECONDS).
fuzz/run.sh 3

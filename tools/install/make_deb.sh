#!/usr/bin/env bash
# The Debian package built as Debian builds its own: a plain Release build (no presets) with the
# distribution's hardening flags from dpkg-buildflags (fortify, stack protector, relro,
# bind-now), then cpack, which installs stripped binaries without the compiler's notes.
#   tools/install/make_deb.sh BUILD_DIR   ->  BUILD_DIR/ostravel_VERSION_amd64.deb
# A Release build made without this script keeps the compiler's defaults.
set -euo pipefail
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
build=${1:?usage: tools/install/make_deb.sh BUILD_DIR}
command -v dpkg-buildflags > /dev/null ||
  { echo "make_deb.sh: dpkg-buildflags is missing: apt-get install dpkg-dev"; exit 1; }

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
# CMake reads CXXFLAGS and LDFLAGS when it first configures a build directory; the
# preprocessor's flags (_FORTIFY_SOURCE) go with the compiler's.
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS=$(dpkg-buildflags --get LDFLAGS)
export CXXFLAGS LDFLAGS
rm -rf "$build"
mkdir -p "$build"
echo "make_deb.sh: CXXFLAGS=$CXXFLAGS LDFLAGS=$LDFLAGS"
# The package holds the game and its data; the tests are ./test.sh's.
cmake -S "$source_dir" -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF \
  > "$build/configure.log" 2>&1 ||
  { cat "$build/configure.log"; exit 1; }
cmake --build "$build" -j"$(nproc)" > "$build/build.log" 2>&1 ||
  { tail -40 "$build/build.log"; exit 1; }
echo "make_deb.sh: $(grep -c "warning:" "$build/build.log" || true) compiler warnings (not errors)"
(cd "$build" && cpack -G DEB > cpack.log 2>&1) || { cat "$build/cpack.log"; exit 1; }
ls "$build"/*.deb
